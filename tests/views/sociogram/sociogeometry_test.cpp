#include <gtest/gtest.h>

#include <cmath>

#include "views/sociogram/sociogeometry.h"

namespace {

// Distance of p from the line through a and b.
double DistanceFromLine(QPoint p, QPoint a, QPoint b)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    return std::fabs(dy * (p.x() - a.x()) - dx * (p.y() - a.y())) / std::hypot(dx, dy);
}

const TFigureFrame kFrame{10, 20, 100, 140, 40, 19};

} // namespace

TEST(SocioGeometryTest, LineCrossingWithVerticalAndParallelLines)
{
    EXPECT_EQ(LineCrossing({0, 0}, {10, 10}, {0, 10}, {10, 0}), QPoint(5, 5));
    // A vertical line takes the slope 9999: the crossing lands on it, to the pixel.
    EXPECT_EQ(LineCrossing({10, 0}, {10, 100}, {0, 50}, {100, 50}), QPoint(10, 50));
    EXPECT_EQ(LineCrossing({0, 50}, {100, 50}, {10, 0}, {10, 100}), QPoint(10, 50));
    // Lines of equal slope cross at x = 9999.
    EXPECT_EQ(LineCrossing({0, 0}, {10, 10}, {0, 5}, {10, 15}).x(), 9999);
    EXPECT_EQ(LineCrossing({3, 0}, {3, 10}, {7, 0}, {7, 10}).x(), 9999);
}

TEST(SocioGeometryTest, PolygonFiguresFollowTheirConstructions)
{
    using P = std::vector<QPoint>;
    EXPECT_EQ(FigurePoints(csTriangle, kFrame), (P{{60, 40}, {109, 159}, {10, 159}}));
    // The pentagon's sides meet 2/5 of the way from the caption down to the bottom.
    EXPECT_EQ(FigurePoints(csPentagon, kFrame), (P{{60, 40}, {109, 87}, {90, 159}, {30, 159}, {10, 87}}));
    EXPECT_EQ(FigurePoints(csHexagon, kFrame),
              (P{{60, 40}, {109, 74}, {109, 125}, {60, 159}, {10, 125}, {10, 74}}));
    EXPECT_TRUE(FigurePoints(csRectangle, kFrame).empty());
    EXPECT_TRUE(FigurePoints(csNone, kFrame).empty());
}

TEST(SocioGeometryTest, StarInnerPointsLieOnTheirCrossingLines)
{
    struct TCase {
        TComponentStyle style;
        int n;
        int skip;
    };
    for (const TCase c : {TCase{csStar5, 5, 2}, TCase{csStar7, 7, 3}}) {
        SCOPED_TRACE(c.n);
        const std::vector<QPoint> points = FigurePoints(c.style, kFrame);
        ASSERT_EQ(points.size(), static_cast<std::size_t>(2 * c.n));
        EXPECT_EQ(points[0], QPoint(60, 40));
        auto outer = [&](int i) { return points[static_cast<std::size_t>(2 * (((i % c.n) + c.n) % c.n))]; };
        for (int i = 0; i < c.n; ++i) {
            const QPoint inner = points[static_cast<std::size_t>(2 * i + 1)];
            EXPECT_LE(DistanceFromLine(inner, outer(i), outer(i + c.skip)), 1.0) << i;
            EXPECT_LE(DistanceFromLine(inner, outer(i + 1), outer(i + 1 - c.skip)), 1.0) << i;
        }
    }
    // The first inner point of the 5-star: the line top - bottom right at the height of the side points.
    EXPECT_EQ(FigurePoints(csStar5, kFrame)[1], QPoint(72, 87));
}

