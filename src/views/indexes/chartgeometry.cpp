#include "views/indexes/chartgeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "util/numformat.h"

namespace {

// A pixel coordinate from a computed double; far-off values are pinned so the cast stays defined.
int ToPixel(double value)
{
    const double rounded = RoundHalfEven(value);
    if (std::isnan(rounded))
        return 0;
    constexpr double limit = 1.0e9;
    return static_cast<int>(std::clamp(rounded, -limit, limit));
}

double SpanX(const TChartRanges& r)
{
    return r.MarginLeftX + r.MaxX - r.MinX + r.MarginRightX;
}

double SpanY(const TChartRanges& r)
{
    return r.MarginTopY + r.MarginBottomY + r.MaxY - r.MinY;
}

} // namespace

int ValueToPixelX(const TChartRanges& ranges, const TPlotRect& plot, double x)
{
    const double span = SpanX(ranges);
    if (span == 0)
        return plot.Left;
    return ToPixel((ranges.MarginLeftX + x - ranges.MinX) * (plot.Right - plot.Left) / span + plot.Left);
}

int ValueToPixelY(const TChartRanges& ranges, const TPlotRect& plot, double y)
{
    const double span = SpanY(ranges);
    if (span == 0)
        return plot.Bottom;
    return ToPixel(plot.Bottom - (ranges.MarginBottomY + y - ranges.MinY) * (plot.Bottom - plot.Top) / span);
}

double PixelsPerUnitX(const TChartRanges& ranges, const TPlotRect& plot)
{
    const double span = SpanX(ranges);
    return span == 0 ? 0.0 : (plot.Right - plot.Left) / span;
}

std::vector<double> ScaleMarks(double min, double max, double interval)
{
    std::vector<double> marks;
    if (!(interval > 0) || !std::isfinite(min) || !std::isfinite(max) || !std::isfinite(interval))
        return marks;
    // A tolerance of a millionth of an interval absorbs the rounding of min + i * interval.
    const double limit = max + interval * 1e-6;
    for (int i = 0; i < kMaxScaleMarks; ++i) {
        const double value = min + i * interval;
        if (value > limit)
            break;
        marks.push_back(value);
    }
    return marks;
}

int BarWidth(const TChartRanges& ranges, const TPlotRect& plot)
{
    const double smallest = std::min({ranges.IntervalX, ranges.MarginLeftX, ranges.MarginRightX});
    return ToPixel(0.9 * smallest * PixelsPerUnitX(ranges, plot));
}

bool InsideRanges(const TChartRanges& ranges, double x, double y)
{
    return ranges.MinX <= x && x <= ranges.MaxX && ranges.MinY <= y && y <= ranges.MaxY;
}
