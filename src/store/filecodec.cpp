#include "store/filecodec.h"

#include <limits>

#include "store/fileio.h"
#include "util/codepage.h"
#include "util/dates.h"
#include "util/text.h"

namespace {

constexpr std::string_view kLineBreakMark = "&&&&&";

bool IsAscii(std::string_view text)
{
    for (char ch : text) {
        if (static_cast<unsigned char>(ch) >= 0x80)
            return false;
    }
    return true;
}

char AsciiLower(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool SameNoCase(std::string_view a, std::string_view b)
{
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (AsciiLower(a[i]) != AsciiLower(b[i]))
                return false;
        }
        return true;
    }
    return EqualsNoCase(a, b);
}

} // namespace

// ---- values -------------------------------------------------------------------------------

bool ParseInt(std::string_view text, int16_t& value)
{
    int32_t wide = 0;
    if (!ParseInt(text, wide) || wide < std::numeric_limits<int16_t>::min() ||
        wide > std::numeric_limits<int16_t>::max())
        return false;
    value = static_cast<int16_t>(wide);
    return true;
}

bool ParseBool(std::string_view text, bool& value)
{
    int32_t n = 0;
    if (!ParseInt(text, n))
        return false;
    value = n != 0;
    return true;
}

bool AppendDate(TTextOut& out, double date)
{
    std::string text;
    if (!FormatFileDate(date, text))
        return false;
    out.Put(text);
    return true;
}

void AppendShortText(TTextOut& out, const std::string& text)
{
    if (text.empty()) {
        out.Put(kFileNull);
        return;
    }
    if (text.find_first_of("\r\n") == std::string::npos) {
        out.Put(text);
        return;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out.Put((ch == '\r' || ch == '\n') ? ' ' : ch);
    }
}

void AppendDescription(TTextOut& out, const std::string& text)
{
    if (text.empty()) {
        out.Put(kFileNull);
        return;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r') {
            out.Put(kLineBreakMark);
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (ch == '\n') {
            out.Put(kLineBreakMark);
        } else {
            out.Put(ch);
        }
    }
}

std::string RestoreLineBreaks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t mark = text.find(kLineBreakMark, pos);
        if (mark == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, mark - pos));
        out += "\r\n";
        pos = mark + kLineBreakMark.size();
    }
}

void PutHeader(TTextOut& out, std::string_view name)
{
    out.Put('[');
    out.Put(name);
    out.Put("]\r\n");
}

void PutValueKey(TTextOut& out, std::string_view name, int32_t row)
{
    out.Put(name);
    out.Put('_');
    out.PutInt(row);
    out.Put('=');
}

bool IsHeaderLine(std::string_view line)
{
    if (line.empty() || line.front() != '[')
        return false;
    if (line.size() <= kShortTextMax)
        return line.back() == ']';
    const std::string cut = CutChars(line, kShortTextMax);
    return cut.back() == ']';
}

std::string_view CutValue(std::string_view value, std::string& storage)
{
    if (value.size() <= kShortTextMax)
        return value;
    storage = CutChars(value, kShortTextMax);
    return storage;
}

bool EncodeForCodePage(std::string& text, int codePage)
{
    if (codePage == kUtf8CodePage)
        return true;
    // An 8-bit file is written back in its own code page, so that 8-bit readers keep reading it.
    std::string encoded;
    if (Utf8ToCodePage(text, codePage, encoded)) {
        text = std::move(encoded);
        return true;
    }
    return false;
}

// ---- the text of a project file -------------------------------------------------------------

TProjectText::TProjectText(std::string_view text) : m_text(text)
{
    if (text.size() >= std::numeric_limits<uint32_t>::max()) {
        m_tooLarge = true;
        return;
    }
    m_pairs.reserve(text.size() / 16 + 16);
    TLineCursor lines(text);
    std::string_view line;
    while (lines.Next(line))
        AddLine(line);
}

int32_t TProjectText::LineOf(std::string_view part) const
{
    const std::size_t end = static_cast<std::size_t>(part.data() - m_text.data());
    int32_t line = 1;
    for (std::size_t i = 0; i < end && i < m_text.size(); ++i) {
        if (m_text[i] == '\n' || (m_text[i] == '\r' && (i + 1 >= m_text.size() || m_text[i + 1] != '\n')))
            ++line;
    }
    return line;
}

TSectionPairs TProjectText::Body(std::string_view name) const
{
    for (std::size_t h = 0; h < m_headers.size(); ++h) {
        const std::string_view line = m_headers[h].line;
        // A character takes at most 4 bytes, so longer headers cannot match.
        if (line.size() < 2 || line.size() - 2 > 4 * name.size() ||
            !SameNoCase(line.substr(1, line.size() - 2), name))
            continue;
        const std::size_t first = m_headers[h].firstPair;
        const std::size_t end = h + 1 < m_headers.size() ? m_headers[h + 1].firstPair : m_pairs.size();
        return TSectionPairs(m_text, std::span<const TPairPos>(m_pairs.data() + first, end - first));
    }
    return {};
}

void TProjectText::AddLine(std::string_view line)
{
    if (!line.empty() && line.front() == '[' && IsHeaderLine(line)) {
        m_headers.push_back({line, m_pairs.size()});
        return;
    }
    const void* eq = std::memchr(line.data(), '=', line.size());
    if (!eq)
        return;
    const auto start = static_cast<uint32_t>(line.data() - m_text.data());
    const auto at = static_cast<uint32_t>(static_cast<const char*>(eq) - m_text.data());
    m_pairs.push_back({start, at + 1, start + static_cast<uint32_t>(line.size())});
}
