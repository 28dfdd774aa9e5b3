#include "layout/layout.h"

#include <cmath>
#include <random>

#include <gtest/gtest.h>

namespace {

// A class of n members of differing figure sizes with about three positive and two negative
// choices each, the same for the same seed.
TLayoutGraph RandomClass(int n, unsigned seed)
{
    std::mt19937 random(seed);
    TLayoutGraph graph;
    std::uniform_int_distribution<int> width(60, 130);
    for (int i = 0; i < n; ++i)
        graph.Nodes.push_back({width(random), 90 + i % 3 * 10, i % 2 ? TLayoutSex::Female : TLayoutSex::Male});
    std::uniform_int_distribution<int> pick(0, n - 1);
    for (int i = 0; i < n; ++i) {
        for (int c = 0; c < 5; ++c) {
            const int to = pick(random);
            if (to != i)
                graph.Edges.push_back({i, to, c < 3 ? 1 : -1});
        }
    }
    return graph;
}

TLayoutPoint CentreOf(const TLayoutGraph& graph, const std::vector<TLayoutPoint>& places, int i)
{
    return {places[i].X + graph.Nodes[i].Width / 2, places[i].Y + graph.Nodes[i].Height / 2};
}

class LayoutKinds : public ::testing::TestWithParam<TLayoutKind> {};

TEST_P(LayoutKinds, RandomClassesGetSeparateFiguresTheSameEveryTime)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const TLayoutGraph graph = RandomClass(25 + static_cast<int>(seed % 11), seed);
        const TLayoutResult first = MakeLayout(GetParam(), graph);
        ASSERT_EQ(first.Places.size(), graph.Nodes.size());
        EXPECT_FALSE(AnyOverlap(graph, first.Places)) << "seed " << seed;
        const TLayoutResult second = MakeLayout(GetParam(), graph);
        for (std::size_t i = 0; i < graph.Nodes.size(); ++i) {
            EXPECT_EQ(first.Places[i].X, second.Places[i].X);
            EXPECT_EQ(first.Places[i].Y, second.Places[i].Y);
            EXPECT_GE(first.Places[i].X, 35);
            EXPECT_GE(first.Places[i].Y, 35);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutKinds,
                         ::testing::Values(TLayoutKind::Grid, TLayoutKind::Target, TLayoutKind::Force,
                                           TLayoutKind::Circle));

TEST(TargetLayout, MoreChosenStandNearerTheCentreAndSexesTakeHalves)
{
    const TLayoutGraph graph = RandomClass(30, 5);
    const std::vector<int> received = ReceivedCounts(graph);
    for (const bool halves : {false, true}) {
        const TLayoutResult result = MakeLayout(TLayoutKind::Target, graph, {.SexHalves = halves});
        ASSERT_GE(result.Rings.size(), 2u);
        auto distance = [&](int i) {
            const TLayoutPoint c = CentreOf(graph, result.Places, i);
            return std::hypot(c.X - result.Centre.X, c.Y - result.Centre.Y);
        };
        for (int a = 0; a < 30; ++a) {
            for (int b = 0; b < 30; ++b) {
                if (received[a] > received[b]) {
                    EXPECT_LE(distance(a), distance(b) + 2) << a << " received more than " << b;
                }
            }
            if (halves) {
                const int x = CentreOf(graph, result.Places, a).X;
                if (graph.Nodes[a].Sex == TLayoutSex::Male)
                    EXPECT_LT(x, result.Centre.X);
                else
                    EXPECT_GT(x, result.Centre.X);
            }
        }
        // Each half is filled, not crowded against the line between the halves: on average a
        // figure stands well to the side (an even spread gives 2/pi of its distance).
        if (halves) {
            double side = 0;
            for (int a = 0; a < 30; ++a)
                side += std::abs(CentreOf(graph, result.Places, a).X - result.Centre.X) / std::max(distance(a), 1.0);
            EXPECT_GT(side / 30, 0.6);
        }
        // Rings innermost first, each labelled with the least count on it.
        for (std::size_t r = 1; r < result.Rings.size(); ++r) {
            EXPECT_GT(result.Rings[r].Radius, result.Rings[r - 1].Radius);
            EXPECT_LT(result.Rings[r].Received, result.Rings[r - 1].Received);
        }
    }
}

// Everyone chooses one leader and the next member of a chain through the class (numbered out of
// chain order): drawn in chain order around the leader, no two lines cross, and the target's ring
// finds that order.
TEST(TargetLayout, ARingInChainOrderCrossesNothing)
{
    TLayoutGraph wheel;
    wheel.Nodes.assign(13, {70, 90});
    const int chain[12] = {4, 9, 1, 11, 6, 2, 8, 12, 3, 10, 5, 7};
    for (int k = 0; k < 12; ++k) {
        wheel.Edges.push_back({chain[k], 0, 1});
        wheel.Edges.push_back({chain[k], chain[(k + 1) % 12], 1});
    }
    EXPECT_EQ(CountCrossings(wheel, MakeLayout(TLayoutKind::Target, wheel).Places), 0);
}

TEST(LayoutTools, CrossingsAndOverlapRemoval)
{
    // A square's two diagonals cross once; a mutual pair is one line.
    TLayoutGraph square;
    square.Nodes.assign(4, {10, 10});
    square.Edges = {{0, 2, 1}, {2, 0, 1}, {1, 3, 1}, {0, 1, 1}};
    EXPECT_EQ(CountCrossings(square, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}), 1);
    EXPECT_EQ(CountCrossings(square, {{0, 0}, {100, 0}, {0, 100}, {100, 100}}), 0);

    // Forty figures on one spot end up apart, at least the gap between any two.
    TLayoutGraph pile;
    pile.Nodes.assign(40, {80, 100});
    std::vector<TLayoutPoint> places(40, {200, 200});
    RemoveOverlaps(pile, places, 10);
    for (auto& node : pile.Nodes)
        node = {90, 110};
    EXPECT_FALSE(AnyOverlap(pile, places));
}

} // namespace
