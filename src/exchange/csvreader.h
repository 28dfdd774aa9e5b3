#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Bounds that keep a wrongly chosen or hostile file from exhausting memory; a class list stays
// far below them, and the choices matrix of the largest group Tremlow is made for (2000 members,
// as its own export writes it, long names included) fits.
struct TCsvLimits {
    std::size_t MaxBytes = 16u * 1024u * 1024u;
    std::size_t MaxColumns = 4096;
    std::size_t MaxRows = 100000;
    std::size_t MaxFieldBytes = 64u * 1024u;
};

// One record of a CSV file with the line it starts on (1-based).
struct TCsvRow {
    int32_t Line = 0;
    std::vector<std::string> Fields;
};

// A CSV file read whole: its separator and its non-blank records, text in UTF-8.
struct TCsvTable {
    char Separator = ',';
    std::vector<TCsvRow> Rows;
};

// Reads CSV text (RFC 4180: fields in double quotes may hold separators, doubled quotes and line
// breaks). The separator is the one of comma, semicolon and tab found most often outside quotes
// in the first record. Text in UTF-8 (with or without a byte order mark) is kept, anything else
// is read as the legacy Windows-1251 code page. Records whose fields are all blank are skipped.
// On failure error says what is wrong and where, in the user's words.
bool ReadCsvText(std::string_view bytes, TCsvTable& table, std::string& error, const TCsvLimits& limits = {});
// The same for a file (see ReadImportFile).
bool ReadCsvFile(const std::string& path, TCsvTable& table, std::string& error, const TCsvLimits& limits = {});

// Reads an import file whole; a file that cannot be read or is larger than the limit is refused.
bool ReadImportFile(const std::string& path, std::string& bytes, std::string& error, const TCsvLimits& limits = {});

// Writing CSV: one field (quoted when it holds a comma, a quote or a line break) and one record
// ending in CR LF.
std::string CsvField(std::string_view text);
// Text a spreadsheet would take for a formula - beginning with =, +, -, @, a tab or a carriage
// return - gets a leading apostrophe, which spreadsheets read as "this is text" and hide; every
// CSV output passes names and other user text through here (numbers are written as they are).
std::string SpreadsheetSafeText(std::string_view text);
std::string CsvRecord(const std::vector<std::string>& fields);
