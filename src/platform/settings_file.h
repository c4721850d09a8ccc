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
// without regard to case; values are trimmed of blanks and tabs. Every write replaces the
// file as a whole (a temporary file renamed over it), so the file on disk is always either
// the old one or the new one; lines the console does not know are kept as they were.
class SettingsFile {
  public:
    // Reads the file; a missing or unreadable file reads as empty.
    explicit SettingsFile(std::filesystem::path file);

    const std::filesystem::path& path() const { return file_; }

    // An optional sign and decimal digits within 32 bits; anything else gives def.
    int readInteger(std::string_view section, std::string_view key, int def) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def) const;

    // Writes one key at once; throws SettingsError when the file cannot be written.
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
    void save() const;

    std::filesystem::path file_;
    std::vector<std::string> lines_;  // without line ends
};

}  // namespace qpane
