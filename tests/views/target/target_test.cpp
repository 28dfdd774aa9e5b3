#include <gtest/gtest.h>

#include <cmath>

#include <QFontMetrics>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "analysis/investigationobj.h"
#include "analysis/projectbuilder.h"
#include "views/target/stringslist.h"
#include "views/target/target.h"
#include "views/target/targetrings.h"

namespace {

// A point at distance r from the centre along the lower-left diagonal, where numbers are not.
QPoint AtRadius(const TTargetGeometry& g, double r)
{
    const QPoint c = g.Centre();
    return QPoint(c.x() + static_cast<int>(std::lround(r)), c.y());
}

}  // namespace

TEST(TargetGeometry, RingAtFollowsTheBandsAndLeavesTheirCirclesOut)
{
    TTargetGeometry g;
    g.Rings = 6;
    g.Width = 20;
    g.MinNumber = 0;
    EXPECT_EQ(g.Centre(), QPoint(130, 130));
    EXPECT_EQ(g.DiagramSize(), QSize(260, 260));

    struct Case {
        double radius;
        int32_t ring;
    };
    const Case cases[] = {
        {0, 5},     // the centre itself belongs to the innermost band
        {1, 5},     // innermost band
        {19, 5},    {20, -1}, // on the circle between the two innermost bands
        {21, 4},    {59, 3},  {60, -1}, {61, 2}, {119, 0},
        {120, -1},  // the outer circle
        {121, -1},  // outside
    };
    for (const Case& c : cases)
        EXPECT_EQ(g.RingAt(AtRadius(g, c.radius)), c.ring) << "radius " << c.radius;

    // Values follow the outermost ring's number; a point off both axes counts by its distance.
    g.MinNumber = 7;
    EXPECT_EQ(g.RingAt(QPoint(130 + 30, 130 + 30)), 7 + 3);   // r = 42.4: third band from inside
    EXPECT_EQ(g.RingAt(QPoint(130 - 84, 130 - 84)), 7 + 0);   // r = 118.8: the outermost
    EXPECT_EQ(g.RingAt(QPoint(130 - 85, 130 - 85)), -1);      // r = 120.2: outside

    g.Rings = 0;
    EXPECT_EQ(g.RingAt(g.Centre()), -1);
    EXPECT_EQ(g.RingAt(QPoint(0, 0)), -1);
}

TEST(TargetGeometry, EllipsesAndNumberBoxesOfTheBands)
{
    TTargetGeometry g;
    g.Rings = 3;
    g.Width = 20;
    g.LeftOffset = 10;
    g.TopOffset = 5;
    EXPECT_EQ(g.Ellipse(0), QRect(10, 5, 120, 120));
    EXPECT_EQ(g.Ellipse(2), QRect(50, 45, 40, 40));
    // The number box of a band lies on its lower-left diagonal, between its two circles.
    for (int p = 0; p < g.Rings; ++p) {
        const QRect box = g.NumberBox(p);
        const QPoint c = g.Centre();
        const double outer = (g.Rings - p) * g.Width;
        const double inner = outer - g.Width;
        EXPECT_NEAR(std::hypot(box.left() - c.x(), box.bottom() - c.y()), outer, 1.5) << p;
        EXPECT_NEAR(std::hypot(box.right() - c.x(), box.top() - c.y()), inner, 1.5) << p;
        EXPECT_LT(box.left(), c.x());
        EXPECT_GT(box.bottom(), c.y());
    }
    EXPECT_EQ(g.DepthOf(0), 0);
    EXPECT_EQ(g.DepthOf(2), 2);
    EXPECT_EQ(g.DepthOf(3), -1);
    EXPECT_EQ(g.DepthOf(-1), -1);
}

