#include <gtest/gtest.h>

#include <cstdlib>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociopanel.h"

namespace {

// The first and last pixel columns of a painted node that hold caption ink (dark pixels above
// the caption strip's bottom; everything else is painted white).
struct TInkSpan {
    int Left = -1;
    int Right = -1;
};

TInkSpan CaptionInk(TSocioGraphicControl& node)
{
    QImage image(node.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    node.PaintTo(painter, 0, 0);
    painter.end();
    const int stripBottom = node.CaptionTextHeight() + 2;
    TInkSpan span;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < stripBottom; ++y) {
            if (image.pixelColor(x, y).lightness() < 160) {
                if (span.Left < 0)
                    span.Left = x;
                span.Right = x;
                break;
            }
        }
    }
    return span;
}

// A node whose figure, outline and background are all white, so only the caption shows.
TSocioGraphicControl* WhiteNode(TSocioPanel& panel, const QString& caption)
{
    auto* node = new TSocioGraphicControl(&panel);
    node->SetCaption(caption);
    node->SetFigureBackColor(Qt::white);
    node->SetBColor(Qt::white);
    node->SetLineColor(Qt::white);
    return node;
}

QFont Font(const char* family, int size, bool italic, bool bold)
{
    QFont font(QString::fromLatin1(family), size);
    font.setItalic(italic);
    font.setBold(bold);
    return font;
}

} // namespace

TEST(GraphicControlTest, CaptionIsCentredAndInsideTheNodeForEveryFont)
{
    TSocioPanel panel;
    panel.SetBackColor(Qt::white);
    panel.resize(900, 600);
    TSocioGraphicControl* node = WhiteNode(panel, QStringLiteral("Wolfgang"));
    struct TCase {
        QFont font;
        TComponentStyle style;
        int lineWidth;
    };
    const TCase cases[] = {
        {Font("DejaVu Sans", 10, false, false), csRectangle, 1},
        {Font("DejaVu Serif", 28, true, false), csRectangle, 1},
        {Font("DejaVu Serif", 28, true, false), csEllipse, 4},
        {Font("DejaVu Sans", 36, true, true), csStar5, 2},
        {Font("DejaVu Sans", 20, false, true), csNone, 5},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.font.toString().toStdString() + " line " + std::to_string(c.lineWidth));
        node->SetComponentStyle(c.style);
        node->SetLineWidth(c.lineWidth);
        node->SetCaptionFont(c.font, Qt::black);
        const TInkSpan ink = CaptionInk(*node);
        ASSERT_GE(ink.Left, 0) << "no caption drawn";
        // Nothing cut at the outline and nothing run over the edges.
        EXPECT_GE(ink.Left, c.lineWidth);
        EXPECT_LT(ink.Right, node->width() - c.lineWidth);
        const int leftMargin = ink.Left;
        const int rightMargin = node->width() - 1 - ink.Right;
        EXPECT_LE(std::abs(leftMargin - rightMargin), 2) << leftMargin << " left, " << rightMargin << " right";
        // Auto-size leaves the caption its margin of 5 on each side.
        EXPECT_GE(std::min(leftMargin, rightMargin), 3);
    }

    // A node sized for a small font keeps its size when the font is only assigned; the
    // caption is still centred while it fits.
    node->SetCaptionFont(Font("DejaVu Sans", 10, false, false), Qt::black);
    node->SetLineWidth(1);
    node->AssignCaptionFont(Font("DejaVu Serif", 11, true, false), Qt::black);
    const TInkSpan ink = CaptionInk(*node);
    EXPECT_LE(std::abs(ink.Left - (node->width() - 1 - ink.Right)), 2);
}

TEST(GraphicControlTest, CaptionWiderThanTheNodeStartsLeftAndIsCutWithAnEllipsisInside)
{
    TSocioPanel panel;
    panel.SetBackColor(Qt::white);
    panel.resize(900, 600);
    TSocioGraphicControl* node = WhiteNode(panel, QStringLiteral("Maximilian"));
    node->SetComponentStyle(csRectangle);
    node->SetLineWidth(3);
    node->SetCaptionFont(Font("DejaVu Sans", 10, false, false), Qt::black);
    // A large italic font assigned without auto-size, as the graph window does.
    node->AssignCaptionFont(Font("DejaVu Serif", 30, true, false), Qt::black);
    ASSERT_GT(node->CaptionWidth(), node->width());
    const TInkSpan ink = CaptionInk(*node);
    ASSERT_GE(ink.Left, 0);
    EXPECT_GE(ink.Left, 3);
    EXPECT_LE(ink.Left, 3 + 4); // drawn from the left
    EXPECT_LT(ink.Right, node->width() - 3);
    // Cut before drawing, so no format can show letters past the box: a prefix and an ellipsis.
    const QString shown = node->ShownCaption();
    ASSERT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(QStringLiteral("Maximilian").startsWith(shown.chopped(1)));
    EXPECT_LE(QFontMetrics(node->CaptionFont()).horizontalAdvance(shown), node->width() - 6);

    // Several words are cut at a word end.
    node->SetCaptionFont(Font("DejaVu Sans", 10, false, false), Qt::black);
    node->SetCaption(QStringLiteral("Grace Hughes Whitfield"));
    node->resize(QFontMetrics(node->CaptionFont()).horizontalAdvance(QStringLiteral("Grace Hughes")) + 30, 100);
    EXPECT_EQ(node->ShownCaption(), QStringLiteral("Grace Hughes") + QChar(0x2026));
}
