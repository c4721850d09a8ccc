#include "platform/settings_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include "platform/byte_text.h"

namespace qpane {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// "[Name]" -> Name; anything else is not a section line.
bool sectionName(std::string_view line, std::string_view& name) {
    line = trimBlanks(line);
    if (line.size() < 2 || line.front() != '[') return false;
    size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = trimBlanks(line.substr(1, close - 1));
    return true;
}

bool keyOf(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view t = trimBlanks(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return false;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    key = trimBlanks(line.substr(0, eq));
    value = trimBlanks(line.substr(eq + 1));
    return true;
}

bool parseInt32(std::string_view s, int& out) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size()) return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483648LL) return false;
    }
    if (negative) v = -v;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    out = static_cast<int>(v);
    return true;
}

[[noreturn]] void fail(const std::filesystem::path& file, const std::string& what) {
    throw SettingsError("設定ファイル " + file.string() + " に書き込めません: " + what);
}

}  // namespace

SettingsFile::SettingsFile(std::filesystem::path file) : file_(std::move(file)) {
    std::ifstream in(file_, std::ios::binary);
    if (!in) return;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(std::move(line));
    }
}

SettingsFile::Found SettingsFile::find(std::string_view section, std::string_view key) const {
    Found f;
    bool inSection = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (sectionName(lines_[i], name)) {
            inSection = equalsNoCase(name, section);
            if (inSection && !f.sectionFound) {
                f.sectionFound = true;
                f.sectionLine = i;
                f.lastKeyLine = i;
            }
            continue;
        }
        std::string_view k, v;
        if (!inSection || !keyOf(lines_[i], k, v)) continue;
        f.lastKeyLine = i;
        if (!f.keyFound && equalsNoCase(k, key)) {
            f.keyFound = true;
            f.keyLine = i;
        }
    }
    return f;
}

const std::string* SettingsFile::value(std::string_view section, std::string_view key,
                                       std::string& scratch) const {
    Found f = find(section, key);
    if (!f.keyFound) return nullptr;
    std::string_view k, v;
    keyOf(lines_[f.keyLine], k, v);
    scratch.assign(v);
    return &scratch;
}

int SettingsFile::readInteger(std::string_view section, std::string_view key, int def) const {
    std::string scratch;
    const std::string* v = value(section, key, scratch);
    int result = def;
    if (v && parseInt32(*v, result)) return result;
    return def;
}

std::string SettingsFile::readString(std::string_view section, std::string_view key,
                                     std::string_view def) const {
    std::string scratch;
    const std::string* v = value(section, key, scratch);
    return v ? *v : std::string(def);
}

void SettingsFile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void SettingsFile::writeString(std::string_view section, std::string_view key,
                               std::string_view value) {
    std::vector<std::string> before = lines_;
    std::string line = std::string(key) + "=" + std::string(value);
    Found f = find(section, key);
    if (f.keyFound) {
        lines_[f.keyLine] = line;
    } else if (f.sectionFound) {
        lines_.insert(lines_.begin() + static_cast<long>(f.lastKeyLine) + 1, line);
    } else {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(line);
    }
    try {
        save();
    } catch (...) {
        lines_ = std::move(before);
        throw;
    }
}

std::string SettingsFile::content() const {
    std::string text;
    for (const std::string& line : lines_)
        text += line + "\r\n";
    return text;
}

void SettingsFile::save() const {
    const std::filesystem::path tmp = file_.string() + ".tmp";
    const std::string text = content();
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail(file_, std::strerror(errno));
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::string why = std::strerror(errno);
            ::close(fd);
            ::unlink(tmp.c_str());
            fail(file_, why);
        }
        done += static_cast<size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    std::string why = synced ? "" : std::strerror(errno);
    if (::close(fd) != 0 && synced) why = std::strerror(errno);
    if (!why.empty()) {
        ::unlink(tmp.c_str());
        fail(file_, why);
    }
    if (::rename(tmp.c_str(), file_.c_str()) != 0) {
        std::string why = std::strerror(errno);
        ::unlink(tmp.c_str());
        fail(file_, why);
    }
    int dir = ::open(file_.parent_path().empty() ? "." : file_.parent_path().c_str(),
                     O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace qpane
