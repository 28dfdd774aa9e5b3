#include "store/lineeditor.h"

#include <algorithm>
#include <iostream>
#include <unordered_map>

#include "store/filecodec.h"
#include "store/fileio.h"
#include "util/codepage.h"
#include "util/safefile.h"
#include "util/text.h"

namespace {

// The header line "[section]".
std::string HeaderOf(std::string_view section)
{
    std::string header;
    header.reserve(section.size() + 2);
    header += '[';
    header += section;
    header += ']';
    return header;
}

// The key of a line (the text before the first "="), or nothing for a line without "=".
std::optional<std::string_view> KeyOf(std::string_view line)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return line.substr(0, eq);
}

// True when key is column, "_", a row number (split at the last "_").
bool IsRowKeyOf(std::string_view key, std::string_view column)
{
    const std::size_t us = key.rfind('_');
    if (us == std::string_view::npos || key.substr(0, us) != column || us + 1 == key.size())
        return false;
    for (char ch : key.substr(us + 1)) {
        if (ch < '0' || ch > '9')
            return false;
    }
    return true;
}

// Index of the header line [name] (exact), or -1.
int32_t FindHeader(const std::vector<std::string>& lines, std::string_view name)
{
    const std::string header = HeaderOf(name);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == header)
            return static_cast<int32_t>(i);
    }
    return -1;
}

// Body of the section as [first, end) line indices; first == end for an empty body.
bool BodyOf(const std::vector<std::string>& lines, std::string_view name, std::size_t& first,
            std::size_t& end)
{
    const int32_t header = FindHeader(lines, name);
    if (header < 0)
        return false;
    first = static_cast<std::size_t>(header) + 1;
    end = first;
    while (end < lines.size() && !IsHeaderLine(lines[end]))
        ++end;
    return true;
}

} // namespace

TLineEditor::TLineEditor(std::string fileName) : m_fileName(std::move(fileName)) {}

bool TLineEditor::ReadLines()
{
    m_lines.clear();
    std::string bytes;
    if (!ReadWholeFile(m_fileName, bytes))
        return false;
    std::string storage;
    std::string_view text;
    m_codePage = DecodeFileBytes(bytes, FileCodePage(), storage, text);
    for (std::string_view line : SplitLines(text))
        m_lines.emplace_back(line);
    return true;
}

bool TLineEditor::WriteLines()
{
    std::string text;
    for (const std::string& line : m_lines) {
        text += line;
        text += "\r\n";
    }
    if (!EncodeForCodePage(text, m_codePage))
        m_codePage = kUtf8CodePage;
    std::string error;
    if (!ReplaceFile(m_fileName, text, error)) {
        std::cerr << "tremlow: writing '" << m_fileName << "' failed: " << error << '\n';
        return false;
    }
    return true;
}

bool TLineEditor::SectionExists(std::string_view name) const
{
    return FindHeader(m_lines, name) >= 0;
}

std::optional<TLineRange> TLineEditor::SectionRange(std::string_view name) const
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, name, first, end) || first == end)
        return std::nullopt;
    return TLineRange{static_cast<int32_t>(first), static_cast<int32_t>(end - 1)};
}

bool TLineEditor::KeyExists(std::string_view section, std::string_view key) const
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end))
        return false;
    for (std::size_t i = first; i < end; ++i) {
        if (KeyOf(m_lines[i]) == key)
            return true;
    }
    return false;
}

std::string TLineEditor::ReadValue(std::string_view section, std::string_view key) const
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end))
        return {};
    for (std::size_t i = first; i < end; ++i) {
        const auto k = KeyOf(m_lines[i]);
        if (k == key)
            return m_lines[i].substr(k->size() + 1);
    }
    return {};
}

void TLineEditor::WriteValue(std::string_view section, std::string_view key, std::string_view value)
{
    std::string line;
    line.reserve(key.size() + value.size() + 1);
    line += key;
    line += '=';
    line += value;
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end)) {
        m_lines.push_back(HeaderOf(section));
        m_lines.push_back(std::move(line));
        return;
    }
    for (std::size_t i = first; i < end; ++i) {
        if (KeyOf(m_lines[i]) == key) {
            m_lines[i] = std::move(line);
            return;
        }
    }
    const std::size_t at = first == end ? first : end - 1;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void TLineEditor::DeleteKey(std::string_view section, std::string_view key)
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end))
        return;
    const auto from = m_lines.begin() + static_cast<std::ptrdiff_t>(first);
    const auto to = m_lines.begin() + static_cast<std::ptrdiff_t>(end);
    const auto kept = std::remove_if(from, to, [key](const std::string& line) {
        const auto k = KeyOf(line);
        return k && (*k == key || IsRowKeyOf(*k, key));
    });
    m_lines.erase(kept, to);
}

void TLineEditor::RenameColumn(std::string_view section, std::string_view oldName, std::string_view newName)
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end))
        return;
    for (std::size_t i = first; i < end; ++i) {
        std::string& line = m_lines[i];
        const auto k = KeyOf(line);
        if (!k)
            continue;
        if (*k == oldName || IsRowKeyOf(*k, oldName))
            line.replace(0, oldName.size(), newName);
    }
}

void TLineEditor::MergeColumn(std::string_view section, std::string_view from, std::string_view to)
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end))
        return;
    // Lines of the target column by row number, looked up once instead of a scan per row.
    std::unordered_map<std::string, std::size_t> targets;
    for (std::size_t i = first; i < end; ++i) {
        const auto k = KeyOf(m_lines[i]);
        if (k && IsRowKeyOf(*k, to))
            targets.emplace(std::string(*k), i);
    }
    int64_t row = 1;
    std::string fromKey = std::string(from) + "_1";
    std::string toKey;
    for (std::size_t i = first; i < end; ++i) {
        const auto k = KeyOf(m_lines[i]);
        if (!k || *k != fromKey)
            continue;
        std::string_view value = std::string_view(m_lines[i]).substr(k->size() + 1);
        if (Trim(value) == kFileNull)
            value = {};
        toKey = std::string(to) + "_" + std::to_string(row);
        const auto target = targets.find(toKey);
        if (target != targets.end() && target->second != i) {
            // The target's own "NULL" is an empty value too, so it never becomes part of a name.
            std::string& line = m_lines[target->second];
            const std::size_t valueStart = line.find('=') + 1;
            std::string merged = line.substr(valueStart);
            if (Trim(merged) == kFileNull)
                merged.clear();
            merged += ' ';
            merged += value;
            merged = Trim(merged);
            line.replace(valueStart, std::string::npos, merged.empty() ? std::string(kFileNull) : merged);
        }
        ++row;
        fromKey = std::string(from) + "_" + std::to_string(row);
    }
}
