#include "platform/pdfreport.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>
#include <utility>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPicture>
#include <QPdfWriter>
#include <QTextDocument>
#include <QGlyphRun>
#include <QTextLayout>
#include <QTextOption>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextCursor>
#include <QTextTable>

#include "i18n/langconv.h"
#include "platform/reportpictures.h"
#include "reports/htmlbuilder.h"
#include "reports/reportdoc.h"
#include "reports/wordbuilder.h"
#include "util/progress.h"
#include "util/text.h"

namespace {

// Pages are printed at this resolution; text and lines stay vectors whatever it is.
constexpr int kResolution = 300;
constexpr qreal kMarginMm = 15;

QPageSize PaperOfLocale()
{
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
}

// The page of a blank: the report's paper and margins.
QPageLayout FormLayout(bool landscape)
{
    return QPageLayout(PaperOfLocale(), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

// Millimetres in pixels of the PDF page.
qreal Mm(qreal mm)
{
    return mm * kResolution / 25.4;
}

QFont FormFont(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The ruled grid of a blank: column heads in row 0, column widths and alignment, and the height
// range of its rows (tall enough to write in, as tall as the page allows up to the most).
struct TFormGrid {
    TTableRows Rows;
    std::vector<qreal> Widths; // pixels
    std::vector<bool> Left;    // names read from the left, numbers and boxes are centred
    qreal LeastRow = 0;
    qreal MostRow = 0;
    qreal Points = 8.5; // of the cells
    bool DarkDiagonal = false; // a member's own cell in the sociomatrix
};

// The rows of a grid as DrawGrid reads them: the head row whenever a page starts, then the body
// rows in order, once for each block of columns.
class TGridRows {
public:
    virtual ~TGridRows() = default;
    virtual std::size_t BodyRows() const = 0;
    virtual const std::vector<std::string>& Head() const = 0;
    // Back to the first body row.
    virtual void Rewind() = 0;
    // The next body row; only its first cell and the cells in [from, to) need be read.
    virtual const std::vector<std::string>& Next(std::size_t from, std::size_t to) = 0;
};

// Rows held in memory (the blanks).
class TMemoryRows final : public TGridRows {
public:
    explicit TMemoryRows(const TTableRows& rows) : m_rows(rows) {}
    std::size_t BodyRows() const override { return m_rows.size() - 1; }
    const std::vector<std::string>& Head() const override { return m_rows.front(); }
    void Rewind() override { m_next = 1; }
    const std::vector<std::string>& Next(std::size_t, std::size_t) override { return m_rows[m_next++]; }

private:
    const TTableRows& m_rows;
    std::size_t m_next = 1;
};

// Rows read from a report document's table as they are drawn: a large group's matrix is never
// held as millions of separate cells.
class TDocumentRows final : public TGridRows {
public:
    explicit TDocumentRows(std::string_view table) : m_reader(table) { Rewind(); }
    std::size_t BodyRows() const override { return m_reader.RowCount() - 1; }
    const std::vector<std::string>& Head() const override { return m_head; }
    void Rewind() override
    {
        m_reader.Rewind();
        m_reader.Next(m_head);
    }
    const std::vector<std::string>& Next(std::size_t from, std::size_t to) override
    {
        m_reader.Next(m_row, from, to);
        return m_row;
    }

private:
    TTableReader m_reader;
    std::vector<std::string> m_head;
    std::vector<std::string> m_row;
};

// A cell's text shaped once and drawn wherever it comes again: a matrix repeats its column heads
// on every page and its names in every block of columns, and shaping costs more than drawing.
struct TShapedText {
    QList<QGlyphRun> Runs; // glyphs placed from the text's top left
    qreal Width = 0;
    qreal Height = 0;
};

class TShapedTexts {
public:
    TShapedTexts(const QFont& head, const QFont& cell, QPaintDevice* device) : m_head(head), m_cell(cell), m_device(device)
    {
    }
    // The text in the head row's font or the cells', cut with an ellipsis to room.
    const TShapedText& Get(const std::string& text, bool head, qreal room)
    {
        std::string key = std::to_string(qRound(room)) + (head ? "h" : "c") + text;
        auto it = m_texts.find(key);
        if (it != m_texts.end())
            return it->second;
        const QFont& font = head ? m_head : m_cell;
        const QString shown =
            QFontMetricsF(font, m_device).elidedText(QString::fromStdString(text), Qt::ElideRight, room);
        QTextLayout layout(shown, font, m_device);
        QTextOption oneLine;
        oneLine.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(oneLine);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(room + Mm(10));
        layout.endLayout();
        TShapedText shaped{layout.glyphRuns(), line.naturalTextWidth(), line.height()};
        return m_texts.emplace(std::move(key), std::move(shaped)).first->second;
    }

private:
    QFont m_head;
    QFont m_cell;
    QPaintDevice* m_device;
    std::unordered_map<std::string, TShapedText> m_texts;
};

// Draws a ruled grid from y down: column heads in row 0, then the rows, each rowHeight high; rows
// that do not fit go on to the next page (newPage starts it and answers its top) under the column
// heads again. A grid wider than the page is cut into blocks of columns, each repeating the first,
// a block starting on a new page. Text too long for its cell is cut with an ellipsis, never
// broken. progress hears the share drawn at each new page. Answers where the grid ends on its last
// page.
qreal DrawGrid(QPainter& painter, const TFormGrid& grid, TGridRows& rows, qreal rowHeight, qreal y, qreal width,
               qreal bottom, const std::function<qreal()>& newPage,
               const std::function<void(double)>& progress = {})
{
    if (grid.Widths.empty())
        return y;
    // Blocks of columns that fit the width, each starting with the first column.
    std::vector<std::vector<std::size_t>> blocks{{0}};
    qreal used = grid.Widths[0];
    for (std::size_t c = 1; c < grid.Widths.size(); ++c) {
        if (blocks.back().size() > 1 && used + grid.Widths[c] > width + 0.5) {
            blocks.push_back({0});
            used = grid.Widths[0];
        }
        blocks.back().push_back(c);
        used += grid.Widths[c];
    }

    const QFont headFont = FormFont(grid.Points, true);
    const QFont cellFont = FormFont(grid.Points);
    painter.setFont(headFont);
    const qreal headHeight = painter.fontMetrics().height() + Mm(1.6);
    const std::size_t bodyRows = rows.BodyRows();
    QPen pen(Qt::black);
    pen.setWidthF(Mm(0.2));
    TShapedTexts texts(headFont, cellFont, painter.device());

    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const std::vector<std::size_t>& columns = blocks[b];
        if (b > 0)
            y = newPage();
        // The rules of a run of rows on one page are drawn once it is complete: one line a row
        // and a column, not a frame a cell, keeps the file small for a large matrix.
        qreal runTop = y;
        const auto rule = [&](qreal runBottom) {
            painter.setPen(pen);
            qreal x = 0;
            painter.drawLine(QPointF(x, runTop), QPointF(x, runBottom));
            for (std::size_t c : columns) {
                x += grid.Widths[c];
                painter.drawLine(QPointF(x, runTop), QPointF(x, runBottom));
            }
            painter.drawLine(QPointF(0, runTop), QPointF(x, runTop));
        };
        const auto drawRow = [&](const std::vector<std::string>& row, std::size_t r, qreal height) {
            qreal x = 0;
            painter.setFont(r == 0 ? headFont : cellFont);
            for (std::size_t c : columns) {
                const QRectF cell(x, y, grid.Widths[c], height);
                x += grid.Widths[c];
                if (grid.DarkDiagonal && r > 0 && c == r)
                    painter.fillRect(cell, Qt::black);
                if (c >= row.size() || row[c].empty())
                    continue;
                const QRectF inner = cell.adjusted(Mm(1), 0, -Mm(1), 0);
                const TShapedText& text = texts.Get(row[c], r == 0, inner.width());
                const qreal left = grid.Left[c] && r > 0 ? inner.left() : inner.left() + (inner.width() - text.Width) / 2;
                for (const QGlyphRun& run : text.Runs)
                    painter.drawGlyphRun(QPointF(left, cell.top() + (height - text.Height) / 2), run);
            }
            painter.setPen(pen);
            painter.drawLine(QPointF(0, y + height), QPointF(x, y + height));
            painter.setPen(Qt::black);
        };
        drawRow(rows.Head(), 0, headHeight);
        y += headHeight;
        rows.Rewind();
        for (std::size_t r = 1; r <= bodyRows; ++r) {
            if (y + rowHeight > bottom + 0.5) {
                rule(y);
                if (progress)
                    progress(static_cast<double>(b * bodyRows + r) / static_cast<double>(blocks.size() * bodyRows));
                y = newPage();
                runTop = y;
                drawRow(rows.Head(), 0, headHeight);
                y += headHeight;
            }
            drawRow(rows.Next(columns[1 < columns.size() ? 1 : 0], columns.back() + 1), r, rowHeight);
            y += rowHeight;
        }
        rule(y);
    }
    return y;
}

// Draws a blank as a form: the title and lines on the first page, then the grid. Rows that do
// not fit go on to the next pages under the column heads again; a grid wider than the page is
// cut into blocks of columns, each repeating the first. Pages are numbered as in the reports.
std::string RenderForm(const std::string& title, const std::vector<std::string>& lines,
                       const std::string& question, const std::vector<std::string>& notes, const TFormGrid& grid,
                       bool landscape)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setTitle(QString::fromStdString(title));
        writer.setCreator(QStringLiteral("Tremlow"));
        const QPageLayout layout = FormLayout(landscape);
        writer.setPageLayout(layout);
        QPainter painter(&writer);
        const QRect paint = layout.paintRectPixels(kResolution);
        const qreal width = paint.width();
        const QFont pageFont = FormFont(9);
        painter.setFont(pageFont);
        const qreal footer = painter.fontMetrics().height() * 2.0;
        const qreal bottom = paint.height() - footer;
        int pageNumber = 1;
        const auto numberPage = [&] {
            painter.setFont(pageFont);
            painter.drawText(QRectF(0, paint.height() - footer * 0.75, width, footer * 0.75),
                             Qt::AlignHCenter | Qt::AlignBottom, QString::number(pageNumber));
        };
        const auto newPage = [&] {
            numberPage();
            writer.newPage();
            ++pageNumber;
        };

        // Heading: title, lines, the question in bold, then the instructions, wrapped to the width.
        qreal y = 0;
        const auto block = [&](const std::string& text, const QFont& font, qreal spaceAfter) {
            painter.setFont(font);
            const QRectF box = painter.boundingRect(QRectF(0, y, width, bottom - y), Qt::TextWordWrap,
                                                    QString::fromStdString(text));
            painter.drawText(QRectF(0, y, width, box.height()), Qt::TextWordWrap,
                             QString::fromStdString(text));
            y += box.height() + spaceAfter;
        };
        block(title, FormFont(15, true), Mm(2));
        for (const std::string& line : lines)
            block(line, FormFont(10), Mm(1.2));
        if (!question.empty()) {
            y += Mm(1.5);
            block(question, FormFont(11.5, true), Mm(1.5));
        }
        for (const std::string& note : notes)
            block(note, FormFont(10), Mm(1.2));
        y += Mm(2);

        const QFont headFont = FormFont(grid.Points, true);
        painter.setFont(headFont);
        const qreal headHeight = painter.fontMetrics().height() + Mm(1.6);
        const std::size_t bodyRows = grid.Rows.size() - 1;
        // Rows share what is left of the first page, within their height range.
        const qreal share = bodyRows > 0 ? (bottom - y - headHeight) / static_cast<qreal>(bodyRows) : grid.MostRow;
        TMemoryRows rows(grid.Rows);
        DrawGrid(painter, grid, rows, std::clamp(share, grid.LeastRow, grid.MostRow), y, width, bottom, [&] {
            newPage();
            return 0.0;
        });
        numberPage();
    }
    return buffer.data().toStdString();
}

// The scale of a block's picture in an area: as wide as the text, or as tall as the area allows.
qreal PictureScale(const TPdfBlock& block, QSizeF area)
{
    const QSizeF size(block.PictureSize);
    return std::min(area.width() / size.width(), area.height() / size.height());
}

// Paints the part source of a block's picture with its top left corner at `at` on the page, picture
// pixels scaled by scale. The drawing sees the part as its clip, so it may skip what lies outside.
void PaintPicturePart(QPainter& painter, const TPdfBlock& block, QRectF source, QPointF at, qreal scale)
{
    painter.save();
    painter.translate(at);
    painter.scale(scale, scale);
    painter.translate(-source.topLeft());
    painter.setClipRect(source);
    // The views lay text out at the screen's resolution: recorded at it, the drawing keeps its text
    // in proportion to its figures on a page of any resolution, and stays vectors.
    QPicture recorded;
    {
        QPainter recorder(&recorded);
        if (source != QRectF(QPointF(0, 0), QSizeF(block.PictureSize)))
            recorder.setClipRect(source);
        block.Picture(recorder);
    }
    // Played back, a recording is scaled from its resolution to the page's; the scale above
    // already maps picture pixels onto the page.
    painter.scale(static_cast<qreal>(recorded.logicalDpiX()) / painter.device()->logicalDpiX(),
                  static_cast<qreal>(recorded.logicalDpiY()) / painter.device()->logicalDpiY());
    painter.drawPicture(0, 0, recorded);
    painter.restore();
}

// Paints a block's picture from top down on a page of text, centred, proportions kept, as large as
// PictureScale allows; answers where it ends.
qreal PaintPicture(QPainter& painter, const TPdfBlock& block, qreal top, QSizeF page)
{
    const QSizeF size(block.PictureSize);
    const qreal scale = PictureScale(block, QSizeF(page.width(), page.height() - top));
    if (scale <= 0)
        return top;
    PaintPicturePart(painter, block, QRectF(QPointF(0, 0), size),
                     QPointF((page.width() - size.width() * scale) / 2, top), scale);
    return top + size.height() * scale;
}

// Bands of a picture cut across pages stand this share of a page's height apart.
constexpr qreal kBandGap = 0.02;

qreal BandScale(const TPdfBlock& block, QSizeF page, qreal screenScale)
{
    return PictureBandScale({block.PictureSize.width(), block.PictureSize.height()}, page.width(), page.height(),
                            screenScale, page.height() * kBandGap);
}

// Pages of rich text do not leave a heading, or a heading with a table's first few rows, at the
// foot of a page: a table cut there, a table short enough for one page cut anywhere, or a table
// on the page after its heading starts a page with its heading. (Qt's own repeated head rows serve
// only a table that ends its pages: with them, Qt 6.4 left the headings after a long table out.)
// A table's caption is one line of text of at most this many characters.
constexpr std::size_t kLongestCaption = 120;

// A section that is one short line of text: before a table, it names the table.
bool IsCaption(const TLexeme& section)
{
    if (section.Tag != kTagText)
        return false;
    int lines = 0;
    for (std::string_view piece : SplitLineBreaks(section.Content)) {
        const std::string line = Trim(PlainText(piece));
        if (!line.empty() && (++lines > 1 || CharCount(line) > kLongestCaption))
            return false;
    }
    return lines == 1;
}

// Whether a run of sections has more than empty lines: a run of only those, such as the line
// breaks after a report's last table, would be a page of its own with nothing on it.
bool ShowsSomething(std::string_view part)
{
    for (const TSectionView& section : ReadSectionViews(part)) {
        if (section.Tag != kTagText && section.Tag != kTagHeader1 && section.Tag != kTagHeader2)
            return true;
        for (std::string_view piece : SplitLineBreaks(section.Content)) {
            if (!Trim(PlainText(piece)).empty())
                return true;
        }
    }
    return false;
}

// A paragraph that is one short line of text, as a table's caption is.
bool IsCaptionBlock(const QTextBlock& block)
{
    const QString text = block.text().trimmed();
    return !text.isEmpty() && static_cast<std::size_t>(text.size()) <= kLongestCaption &&
           !text.contains(QChar::LineSeparator);
}

// Whether some text or table stands above the block on its page: a heading that starts a page
// already gains nothing from a page break before it but an empty page.
bool HasContentAbove(const QTextDocument& document, const QTextBlock& block, qreal pageHeight)
{
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const qreal pageTop = std::floor(layout->blockBoundingRect(block).top() / pageHeight) * pageHeight;
    for (QTextBlock above = block.previous(); above.isValid(); above = above.previous()) {
        if (QTextTable* table = QTextCursor(above).currentTable()) {
            if (layout->frameBoundingRect(table).bottom() > pageTop + 1)
                return true;
            above = document.findBlock(table->firstPosition());
            continue;
        }
        const QRectF box = layout->blockBoundingRect(above);
        if (box.bottom() <= pageTop + 1)
            return false;
        if (!above.text().trimmed().isEmpty())
            return true;
    }
    return false;
}

void KeepTablesWithHeadings(QTextDocument& document, qreal pageHeight)
{
    constexpr int kLeastRowsOnAPage = 4;
    // Each move lays out again all that follows it: rich text of more than this many pages keeps
    // Qt's own page breaks rather than being laid out over and over.
    constexpr int kMostPagesKept = 60;
    if (document.pageCount() > kMostPagesKept)
        return;
    std::vector<QTextTable*> tables;
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables.push_back(table);
    }
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    bool moved = false;
    for (QTextTable* table : tables) {
        // The heading or caption just before the table, with at most empty lines between.
        QTextBlock heading = document.findBlock(table->firstPosition()).previous();
        while (heading.isValid() && heading.blockFormat().headingLevel() == 0 && heading.text().trimmed().isEmpty() &&
               QTextCursor(heading).currentTable() == nullptr)
            heading = heading.previous();
        if (!heading.isValid() || QTextCursor(heading).currentTable() != nullptr || table->rows() == 0 ||
            (heading.blockFormat().headingLevel() == 0 && !IsCaptionBlock(heading)))
            continue;
        // Laid out again from the last move on, so each table is measured where it now stands.
        const QRectF box = layout->frameBoundingRect(table);
        const qreal page = std::floor(box.top() / pageHeight);
        const qreal pageBottom = (page + 1) * pageHeight;
        const qreal rowHeight = box.height() / table->rows();
        const QRectF headingBox = layout->blockBoundingRect(heading);
        const bool headingAbove = std::floor(headingBox.top() / pageHeight) < page;
        const bool fitsOnePage = box.height() + headingBox.height() <= pageHeight;
        if (!headingAbove && (box.bottom() <= pageBottom ||
                              (!fitsOnePage && pageBottom - box.top() >= rowHeight * kLeastRowsOnAPage)))
            continue;
        if (!HasContentAbove(document, heading, pageHeight))
            continue;
        QTextCursor cursor(heading);
        QTextBlockFormat format = cursor.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.setBlockFormat(format);
        moved = true;
    }
    // Qt lays out again only part of what a change moves: some headings after a moved one were
    // left out of the pages. All of it is laid out again once.
    if (moved)
        document.markContentsDirty(0, document.characterCount());
}

