#include "platform/settings_file.h"

#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/byte_text.h"
#include "platform/file_calls.h"
#include "platform/whole_file.h"

namespace qpane {

namespace {

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

// The whole file, or the system's reason why it cannot be read ("" for a missing file).
bool readWhole(const std::filesystem::path& file, std::string& text, std::string& error) {
    // Without O_NONBLOCK a FIFO put in the file's place would hold start-up until a writer came.
    int fd = file_calls::openToRead(file);
    if (fd < 0) {
        if (errno != ENOENT) error = std::strerror(errno);
        return false;
    }
    file_calls::FileKind kind{};
    if (!file_calls::kindOf(fd, kind)) {
        error = std::strerror(errno);
    } else if (kind == file_calls::FileKind::Folder) {
        error = std::strerror(EISDIR);
    } else if (kind != file_calls::FileKind::Regular) {
        error = "通常のファイルではありません";
    } else {
        char buffer[65536];
        for (;;) {
            const long n = file_calls::readSome(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                error = std::strerror(errno);
                break;
            }
            if (n == 0) break;
            text.append(buffer, static_cast<size_t>(n));
        }
    }
    file_calls::closeFile(fd);
    if (!error.empty()) text.clear();
    return error.empty();
}

}  // namespace

SettingsFile::SettingsFile(std::filesystem::path file) : file_(std::move(file)) {
    std::string text;
    if (!readWhole(file_, text, readError_)) return;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(std::move(line));
        pos = end + 1;
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

bool SettingsFile::hasKey(std::string_view section, std::string_view key) const {
    return find(section, key).keyFound;
}

void SettingsFile::setInteger(std::string_view section, std::string_view key, int value) {
    setString(section, key, std::to_string(value));
}

void SettingsFile::setString(std::string_view section, std::string_view key,
                             std::string_view value) {
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
}

void SettingsFile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void SettingsFile::writeString(std::string_view section, std::string_view key,
                               std::string_view value) {
    std::vector<std::string> before = lines_;
    setString(section, key, value);
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
    if (!readError_.empty())
        fail(file_, "読み込めなかったファイルは上書きしません (" + readError_ + ")");
    const std::string why = replaceWholeFile(file_, content());
    if (!why.empty()) fail(file_, why);
}

}  // namespace qpane
