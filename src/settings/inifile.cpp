#include "settings/inifile.h"

#include <fstream>
#include <sstream>

#include "util/codepage.h"
#include "util/text.h"

namespace {

// One pair of single or double quotes around a whole value is dropped, as the private-profile
// functions drop it, so a value can keep blanks at its ends.
std::string Unquote(std::string value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

TIniFile::TIniFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    m_loaded = true;
    Parse(DecodeFileText(bytes.str()));
}

TIniFile TIniFile::FromText(const std::string& text)
{
    TIniFile ini;
    ini.m_loaded = true;
    ini.Parse(text);
    return ini;
}

void TIniFile::Parse(const std::string& text)
{
    // Entries of a repeated section join the first section of that name; lookups take the first
    // of equal keys, as the private-profile functions do.
    TSection* current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = Trim(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            const std::size_t close = line.find(']');
            const std::string name =
                Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            const std::size_t index = SectionIndex(name);
            if (index == m_sections.size())
                m_sections.push_back({name, {}});
            current = &m_sections[index];
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!current || eq == std::string::npos)
            continue;
        std::string key = Trim(line.substr(0, eq));
        if (key.empty())
            continue;
        current->entries.emplace_back(std::move(key), Unquote(Trim(line.substr(eq + 1))));
    }
}

std::size_t TIniFile::SectionIndex(const std::string& name) const
{
    std::size_t i = 0;
    while (i < m_sections.size() && !EqualsNoCase(m_sections[i].name, name))
        ++i;
    return i;
}

const TIniFile::TSection* TIniFile::FindSection(const std::string& name) const
{
    const std::size_t i = SectionIndex(name);
    return i < m_sections.size() ? &m_sections[i] : nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const
{
    if (const TSection* s = FindSection(section)) {
        for (const auto& [name, value] : s->entries) {
            if (EqualsNoCase(name, key))
                return value;
        }
    }
    return defaultValue;
}

bool TIniFile::SectionExists(const std::string& section) const
{
    return FindSection(section) != nullptr;
}

bool TIniFile::KeyExists(const std::string& section, const std::string& key) const
{
    if (const TSection* s = FindSection(section)) {
        for (const auto& entry : s->entries) {
            if (EqualsNoCase(entry.first, key))
                return true;
        }
    }
    return false;
}

std::vector<std::string> TIniFile::ReadSectionKeys(const std::string& section) const
{
    std::vector<std::string> keys;
    if (const TSection* s = FindSection(section)) {
        keys.reserve(s->entries.size());
        for (const auto& entry : s->entries)
            keys.push_back(entry.first);
    }
    return keys;
}

std::vector<std::string> TIniFile::SectionNames() const
{
    std::vector<std::string> names;
    for (const TSection& s : m_sections)
        names.push_back(s.name);
    return names;
}
