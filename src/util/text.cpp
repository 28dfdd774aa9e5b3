#include "util/text.h"

#include <cstdint>

namespace {

// Length of the UTF-8 sequence starting with byte b, 0 for a byte that cannot start one.
std::size_t SequenceLength(unsigned char b)
{
    if (b < 0x80)
        return 1;
    if ((b & 0xE0) == 0xC0)
        return b >= 0xC2 ? 2 : 0;
    if ((b & 0xF0) == 0xE0)
        return 3;
    if ((b & 0xF8) == 0xF0)
        return b <= 0xF4 ? 4 : 0;
    return 0;
}

// Decodes one character at text[pos]; advances pos. Invalid bytes decode as themselves.
char32_t DecodeAt(std::string_view text, std::size_t& pos)
{
    const auto b = static_cast<unsigned char>(text[pos]);
    const std::size_t len = SequenceLength(b);
    if (len <= 1 || pos + len > text.size()) {
        ++pos;
        return b;
    }
    char32_t c = b & (0x7F >> len);
    for (std::size_t i = 1; i < len; ++i)
        c = (c << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    pos += len;
    return c;
}

void Encode(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t len = SequenceLength(b);
        if (len == 0 || i + len > text.size())
            return false;
        for (std::size_t k = 1; k < len; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        if (len == 3) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 >= 0xA0))
                return false; // overlong form or surrogate
        } else if (len == 4) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            if ((b == 0xF0 && b1 < 0x90) || (b == 0xF4 && b1 >= 0x90))
                return false;
        }
        i += len;
    }
    return true;
}

std::size_t CharCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count)
        DecodeAt(text, pos);
    return count;
}

std::string CutChars(std::string_view text, std::size_t maxChars)
{
    std::size_t pos = 0;
    for (std::size_t n = 0; n < maxChars && pos < text.size(); ++n)
        DecodeAt(text, pos);
    return std::string(text.substr(0, pos));
}

std::u32string ToU32(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();)
        out += DecodeAt(text, pos);
    return out;
}

std::string FromU32(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text)
        Encode(c, out);
    return out;
}

char32_t LowerChar(char32_t c)
{
    if (c >= U'A' && c <= U'Z')
        return c + 32;
    if (c < 0x80)
        return c;
    if (c >= 0x0410 && c <= 0x042F)
        return c + 0x20;
    if (c >= 0x0400 && c <= 0x040F)
        return c + 0x50;
    if (c >= 0x0460 && c <= 0x04FF && (c % 2) == 0)
        return c + 1;
    if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7)
        return c + 0x20;
    if (c >= 0x0391 && c <= 0x03AB && c != 0x03A2)
        return c + 0x20;
    return c;
}

char32_t UpperChar(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return c - 32;
    if (c < 0x80)
        return c;
    if (c >= 0x0430 && c <= 0x044F)
        return c - 0x20;
    if (c >= 0x0450 && c <= 0x045F)
        return c - 0x50;
    if (c >= 0x0460 && c <= 0x04FF && (c % 2) == 1)
        return c - 1;
    if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7)
        return c - 0x20;
    if (c >= 0x03B1 && c <= 0x03CB && c != 0x03C2)
        return c - 0x20;
    return c;
}

std::string ToLowerText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();)
        Encode(LowerChar(DecodeAt(text, pos)), out);
    return out;
}

std::string ToUpperText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();)
        Encode(UpperChar(DecodeAt(text, pos)), out);
    return out;
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t ca = LowerChar(DecodeAt(a, i));
        const char32_t cb = LowerChar(DecodeAt(b, j));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return CompareNoCase(a, b) == 0;
}

std::string Trim(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string FillPlaceholders(std::string_view text, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 1 < text.size() && text[i] == '%' ? static_cast<std::size_t>(text[i + 1] - '1') : 9;
        if (n < args.size()) {
            out += args.begin()[n];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool IsReservedNull(std::string_view text)
{
    return EqualsNoCase(Trim(text), "NULL");
}
