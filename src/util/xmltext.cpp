#include "util/xmltext.h"

#include <cstdint>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsAllowedCodePoint(char32_t c)
{
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    if (c >= 0xD800 && c <= 0xDFFF)
        return false;
    if (c >= 0xFDD0 && c <= 0xFDEF)
        return false;
    if ((c & 0xFFFE) == 0xFFFE)
        return false;
    return c <= 0x10FFFF;
}

// Decodes one UTF-8 sequence at text[pos]; its length in length, 0 when it is malformed.
char32_t DecodeAt(std::string_view text, size_t pos, size_t& length)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    length = 0;
    if (lead < 0x80) {
        length = 1;
        return lead;
    }
    size_t need = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        need = 1, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        need = 2, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        need = 3, c = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (pos + need >= text.size())
        return 0;
    for (size_t i = 1; i <= need; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum)
        return 0;
    length = need + 1;
    return c;
}

} // namespace

std::string XmlSafeText(std::string_view utf8)
{
    if (IsXmlSafeText(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        size_t length = 0;
        const char32_t c = DecodeAt(utf8, pos, length);
        if (length == 0) {
            out += kReplacement;
            ++pos;
            continue;
        }
        if (IsAllowedCodePoint(c))
            out.append(utf8.substr(pos, length));
        else
            out += kReplacement;
        pos += length;
    }
    return out;
}

bool IsXmlSafeText(std::string_view utf8)
{
    size_t pos = 0;
    while (pos < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[pos]);
        if (byte >= 0x20 && byte < 0x80) {
            ++pos;
            continue;
        }
        size_t length = 0;
        const char32_t c = DecodeAt(utf8, pos, length);
        if (length == 0 || !IsAllowedCodePoint(c))
            return false;
        pos += length;
    }
    return true;
}

std::string XmlId(char letter, int64_t number)
{
    // Appended, not added: GCC 12 at -O3 warns falsely on a literal added to a temporary string.
    std::string id(1, letter);
    id += std::to_string(number);
    return id;
}
