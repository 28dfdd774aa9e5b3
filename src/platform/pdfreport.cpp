#include "platform/pdfreport.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPicture>
#include <QPdfWriter>
#include <QTextDocument>

#include "platform/reportpictures.h"
#include "reports/htmlbuilder.h"
#include "reports/wordbuilder.h"
#include "util/error.h"
#include "util/safefile.h"

namespace {

// Pages are printed at this resolution; text and lines stay vectors whatever it is.
constexpr int kResolution = 300;
constexpr qreal kMarginMm = 15;

QPageSize PaperOfLocale()
{
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
}

// The scale of a block's picture in an area: as wide as the text, or as tall as the area allows.
qreal PictureScale(const TPdfBlock& block, QSizeF area)
{
    const QSizeF size(block.PictureSize);
    return std::min(area.width() / size.width(), area.height() / size.height());
}

// Paints a block's picture from top down on a page of text, centred, proportions kept, as large as
// PictureScale allows; answers where it ends.
qreal PaintPicture(QPainter& painter, const TPdfBlock& block, qreal top, QSizeF page)
{
    const QSizeF size(block.PictureSize);
    const qreal scale = PictureScale(block, QSizeF(page.width(), page.height() - top));
    if (scale <= 0)
        return top;
    painter.save();
    painter.translate((page.width() - size.width() * scale) / 2, top);
    painter.scale(scale, scale);
    painter.setClipRect(QRectF(QPointF(0, 0), size));
    // The views lay text out at the screen's resolution: recorded at it, the drawing keeps its text
    // in proportion to its figures on a page of any resolution, and stays vectors.
    QPicture recorded;
    {
        QPainter recorder(&recorded);
        block.Picture(recorder);
    }
    // Played back, a recording is scaled from its resolution to the page's; the scale above
    // already maps picture pixels onto the page.
    painter.scale(static_cast<qreal>(recorded.logicalDpiX()) / painter.device()->logicalDpiX(),
                  static_cast<qreal>(recorded.logicalDpiY()) / painter.device()->logicalDpiY());
    painter.drawPicture(0, 0, recorded);
    painter.restore();
    return top + size.height() * scale;
}

} // namespace

void TPdfBuilder::Format()
{
    m_blocks.clear();
    // The document is cut into runs of sections: a table that needs landscape pages is a run of
    // its own, together with the heading just before it.
    std::string run;
    std::string heading;
    const auto flush = [this](std::string& part, bool landscape) {
        if (!part.empty())
            m_blocks.push_back({HtmlOfReportDocument(part), landscape});
        part.clear();
    };
    const std::vector<TLexeme> sections = ReadSections(Document());
    for (std::size_t i = 0; i < sections.size(); ++i) {
        StepProgress(i, sections.size());
        const TLexeme& section = sections[i];
        const std::string piece = "[" + section.Tag + "]" + section.Content;
        if (section.Tag == kTagPicture) {
            AddPicture(PlainText(section.Content), heading, run);
            continue;
        }
        if (section.Tag == kTagTable && TableNeedsLandscape(section.Content)) {
            flush(run, false);
            std::string wide = heading + piece;
            heading.clear();
            flush(wide, true);
            continue;
        }
        run += heading;
        heading.clear();
        if (section.Tag == kTagHeader2)
            heading = piece;
        else
            run += piece;
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

void TPdfBuilder::FormatTable(const TTableRows& rows, std::string& out)
{
    THTMLBuilder html(Target(), false, FileName());
    html.FormatTable(rows, out);
}

void TPdfBuilder::Write()
{
    if (m_blocks.empty())
        return;
    const std::string bytes = RenderPdf(m_blocks, T("REPORT_TITLE_HTML"));
    std::string error;
    if (!ReplaceFile(FileName(), bytes, error))
        throw TAppError(T("REPORT_WRITE_ERROR") + "\n" + FileName() + ": " + error);
}

void TPdfBuilder::Sociocard()
{
    m_blocks = {{SociocardHtml(ReadBlankData(Store(), Target().ObjectId)), false}};
    Finish();
}

void TPdfBuilder::Sociomatrix()
{
    const TBlankData data = ReadBlankData(Store(), Target().ObjectId);
    m_blocks = {{SociomatrixHtml(data), TableNeedsLandscape(BlankSociomatrixRows(data))}};
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
        QPageLayout layout(PaperOfLocale(), QPageLayout::Portrait, QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                           QPageLayout::Millimeter);
        QPainter painter;
        int pageNumber = 0;
        // Where the last picture ends on its page (negative when the page holds no picture last),
        // so the next picture can follow it there when it fits at full width.
        qreal pictureBottom = -1;
        bool lastLandscape = false;
        for (const TPdfBlock& block : blocks) {
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
                if (below.height() > 0 && PictureScale(block, below) * block.PictureSize.width() >= page.width() * 0.999) {
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
            const QRect paint = layout.paintRectPixels(kResolution);
            const qreal footer = painter.fontMetrics().height() * 2.0;
            const QSizeF page(paint.width(), paint.height() - footer);
            document.setPageSize(page);
            for (int p = 0; p < document.pageCount(); ++p) {
                if (p > 0)
                    writer.newPage();
                painter.save();
                painter.translate(0, -p * page.height());
                document.drawContents(&painter, QRectF(0, p * page.height(), page.width(), page.height()));
                painter.restore();
                painter.drawText(QRectF(0, paint.height() - footer * 0.75, paint.width(), footer * 0.75),
                                 Qt::AlignHCenter | Qt::AlignBottom, QString::number(++pageNumber));
            }
            pictureBottom = -1;
            lastLandscape = block.Landscape;
            if (picture) {
                const int pages = std::max(1, document.pageCount());
                const qreal top = std::max<qreal>(0, document.size().height() - (pages - 1) * page.height());
                pictureBottom = PaintPicture(painter, block, top, page);
            }
        }
        if (painter.isActive())
            painter.end();
    }
    return buffer.data().toStdString();
}
