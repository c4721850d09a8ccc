#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qpane {

// A settings file that could not be written. The message names the file.
class SettingsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A profile file: "[Section]" lines, then "Key=Value" lines. Section and key names match
// without regard to case; values are trimmed of blanks and tabs. A save replaces the file as a
// whole (a temporary file of a name of its own, renamed over it), so the file on disk is always
// either the old one or the new one; lines the console does not know are kept as they were.
class SettingsFile {
  public:
    // Reads the file. A missing file reads as empty (a first start). A file that is there but
    // cannot be read reads as empty as well, and readError() gives the system's reason; such a
    // file is never saved over, since the lines it holds are not known.
    explicit SettingsFile(std::filesystem::path file);

    const std::filesystem::path& path() const { return file_; }
    // Empty when the file was read or is missing.
    const std::string& readError() const { return readError_; }

    // An optional sign and decimal digits within 32 bits; anything else gives def.
    int readInteger(std::string_view section, std::string_view key, int def) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    bool hasKey(std::string_view section, std::string_view key) const;

    // Change the content held; the file itself changes only with save().
    void setInteger(std::string_view section, std::string_view key, int value);
    void setString(std::string_view section, std::string_view key, std::string_view value);

    // Replaces the file with the content held, keeping the permission bits of the file it
    // replaces (a new file gets 0644 less the umask). The temporary file is always a new
    // one: no link or file already beside the settings is followed or reused. Throws
    // SettingsError, the old file unchanged, when the file cannot be written or was not read.
    void save() const;

    // Sets one key and saves at once; when the save fails the key keeps its old value.
    // Throws SettingsError.
    void writeInteger(std::string_view section, std::string_view key, int value);
    void writeString(std::string_view section, std::string_view key, std::string_view value);

    // The content as it would be written, lines ended by CR LF.
    std::string content() const;

  private:
    struct Found {
        bool sectionFound = false;
        size_t sectionLine = 0;
        size_t lastKeyLine = 0;  // the section line when it holds no key
        bool keyFound = false;
        size_t keyLine = 0;
    };
    Found find(std::string_view section, std::string_view key) const;
    const std::string* value(std::string_view section, std::string_view key,
                             std::string& scratch) const;

    std::filesystem::path file_;
    std::string readError_;
    std::vector<std::string> lines_;  // without line ends
};

}  // namespace qpane
