#pragma once

#include <string>
#include <utility>
#include <vector>

// Reads an INI-layout text file the way the desktop's private-profile functions do: sections and
// keys matched without regard to letter case, the value after the first "=" with the blanks around
// it and one pair of enclosing quotes dropped, and the first occurrence of a key winning over later ones. A section whose name
// repeats an earlier one continues it.
class TIniFile final {
public:
    // Reads the whole file (UTF-8, or legacy Windows-1251; CR LF or LF line ends). A file that
    // cannot be read gives an empty INI file, as the private-profile functions treat it.
    explicit TIniFile(const std::string& path);

    // Parses text already held in memory (UTF-8).
    static TIniFile FromText(const std::string& text);

    bool IsLoaded() const { return m_loaded; }

    // The value of a key, or defaultValue when the section or the key is absent.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    bool SectionExists(const std::string& section) const;
    bool KeyExists(const std::string& section, const std::string& key) const;
    // The key names of a section in file order, duplicates included as they stand.
    std::vector<std::string> ReadSectionKeys(const std::string& section) const;
    // Section names in file order (each name once, as first written).
    std::vector<std::string> SectionNames() const;

private:
    TIniFile() = default;
    void Parse(const std::string& text);

    struct TSection {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    std::size_t SectionIndex(const std::string& name) const; // size() when absent
    const TSection* FindSection(const std::string& name) const;

    std::vector<TSection> m_sections;
    bool m_loaded = false;
};
