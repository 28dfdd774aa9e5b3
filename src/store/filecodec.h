#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The text form of a project file: how its values are read and written, and its decoded text
// split into sections of "key=value" lines. The record store and the column tables build on it.

inline constexpr std::string_view kFileNull = "NULL";
inline constexpr std::string_view kFieldNums = "FIELD_NUMS";

// A whole decimal number with an optional "+" (then optionally "-"), any leading zeros; false for
// anything else or out of range, and the value is then left as it was. Inline and digit by digit:
// it runs once for every number of a project being loaded.
inline bool ParseInt(std::string_view text, int32_t& value)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    if (p != end && *p == '+')
        ++p;
    const bool negative = p != end && *p == '-';
    if (negative)
        ++p;
    if (p == end)
        return false;
    constexpr uint64_t kMagnitudeMax = uint64_t{1} << 31;
    uint64_t magnitude = 0;
    for (; p != end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit > 9)
            return false;
        magnitude = magnitude * 10 + digit;
        if (magnitude > kMagnitudeMax)
            return false;
    }
    if (!negative && magnitude == kMagnitudeMax)
        return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
    return true;
}
bool ParseInt(std::string_view text, int16_t& value);
// A number; any but 0 is true.
bool ParseBool(std::string_view text, bool& value);

// Appends to a string through a raw pointer: the string grows in large steps and is cut to its
// real length by Finish, which is far cheaper than a great many small std::string appends.
class TTextOut final {
public:
    explicit TTextOut(std::string& target) : m_target(target) { m_target.clear(); }
    TTextOut(const TTextOut&) = delete;
    TTextOut& operator=(const TTextOut&) = delete;

    void Put(char ch)
    {
        Room(1);
        m_data[m_length++] = ch;
    }
    void Put(std::string_view text)
    {
        Room(text.size());
        std::memcpy(m_data + m_length, text.data(), text.size());
        m_length += text.size();
    }
    void PutInt(int64_t value)
    {
        Room(24);
        m_length = static_cast<std::size_t>(
            std::to_chars(m_data + m_length, m_data + m_length + 24, value).ptr - m_data);
    }
    void Reserve(std::size_t bytes) { Room(bytes); }
    void Finish() { m_target.resize(m_length); }

private:
    void Room(std::size_t bytes)
    {
        if (m_length + bytes > m_target.size()) {
            m_target.resize(std::max(m_target.size() * 2, m_length + bytes + 4096));
            m_data = m_target.data();
        }
    }

    std::string& m_target;
    char* m_data = nullptr;
    std::size_t m_length = 0;
};

// A date as the file writes it; false for a date that cannot be written.
bool AppendDate(TTextOut& out, double date);
// A short text on one line: empty as "NULL"; a stray line break would split the record, so it
// becomes a blank.
void AppendShortText(TTextOut& out, const std::string& text);
// A description on one line: every line break (CR LF, or a lone CR or LF) as "&&&&&".
void AppendDescription(TTextOut& out, const std::string& text);
// A description as read: every "&&&&&" back to CR LF.
std::string RestoreLineBreaks(std::string_view text);
// The header line "[name]" with its line end.
void PutHeader(TTextOut& out, std::string_view name);
// The start "name_row=" of a record's value line.
void PutValueKey(TTextOut& out, std::string_view name, int32_t row);

// A section header starts with "[" and ends with "]", judged on its first 255 characters.
bool IsHeaderLine(std::string_view line);
// Values are read up to 255 characters (descriptions are kept whole by the caller).
std::string_view CutValue(std::string_view value, std::string& storage);

// Converts UTF-8 text to the 8-bit code page a file is written in (none for kUtf8CodePage);
// false, with the text left as UTF-8, when that code page cannot hold it.
bool EncodeForCodePage(std::string& text, int codePage);

struct TKeyValue {
    std::string_view key;
    std::string_view value;
};

// Where one "key=value" line lies in the text (12 bytes a line instead of two views).
struct TPairPos {
    uint32_t keyStart;
    uint32_t valueStart;
    uint32_t valueEnd;
};

// The key/value lines of one section.
class TSectionPairs final {
public:
    TSectionPairs() = default;
    TSectionPairs(std::string_view text, std::span<const TPairPos> pos) : m_text(text), m_pos(pos) {}

    std::size_t size() const { return m_pos.size(); }
    bool empty() const { return m_pos.empty(); }
    TKeyValue operator[](std::size_t i) const
    {
        const TPairPos& p = m_pos[i];
        const char* data = m_text.data();
        return {std::string_view(data + p.keyStart, p.valueStart - 1 - p.keyStart),
                std::string_view(data + p.valueStart, p.valueEnd - p.valueStart)};
    }

private:
    std::string_view m_text;
    std::span<const TPairPos> m_pos;
};

// The decoded text of a project file: where its section headers are, found in one pass, and
// the key and value of every line with "=" of one section at a time, in file order. Lines
// without "=" play no part in reading; the views point into the text. Only one section's lines
// are indexed at a time, so a load needs little more memory than the text itself.
class TProjectText final {
public:
    explicit TProjectText(std::string_view text);

    // Texts of 4 GB and more are not read.
    bool TooLarge() const { return m_tooLarge; }
    // The line number (from 1) of a view into the text; counted only when a failure is reported.
    int32_t LineOf(std::string_view part) const;
    // The key/value lines of the first section whose header equals [name] ignoring letter
    // case; empty when the section is missing. Valid until the next call.
    TSectionPairs Body(std::string_view name);

private:
    struct THeader {
        std::string_view line;
        std::size_t bodyStart; // the first byte after the header line
    };

    void IndexPairs(std::size_t from, std::size_t to);

    std::string_view m_text;
    bool m_tooLarge = false;
    std::vector<TPairPos> m_pairs;
    std::vector<THeader> m_headers;
};
