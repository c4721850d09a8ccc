#pragma once

#include <filesystem>

#include "results/list_export.h"

namespace qpane::results {

// The heading of the race's lists lives in the console's settings file, in a section of its
// own, [Results], keys Title and Date, beside the window's [Boad] section: the console's
// shut-down save keeps lines it does not write, so the two never overwrite each other.
ListHeading readListHeading(const std::filesystem::path& settingsFile);

// Sets both keys in one save. Throws SettingsError (platform/settings_file.h), the file
// unchanged, when it cannot be written or could not be read.
void keepListHeading(const std::filesystem::path& settingsFile, const ListHeading& heading);

}  // namespace qpane::results
