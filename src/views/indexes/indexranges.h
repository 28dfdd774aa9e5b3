#pragma once

#include <span>

// The Y scale of an index chart: its range, the distance between marks and the room left
// above the highest and below the lowest mark (one fifth of an interval each).
struct TYScale {
    double Min = 0.0;
    double Max = 0.0;
    double Interval = 1.0;
    double Margin = 0.2;
};

// The scale of the group index bars: from the lowest value rounded down to 1.1 times the
// highest rounded up, at least one unit high, in five steps.
TYScale GroupIndexesScale(std::span<const double> values);

// The scale of the individual index lines: from the lowest value rounded down to the highest
// rounded up, in five steps; all values equal to a whole number give a single mark.
TYScale PrivateIndexesScale(std::span<const double> values);

// Width of the individual chart: room for every member's label plus the fixed parts
// (titles, scale, legend).
int PrivateChartWidth(int maxLabelWidth, int memberCount);

// Width of the group chart: the usual 550 pixels, wider when the four index captions would not
// fit side by side. fixedWidth is what the plot area leaves of the chart's width (left and right).
int GroupChartWidth(int maxLabelWidth, int fixedWidth);
