#include <gtest/gtest.h>

#include <vector>

#include "util/numformat.h"
#include "views/indexes/chartgeometry.h"
#include "views/indexes/indexranges.h"

namespace {

TEST(IndexRanges, GroupScaleLeavesRoomAboveTheHighestBar)
{
    const std::vector<double> values = {0.5, 2.0 / 3, 1.0, 1.0 / 3};
    const TYScale scale = GroupIndexesScale(values);
    EXPECT_EQ(scale.Min, 0);
    EXPECT_EQ(scale.Max, 2); // 1.1 x 1 rounded up
    EXPECT_DOUBLE_EQ(scale.Interval, 0.4);
    EXPECT_DOUBLE_EQ(scale.Margin, 0.08);
    const char* labels[] = {"0.5", "0.67", "1", "0.33"};
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(FormatGeneral(values[i], 2), labels[i]);
    EXPECT_EQ(ScaleMarks(scale.Min, scale.Max, scale.Interval).size(), 6u);

    const TYScale zero = GroupIndexesScale(std::vector<double>{0, 0, 0, 0});
    EXPECT_EQ(zero.Min, 0);
    EXPECT_EQ(zero.Max, 1);
    EXPECT_DOUBLE_EQ(zero.Interval, 0.2);

    const TYScale negative = GroupIndexesScale(std::vector<double>{-0.5, 0.2, 0, 0});
    EXPECT_EQ(negative.Min, -1);
    EXPECT_EQ(negative.Max, 1);
    EXPECT_DOUBLE_EQ(negative.Interval, 0.4);
}

TEST(IndexRanges, PrivateScaleHasNoWidening)
{
    const TYScale zero = PrivateIndexesScale(std::vector<double>(12, 0.0));
    EXPECT_EQ(zero.Min, 0);
    EXPECT_EQ(zero.Max, 0);
    EXPECT_EQ(zero.Interval, 1);
    EXPECT_DOUBLE_EQ(zero.Margin, 0.2);
    const std::vector<double> marks = ScaleMarks(zero.Min, zero.Max, zero.Interval);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0], 0);

    const TYScale usual = PrivateIndexesScale(std::vector<double>{0.25, 1.0, 0.5, 1.5, 0.0});
    EXPECT_EQ(usual.Min, 0);
    EXPECT_EQ(usual.Max, 2);
    EXPECT_DOUBLE_EQ(usual.Interval, 0.4);
    EXPECT_DOUBLE_EQ(usual.Margin, 0.08);
}

TEST(IndexRanges, ChartWidthsGiveEveryLabelItsRoom)
{
    // Each member gets at least its widest label; the chart never exceeds what a window can be.
    EXPECT_GE(PrivateChartWidth(40, 10) - 350, 400);
    EXPECT_GT(PrivateChartWidth(40, 11), PrivateChartWidth(40, 10));
    EXPECT_EQ(PrivateChartWidth(3000, 200000), 16777215);

    EXPECT_EQ(GroupChartWidth(20, 120), 550);
    const int wide = GroupChartWidth(200, 120);
    EXPECT_GE((wide - 120) / 4.6, 200.0); // four captions fit side by side between the margins
}

} // namespace
