#include "reports/wordbuilder.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <functional>
#include <numeric>

#include "i18n/langconv.h"
#include "util/error.h"

// How a table is set: column widths, alignment, page orientation and the column blocks it is
// split into when it is wider than the page.
struct TTableLayout {
    std::vector<TDocxColumn> Columns;
    bool Landscape = false;
    int TextColumns = 1; // 2: narrow enough to stand beside another table
    bool HeadingRow = true;
    std::vector<std::vector<std::size_t>> Blocks; // source columns of each table written
};

namespace {

constexpr const char* kHeading1 = "Tremlow Heading 1";
constexpr const char* kHeading2 = "Tremlow Heading 2";
constexpr const char* kStandard = "Tremlow Standard";
constexpr double kTablePoints = 9;
// Padding of a cell on both sides and a little air, in twips.
constexpr int kCellExtra = 2 * kDocxCellPadding + 20;
// A name column grows to this width before its names wrap (at spaces only).
constexpr int kWideColumnCap = 4200;
// Columns whose cells are all at most this wide hold numbers or marks and are centred (the
// first column only when it holds numbers: elsewhere it names the rows).
constexpr int kNarrowColumn = 900;
// Boxes of the sociocard, wide enough for a mark by hand, and its row height.
constexpr int kAnswerBoxWidth = 1100;
constexpr int kHandwritingRowHeight = 320;

bool IsNumber(const std::string& text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// Rows held in memory, read like a report document's table.
class TRowsSource final {
public:
    explicit TRowsSource(const TTableRows& rows) : m_rows(rows)
    {
        for (const auto& row : rows)
            m_columns = std::max(m_columns, row.size());
    }
    std::size_t RowCount() const { return m_rows.size(); }
    std::size_t ColumnCount() const { return m_columns; }
    bool Next(std::vector<std::string>& row, std::size_t /*from*/ = 0, std::size_t /*to*/ = 0)
    {
        if (m_next >= m_rows.size())
            return false;
        row = m_rows[m_next++];
        row.resize(m_columns);
        return true;
    }
    void Rewind() { m_next = 0; }

private:
    const TTableRows& m_rows;
    std::size_t m_columns = 0;
    std::size_t m_next = 0;
};


// Shares out the width: each column gets what its content wants (a name column at most the cap),
// then leftover width goes to the capped columns and missing width is taken from the columns
// above their longest word, never below it.
std::vector<int> FitWidths(const std::vector<int>& least, const std::vector<int>& want, int available)
{
    const std::size_t n = least.size();
    std::vector<int> width(n);
    for (std::size_t c = 0; c < n; ++c)
        width[c] = std::max(least[c], std::min(want[c], kWideColumnCap));
    long total = std::accumulate(width.begin(), width.end(), 0L);
    if (total < available) {
        long room = 0;
        for (std::size_t c = 0; c < n; ++c)
            room += want[c] - width[c];
        if (room > 0) {
            const double share = std::min(1.0, static_cast<double>(available - total) / static_cast<double>(room));
            for (std::size_t c = 0; c < n; ++c)
                width[c] += static_cast<int>((want[c] - width[c]) * share);
        }
    } else if (total > available) {
        long slack = 0;
        for (std::size_t c = 0; c < n; ++c)
            slack += width[c] - least[c];
        if (slack > 0) {
            const double share = std::min(1.0, static_cast<double>(total - available) / static_cast<double>(slack));
            for (std::size_t c = 0; c < n; ++c)
                width[c] -= static_cast<int>((width[c] - least[c]) * share + 0.999);
            for (std::size_t c = 0; c < n; ++c)
                width[c] = std::max(width[c], least[c]);
        }
    }
    return width;
}

// Measures a table in one pass over its rows. boxWidth > 0 makes empty columns boxes of that
// width for marks by hand.
template <typename TSource>
TTableLayout MeasureTable(TSource& source, int boxWidth)
{
    const std::size_t columns = source.ColumnCount();
    std::vector<int> least(columns, 0);
    std::vector<int> want(columns, 0);
    std::vector<int> bodyWidest(columns, 0);
    std::vector<bool> bodyEmpty(columns, true);
    std::vector<bool> bodyNumbers(columns, true);
    bool captionsAndValues = columns == 2;
    std::vector<std::string> row;
    source.Rewind();
    for (std::size_t r = 0; source.Next(row); ++r) {
        const bool bold = r == 0;
        for (std::size_t c = 0; c < columns; ++c) {
            const std::string& cell = row[c];
            least[c] = std::max(least[c], DocxLongestWordTwips(cell, kTablePoints, bold));
            const int width = DocxTextWidthTwips(cell, kTablePoints, bold);
            want[c] = std::max(want[c], width);
            if (r > 0) {
                bodyWidest[c] = std::max(bodyWidest[c], width);
                bodyEmpty[c] = bodyEmpty[c] && cell.empty();
                bodyNumbers[c] = bodyNumbers[c] && (cell.empty() || IsNumber(cell));
            }
        }
        if (columns == 2 && (row[0].empty() || !IsNumber(row[1])))
            captionsAndValues = false;
    }
    source.Rewind();

    TTableLayout layout;
    // A two-column list of captions and their values has no heading row.
    layout.HeadingRow = !captionsAndValues;
    for (std::size_t c = 0; c < columns; ++c) {
        least[c] += kCellExtra;
        want[c] += kCellExtra;
        if (boxWidth > 0 && bodyEmpty[c] && source.RowCount() > 1) {
            least[c] = std::max(least[c], boxWidth);
            want[c] = std::max(want[c], boxWidth);
        }
    }
    // Landscape when the table cannot have its names unwrapped (up to the cap) on a portrait page.
    long comfortable = 0;
    for (std::size_t c = 0; c < columns; ++c)
        comfortable += std::max(least[c], std::min(want[c], kWideColumnCap));
    layout.Landscape = comfortable > DocxTextWidth(false);
    int available = DocxTextWidth(layout.Landscape);
    // A long narrow list (a ranking) takes half the page, so two stand side by side.
    const int half = (DocxTextWidth(false) - kDocxColumnGap) / 2;
    // Its heading row may wrap (at spaces) for that, its names may not.
    long compact = 0;
    for (std::size_t c = 0; c < columns; ++c)
        compact += std::max(least[c], std::min(bodyWidest[c] + kCellExtra, kWideColumnCap));
    if (!layout.Landscape && columns <= 3 && source.RowCount() > 8 && compact <= half) {
        layout.TextColumns = 2;
        available = half;
    }
    const std::vector<int> width = FitWidths(least, want, available);
    for (std::size_t c = 0; c < columns; ++c)
        layout.Columns.push_back({width[c], bodyWidest[c] <= kNarrowColumn && (c > 0 || bodyNumbers[c])});

    // Blocks: the first column, then as many of the others as the page and Word allow.
    std::vector<std::size_t> block{0};
    int used = width[0];
    for (std::size_t c = 1; c < columns; ++c) {
        if (block.size() > 1 && (used + width[c] > available || block.size() >= TWordBuilder::kMaxColumns)) {
            layout.Blocks.push_back(block);
            block = {0};
            used = width[0];
        }
        block.push_back(c);
        used += width[c];
    }
    layout.Blocks.push_back(block);
    return layout;
}

} // namespace

bool TableNeedsLandscape(std::string_view tableContent)
{
    TTableReader reader(tableContent);
    return reader.Ok() && MeasureTable(reader, 0).Landscape;
}

bool TWordBuilder::Prepare()
{
    try {
        auto document = std::make_unique<TDocxDocument>();
        document->AddStyle(kHeading1, 15, true, 0);
        document->AddStyle(kHeading2, 11.5, true, 1);
        document->AddStyle(kStandard, 10, false);
        m_document = std::move(document);
        return true;
    } catch (const std::exception&) {
        m_document.reset();
        LangConv().ShowByKey("WORD_NOT_INSTALLED");
        return false;
    }
}

void TWordBuilder::PutPicture(std::string_view name, const std::function<void()>& putWaiting)
{
    TReportPictures* pictures = Pictures();
    const std::optional<TReportPicture> picture = ReportPictureOfName(name);
    const TPictureSize size =
        pictures != nullptr && picture ? pictures->Size(Target().ObjectId, *picture) : TPictureSize{};
    const bool landscape = PictureWantsLandscape(size);
    m_document->SetSection({.Landscape = landscape});
    putWaiting();
    if (size.Empty())
        return;
    // As wide as the text, and short enough to share a page with its heading.
    const double textHeight = (landscape ? kDocxPageShort : kDocxPageLong) - 2 * kDocxMargin;
    const double maxHeight = textHeight - 1800;
    constexpr int kPixelWidth = 1600; // about 225 dots per inch across a portrait page's text
    const int pixelWidth = landscape ? kPixelWidth * 3 / 2 : kPixelWidth;
    double width = DocxTextWidth(landscape);
    // A picture far wider than the page goes in bands near its size on screen (15 twips a
    // pixel), each a picture of its own that Word moves to the next page when it does not fit.
    constexpr double kTwipsPerScreenPixel = 15;
    constexpr double kBandSpacing = 400; // a picture's paragraph and its spacing, room to spare
    if (const double scale =
            PictureBandScale(size, width, textHeight - kBandSpacing, kTwipsPerScreenPixel, kBandSpacing);
        scale > 0) {
        for (const TPictureBand& band : PictureBands(size, width / scale)) {
            const double bandWidth = band.Width * scale;
            m_document->Picture(pictures->Png(Target().ObjectId, *picture,
                                              std::max(1, static_cast<int>(pixelWidth * bandWidth / width)), band),
                                static_cast<int>(bandWidth), static_cast<int>(size.Height * scale));
        }
        return;
    }
    double height = width * size.Height / size.Width;
    if (height > maxHeight) {
        width *= maxHeight / height;
        height = maxHeight;
    }
    m_document->Picture(pictures->Png(Target().ObjectId, *picture, pixelWidth, {}),
                        static_cast<int>(width), static_cast<int>(height));
}

void TWordBuilder::Format()
{
    if (!Prepare())
        return;
    TDocxDocument& doc = *m_document;
    const std::vector<TSectionView> sections = ReadSectionViews(Document());
    // Text is typed into an open paragraph that a line break closes, so sections without one
    // share a paragraph; blank paragraphs are left out (paragraph spacing keeps blocks apart).
    // A section heading, and the last line of text before a table (its caption), wait for what
    // follows them, so they land on the same page as a table that needs landscape pages.
    std::string open;
    std::string openStyle = kStandard;
    std::string heading;
    std::string caption;
    const auto putWaiting = [&] {
        if (!heading.empty())
            doc.Paragraph(kHeading2, heading);
        heading.clear();
        if (!caption.empty())
            doc.Paragraph(kStandard, caption);
        caption.clear();
    };
    const auto closeOpen = [&] {
        if (open.empty())
            return;
        if (openStyle == kHeading2) {
            putWaiting();
            heading = open;
        } else {
            doc.SetSection({});
            putWaiting();
            if (openStyle == kStandard)
                caption = open;
            else
                doc.Paragraph(openStyle, open);
        }
        open.clear();
    };
    for (std::size_t i = 0; i < sections.size(); ++i) {
        StepProgress(i, sections.size());
        const TSectionView& section = sections[i];
        if (section.Tag == kTagTable) {
            TTableReader reader(section.Content);
            if (!reader.Ok())
                continue;
            closeOpen();
            const TTableLayout layout = MeasureTable(reader, 0);
            doc.SetSection({.Landscape = layout.Landscape, .Columns = layout.TextColumns});
            putWaiting();
            PutTable(reader, false, false, &layout);
            continue;
        }
        if (section.Tag == kTagPicture) {
            closeOpen();
            PutPicture(PlainText(section.Content), putWaiting);
            continue;
        }
        if (section.Tag != kTagHeader1 && section.Tag != kTagHeader2 && section.Tag != kTagText)
            continue;
        // A heading is a paragraph of its own, also after text that did not end its line.
        if (section.Tag != kTagText)
            closeOpen();
        openStyle = section.Tag == kTagHeader1 ? kHeading1 : section.Tag == kTagHeader2 ? kHeading2 : kStandard;
        bool first = true;
        for (std::string_view piece : SplitLineBreaks(section.Content)) {
            if (!first) {
                closeOpen();
            }
            open += PlainText(piece);
            first = false;
        }
    }
    closeOpen();
    // A last section of landscape pages (a wide picture) ends the document without a blank page.
    if (!heading.empty() || !caption.empty()) {
        doc.SetSection({});
        putWaiting();
    }
}

template <typename TSource>
void TWordBuilder::PutTable(TSource& source, bool darkDiagonal, bool handwriting, const TTableLayout* measured)
{
    TDocxDocument& doc = *m_document;
    if (source.RowCount() == 0 || source.ColumnCount() == 0)
        return;
    const TTableLayout layout =
        measured ? *measured : MeasureTable(source, handwriting && !darkDiagonal ? kAnswerBoxWidth : 0);
    // Small tables stay on one page with their heading.
    const bool keepTogether = source.RowCount() <= 12;
    std::vector<std::string> row;
    std::vector<std::string> cells;
    for (const std::vector<std::size_t>& block : layout.Blocks) {
        std::vector<TDocxColumn> columns;
        for (std::size_t c : block)
            columns.push_back(layout.Columns[c]);
        doc.BeginTable(columns, kStandard, layout.TextColumns == 1);
        source.Rewind();
        for (std::size_t r = 0; source.Next(row, block[1 % block.size()], block.back() + 1); ++r) {
            cells.clear();
            TDocxRowFormat format;
            format.Heading = r == 0 && layout.HeadingRow;
            format.KeepWithNext = keepTogether && r + 1 < source.RowCount();
            format.MinHeight = handwriting && !darkDiagonal && r > 0 ? kHandwritingRowHeight : 0;
            for (std::size_t i = 0; i < block.size(); ++i) {
                cells.push_back(std::move(row[block[i]]));
                if (darkDiagonal && block[i] == r)
                    format.DarkColumn = static_cast<int>(i);
            }
            doc.Row(cells, format);
        }
        doc.EndTable();
    }
}

void TWordBuilder::Write()
{
    if (!m_document)
        return;
    std::string error;
    if (!m_document->SaveAs(FileName(), error))
        throw TAppError(T("REPORT_WRITE_ERROR") + "\n" + FileName() + ": " + error);
}

void TWordBuilder::BlankHeading(const std::string& title, const std::vector<std::string>& lines)
{
    TDocxDocument& doc = *m_document;
    doc.Paragraph(kHeading1, title);
    for (const std::string& line : lines)
        doc.Paragraph(kStandard, line);
}

void TWordBuilder::Sociocard()
{
    const TBlankData data = ReadBlankData(Store(), Target().ObjectId);
    if (!Prepare())
        return;
    BlankHeading(T("REPORT_SOCIOCARD_TITLE"), SociocardHeadingLines(data));
    m_document->Paragraph(kHeading2, data.CriterionName);
    m_document->Paragraph(kStandard, SociocardInstruction(data));
    for (const std::string& line : SociocardLimits(data))
        m_document->Paragraph(kStandard, line);

    TTableRows rows = SociocardRows(data);
    TRowsSource source(rows);
    PutTable(source, false, true);
    Finish();
}

void TWordBuilder::Sociomatrix()
{
    const TBlankData data = ReadBlankData(Store(), Target().ObjectId);
    if (!Prepare())
        return;
    const TTableRows rows = BlankSociomatrixRows(data);
    TRowsSource source(rows);
    const TTableLayout layout = MeasureTable(source, 0);
    m_document->SetSection({.Landscape = layout.Landscape});
    BlankHeading(T("REPORT_SOCIOMATRIX_TITLE"), SociomatrixHeadingLines(data));
    PutTable(source, true, true, &layout);
    Finish();
}
