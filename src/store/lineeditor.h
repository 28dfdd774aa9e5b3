#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// First and last line index (inclusive) of a section's body in the file image.
struct TLineRange {
    int32_t First = 0;
    int32_t Last = 0;
};

// The lines of a project file as text, edited key by key, for the conversion of files written
// in an older layout; the record store never keeps such an image.
class TLineEditor final {
public:
    explicit TLineEditor(std::string fileName = {});

    const std::string& FileName() const { return m_fileName; }
    // The code page the file was read in; kUtf8CodePage when it was UTF-8 or mixed.
    int CodePage() const { return m_codePage; }

    // Reads FileName() into the line image (text decoded to UTF-8, any line ending);
    // false when the file cannot be read.
    bool ReadLines();
    // Writes the line image to FileName() (CR LF) in the code page it was read in, through the
    // crash-safe writer; shows nothing.
    bool WriteLines();
    std::vector<std::string>& Lines() { return m_lines; }
    const std::vector<std::string>& Lines() const { return m_lines; }

    // Section headers and keys are compared exactly.
    bool SectionExists(std::string_view name) const;
    // The body lines of the section; none when the section is missing or has no body.
    std::optional<TLineRange> SectionRange(std::string_view name) const;
    bool KeyExists(std::string_view section, std::string_view key) const;
    // Value of the first line of the section with that key; empty when there is none.
    std::string ReadValue(std::string_view section, std::string_view key) const;
    // Replaces the first line with the key, or inserts "key=value" before the last body line
    // (right after the header of a section without body); a missing section is appended
    // at the end with its key line.
    void WriteValue(std::string_view section, std::string_view key, std::string_view value);
    // Deletes the lines whose key is key or key, "_", a row number.
    void DeleteKey(std::string_view section, std::string_view key);
    // Renames the column: keys old -> new and old_r -> new_r; values stay.
    void RenameColumn(std::string_view section, std::string_view oldName, std::string_view newName);
    // Appends, row by row, the value of from_r after a blank to the value of to_r and trims it;
    // "NULL" on either side counts as empty, and an empty result is written as "NULL".
    void MergeColumn(std::string_view section, std::string_view from, std::string_view to);

private:
    std::vector<std::string> m_lines;
    std::string m_fileName;
    int m_codePage = 0;
};
