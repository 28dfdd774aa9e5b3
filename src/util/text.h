#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

// Text helpers for the core's UTF-8 strings: character counts, safe cuts, case folding
// for Latin and Cyrillic letters.

inline constexpr std::size_t kShortTextMax = 255;

bool IsValidUtf8(std::string_view text);

// Number of characters (code points) in valid UTF-8.
std::size_t CharCount(std::string_view text);

// The first maxChars characters of text; never cuts a character in half.
std::string CutChars(std::string_view text, std::size_t maxChars = kShortTextMax);

std::u32string ToU32(std::string_view text);
std::string FromU32(std::u32string_view text);

// Lower case of Latin, Cyrillic and Greek letters; other characters unchanged.
char32_t LowerChar(char32_t c);
char32_t UpperChar(char32_t c);
std::string ToLowerText(std::string_view text);
std::string ToUpperText(std::string_view text);

// Compares two texts ignoring letter case: <0, 0 or >0.
int CompareNoCase(std::string_view a, std::string_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Removes blanks, tabs and line breaks at both ends.
std::string Trim(std::string_view text);

// A catalogue text with %1, %2, ... %9 replaced by args in turn, in one pass (an argument that
// holds "%2" stays as it is); a placeholder without an argument is kept.
std::string FillPlaceholders(std::string_view text, std::initializer_list<std::string_view> args);

// Whether the text is the word project and group files write for an empty value ("NULL" in any
// letter case, blanks around it ignored). Such a name or password would read back empty, so every
// name field, password field and importer refuses it.
bool IsReservedNull(std::string_view text);
