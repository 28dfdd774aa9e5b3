#pragma once

#include <string>
#include <string_view>

// 8-bit code pages of files that other programs write: project and language files are either
// UTF-8 or 8-bit text in one Windows code page, and an 8-bit file is written back in the code
// page it was read in. The code page numbers are Windows' (1251 Cyrillic, 1252 Western, ...).

// Marks text held, or to be written, as UTF-8 rather than in an 8-bit code page.
inline constexpr int kUtf8CodePage = 0;
inline constexpr int kDefaultCodePage = 1251;

// The code page 8-bit files are read in: a setting of the user, Windows-1251 until set.
int FileCodePage();
// False (and the code page unchanged) for a number that names no 8-bit code page known here.
bool SetFileCodePage(int codePage);

// True when codePage names an 8-bit code page the system can convert.
bool IsKnownCodePage(int codePage);
// The number of a code page written as "1252", "cp1252" or "windows-1252"; 0 when the text
// names no known 8-bit code page.
int ParseCodePage(std::string_view text);

// 8-bit text to UTF-8. A byte the code page leaves undefined becomes the control character of
// the same number, so that writing the text back restores the byte.
std::string CodePageToUtf8(std::string_view bytes, int codePage);
// UTF-8 text to the code page; false when a character has no byte there (bytes is then
// unspecified).
bool Utf8ToCodePage(std::string_view text, int codePage, std::string& bytes);

// Decodes the bytes of a whole file. A valid UTF-8 file (a leading byte-order mark dropped) is
// kept as it is and gives kUtf8CodePage. Any other file is read line by line - in project and
// language files a line holds one value - a line that is valid UTF-8 as UTF-8 and any other in
// codePage; the result is codePage when no line held UTF-8 beyond ASCII (a plain 8-bit file),
// else kUtf8CodePage (a file that mixes both, to be written as UTF-8). text views bytes or
// storage.
int DecodeFileBytes(std::string_view bytes, int codePage, std::string& storage, std::string_view& text);

// Text of a file read whole: a UTF-8 file (a leading byte-order mark dropped) is kept; in any
// other file each line that is not valid UTF-8 is read in the 8-bit code page of files
// (DecodeFileBytes).
std::string DecodeFileText(std::string_view bytes);