// Points of a report table's cells drawn as a grid.
constexpr qreal kReportGridPoints = 8;

qreal ReportRowHeight(QPainter& painter)
{
    painter.setFont(FormFont(kReportGridPoints));
    return painter.fontMetrics().height() + Mm(0.6);
}

// A report table as a grid: each column as wide as its widest cell (the names at most 70 mm, cut
// beyond), marks and numbers at least 4.5 mm; a table narrower than the page spreads out a little.
TFormGrid ReportGrid(std::string_view table, QPainter& painter, qreal width)
{
    TFormGrid grid;
    grid.Points = kReportGridPoints;
    TTableReader reader(table);
    const std::size_t columns = reader.ColumnCount();
    grid.Widths.assign(columns, Mm(4.5));
    grid.Left.assign(columns, false);
    if (columns == 0)
        return grid;
    grid.Left[0] = true;
    // A matrix repeats its marks and numbers thousands of times: each text is measured once.
    const QFontMetricsF headMetrics(FormFont(kReportGridPoints, true), painter.device());
    const QFontMetricsF cellMetrics(FormFont(kReportGridPoints), painter.device());
    std::unordered_map<std::string, qreal> cellWidths;
    std::vector<std::string> row;
    for (std::size_t r = 0; reader.Next(row); ++r) {
        for (std::size_t c = 0; c < row.size() && c < columns; ++c) {
            if (row[c].empty())
                continue;
            qreal textWidth = 0;
            if (r == 0) {
                textWidth = headMetrics.horizontalAdvance(QString::fromStdString(row[c]));
            } else {
                auto it = cellWidths.find(row[c]);
                if (it == cellWidths.end())
                    it = cellWidths
                             .emplace(row[c], cellMetrics.horizontalAdvance(QString::fromStdString(row[c])))
                             .first;
                textWidth = it->second;
            }
            grid.Widths[c] = std::max(grid.Widths[c], textWidth + Mm(2.2));
        }
    }
    grid.Widths[0] = std::min(grid.Widths[0], Mm(70));
    qreal total = 0;
    for (const qreal w : grid.Widths)
        total += w;
    if (total < width && columns > 1) {
        const qreal extra = std::min((width - total) / static_cast<qreal>(columns - 1), Mm(3));
        for (std::size_t c = 1; c < columns; ++c)
            grid.Widths[c] += extra;
    }
    return grid;
}

