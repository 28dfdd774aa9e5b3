#pragma once

#include <vector>

// Scale settings of a chart: the value ranges shown on the axes, the room added around them
// and the distance between scale marks, all in value units.
struct TChartRanges {
    double MinX = 0.0;
    double MaxX = 50.0;
    double MinY = 0.0;
    double MaxY = 50.0;
    double MarginLeftX = 5.0;
    double MarginRightX = 5.0;
    double MarginTopY = 5.0;
    double MarginBottomY = 5.0;
    double IntervalX = 10.0;
    double IntervalY = 10.0;
};

// The plot area of a chart in pixels: everything inside the frame.
struct TPlotRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// More scale marks than this are never drawn, whatever the interval.
inline constexpr int kMaxScaleMarks = 100000;

// The pixel column of value x (rounded to nearest, halves to even).
int ValueToPixelX(const TChartRanges& ranges, const TPlotRect& plot, double x);
// The pixel row of value y; larger values lie higher.
int ValueToPixelY(const TChartRanges& ranges, const TPlotRect& plot, double y);
// Pixels per X unit (0 when the X span with its margins is 0).
double PixelsPerUnitX(const TChartRanges& ranges, const TPlotRect& plot);
// Scale values min + i * interval for i = 0, 1, ... while not beyond max. Each mark is computed
// from min, not by repeated addition, so rounding never drops the last one.
std::vector<double> ScaleMarks(double min, double max, double interval);
// Width of a bar: 90 % of the pixel width of the smallest of IntervalX and the two X margins.
int BarWidth(const TChartRanges& ranges, const TPlotRect& plot);
// Whether a point lies inside both value ranges (edges included); only such points are drawn.
bool InsideRanges(const TChartRanges& ranges, double x, double y);
