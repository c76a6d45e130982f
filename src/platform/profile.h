// Profile (INI) files with the semantics the settings rely on: sections and keys match
// without regard to ASCII case; every other section, key, comment and blank line is kept;
// integers are decimal or hexadecimal after 0x/0X, and a non-number counts as absent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace g3 {

class ProfileFile {
public:
    // Reads the file at path; a missing, unreadable, truncated or binary file reads as
    // whatever lines it yields (possibly none).
    explicit ProfileFile(std::string path);

    const std::string& path() const { return path_; }
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def = {}) const;
    int readInteger(std::string_view section, std::string_view key, int def) const;
    bool hasKey(std::string_view section, std::string_view key) const;

    // Sets the value and writes the whole file at once (temporary file, then rename). The
    // value reads back exactly (one with blanks at its ends or in quotes is quoted); one
    // with a line break cannot be stored and is refused (EINVAL), nothing changed. False
    // when the file cannot be written; lastError() tells why and the value stays set in
    // memory. A file that is there but could not be read is never written over: its lines
    // would be lost (the read's error).
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool writeInteger(std::string_view section, std::string_view key, int value);

private:
    int findSection(std::string_view section) const;
    int findKey(int sectionLine, std::string_view key) const;
    bool save();

    std::string path_;
    std::vector<std::string> lines_;
    int readError_ = 0; // why a file that is there could not be read; 0 when it was or is missing
};

// Writes bytes to path atomically (temporary file in the same folder, then rename).
bool writeFileAtomically(const std::string& path, std::string_view bytes);
// Reads a whole file; false when it cannot be read.
bool readWholeFile(const std::string& path, std::string& out);

} // namespace g3