// A table about as long as a page or longer whose cells are all short (the rankings of a group of
// more than 40): drawn as a grid with its head row on every page. Qt's rich text repeats no head
// rows (its own way of doing it lost headings) and lays out long tables slowly. A longer cell,
// which a grid would cut, keeps the table in rich text.
bool IsLongPlainTable(std::string_view content)
{
    constexpr std::size_t kLongTableRows = 40; // rich text fits about 45 rows on a page
    constexpr std::size_t kShortCell = 48; // characters
    TTableReader reader(content);
    if (!reader.Ok() || reader.RowCount() <= kLongTableRows)
        return false;
    std::vector<std::string> row;
    while (reader.Next(row)) {
        for (const std::string& cell : row) {
            if (CharCount(cell) > kShortCell)
                return false;
        }
    }
    return true;
}

// A table that may run over more than a page in rich text: many rows, or much text in its cells
// (the status groups of a large group, a few rows of hundreds of names each).
bool MayRunOverAPage(std::string_view content)
{
    constexpr std::size_t kPageOfRows = 40;
    constexpr std::size_t kPageOfText = 3000; // characters
    TTableReader reader(content);
    if (!reader.Ok())
        return false;
    if (reader.RowCount() > kPageOfRows)
        return true;
    std::size_t characters = 0;
    std::vector<std::string> row;
    while (reader.Next(row)) {
        for (const std::string& cell : row)
            characters += CharCount(cell);
    }
    return characters > kPageOfText;
}

} // namespace

