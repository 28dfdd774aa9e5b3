// Arrows end on the outline of the figure they point to with the head outside it; a mutual pair
// is one line with a head at each end, each half in its own choice's colour.
#include <gtest/gtest.h>

#include <memory>

#include <QImage>
#include <QPainter>

#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociopanel.h"

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 160, 0);

class SociogramArrows : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel = std::make_unique<TSocioPanel>();
        panel->SetBackColor(Qt::white);
        panel->resize(500, 500);
    }
    // A node with the surface's background, as the graph window makes them.
    TSocioGraphicControl* Node(const QString& caption, QRect geometry, TComponentStyle style)
    {
        auto* node = new TSocioGraphicControl(panel.get());
        node->SetCaption(caption);
        node->SetBColor(Qt::white);
        node->SetFigureBackColor(QColor(0, 128, 128));
        node->SetComponentStyle(style);
        node->setGeometry(geometry);
        return node;
    }
    QImage Picture()
    {
        QImage image(panel->ContentsSize(), QImage::Format_RGB32);
        QPainter painter(&image);
        panel->PaintTo(painter);
        return image;
    }
    int Count(const QImage& image, const QColor& colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour.rgb();
        return n;
    }
    std::unique_ptr<TSocioPanel> panel;
};

} // namespace

TEST_F(SociogramArrows, EndOnTheOutlineOfEveryFigureWithTheHeadOutsideIt)
{
    for (const TComponentStyle style : {csRectangle, csEllipse, csTriangle, csPentagon, csHexagon, csStar5, csStar7}) {
        SetUp();
        TSocioGraphicControl* from = Node("A", QRect(20, 100, 80, 100), csRectangle);
        TSocioGraphicControl* to = Node("B", QRect(300, 100, 80, 100), style);
        from->AddRelation(to, Qt::SolidLine, kRed, 1);
        const QImage image = Picture();
        // Along the arrow (level with both centres): the first pixel of the figure, and the red
        // pixels just before it.
        const int y = 150;
        int figure = -1;
        for (int x = 101; x < 340 && figure < 0; ++x) {
            const QRgb p = image.pixel(x, y);
            if (p != kRed.rgb() && p != QColor(Qt::white).rgb())
                figure = x;
        }
        ASSERT_GT(figure, 0) << style;
        EXPECT_EQ(image.pixel(figure - 2, y), kRed.rgb()) << "the arrow stops short of figure " << style;
        // The head, wider than the line, stands outside the figure.
        EXPECT_EQ(image.pixel(figure - 8, y - 2), kRed.rgb()) << style;
        EXPECT_EQ(image.pixel(figure - 8, y + 2), kRed.rgb()) << style;
        EXPECT_NE(image.pixel(figure - 40, y - 2), kRed.rgb()) << style;
    }
}

TEST_F(SociogramArrows, MutualPairIsOneLineWithTwoHeadsAndTheFilterChoosesWhatShows)
{
    TSocioGraphicControl* a = Node("A", QRect(20, 100, 80, 100), csRectangle);
    TSocioGraphicControl* b = Node("B", QRect(300, 100, 80, 100), csRectangle);
    TSocioGraphicControl* c = Node("C", QRect(20, 300, 80, 100), csRectangle);
    a->AddRelation(b, Qt::SolidLine, kRed, 1);
    b->AddRelation(a, Qt::SolidLine, kBlue, 1, -1);
    c->AddRelation(a, Qt::SolidLine, kGreen, 1);
    QImage image = Picture();
    // A's choice ends in a red head at B, B's in a blue head at A; each half has its head's colour.
    EXPECT_EQ(image.pixel(300 - 8, 148), kRed.rgb());
    EXPECT_EQ(image.pixel(100 + 8, 148), kBlue.rgb());
    EXPECT_EQ(image.pixel(150, 150), kBlue.rgb());
    EXPECT_EQ(image.pixel(250, 150), kRed.rgb());
    EXPECT_GT(Count(image, kGreen), 20);

    panel->SetArrowFilter(TArrowFilter::Mutual);
    image = Picture();
    EXPECT_EQ(Count(image, kGreen), 0);
    EXPECT_GT(Count(image, kRed), 20);
    panel->SetArrowFilter(TArrowFilter::OneWay);
    image = Picture();
    EXPECT_EQ(Count(image, kRed) + Count(image, kBlue), 0);
    EXPECT_GT(Count(image, kGreen), 20);
}
