#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "views/indexes/chartgeometry.h"
#include "views/indexes/graphicchart.h"

namespace {

// The chart's picture; with a clip, only that part is painted, and with cull the chart is told
// to skip what lies outside it.
QImage Render(const TGraphicChart& chart, const QRect& clip = {}, bool cull = false)
{
    QImage image(chart.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    if (!clip.isEmpty())
        painter.setClipRect(clip);
    chart.PaintTo(painter, cull ? clip : QRect());
    return image;
}

// A chart with nothing drawn around the series but the plot area: no grid, labels or legend.
void MakePlain(TGraphicChart& chart, TChartType type)
{
    chart.resize(400, 300);
    chart.SetChartType(type);
    chart.SetIsLegend(false);
    chart.SetPointLabels(TAxeLabel::alNone);
    chart.SetGrid(TGridType::gtNone);
}

// The first column of the row, from the left, that has the colour; -1 when none.
int FirstColumn(const QImage& image, int row, QColor color)
{
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, row) == color)
            return x;
    }
    return -1;
}

TEST(ChartGeometry, MapsValuesToPixelsRoundingHalvesToEven)
{
    TChartRanges ranges;
    ranges.MinX = 0;
    ranges.MaxX = 10;
    ranges.MarginLeftX = 0;
    ranges.MarginRightX = 0;
    ranges.MinY = 0;
    ranges.MaxY = 10;
    ranges.MarginTopY = 0;
    ranges.MarginBottomY = 0;
    const TPlotRect plot{.Left = 10, .Top = 20, .Right = 110, .Bottom = 220};
    EXPECT_EQ(ValueToPixelX(ranges, plot, 0), 10);
    EXPECT_EQ(ValueToPixelX(ranges, plot, 5), 60);
    EXPECT_EQ(ValueToPixelX(ranges, plot, 10), 110);
    EXPECT_EQ(ValueToPixelY(ranges, plot, 0), 220);
    EXPECT_EQ(ValueToPixelY(ranges, plot, 10), 20);
    EXPECT_EQ(ValueToPixelY(ranges, plot, 2.5), 170);

    // Five pixels for ten units: 0.5 -> 0 and 1.5 -> 2 (halves to even).
    const TPlotRect narrow{.Left = 0, .Top = 0, .Right = 5, .Bottom = 5};
    EXPECT_EQ(ValueToPixelX(ranges, narrow, 1), 0);
    EXPECT_EQ(ValueToPixelX(ranges, narrow, 3), 2);
    EXPECT_EQ(ValueToPixelY(ranges, narrow, 1), 4); // 4.5
    EXPECT_EQ(ValueToPixelY(ranges, narrow, 5), 2); // 2.5

    // Margins widen the value span on both sides.
    ranges.MarginLeftX = 5;
    ranges.MarginRightX = 5;
    EXPECT_EQ(ValueToPixelX(ranges, plot, 0), 35);
    EXPECT_EQ(ValueToPixelX(ranges, plot, 10), 85);

    // A degenerate span draws at the plot's edge instead of dividing by zero.
    TChartRanges flat = ranges;
    flat.MarginLeftX = flat.MarginRightX = 0;
    flat.MaxX = flat.MinX;
    EXPECT_EQ(ValueToPixelX(flat, plot, 3), plot.Left);
}

TEST(ChartGeometry, ScaleMarksNeverLoseTheLastOne)
{
    const std::vector<double> marks = ScaleMarks(1, 7, 1.2);
    ASSERT_EQ(marks.size(), 6u);
    EXPECT_NEAR(marks.back(), 7.0, 1e-12);
    EXPECT_EQ(ScaleMarks(0, 2, 0.4).size(), 6u);
    EXPECT_EQ(ScaleMarks(0, 1, 0.1).size(), 11u);
    EXPECT_EQ(ScaleMarks(1, 2000, 1).size(), 2000u);
    EXPECT_EQ(ScaleMarks(0, 0, 1).size(), 1u);
    EXPECT_TRUE(ScaleMarks(5, 4, 1).empty());
    EXPECT_TRUE(ScaleMarks(0, 1, 0).empty());
    EXPECT_EQ(ScaleMarks(0, 1, 1e-12).size(), static_cast<std::size_t>(kMaxScaleMarks));
}