std::string SociocardPdf(const TBlankData& data)
{
    const TTableRows rows = SociocardRows(data);
    const qreal width = FormLayout(false).paintRectPixels(kResolution).width();
    TFormGrid grid;
    grid.Rows = rows;
    // Number, name, then a box for Yes and (when asked) for No; the name takes what is left.
    const std::size_t boxes = rows[0].size() - 2;
    grid.Widths = {Mm(12), 0};
    grid.Left = {false, true};
    for (std::size_t i = 0; i < boxes; ++i) {
        grid.Widths.push_back(Mm(28));
        grid.Left.push_back(false);
    }
    grid.Widths[1] = width - Mm(12) - static_cast<qreal>(boxes) * Mm(28);
    grid.LeastRow = Mm(5);
    grid.MostRow = Mm(9);
    grid.Points = 10;
    std::vector<std::string> notes{SociocardInstruction(data)};
    for (const std::string& line : SociocardLimits(data))
        notes.push_back(line);
    return RenderForm(LangConv().GetText("REPORT_SOCIOCARD_TITLE"), SociocardHeadingLines(data), data.CriterionName,
                      notes, grid, false);
}

std::string SociomatrixPdf(const TBlankData& data)
{
    const TTableRows rows = BlankSociomatrixRows(data);
    const qreal width = FormLayout(true).paintRectPixels(kResolution).width();
    // The name column as wide as the longest "number. name" needs, up to a third of the page;
    // the members' columns share the rest evenly, never narrower than a mark by hand needs.
    QBuffer sink;
    QPdfWriter probe(&sink);
    probe.setResolution(kResolution);
    const QFontMetricsF metrics(FormFont(8.5), &probe);
    qreal names = Mm(20);
    for (std::size_t r = 1; r < rows.size(); ++r)
        names = std::max(names, metrics.horizontalAdvance(QString::fromStdString(rows[r][0])) + Mm(2.5));
    names = std::min(names, width / 3);
    const std::size_t n = rows.size() - 1;
    const qreal column = n > 0 ? std::clamp((width - names) / static_cast<qreal>(n), Mm(5.5), Mm(12)) : Mm(12);
    TFormGrid grid;
    grid.Rows = rows;
    grid.Widths.assign(n + 1, column);
    grid.Widths[0] = names;
    grid.Left.assign(n + 1, false);
    grid.Left[0] = true;
    grid.LeastRow = Mm(3.4);
    grid.MostRow = std::max(column, Mm(6));
    grid.DarkDiagonal = true;
    return RenderForm(LangConv().GetText("REPORT_SOCIOMATRIX_TITLE"), SociomatrixHeadingLines(data), {}, {}, grid, true);
}

