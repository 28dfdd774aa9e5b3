#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Page geometry of the Word output, in twentieths of a point (twips): A4 with 1.5 cm margins.
inline constexpr int kDocxPageShort = 11906;
inline constexpr int kDocxPageLong = 16838;
inline constexpr int kDocxMargin = 851;
// Width left for text on a portrait or a landscape page.
int DocxTextWidth(bool landscape);

// Width of a text set in the report font (Arial and its metric twins) at a size in points, in
// twips; letters outside ASCII count as wide ones, so a column is never too narrow for them.
int DocxTextWidthTwips(std::string_view utf8, double points, bool bold);
// Width of the longest word (run without spaces) of a text, in twips.
int DocxLongestWordTwips(std::string_view utf8, double points, bool bold);

// The page layout of a part of the document: orientation and newspaper-style text columns.
struct TDocxSection {
    bool Landscape = false;
    int Columns = 1;
    friend bool operator==(const TDocxSection&, const TDocxSection&) = default;
};
// Padding of table cells, left and right, in twips.
inline constexpr int kDocxCellPadding = 40;
// Space between text columns, in twips.
inline constexpr int kDocxColumnGap = 567;

// One column of a table: its width in twips and whether its cells are centred (numbers, marks)
// or left-aligned (names, text).
struct TDocxColumn {
    int Width = 0;
    bool Centred = false;
};

// How one table row is drawn: a heading row is bold, repeated on every page and kept with the
// next row; a row kept with the next one keeps a small table on one page; the dark column gets a
// black cell (a member facing itself); a minimum height in twips leaves room for handwriting.
struct TDocxRowFormat {
    bool Heading = false;
    bool KeepWithNext = false;
    int DarkColumn = -1;
    int MinHeight = 0;
};

// A word-processing document in Office Open XML (.docx), written front to back: paragraphs and
// tables stream into a temporary file as they come, so a table of millions of cells never sits
// in memory; the package (styles, page-number footer, the body) is zipped when it is saved.
// Sections switch between portrait and landscape pages so a wide table gets a page of its own,
// and between one and two text columns so narrow tables stand side by side.
class TDocxDocument final {
public:
    // Throws std::runtime_error when the temporary file cannot be made.
    TDocxDocument();
    ~TDocxDocument();
    TDocxDocument(const TDocxDocument&) = delete;
    TDocxDocument& operator=(const TDocxDocument&) = delete;

    // Adds a paragraph style; a heading (outlineLevel 0, 1, ...) is kept with what follows.
    void AddStyle(const std::string& name, double sizePoints, bool bold, int outlineLevel = -1);

    // Writes text as paragraphs of a style: each CR, LF or CR LF starts a new paragraph, a tab is
    // a tab stop.
    void Paragraph(const std::string& style, std::string_view text);

    // Starts a section with another page layout: a change of orientation starts a new page, a
    // change of the number of text columns only continues on the same page. Nothing happens when
    // the layout does not change.
    void SetSection(const TDocxSection& section);

    // A bordered table, centred or at the left edge, with fixed column widths; its cells take
    // the style. Rows are written one by one between BeginTable and EndTable; a row shorter than
    // the table gets empty cells.
    void BeginTable(const std::vector<TDocxColumn>& columns, const std::string& style, bool centred = true);
    void Row(const std::vector<std::string>& cells, const TDocxRowFormat& format = {});
    void EndTable();

    // A PNG picture as a paragraph of its own, centred, drawn widthTwips by heightTwips; the
    // bytes become a media part of the package.
    void Picture(std::string png, int widthTwips, int heightTwips);

    // The whole package as bytes.
    std::string SaveToBytes();
    // Writes the package to path (crash-safe replace); false with errorText on failure.
    bool SaveAs(const std::string& path, std::string& errorText);

private:
    struct TImpl;
    std::unique_ptr<TImpl> m_impl;
};