TEST(TargetGeometry, ManyRingsGetThinnerButNeverBelowOnePixel)
{
    // Rings that fit keep their width.
    TTargetGeometry g = FitTargetGeometry(6, 20, 0, 10, 10, 1000);
    EXPECT_EQ(g.Rings, 6);
    EXPECT_EQ(g.Width, 20);

    // Too many for the width: thinner, all drawn, within the radius.
    g = FitTargetGeometry(300, 20, 2, 10, 10, 1000);
    EXPECT_EQ(g.Rings, 300);
    EXPECT_EQ(g.Width, 3);
    EXPECT_EQ(g.MinNumber, 2);
    EXPECT_LE(g.Rings * g.Width, 1000);

    // Exactly one pixel each.
    g = FitTargetGeometry(1000, 20, 0, 10, 10, 1000);
    EXPECT_EQ(g.Rings, 1000);
    EXPECT_EQ(g.Width, 1);

    // Past the radius one-pixel rings go on up to the largest radius.
    g = FitTargetGeometry(1500, 20, 4, 10, 10, 1000, 2000);
    EXPECT_EQ(g.Width, 1);
    EXPECT_EQ(g.Rings, 1500);
    EXPECT_EQ(g.MinNumber, 4);

    // Not even one pixel each: the innermost rings are drawn, the outermost left out.
    g = FitTargetGeometry(1500, 20, 4, 10, 10, 1000, 1000);
    EXPECT_EQ(g.Width, 1);
    EXPECT_EQ(g.Rings, 1000);
    EXPECT_EQ(g.MinNumber, 4 + 500);
    EXPECT_EQ(g.RingAt(AtRadius(g, 0.5)), -1);   // too close to call at a whole pixel
    EXPECT_EQ(g.RingAt(QPoint(g.Centre().x() + 999, g.Centre().y() + 1)), 4 + 500);

    // A width of zero or less still draws one-pixel rings; no rings draw nothing.
    EXPECT_EQ(FitTargetGeometry(5, 0, 0, 10, 10).Width, 1);
    g = FitTargetGeometry(0, 20, 9, 10, 10);
    EXPECT_EQ(g.Rings, 0);
    EXPECT_EQ(g.DiagramSize(), QSize(20, 20));
}

TEST(TargetGeometry, NumbersAreThinnedOutOnlyWhereTheyWouldOverlap)
{
    EXPECT_EQ(NumberStep(20, QSize(8, 11)), 1);
    EXPECT_EQ(NumberStep(20, QSize(30, 11)), 1);    // wide but low: they step down past each other
    EXPECT_EQ(NumberStep(7, QSize(20, 11)), 5);     // 11 / 4.9 = 2.2, rounded up to 5
    EXPECT_EQ(NumberStep(2, QSize(20, 11)), 10);    // 11 / 1.41 = 7.8
    EXPECT_EQ(NumberStep(1, QSize(20, 11)), 20);    // 15.6
    EXPECT_EQ(NumberStep(0, QSize(20, 11)), 20);
    EXPECT_EQ(NumberStep(1, QSize(200, 150)), 500); // 212

    // Which bands carry numbers: both ends, and round values clear of them.
    TTargetGeometry g;
    g.Rings = 47;   // values 3 ... 49
    g.MinNumber = 3;
    std::vector<int32_t> numbered;
    for (int p = 0; p < g.Rings; ++p)
        if (CarriesNumber(g, p, 10))
            numbered.push_back(g.MinNumber + p);
    EXPECT_EQ(numbered, (std::vector<int32_t>{3, 10, 20, 30, 40, 49}));
    g.Rings = 5;
    for (int p = 0; p < g.Rings; ++p)
        EXPECT_TRUE(CarriesNumber(g, p, 1)) << p;
    EXPECT_FALSE(CarriesNumber(g, 5, 1));
}

TEST(TargetRings, OneRingPerCountFromTheSmallestToTheLargest)
{
    const std::vector<int32_t> counts = {0, 1, 1, 3, 5};
    const TTargetRings rings = RingsForCounts(counts, true);
    EXPECT_EQ(rings.MinNumber, 0);
    EXPECT_EQ(rings.RingNumber, 6);
    EXPECT_EQ(MembersOnRing(counts, 1), (std::vector<int>{1, 2}));
    EXPECT_TRUE(MembersOnRing(counts, 2).empty());
    EXPECT_EQ(MembersOnRing(counts, 5), (std::vector<int>{4}));

    // Nobody chose: no rings, the smallest count still names the members to list.
    const TTargetRings none = RingsForCounts({4, 2, 2, 7}, false);
    EXPECT_EQ(none.RingNumber, 0);
    EXPECT_EQ(none.MinNumber, 2);

    // Everyone received the same: one ring.
    EXPECT_EQ(RingsForCounts({3, 3}, true).RingNumber, 1);
    // Counts far apart give more rings than a byte holds.
    EXPECT_EQ(RingsForCounts({0, 1999}, true).RingNumber, 2000);
    EXPECT_EQ(RingsForCounts({}, true).RingNumber, 0);
}

TEST(TargetRings, ReceivedCountsOfEachKindFromTheInvestigation)
{
    TProjectBuilder p;
    p.Members(1, 4, {1, 2, 3}).Members(2, 5, {7, 8});
    p.For(1, 1, 2).For(1, 3, 2).For(1, 2, 1).Against(1, 2, 3).Against(1, 1, 3);
    p.For(2, 7, 8);
    const TInvestigationObject model(p.store, 1);
    EXPECT_EQ(ReceivedCounts(model, TChoiceKind::Positive), (std::vector<int32_t>{1, 2, 0}));
    EXPECT_EQ(ReceivedCounts(model, TChoiceKind::Negative), (std::vector<int32_t>{0, 0, 2}));
    EXPECT_EQ(ReceivedCounts(model, TChoiceKind::Any), (std::vector<int32_t>{1, 2, 2}));
    EXPECT_TRUE(KindHasRings(model, TChoiceKind::Positive));
    EXPECT_TRUE(KindHasRings(model, TChoiceKind::Negative));
    EXPECT_FALSE(KindHasRings(model, TChoiceKind::Any));

    const TInvestigationObject noNegatives(p.store, 2);
    EXPECT_TRUE(KindHasRings(noNegatives, TChoiceKind::Positive));
    EXPECT_FALSE(KindHasRings(noNegatives, TChoiceKind::Negative));
}

