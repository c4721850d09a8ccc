#include "platform/whole_file.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>

#include "platform/file_calls.h"

namespace qpane {

namespace {

// A fresh name beside the file, "<name>.XXXXXX" with a random end; the exclusive create is
// what makes sure that it is new, the draw only keeps two names apart.
std::filesystem::path temporaryName(const std::filesystem::path& file) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[6];
    if (!file_calls::randomBytes(bytes, sizeof bytes)) {
        auto n =
            static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
            (static_cast<uint64_t>(file_calls::processId()) << 32);
        for (unsigned char& b : bytes) {
            n = n * 6364136223846793005ULL + 1442695040888963407ULL;
            b = static_cast<unsigned char>(n >> 56);
        }
    }
    std::string name = file.string() + ".";
    for (unsigned char b : bytes)
        name += kLetters[b % (sizeof kLetters - 1)];
    return name;
}

std::string reason(int error) {
    return std::strerror(error);
}

}  // namespace

std::string replaceWholeFile(const std::filesystem::path& file, std::string_view bytes) {
    unsigned oldBits = 0;
    const bool replacing = file_calls::permissionsOf(file, oldBits);
    if (!replacing && errno != ENOENT) return reason(errno);

    std::filesystem::path tmp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        tmp = temporaryName(file);
        fd = file_calls::createNew(tmp);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return reason(errno);
    auto abandon = [&](int error) {
        file_calls::closeFile(fd);
        file_calls::removeFile(tmp);
        return reason(error);
    };
    if (replacing && !file_calls::setPermissions(fd, oldBits)) return abandon(errno);

    size_t done = 0;
    while (done < bytes.size()) {
        const long n = file_calls::writeSome(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return abandon(n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
    }
    if (!file_calls::syncFile(fd)) return abandon(errno);
    if (file_calls::closeFile(fd) != 0) {
        const int error = errno;
        file_calls::removeFile(tmp);
        return reason(error);
    }
    if (!file_calls::replaceFile(tmp, file)) {
        const int error = errno;
        file_calls::removeFile(tmp);
        return reason(error);
    }
    file_calls::syncFolder(file.has_parent_path() ? file.parent_path() : ".");
    return "";
}

}  // namespace qpane
