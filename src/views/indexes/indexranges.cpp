#include "views/indexes/indexranges.h"

#include <algorithm>
#include <cmath>

namespace {

// Smallest and largest value, starting from the extremes 99999 and -99999.
void Extremes(std::span<const double> values, double& low, double& high)
{
    low = 99999.0;
    high = -99999.0;
    for (double value : values) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
}

TYScale Steps(double low, double high)
{
    TYScale scale;
    scale.Min = low;
    scale.Max = high;
    scale.Interval = high - low > 0 ? (high - low) / 5 : 1.0;
    scale.Margin = scale.Interval / 5;
    return scale;
}

// Labels of neighbouring members never touch: a few pixels of air beside each.
constexpr int kLabelGap = 6;
// Group chart: four bars with 0.8 of a bar step free on either side.
constexpr double kGroupSteps = 0.8 + 3 + 0.8;
// The widest a window component may be.
constexpr long long kMaxWidgetWidth = 16777215;

} // namespace

TYScale GroupIndexesScale(std::span<const double> values)
{
    if (values.empty())
        return Steps(0.0, 1.0);
    double low = 0;
    double high = 0;
    Extremes(values, low, high);
    low = std::floor(low);
    high = std::ceil(high * 1.1);
    if (high == low)
        high = low + 1;
    return Steps(low, high);
}

TYScale PrivateIndexesScale(std::span<const double> values)
{
    if (values.empty())
        return Steps(0.0, 0.0);
    double low = 0;
    double high = 0;
    Extremes(values, low, high);
    return Steps(std::floor(low), std::ceil(high));
}

int PrivateChartWidth(int maxLabelWidth, int memberCount)
{
    const long long width =
        static_cast<long long>(std::max(0, maxLabelWidth) + kLabelGap) * std::max(0, memberCount) + 350;
    return static_cast<int>(std::min<long long>(width, kMaxWidgetWidth));
}

int GroupChartWidth(int maxLabelWidth, int fixedWidth)
{
    const int needed = static_cast<int>(std::ceil(kGroupSteps * (maxLabelWidth + kLabelGap))) + fixedWidth;
    return std::max(550, needed);
}