// The control on the screen: size, clicks, hovering and the picture.
class TargetControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        target.SetRingMinNumber(0);
        target.SetRingNumber(6);
        target.SetActiveRingNumber(0);
        target.show();
    }

    QPoint Ring(int32_t value) const
    {
        const TTargetGeometry g = target.Geometry();
        const double r = (g.Rings + g.MinNumber - value) * g.Width - g.Width / 2.0;
        return AtRadius(g, r);
    }

    TTarget target;
};

TEST_F(TargetControlTest, SizeFollowsRingsWidthAndOffsets)
{
    EXPECT_EQ(target.size(), QSize(2 * (20 * 6 + 10), 2 * (20 * 6 + 10)));
    target.SetRingWidth(15);
    target.SetLeftOffset(4);
    target.SetTopOffset(30);
    EXPECT_EQ(target.size(), QSize(2 * (15 * 6 + 4), 2 * (15 * 6 + 30)));
    target.SetRingNumber(0);
    EXPECT_EQ(target.size(), QSize(8, 60));
    target.SetBorderWidth(-3);
    EXPECT_EQ(target.BorderWidth(), 1);
}

TEST_F(TargetControlTest, ClickMakesTheRingActiveAndAMissMatchesNone)
{
    QSignalSpy down(&target, &TTarget::OnLButtonDown);
    QTest::mouseClick(&target, Qt::LeftButton, {}, Ring(4));
    EXPECT_EQ(target.ActiveRingNumber(), 4);
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0).at(0).toInt(), 4);

    QTest::mouseClick(&target, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(target.ActiveRingNumber(), -1);
    EXPECT_EQ(down.at(1).at(0).toInt(), -1);

    QSignalSpy dbl(&target, &TTarget::OnDblClick);
    QTest::mouseDClick(&target, Qt::LeftButton, {}, Ring(1));
    ASSERT_EQ(dbl.count(), 1);
    EXPECT_EQ(dbl.at(0).at(0).toInt(), 1);
    EXPECT_EQ(target.ActiveRingNumber(), 1);
}

TEST_F(TargetControlTest, MovingOffTheRingsOrLeavingReportsNoRing)
{
    QSignalSpy over(&target, &TTarget::OnMouseMove);
    QSignalSpy out(&target, &TTarget::OnMouseOutMove);
    QTest::mouseMove(&target, Ring(3));
    ASSERT_EQ(over.count(), 1);
    EXPECT_EQ(over.at(0).at(0).toInt(), 3);
    EXPECT_EQ(target.HoverRing(), 3);

    QTest::mouseMove(&target, QPoint(3, target.height() - 3)); // a corner
    EXPECT_EQ(out.count(), 1);
    EXPECT_EQ(target.HoverRing(), -1);

    QTest::mouseMove(&target, Ring(5));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&target, &leave);
    EXPECT_EQ(out.count(), 2);
    EXPECT_EQ(target.HoverRing(), -1);
}

TEST_F(TargetControlTest, PictureFillsTheActiveRingAloneAndShowsNoHover)
{
    target.SetActiveRingColor(Qt::red);
    target.SetNotActiveRingColor(Qt::yellow);
    target.SetActiveRingBorderColor(Qt::blue);
    target.SetActiveRingNumber(2);
    QTest::mouseMove(&target, Ring(4));
    const QImage picture = target.Picture();
    ASSERT_EQ(picture.size(), target.size());
    for (int32_t value = 0; value < 6; ++value) {
        const QColor expected = value == 2 ? QColor(Qt::red) : QColor(Qt::yellow);
        const QPoint p = Ring(value);
        EXPECT_EQ(picture.pixelColor(p.x(), p.y() - 4), expected) << value; // away from the numbers
    }
    // The hover outline is a screen aid only.
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ASSERT_NE(picture.pixelColor(x, y), QColor(Qt::blue)) << x << "," << y;
}

