#include "util/codepage.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include <iconv.h>

#include "util/text.h"

namespace {

std::atomic<int> g_fileCodePage{kDefaultCodePage};

// The characters of the bytes 0x80 to 0xFF of one code page, taken from the system's converter
// once, and the way back.
struct TCodePageTable {
    std::array<char32_t, 128> high{};
    std::unordered_map<char32_t, unsigned char> back;
};

// The system converter's name of a Windows code page.
std::string ConverterName(int codePage)
{
    return "CP" + std::to_string(codePage);
}

// Converts one byte; false when the code page leaves it undefined or the converter is missing.
bool ConvertByte(iconv_t cd, unsigned char byte, char32_t& c)
{
    char in[1] = {static_cast<char>(byte)};
    char32_t out[4] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
        outLeft != sizeof out - sizeof(char32_t))
        return false;
    c = out[0];
    return true;
}

std::unique_ptr<TCodePageTable> BuildTable(int codePage)
{
    if (codePage <= 0 || codePage > 65535)
        return nullptr;
    const iconv_t cd = ::iconv_open("UTF-32LE", ConverterName(codePage).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    auto table = std::make_unique<TCodePageTable>();
    bool ascii = true;
    for (unsigned b = 0; b < 0x80 && ascii; ++b) {
        char32_t c = 0;
        ascii = ConvertByte(cd, static_cast<unsigned char>(b), c) && c == b;
    }
    int defined = 0;
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        char32_t c = 0;
        if (ConvertByte(cd, static_cast<unsigned char>(b), c)) {
            ++defined;
        } else {
            c = b; // undefined: the control character of the same number
        }
        table->high[b - 0x80] = c;
        table->back.emplace(c, static_cast<unsigned char>(b));
    }
    ::iconv_close(cd);
    // Only code pages that keep ASCII and give every byte one character are 8-bit code pages;
    // a lead byte of a multi-byte code page converts to nothing on its own.
    if (!ascii || defined < 64)
        return nullptr;
    return table;
}

const TCodePageTable* Table(int codePage)
{
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<TCodePageTable>> tables;
    const std::lock_guard lock(mutex);
    auto it = tables.find(codePage);
    if (it == tables.end())
        it = tables.emplace(codePage, BuildTable(codePage)).first;
    return it->second.get();
}

// IsValidUtf8 with a fast path over runs of ASCII, which make up nearly all of a project file.
bool IsUtf8Text(std::string_view bytes)
{
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        while (i + 8 <= size) {
            uint64_t word = 0;
            std::memcpy(&word, data + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        while (i < size && static_cast<unsigned char>(data[i]) < 0x80)
            ++i;
        if (i >= size)
            break;
        const auto lead = static_cast<unsigned char>(data[i]);
        const std::size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (len == 1 || i + len > size || !IsValidUtf8(bytes.substr(i, len)))
            return false;
        i += len;
    }
    return true;
}

bool HasHighBytes(std::string_view text)
{
    for (const char ch : text) {
        if (static_cast<unsigned char>(ch) >= 0x80)
            return true;
    }
    return false;
}

} // namespace

int FileCodePage()
{
    return g_fileCodePage.load();
}

bool SetFileCodePage(int codePage)
{
    if (!IsKnownCodePage(codePage))
        return false;
    g_fileCodePage = codePage;
    return true;
}

bool IsKnownCodePage(int codePage)
{
    return Table(codePage) != nullptr;
}

int ParseCodePage(std::string_view text)
{
    const std::string lower = ToLowerText(Trim(text));
    std::string_view digits = lower;
    for (const std::string_view prefix : {"windows-", "cp"}) {
        if (digits.starts_with(prefix)) {
            digits.remove_prefix(prefix.size());
            break;
        }
    }
    int codePage = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), codePage);
    if (digits.empty() || result.ec != std::errc() || result.ptr != digits.data() + digits.size())
        return 0;
    return IsKnownCodePage(codePage) ? codePage : 0;
}

std::string CodePageToUtf8(std::string_view bytes, int codePage)
{
    const TCodePageTable* table = Table(codePage);
    std::u32string chars;
    chars.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        chars += b < 0x80 || !table ? char32_t{b} : table->high[b - 0x80];
    }
    return FromU32(chars);
}

bool Utf8ToCodePage(std::string_view text, int codePage, std::string& bytes)
{
    bytes.clear();
    const TCodePageTable* table = Table(codePage);
    if (!table)
        return false;
    bytes.reserve(text.size());
    for (const char32_t c : ToU32(text)) {
        if (c < 0x80) {
            bytes += static_cast<char>(c);
            continue;
        }
        const auto it = table->back.find(c);
        if (it == table->back.end())
            return false;
        bytes += static_cast<char>(it->second);
    }
    return true;
}

int DecodeFileBytes(std::string_view bytes, int codePage, std::string& storage, std::string_view& text)
{
    if (bytes.starts_with("\xEF\xBB\xBF") && IsUtf8Text(bytes.substr(3))) {
        text = bytes.substr(3);
        return kUtf8CodePage;
    }
    if (IsUtf8Text(bytes)) {
        text = bytes;
        return kUtf8CodePage;
    }
    // Line by line: CR and LF end a line and are kept as they are.
    storage.clear();
    storage.reserve(bytes.size() + bytes.size() / 4);
    bool utf8Lines = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view line = bytes.substr(pos, end - pos);
        if (!HasHighBytes(line)) {
            storage += line;
        } else if (IsValidUtf8(line)) {
            storage += line;
            utf8Lines = true;
        } else {
            storage += CodePageToUtf8(line, codePage);
        }
        if (end < bytes.size())
            storage += bytes[end];
        pos = end + 1;
    }
    text = storage;
    return utf8Lines ? kUtf8CodePage : codePage;
}

std::string DecodeFileText(std::string_view bytes)
{
    std::string storage;
    std::string_view text;
    DecodeFileBytes(bytes, FileCodePage(), storage, text);
    return storage.empty() ? std::string(text) : storage;
}