void TPdfBuilder::Format()
{
    m_blocks.clear();
    // The document is cut into runs of sections: a table that needs landscape pages, or runs over
    // more than a page, is a run of its own, drawn as a grid under the heading just before it.
    std::string run;
    std::string heading;
    std::size_t captionAt = std::string::npos; // where run's last section starts when it is a caption
    // A run that starts with a table which may run over pages has its head row on each, and ends
    // at the next heading: Qt leaves out of the pages the headings that follow such a table.
    bool repeatHead = false;
    const auto flush = [this, &repeatHead](std::string& part, bool landscape) {
        if (ShowsSomething(part))
            m_blocks.push_back({.Html = HtmlOfReportDocument(part), .Landscape = landscape, .RepeatHead = repeatHead});
        part.clear();
        repeatHead = false;
    };
    // Ends the run before a table that makes a block of its own and answers the table's heading;
    // without a heading, a line of text just before the table is its caption and goes with it.
    const auto takeHeading = [&] {
        if (heading.empty() && captionAt != std::string::npos) {
            heading = run.substr(captionAt);
            run.resize(captionAt);
        }
        flush(run, false);
        captionAt = std::string::npos;
        return std::exchange(heading, {});
    };
    std::vector<TLexeme> sections = ReadSections(Document());
    for (std::size_t i = 0; i < sections.size(); ++i) {
        StepProgress(i, sections.size() * 10); // the first tenth: the pages take the rest
        TLexeme& section = sections[i];
        if (repeatHead && section.Tag != kTagText && section.Tag != kTagTable)
            flush(run, false);
        if (section.Tag == kTagPicture) {
            AddPicture(PlainText(section.Content), heading, run);
            continue;
        }
        // A large group's matrix is measured once and handed on, not copied.
        const bool landscape = section.Tag == kTagTable && TableNeedsLandscape(section.Content);
        if (landscape || (section.Tag == kTagTable && IsLongPlainTable(section.Content))) {
            m_blocks.push_back({.Html = HtmlOfReportDocument(takeHeading()),
                                .Landscape = landscape,
                                .Table = std::move(section.Content)});
            continue;
        }
        const std::string piece = "[" + section.Tag + "]" + section.Content;
        if (section.Tag == kTagTable && MayRunOverAPage(section.Content)) {
            run = takeHeading() + piece;
            repeatHead = true;
            continue;
        }
        run += heading;
        heading.clear();
        captionAt = std::string::npos;
        if (section.Tag == kTagHeader2) {
            heading = piece;
        } else {
            if (IsCaption(section))
                captionAt = run.size();
            run += piece;
        }
    }
    run += heading;
    flush(run, false);
}