TEST_F(TargetControlTest, OnePixelRingsStayDistinguishable)
{
    target.SetNotActiveRingColor(QColor(200, 200, 200));
    target.SetActiveRingNumber(-1);
    target.SetRingNumber(kMaxTargetRadius);
    const TTargetGeometry g = target.Geometry();
    ASSERT_EQ(g.Width, 1);
    EXPECT_EQ(target.OmittedRings(), 0);
    const QImage picture = target.Picture();
    // Along a radius, neighbouring one-pixel rings alternate between two shades.
    const QPoint c = g.Centre();
    int changes = 0;
    for (int r = 100; r < 200; ++r)
        changes += picture.pixel(c.x() + r, c.y()) != picture.pixel(c.x() + r + 1, c.y());
    EXPECT_GE(changes, 90);

    target.SetRingNumber(kMaxTargetRadius + 7);
    EXPECT_EQ(target.OmittedRings(), 7);
    EXPECT_EQ(target.Geometry().MinNumber, 7);
    // A note above the rings makes the control taller and moves the rings down with it.
    const int before = target.height();
    const QPoint centre = target.Geometry().Centre();
    target.SetNote(QStringLiteral("Rings 0 to 6 are not drawn"));
    const int added = target.height() - before;
    EXPECT_GT(added, 0);
    EXPECT_EQ(target.Geometry().Centre(), centre + QPoint(0, added));
    // One pixel diagonally off the centre (r = 1.41) is in the second band from the inside.
    EXPECT_EQ(target.RingAt(target.Geometry().Centre() + QPoint(1, 1)), 7 + kMaxTargetRadius - 2);
}

TEST(Legend, LinesSizeAndShowTheLegend)
{
    QWidget parent;
    TStringsList legend(&parent);
    parent.show();
    EXPECT_FALSE(legend.isVisible());
    EXPECT_EQ(legend.BackColor(), QColor(Qt::white));

    legend.SetLines({QStringLiteral("Anna"), QStringLiteral("Bartholomew")});
    EXPECT_TRUE(legend.isVisible());
    const QFontMetrics fm(legend.TextFont());
    EXPECT_EQ(legend.width(), fm.horizontalAdvance(QStringLiteral("Bartholomew")) + 2 * 20);
    EXPECT_EQ(legend.height(), 2 * (fm.height() + 10) + 20);
    EXPECT_EQ(legend.LineAt(QPoint(30, 21)), 0);
    EXPECT_EQ(legend.LineAt(QPoint(30, 20 + fm.height() + 10 + 1)), 1);
    EXPECT_EQ(legend.LineAt(QPoint(30, 5)), -1);
    EXPECT_EQ(legend.LineAt(QPoint(30, legend.height() + 50)), -1);

    legend.SetLines({});
    EXPECT_FALSE(legend.isVisible());
    legend.SetIsEmptyHide(false);
    EXPECT_TRUE(legend.isVisible());
}

TEST(Legend, LongListsFlowIntoColumnsOfEqualLength)
{
    TStringsList legend;
    QStringList lines;
    for (int i = 0; i < 25; ++i)
        lines << QStringLiteral("Member %1").arg(i, 2, 10, QLatin1Char('0'));
    legend.SetLines(lines);
    const int pitch = QFontMetrics(legend.TextFont()).height() + 10;
    const int widest = legend.width() - 2 * 20;
    EXPECT_EQ(legend.RowsPerColumn(), 25);

    // Room for ten lines: three columns, of nine, nine and seven lines.
    legend.SetMaxHeight(20 + 10 * pitch);
    EXPECT_EQ(legend.RowsPerColumn(), 9);
    EXPECT_EQ(legend.height(), 20 + 9 * pitch);
    EXPECT_EQ(legend.width(), 3 * widest + 4 * 20);
    EXPECT_EQ(legend.LinePos(9), QPoint(20 + widest + 20, 20));
    EXPECT_EQ(legend.LineAt(legend.LinePos(10) + QPoint(2, 2)), 10);
    EXPECT_EQ(legend.LineAt(legend.LinePos(24) + QPoint(2, 2)), 24);
    EXPECT_EQ(legend.LineAt(legend.LinePos(24) + QPoint(2, 2 + pitch)), -1);  // below the last line

    // Every line is drawn: the last column's last line shows in the picture.
    legend.SetTextFont(legend.TextFont(), Qt::red);
    const QImage picture = legend.Picture();
    const QRect last(legend.LinePos(24), QSize(widest, pitch - 10));
    bool inked = false;
    for (int y = last.top(); y <= last.bottom(); ++y)
        for (int x = last.left(); x <= last.right(); ++x)
            inked = inked || (picture.pixelColor(x, y).red() > 200 && picture.pixelColor(x, y).green() < 100);
    EXPECT_TRUE(inked);

    legend.SetMaxHeight(0);
    EXPECT_EQ(legend.RowsPerColumn(), 25);
}