TEST(GraphicChart, PropertiesKeepTheirRules)
{
    TGraphicChart chart;
    EXPECT_EQ(chart.size(), QSize(147, 105));
    EXPECT_EQ(chart.BorderWidth(), 1);
    chart.SetBorderWidth(0);
    EXPECT_EQ(chart.BorderWidth(), 1);
    chart.SetBorderWidth(9);
    EXPECT_EQ(chart.BorderWidth(), 4);
    chart.SetBorderWidth(3);
    EXPECT_EQ(chart.BorderWidth(), 3);

    chart.SetIntervalX(2.5);
    try {
        chart.SetIntervalX(0);
        FAIL() << "a zero interval was accepted";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "Interval for X must be > 0!");
    }
    EXPECT_EQ(chart.IntervalX(), 2.5);
    try {
        chart.SetIntervalY(-1);
        FAIL() << "a negative interval was accepted";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "Interval for Y must be > 0!");
    }
    EXPECT_EQ(chart.IntervalY(), 10.0);

    chart.SetTitle(QString(300, 'x'));
    EXPECT_EQ(chart.Title().size(), 255);
}

TEST(GraphicChart, PointsJoinTheirSeriesByKey)
{
    TGraphicChart chart;
    MakePlain(chart, TChartType::ctScatter);
    chart.SetMinX(0);
    chart.SetMaxX(10);
    chart.SetMinY(0);
    chart.SetMaxY(10);
    chart.AddPoint(7, Qt::red, "first", 2, 5, "a");
    chart.AddPoint(7, Qt::blue, "renamed", 8, 5, "b");
    ASSERT_EQ(chart.Series().Count(), 1);
    EXPECT_EQ(chart.Series().At(0).Name, "first");
    EXPECT_EQ(chart.Series().At(0).Points.size(), 2u);

    // The second point is drawn in the series' colour, not the one passed with it.
    const QImage image = Render(chart);
    const TPlotRect plot = chart.PlotArea();
    const QPoint second(ValueToPixelX(chart.Ranges(), plot, 8), ValueToPixelY(chart.Ranges(), plot, 5));
    EXPECT_EQ(image.pixelColor(second), QColor(Qt::red));

    chart.AddAxeXLabel("one");
    chart.ClearData();
    EXPECT_EQ(chart.Series().Count(), 0);
    EXPECT_EQ(chart.AxeXLabels().size(), 1); // labels outlive the data
}

TEST(GraphicChart, BarsOfLaterSeriesStandFourPixelsRight)
{
    TGraphicChart chart;
    MakePlain(chart, TChartType::ctBar);
    chart.SetMinX(1);
    chart.SetMaxX(4);
    chart.SetIntervalX(1);
    chart.SetMarginLeftX(0.8);
    chart.SetMarginRightX(0.8);
    chart.SetMinY(0);
    chart.SetMaxY(5);
    chart.SetIntervalY(1);
    chart.SetMarginTopY(0.5);
    chart.SetMarginBottomY(0.5);
    chart.AddPoint(0, Qt::red, "tall", 2, 4, "");
    chart.AddPoint(1, Qt::blue, "short", 2, 2, "");

    const QImage image = Render(chart);
    const TPlotRect plot = chart.PlotArea();
    const int high = ValueToPixelY(chart.Ranges(), plot, 3); // only the tall bar reaches here
    const int low = ValueToPixelY(chart.Ranges(), plot, 1);  // both bars
    const int redLeft = FirstColumn(image, high, Qt::red);
    const int blueLeft = FirstColumn(image, low, Qt::blue);
    ASSERT_GE(redLeft, 0);
    ASSERT_GE(blueLeft, 0);
    EXPECT_EQ(blueLeft - redLeft, 4);
    EXPECT_EQ(FirstColumn(image, low, Qt::red), redLeft); // the first bar shows left of the second

    // Bar width: 90 % of the smallest of interval and margins (0.8 of an X unit).
    const int expected = BarWidth(chart.Ranges(), plot);
    EXPECT_EQ(expected, static_cast<int>(std::nearbyint(0.9 * 0.8 * (plot.Right - plot.Left) / 4.6)));
    int redRun = 0;
    while (image.pixelColor(redLeft + redRun, high) == QColor(Qt::red))
        ++redRun;
    EXPECT_EQ(redRun, expected);
}