TEST(SocioGeometryTest, SevenStarOuterPointsOnTheEllipseAndMirrored)
{
    const std::vector<QPoint> points = FigurePoints(csStar7, kFrame);
    const double a = 50.0;
    const double b = (140 - 19) / 2.0;
    const double cx = 60.0;
    const double cy = 40 + (20 + 140 - 40) / 2.0;
    for (int k = 1; k <= 6; ++k) {
        const QPoint p = points[static_cast<std::size_t>(2 * k)];
        const double e = std::pow((p.x() - cx) / a, 2) + std::pow((p.y() - cy) / b, 2);
        EXPECT_NEAR(e, 1.0, 0.05) << k;
        const QPoint mirror = points[static_cast<std::size_t>(2 * (7 - k))];
        EXPECT_EQ(p.y(), mirror.y());
        EXPECT_NEAR(p.x() - cx, cx - mirror.x(), 1.0);
    }
    // V1 at 38.57 degrees above the centre, on the right; V3 at -64.29 degrees, below it.
    EXPECT_GT(points[2].x(), cx);
    EXPECT_LT(points[2].y(), cy);
    EXPECT_GT(points[6].y(), cy);
}

TEST(SocioGeometryTest, ArrowHeadEntersTheTargetAndPointsBack)
{
    EXPECT_FALSE(ArrowHeadAt({5, 5}, {5, 5}, QRect(0, 0, 10, 10)).has_value());

    // From the left on one level: enters the left side; two strokes point back left.
    const auto level = ArrowHeadAt({0, 50}, {200, 50}, QRect(150, 20, 100, 60));
    ASSERT_TRUE(level);
    EXPECT_EQ(level->Entry, QPoint(150, 50));
    EXPECT_EQ(level->Ends[0], QPoint(137, 47));
    EXPECT_EQ(level->Ends[1], QPoint(163, 47));
    EXPECT_EQ(level->Ends[2], QPoint(163, 53));
    EXPECT_EQ(level->Ends[3], QPoint(137, 53));

    // From below, vertically aligned: through the middle of the bottom edge.
    const auto below = ArrowHeadAt({100, 300}, {100, 100}, QRect(60, 50, 80, 100));
    ASSERT_TRUE(below);
    EXPECT_EQ(below->Entry, QPoint(100, 150));
    const auto above = ArrowHeadAt({100, 0}, {100, 100}, QRect(60, 50, 80, 100));
    ASSERT_TRUE(above);
    EXPECT_EQ(above->Entry, QPoint(100, 50));
    EXPECT_EQ(above->Ends[1], QPoint(103, 37)); // 13 * (sin 15, -cos 15)

    // Diagonal: through the corner side that faces the source.
    EXPECT_EQ(ArrowHeadAt({0, 0}, {100, 100}, QRect(80, 80, 40, 40))->Entry, QPoint(80, 80));
    // Shallow from the right: the right side at the line's height.
    EXPECT_EQ(ArrowHeadAt({400, 110}, {100, 100}, QRect(80, 80, 40, 40))->Entry, QPoint(120, 101));
    // Steep from above: the top side.
    EXPECT_EQ(ArrowHeadAt({110, 0}, {100, 100}, QRect(80, 80, 40, 40))->Entry, QPoint(102, 80));
}

TEST(SocioGeometryTest, ShellsRunDownThenLeft)
{
    const QPoint expected[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {3, 0}};
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(ShellCell(n), expected[n]) << n;
}

TEST(SocioGeometryTest, BandHitRule)
{
    const QRect node(QPoint(100, 100), QPoint(150, 180));
    auto band = [](int l, int t, int r, int b) { return QRect(QPoint(l, t), QPoint(r, b)); };
    EXPECT_TRUE(BandHits(node, band(90, 90, 200, 200)));   // wholly inside
    EXPECT_TRUE(BandHits(node, band(200, 200, 90, 90)));   // drawn from the other corner
    EXPECT_TRUE(BandHits(node, band(100, 100, 150, 180))); // edges touching
    EXPECT_TRUE(BandHits(node, band(120, 50, 130, 120)));  // crosses the top edge
    EXPECT_TRUE(BandHits(node, band(50, 120, 100, 130)));  // touches the left edge
    EXPECT_TRUE(BandHits(node, band(140, 170, 300, 300))); // over the bottom-right corner
    EXPECT_FALSE(BandHits(node, band(110, 110, 140, 170))); // inside the node
    EXPECT_FALSE(BandHits(node, band(0, 0, 99, 99)));
    EXPECT_FALSE(BandHits(node, band(151, 0, 300, 300)));
}