void TPdfBuilder::AddPicture(std::string_view name, std::string& heading, std::string& run)
{
    auto* pictures = dynamic_cast<TPaintedPictures*>(Pictures());
    const std::optional<TReportPicture> picture = ReportPictureOfName(name);
    if (pictures == nullptr || !picture)
        return;
    const QSize size = pictures->PictureSize(Target().ObjectId, *picture);
    if (size.isEmpty())
        return;
    if (!run.empty())
        m_blocks.push_back({HtmlOfReportDocument(run), false});
    run.clear();
    m_blocks.push_back({HtmlOfReportDocument(heading), PictureWantsLandscape({size.width(), size.height()}),
                        pictures->Drawing(Target().ObjectId, *picture), size});
    heading.clear();
}

void TPdfBuilder::Write()
{
    if (!m_blocks.empty())
        m_output = RenderPdf(m_blocks, T("REPORT_TITLE_HTML"));
    TReporter::Write();
}

void TPdfBuilder::Sociocard()
{
    m_blocks.clear();
    m_output = SociocardPdf(ReadBlankData(Store(), Target().ObjectId));
    Finish();
}

void TPdfBuilder::Sociomatrix()
{
    m_blocks.clear();
    m_output = SociomatrixPdf(ReadBlankData(Store(), Target().ObjectId));
    Finish();
}

