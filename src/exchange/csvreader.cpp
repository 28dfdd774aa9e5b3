#include "exchange/csvreader.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "exchange/exchangetext.h"
#include "util/codepage.h"
#include "util/safefile.h"
#include "util/text.h"

namespace {

// The separator most often found outside quotes before the end of the first record.
char DetectSeparator(std::string_view text)
{
    std::array<std::size_t, 3> counts{};
    constexpr std::array<char, 3> kSeparators = {',', ';', '\t'};
    bool quoted = false;
    for (const char ch : text) {
        if (ch == '"') {
            quoted = !quoted;
        } else if (!quoted) {
            if (ch == '\n' || ch == '\r')
                break;
            for (std::size_t i = 0; i < kSeparators.size(); ++i)
                counts[i] += ch == kSeparators[i] ? 1 : 0;
        }
    }
    const auto best = std::max_element(counts.begin(), counts.end());
    return *best == 0 ? ',' : kSeparators[static_cast<std::size_t>(best - counts.begin())];
}

bool IsBlankRecord(const std::vector<std::string>& fields)
{
    return std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return Trim(f).empty(); });
}

// Splits decoded text into records; the state machine of RFC 4180 with lenient line endings
// (CR LF, LF or CR) and text after a closing quote kept as part of the field.
class TCsvParser final {
public:
    TCsvParser(std::string_view text, char separator, const TCsvLimits& limits)
        : m_text(text), m_separator(separator), m_limits(limits)
    {
    }

    bool Parse(std::vector<TCsvRow>& rows, std::string& error)
    {
        int32_t line = 1;
        int32_t recordLine = 1;
        int32_t quoteLine = 0;
        bool quoted = false;
        bool fieldStarted = false;
        bool fieldQuoted = false;
        std::string field;
        std::vector<std::string> fields;
        auto endField = [&]() {
            if (fields.size() >= m_limits.MaxColumns) {
                error = ExchangeText("CSV_TOO_MANY_COLUMNS", "Line %1 has more than %2 columns.",
                                     std::to_string(recordLine), std::to_string(m_limits.MaxColumns));
                return false;
            }
            fields.push_back(std::move(field));
            field.clear();
            fieldStarted = false;
            fieldQuoted = false;
            return true;
        };
        auto endRecord = [&]() {
            if (!endField())
                return false;
            if (!IsBlankRecord(fields)) {
                if (rows.size() >= m_limits.MaxRows) {
                    error = ExchangeText("CSV_TOO_MANY_ROWS", "The file has more than %1 rows.",
                                         std::to_string(m_limits.MaxRows));
                    return false;
                }
                rows.push_back({recordLine, std::move(fields)});
            }
            fields.clear();
            return true;
        };
        for (std::size_t i = 0; i < m_text.size(); ++i) {
            const char ch = m_text[i];
            if (quoted) {
                if (ch == '"') {
                    if (i + 1 < m_text.size() && m_text[i + 1] == '"') {
                        field += '"';
                        ++i;
                    } else {
                        quoted = false;
                    }
                } else {
                    if (ch == '\n' || (ch == '\r' && !(i + 1 < m_text.size() && m_text[i + 1] == '\n')))
                        ++line;
                    field += ch;
                }
            } else if (ch == '"' && !fieldQuoted && field.find_first_not_of(" \t") == std::string::npos) {
                // Blanks before the opening quote (written by some programs) are dropped.
                field.clear();
                quoted = true;
                fieldQuoted = true;
                fieldStarted = true;
                quoteLine = line;
            } else if (ch == m_separator) {
                if (!endField())
                    return false;
            } else if (ch == '\r' || ch == '\n') {
                if (ch == '\r' && i + 1 < m_text.size() && m_text[i + 1] == '\n')
                    ++i;
                if (!endRecord())
                    return false;
                ++line;
                recordLine = line;
            } else {
                field += ch;
                fieldStarted = true;
            }
            if (field.size() > m_limits.MaxFieldBytes) {
                error = ExchangeText("CSV_FIELD_TOO_LONG", "Line %1 holds a field longer than %2 characters.",
                                     std::to_string(recordLine), std::to_string(m_limits.MaxFieldBytes));
                return false;
            }
        }
        if (quoted) {
            error = ExchangeText("CSV_UNBALANCED_QUOTE",
                                 "The quotation mark opened on line %1 is never closed.",
                                 std::to_string(quoteLine));
            return false;
        }
        if (fieldStarted || !fields.empty())
            return endRecord();
        return true;
    }

private:
    std::string_view m_text;
    char m_separator;
    const TCsvLimits& m_limits;
};

