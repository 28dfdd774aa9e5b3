#pragma once

#include <string>
#include <string_view>
#include <vector>

// The report document: a format-neutral text of tagged sections that the generator writes and
// the builders render. Each section starts with a tag in square brackets ("[HEADER1]",
// "[HEADER2]", "[TEXT]", "[TABLE]", "[PICTURE]") and runs up to the next "[". Inside content "&&&&&" is a
// line break and "<break>" ends a table cell.
//
// Project and catalogue texts are put into the document escaped, so a "[", "&&&&&" or "<break>"
// typed by the user is never taken for a tag, a line break or a cell end. Builders read the
// sections and cells first and turn each piece back into plain text with PlainText().

inline constexpr std::string_view kTagHeader1 = "HEADER1";
inline constexpr std::string_view kTagHeader2 = "HEADER2";
inline constexpr std::string_view kTagText = "TEXT";
inline constexpr std::string_view kTagTable = "TABLE";
// A picture of the investigation: the content is its name (ReportPictureName).
inline constexpr std::string_view kTagPicture = "PICTURE";
inline constexpr std::string_view kLineBreakMark = "&&&&&";
inline constexpr std::string_view kCellBreakMark = "<break>";

// One section of a report document: its tag and its content (still escaped).
struct TLexeme {
    std::string Tag;
    std::string Content;
};

// One section of a report document as views into the document, for builders that must not copy
// a large document.
struct TSectionView {
    std::string_view Tag;
    std::string_view Content;
};

// A table: rows of cells, each cell plain text.
using TTableRows = std::vector<std::vector<std::string>>;

// Appends sections to a report document.
class TReportDocWriter final {
public:
    // Starts a section: "[tag]".
    void Tag(std::string_view tag);
    // Appends text as typed (escaped); line breaks in it are kept as they are.
    void Put(std::string_view text);
    // Appends count line break marks.
    void Break(int count = 1);
    // Appends a multi-line text (CR LF, CR or LF) with its lines joined by line break marks,
    // none after the last line.
    void Lines(std::string_view text);
    // Appends a whole "[TABLE]" section: the row count, then every cell of every row in order.
    void Table(const TTableRows& rows);
    // Starts a "[TABLE]" section of rowCount rows; its cells follow, row by row, through Cell.
    void BeginTable(std::size_t rowCount);
    void Cell(std::string_view text);

    const std::string& Document() const { return m_doc; }
    std::string Take() { return std::move(m_doc); }

private:
    std::string m_doc;
};

// Escapes a text for the document (every "[", "&", "<", "%" and the escape character itself).
std::string EscapeDocText(std::string_view text);
// The plain text of a piece of document content: escapes undone, nothing else changed.
std::string PlainText(std::string_view content);

// Reads the sections of a document in order. Section i runs from the i-th "[" to the next "]"
// (its tag) and on to the character before the next "[" (its content); reading stops at the
// first "[" without a closing "]". Text before the first "[" belongs to no section.
std::vector<TLexeme> ReadSections(std::string_view document);
// The same sections as views into document, which must outlive them.
std::vector<TSectionView> ReadSectionViews(std::string_view document);

// Parses the content of a "[TABLE]" section into rows of plain-text cells. The first cell is
// the row count R; the other cells fill R rows of ceil(cells / R) cells, the last rows padded
// with empty cells. False (rows empty) when the row count is not a positive whole number.
bool ParseTable(std::string_view content, TTableRows& rows);

// Reads the rows of a "[TABLE]" section one at a time (cells as plain text), so a builder can
// pass over a large table twice - once to measure, once to write - without holding it whole.
// Rows and columns follow the rule of ParseTable.
class TTableReader final {
public:
    explicit TTableReader(std::string_view content);
    // False when the row count is not a positive whole number.
    bool Ok() const { return m_rows > 0; }
    std::size_t RowCount() const { return m_rows; }
    std::size_t ColumnCount() const { return m_columns; }
    // The next row, padded with empty cells; false after the last. With a range, only the first
    // cell and the cells in [from, to) are decoded, the others left as the previous call left
    // them (a block of a wide table: clearing every cell of every row per block cost more than
    // reading the block).
    bool Next(std::vector<std::string>& row);
    bool Next(std::vector<std::string>& row, std::size_t from, std::size_t to);
    // Back to the first row.
    void Rewind();

private:
    std::string_view m_content;
    std::size_t m_start = 0;
    std::size_t m_rows = 0;
    std::size_t m_columns = 0;
    std::size_t m_row = 0;
    std::vector<std::size_t> m_rowStarts;    // where each row's first cell begins
    std::vector<std::size_t> m_resumeColumn; // per row: the column the last read stopped before
    std::vector<std::size_t> m_resumePos;    // and where that column begins
};

// Splits document content at its line break marks (each piece still escaped).
std::vector<std::string_view> SplitLineBreaks(std::string_view content);

// An index value in general number format with 3 significant digits: fixed notation when the
// value has at most 3 digits before the point and is not below 0.00001, else an exponent with
// at least 4 digits ("1.23E+0004"); trailing zeros dropped; the decimal separator of the user's
// locale (ReaderDecimalSeparator), whichever program writes the report.
std::string FormatIndexValue(double value);

// Upper case of the letters a to z only; every other character (accented, Cyrillic) unchanged.
std::string UpperAsciiLetters(std::string_view text);

// A text safe to put into HTML or XML: invalid UTF-8 bytes become the characters of their
// byte values, and control characters other than tab, line feed and carriage return become
// their visible control pictures (U+2400 ...), so nothing is lost and the file stays valid.
std::string MarkupSafeText(std::string_view text);