std::string RenderPdf(const std::vector<TPdfBlock>& blocks, const std::string& title)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setTitle(QString::fromStdString(title));
        writer.setCreator(QStringLiteral("Tremlow"));
        QPageLayout layout = FormLayout(false);
        QPainter painter;
        int pageNumber = 0;
        // Where the last picture ends on its page (negative when the page holds no picture last),
        // so the next picture can follow it there when it fits at full width.
        qreal pictureBottom = -1;
        bool lastLandscape = false;
        // Page pixels of a picture pixel at the picture's size on screen.
        const qreal screenScale = static_cast<qreal>(kResolution) / QPicture().logicalDpiX();
        // Progress after the tenth that reading the document took: each block's share is the size
        // of what it holds (its text, its table, a picture as much as a page of text).
        const auto weight = [](const TPdfBlock& block) -> double {
            return static_cast<double>(block.Html.size() + block.Table.size()) + (block.Picture ? 4096.0 : 0.0);
        };
        double total = 0;
        for (const TPdfBlock& block : blocks)
            total += weight(block);
        double done = 0;
        int percent = -1;
        const auto reportProgress = [&](double share) {
            const int now = total > 0 ? 10 + static_cast<int>(90 * share / total) : 10;
            if (now != percent && now < 100)
                ProgressSink().SetValue(percent = now);
        };
        for (const TPdfBlock& block : blocks) {
            reportProgress(done);
            done += weight(block);
            const bool picture = block.Picture && !block.PictureSize.isEmpty();
            if (picture && pictureBottom >= 0 && block.Landscape == lastLandscape) {
                const QRect paint = layout.paintRectPixels(kResolution);
                const QSizeF page(paint.width(), paint.height() - painter.fontMetrics().height() * 2.0);
                QTextDocument heading;
                heading.documentLayout()->setPaintDevice(&writer);
                heading.setHtml(QString::fromStdString(block.Html));
                heading.setTextWidth(page.width());
                const qreal top = pictureBottom + page.height() * 0.02;
                const QSizeF below(page.width(), page.height() - top - heading.size().height());
                // A picture cut into bands starts a page of its own.
                if (below.height() > 0 && PictureScale(block, below) * block.PictureSize.width() >= page.width() * 0.999 &&
                    BandScale(block, page, screenScale) <= 0) {
                    painter.save();
                    painter.translate(0, top);
                    heading.drawContents(&painter, QRectF(QPointF(0, 0), heading.size()));
                    painter.restore();
                    pictureBottom = PaintPicture(painter, block, top + heading.size().height(), page);
                    continue;
                }
            }
            layout.setOrientation(block.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
            writer.setPageLayout(layout); // takes effect from the next page on
            if (pageNumber == 0)
                painter.begin(&writer);
            else
                writer.newPage();

            QTextDocument document;
            document.documentLayout()->setPaintDevice(&writer);
            document.setHtml(QString::fromStdString(block.Html));
            if (block.RepeatHead) {
                for (QTextFrame* frame : document.rootFrame()->childFrames()) {
                    if (auto* table = qobject_cast<QTextTable*>(frame)) {
                        QTextTableFormat format = table->format();
                        format.setHeaderRowCount(1);
                        table->setFormat(format);
                    }
                }
            }
            const QRect paint = layout.paintRectPixels(kResolution);
            const qreal footer = painter.fontMetrics().height() * 2.0;
            const QSizeF page(paint.width(), paint.height() - footer);
            const auto numberPage = [&] {
                painter.drawText(QRectF(0, paint.height() - footer * 0.75, paint.width(), footer * 0.75),
                                 Qt::AlignHCenter | Qt::AlignBottom, QString::number(++pageNumber));
            };
            if (!block.Table.empty()) {
                // The heading, then the table as a grid from under it on.
                document.setTextWidth(page.width());
                document.drawContents(&painter, QRectF(QPointF(0, 0), document.size()));
                const QFont pageFont = painter.font();
                TDocumentRows rows(block.Table);
                const double blockWeight = weight(block);
                DrawGrid(
                    painter, ReportGrid(block.Table, painter, page.width()), rows, ReportRowHeight(painter),
                    document.size().height(), page.width(), page.height(),
                    [&] {
                        painter.setFont(pageFont);
                        numberPage();
                        writer.newPage();
                        return 0.0;
                    },
                    [&](double share) { reportProgress(done - blockWeight + share * blockWeight); });
                painter.setFont(pageFont);
                numberPage();
                pictureBottom = -1;
                lastLandscape = block.Landscape;
                continue;
            }
            document.setPageSize(page);
            KeepTablesWithHeadings(document, page.height());
            for (int p = 0; p < document.pageCount(); ++p) {
                if (p > 0)
                    writer.newPage();
                painter.save();
                painter.translate(0, -p * page.height());
                document.drawContents(&painter, QRectF(0, p * page.height(), page.width(), page.height()));
                painter.restore();
                numberPage();
            }
            pictureBottom = -1;
            lastLandscape = block.Landscape;
            if (!picture)
                continue;
            const int pages = std::max(1, document.pageCount());
            qreal top = std::max<qreal>(0, document.size().height() - (pages - 1) * page.height());
            const qreal bandScale = BandScale(block, page, screenScale);
            if (bandScale <= 0) {
                pictureBottom = PaintPicture(painter, block, top, page);
                continue;
            }
            // Bands of the page's width one under another, as many on a page as fit.
            const QSizeF size(block.PictureSize);
            const qreal bandWidth = page.width() / bandScale;
            const qreal gap = page.height() * kBandGap;
            for (const TPictureBand& band : PictureBands({block.PictureSize.width(), block.PictureSize.height()}, bandWidth)) {
                if (top + size.height() * bandScale > page.height() + 1) {
                    writer.newPage();
                    numberPage();
                    top = 0;
                }
                PaintPicturePart(painter, block, QRectF(band.Left, 0, band.Width, size.height()), QPointF(0, top),
                                 bandScale);
                top += size.height() * bandScale + gap;
            }
            pictureBottom = top - gap;
        }
        if (painter.isActive())
            painter.end();
    }
    return buffer.data().toStdString();
}