// UTF-16 text: a byte order mark, or (without one) a NUL byte in every other place of the start,
// as ASCII text in UTF-16 has.
bool IsUtf16Text(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return true;
    const std::size_t n = std::min<std::size_t>(bytes.size(), 64) & ~std::size_t{1};
    if (n < 4)
        return false;
    bool evenNul = true;
    bool oddNul = true;
    for (std::size_t i = 0; i < n; i += 2) {
        evenNul = evenNul && bytes[i] == '\0' && bytes[i + 1] != '\0';
        oddNul = oddNul && bytes[i + 1] == '\0' && bytes[i] != '\0';
    }
    return evenNul || oddNul;
}

std::string TooLargeText(const TCsvLimits& limits)
{
    return ExchangeText("CSV_TOO_LARGE", "The file is larger than %1 KB; it is no class list or choices table.",
                        std::to_string(limits.MaxBytes / 1024));
}

} // namespace

bool ReadCsvText(std::string_view bytes, TCsvTable& table, std::string& error, const TCsvLimits& limits)
{
    table = {};
    error.clear();
    if (bytes.size() > limits.MaxBytes) {
        error = TooLargeText(limits);
        return false;
    }
    if (IsUtf16Text(bytes)) {
        error = ExchangeText("CSV_UTF16",
                             "The file is UTF-16 text. Save it as UTF-8 (in a spreadsheet program, as \"CSV UTF-8\"; "
                             "in a text editor, with the encoding UTF-8) and import it again.");
        return false;
    }
    if (bytes.find('\0') != std::string_view::npos) {
        error = ExchangeText("CSV_NOT_TEXT", "The file holds binary data (NUL bytes); it is not a CSV text file.");
        return false;
    }
    std::string text = DecodeFileText(bytes);
    table.Separator = DetectSeparator(text);
    // Spreadsheet programs may name the separator in a first line "sep=;".
    if (text.size() >= 5 && text.compare(0, 4, "sep=") == 0) {
        const char named = text[4];
        const std::size_t end = text.find_first_of("\r\n");
        if (named == ',' || named == ';' || named == '\t') {
            table.Separator = named;
            text.erase(0, end == std::string::npos ? text.size() : end);
        }
    }
    TCsvParser parser(text, table.Separator, limits);
    if (!parser.Parse(table.Rows, error)) {
        table.Rows.clear();
        return false;
    }
    if (table.Rows.empty()) {
        error = ExchangeText("CSV_EMPTY", "The file holds no rows.");
        return false;
    }
    return true;
}

bool ReadImportFile(const std::string& path, std::string& bytes, std::string& error, const TCsvLimits& limits)
{
    bytes.clear();
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > limits.MaxBytes) {
        error = TooLargeText(limits);
        return false;
    }
    if (ec || !ReadWholeFile(path, bytes)) {
        error = ExchangeText("CSV_UNREADABLE", "The file %1 cannot be read.", path);
        return false;
    }
    return true;
}

bool ReadCsvFile(const std::string& path, TCsvTable& table, std::string& error, const TCsvLimits& limits)
{
    table = {};
    std::string bytes;
    return ReadImportFile(path, bytes, error, limits) && ReadCsvText(bytes, table, error, limits);
}

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    for (const char ch : text) {
        if (ch == '"')
            out += '"';
        out += ch;
    }
    return out + '"';
}

std::string SpreadsheetSafeText(std::string_view text)
{
    if (text.empty() || std::string_view("=+-@\t\r").find(text.front()) == std::string_view::npos)
        return std::string(text);
    std::string safe(1, '\'');
    safe += text;
    return safe;
}

std::string CsvRecord(const std::vector<std::string>& fields)
{
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += CsvField(fields[i]);
    }
    return out + "\r\n";
}
