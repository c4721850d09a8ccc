#include "results/list_heading.h"

#include "platform/settings_file.h"

namespace qpane::results {

namespace {
constexpr const char* kSection = "Results";

// A value is one line of the file: a line end in it would start a line of its own.
std::string oneLine(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    return value;
}
}  // namespace

ListHeading readListHeading(const std::filesystem::path& settingsFile) {
    const SettingsFile ini(settingsFile);
    return {ini.readString(kSection, "Title", ""), ini.readString(kSection, "Date", "")};
}

void keepListHeading(const std::filesystem::path& settingsFile, const ListHeading& heading) {
    SettingsFile ini(settingsFile);
    ini.setString(kSection, "Title", oneLine(heading.title));
    ini.setString(kSection, "Date", oneLine(heading.date));
    ini.save();
}

}  // namespace qpane::results
