#include "platform/paths.h"

namespace qpane {

std::string pathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path Paths::mapDrivePath(std::string_view windowsPath) const {
    std::string_view rest = windowsPath;
    if (rest.size() >= 2 && rest[1] == ':') rest.remove_prefix(2);
    std::filesystem::path result = root_;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = rest.size();
        if (end > start) result /= std::string(rest.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

std::filesystem::path Paths::dataFolder() const {
    return mapDrivePath("C:\\Program Files\\PORLEX\\QPANEData");
}

std::filesystem::path Paths::settingsFolder() const {
    return mapDrivePath("C:\\Program Files\\PORLEX\\Alpine");
}

}  // namespace qpane
