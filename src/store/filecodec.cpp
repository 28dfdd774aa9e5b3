#include "store/filecodec.h"

#include <bit>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    // A header is a line that starts with "[": only the "[" that follow a line end are looked at.
    const char* data = text.data();
    const std::size_t size = text.size();
    std::size_t pos = 0;
    while (pos < size) {
        const void* found = std::memchr(data + pos, '[', size - pos);
        if (!found)
            break;
        const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        pos = at + 1;
        if (at > 0 && data[at - 1] != '\r' && data[at - 1] != '\n')
            continue;
        std::size_t end = at;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        const std::string_view line = text.substr(at, end - at);
        if (IsHeaderLine(line)) {
            m_headers.push_back({line, end});
            pos = end;
        }
    }
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

TSectionPairs TProjectText::Body(std::string_view name)
{
    for (std::size_t h = 0; h < m_headers.size(); ++h) {
        const std::string_view line = m_headers[h].line;
        // A character takes at most 4 bytes, so longer headers cannot match.
        if (line.size() < 2 || line.size() - 2 > 4 * name.size() ||
            !SameNoCase(line.substr(1, line.size() - 2), name))
            continue;
        const std::size_t end = h + 1 < m_headers.size()
                                    ? static_cast<std::size_t>(m_headers[h + 1].line.data() - m_text.data())
                                    : m_text.size();
        IndexPairs(m_headers[h].bodyStart, end);
        return TSectionPairs(m_text, m_pairs);
    }
    return {};
}

// Lines are split at CR, LF and CR LF, as TLineCursor splits them; the range starts at a line
// end or a line start and ends at a line start or the end of the text. The bytes that matter
// (CR, LF, "=") are found 16 at a time where the processor can compare that many at once.
void TProjectText::IndexPairs(std::size_t from, std::size_t to)
{
    m_pairs.clear();
    m_pairs.reserve((to - from) / 16 + 16);
    const char* data = m_text.data();
    constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
    std::size_t lineStart = from;
    std::size_t equals = kNone;
    const auto at = [&](std::size_t p) {
        const char ch = data[p];
        if (ch == '=') {
            if (equals == kNone)
                equals = p;
            return;
        }
        // The LF of a CR LF: the line ended at the CR.
        if (ch == '\n' && p == lineStart && p > from && data[p - 1] == '\r') {
            lineStart = p + 1;
            return;
        }
        if (equals != kNone)
            m_pairs.push_back({static_cast<uint32_t>(lineStart), static_cast<uint32_t>(equals + 1),
                               static_cast<uint32_t>(p)});
        lineStart = p + 1;
        equals = kNone;
    };
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i eq = _mm_set1_epi8('=');
    for (; i + 16 <= to; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)),
                                          _mm_cmpeq_epi8(bytes, eq));
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1)
            at(i + static_cast<std::size_t>(std::countr_zero(mask)));
    }
#endif
    for (; i < to; ++i) {
        const char ch = data[i];
        if (ch == '\r' || ch == '\n' || ch == '=')
            at(i);
    }
    // A last line without a line end.
    if (lineStart < to && equals != kNone)
        m_pairs.push_back({static_cast<uint32_t>(lineStart), static_cast<uint32_t>(equals + 1),
                           static_cast<uint32_t>(to)});
}