TEST(GraphicChart, LineStartsAtTheFirstPointInsideTheRanges)
{
    TGraphicChart chart;
    MakePlain(chart, TChartType::ctLine);
    chart.SetMinX(1);
    chart.SetMaxX(3);
    chart.SetIntervalX(1);
    chart.SetMarginLeftX(2);
    chart.SetMarginRightX(1);
    chart.SetMinY(0);
    chart.SetMaxY(4);
    chart.SetIntervalY(1);
    chart.SetMarginTopY(1);
    chart.SetMarginBottomY(1);
    chart.AddPoint(0, Qt::darkGreen, "s", 0, 4, ""); // left of MinX: not drawn, starts nothing
    chart.AddPoint(0, Qt::darkGreen, "s", 2, 1, "");
    chart.AddPoint(0, Qt::darkGreen, "s", 3, 1, "");

    const QImage image = Render(chart);
    const TPlotRect plot = chart.PlotArea();
    const TChartRanges& r = chart.Ranges();
    const QPoint onLine(ValueToPixelX(r, plot, 2.5), ValueToPixelY(r, plot, 1));
    EXPECT_EQ(image.pixelColor(onLine), QColor(Qt::darkGreen));
    const QPoint wouldBe(ValueToPixelX(r, plot, 1), ValueToPixelY(r, plot, 2.5));
    EXPECT_EQ(image.pixelColor(wouldBe), QColor(Qt::white)); // plot area untouched
}

TEST(GraphicChart, DrawingOnlyTheVisiblePartLooksTheSame)
{
    TGraphicChart chart;
    chart.resize(3000, 300);
    chart.SetChartType(TChartType::ctLine);
    chart.SetGrid(TGridType::gtBoth);
    chart.SetPointLabels(TAxeLabel::alYLabel);
    chart.SetMinX(1);
    chart.SetMaxX(100);
    chart.SetIntervalX(1);
    chart.SetMarginLeftX(0.8);
    chart.SetMarginRightX(0.8);
    chart.SetMinY(0);
    chart.SetMaxY(1);
    chart.SetIntervalY(0.2);
    chart.SetMarginTopY(0.04);
    chart.SetMarginBottomY(0.04);
    for (int i = 1; i <= 100; ++i) {
        chart.AddAxeXLabel(QString("Member %1").arg(i));
        chart.AddPoint(0, Qt::blue, "Pi", i, (i % 7) / 7.0, "");
        chart.AddPoint(1, Qt::red, "Ai", i, (i % 5) / 5.0, "");
    }
    // Columns as a scrolled window shows them, and strips across the whole width as a picture
    // saved in bands draws them.
    std::vector<QRect> parts = {QRect(1203, 0, 217, 300), QRect(0, 40, 95, 100), QRect(2900, 0, 100, 300)};
    for (int top = 0; top < 300; top += 10)
        parts.emplace_back(0, top, 3000, 10);
    for (const QRect& exposed : parts) {
        const QImage whole = Render(chart, exposed);
        const QImage part = Render(chart, exposed, true);
        int differing = 0;
        for (int y = exposed.top(); y <= exposed.bottom(); ++y) {
            for (int x = exposed.left(); x <= exposed.right(); ++x)
                differing += whole.pixel(x, y) != part.pixel(x, y);
        }
        EXPECT_EQ(differing, 0) << "exposed " << exposed.x() << "," << exposed.y();
    }
}

TEST(GraphicChart, LabelsAndScalesUseTheirOwnFonts)
{
    TGraphicChart chart;
    chart.AddAxeXLabel("Anna");
    chart.AddAxeXLabel("Maximilian Rosenberg");
    TChartFont big = chart.LabelXFont();
    big.Font.setPointSize(20);
    chart.SetLabelXFont(big);
    TChartFont small = chart.AxeXTitleFont();
    small.Font.setPointSize(6);
    chart.SetAxeXTitleFont(small);
    // Measured in the font the labels are drawn in, so a larger label font widens the chart.
    TChartFont measured = big;
    measured.Font.setPixelSize(static_cast<int>(std::nearbyint(20 * chart.logicalDpiY() / 72.0)));
    EXPECT_EQ(chart.MaxAxeXLabelWidth(), QFontMetrics(measured.Font).horizontalAdvance("Maximilian Rosenberg"));

    // The scale hook reports the X axis first, each with its last label text.
    chart.resize(500, 300);
    chart.SetMinX(0);
    chart.SetMaxX(3);
    chart.SetIntervalX(1);
    chart.SetMinY(0);
    chart.SetMaxY(1);
    chart.SetIntervalY(0.25);
    std::vector<std::pair<TChartAxis, QString>> calls;
    chart.OnDrawScales = [&calls](const TGraphicChart&, TChartAxis axis, const QString& text) {
        calls.emplace_back(axis, text);
    };
    Render(chart);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::make_pair(TChartAxis::X, QString("3")));
    EXPECT_EQ(calls[1], std::make_pair(TChartAxis::Y, QString("1")));
}

} // namespace
