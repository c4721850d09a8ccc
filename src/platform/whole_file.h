#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qpane {

// Makes bytes the whole content of file: written into a fresh file beside it, put on the
// disk, then put in its place in one step, so that a reader sees the old content or the new
// and never a part, and a failure at any point leaves the old file as it was and no
// temporary file behind. A replaced file keeps its permission bits; a new one takes the
// umask. Returns the system's reason for a failure, "" on success.
std::string replaceWholeFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace qpane
