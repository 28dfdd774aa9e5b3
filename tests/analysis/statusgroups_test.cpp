// Status groups: the classification on hand-computed groups, the degenerate cases, thresholds and
// an independent computation of the standard scores on random groups.
#include <cmath>
#include <optional>
#include <random>

#include <gtest/gtest.h>

#include "analysis/investigationobj.h"
#include "analysis/statusgroups.h"
#include "projectbuilder.h"

namespace {

using G = TStatusGroup;

// Eight members, one for every group and two unclassified. Worked by hand: mean LM = mean LL = 2.5,
// sd = sqrt(4.25); member 1 has zLM = 3.5 / 2.0616 = 1.698, zLL = -1.213, zSP = 1.973.
const std::vector<int32_t> kLM = {6, 0, 0, 5, 3, 3, 2, 1};
const std::vector<int32_t> kLL = {0, 6, 0, 5, 3, 3, 1, 2};

TEST(StatusGroups, EightMembersCoverEveryGroup)
{
    const TStatusResult r = ClassifyStatus(kLM, kLL);
    ASSERT_TRUE(r.Available());
    ASSERT_EQ(r.Members.size(), 8u);
    const std::vector<G> expected = {G::Popular, G::Rejected, G::Neglected, G::Controversial,
                                     G::Average, G::Average,  G::Unclassified, G::Unclassified};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(r.Members[i].Group, expected[i]) << "member " << i;
    EXPECT_NEAR(r.Members[0].zLM, 3.5 / std::sqrt(4.25), 1e-15);
    EXPECT_NEAR(r.Members[0].zLL, -2.5 / std::sqrt(4.25), 1e-15);
    EXPECT_NEAR(r.Members[0].zSP, 1.973, 5e-4);
    EXPECT_NEAR(r.Members[2].zSI, -1.796, 5e-4);
    EXPECT_EQ(r.Count(G::Average), 2);
    EXPECT_EQ(r.Count(G::Unclassified), 2);
    EXPECT_EQ(r.Count(G::Popular), 1);
    // The standard scores of a group have mean 0 and population variance 1.
    double sum = 0;
    double squares = 0;
    for (const TStatusMember& m : r.Members) {
        sum += m.zSP;
        squares += m.zSP * m.zSP;
    }
    EXPECT_NEAR(sum, 0, 1e-12);
    EXPECT_NEAR(squares / 8, 1, 1e-12);
}

TEST(StatusGroups, DegenerateGroups)
{
    // Everyone received the same: every score is 0, everyone is average.
    const TStatusResult equal = ClassifyStatus({2, 2, 2, 2}, {1, 1, 1, 1});
    ASSERT_TRUE(equal.Available());
    for (const TStatusMember& m : equal.Members) {
        EXPECT_EQ(m.zLM, 0);
        EXPECT_EQ(m.zLL, 0);
        EXPECT_EQ(m.zSP, 0);
        EXPECT_EQ(m.zSI, 0);
        EXPECT_EQ(m.Group, G::Average);
    }
    // The same counts of both kinds: preference is 0 for everyone, not a division by a rounding
    // residue; impact still spreads.
    const TStatusResult same = ClassifyStatus({0, 1, 5}, {0, 1, 5});
    for (const TStatusMember& m : same.Members) {
        EXPECT_EQ(m.zSP, 0);
        EXPECT_TRUE(std::isfinite(m.zSI));
    }
    // Mirrored counts: impact is 0 for everyone.
    const TStatusResult mirrored = ClassifyStatus({0, 2, 4}, {4, 2, 0});
    for (const TStatusMember& m : mirrored.Members)
        EXPECT_EQ(m.zSI, 0);
    // Two members are too few.
    EXPECT_EQ(ClassifyStatus({1, 0}, {0, 1}).Unavailable, TStatusUnavailable::TooFewMembers);
    EXPECT_THROW(ClassifyStatus({1, 0, 2}, {0, 1}), std::invalid_argument);
}

TEST(StatusGroups, EdgesBelongToNoGroup)
{
    // Everyone received one negative choice (zLL = 0); the first four have zLM = zSP = zSI = -0.5
    // exactly: the average band is open. The last has zSP = 2 but is not disliked less than most.
    const TStatusResult edge = ClassifyStatus({0, 0, 0, 0, 2}, {1, 1, 1, 1, 1});
    EXPECT_EQ(edge.Members[0].zSI, -0.5);
    EXPECT_EQ(edge.Members[0].zSP, -0.5);
    EXPECT_EQ(edge.Members[0].Group, G::Unclassified);
    EXPECT_EQ(edge.Members[4].Group, G::Unclassified);
    // LM = 0 and LL = 2, the mean: zLL = 0 and zSI = -1.15 is not neglected.
    const TStatusMember unnoticed = ClassifyStatus({0, 4, 2, 5, 4}, {2, 1, 1, 1, 5}).Members[0];
    EXPECT_EQ(unnoticed.zLL, 0);
    EXPECT_LT(unnoticed.zSI, -1.1);
    EXPECT_EQ(unnoticed.Group, G::Unclassified);
    // LM = 2, the mean: zLM = 0 with zSP = 1.71 is not popular.
    const TStatusMember spared = ClassifyStatus({2, 1, 4, 1}, {2, 2, 4, 2}).Members[0];
    EXPECT_EQ(spared.zLM, 0);
    EXPECT_GT(spared.zSP, 1.7);
    EXPECT_EQ(spared.Group, G::Unclassified);
}

TEST(StatusGroups, ThresholdsMoveMembers)
{
    // Member 1 has zSP = 1.973: popular with the default cut-off, unclassified above 2.
    EXPECT_EQ(ClassifyStatus(kLM, kLL).Members[0].Group, G::Popular);
    EXPECT_EQ(ClassifyStatus(kLM, kLL, {.Extreme = 2.0, .Average = 0.5}).Members[0].Group, G::Unclassified);
    // The unclassified member 7 (zSP 0.329, zSI -0.718) becomes average with a wider band.
    EXPECT_EQ(ClassifyStatus(kLM, kLL, {.Extreme = 1.0, .Average = 0.8}).Members[6].Group, G::Average);
}

TEST(StatusGroups, FromTheInvestigation)
{
    TProjectBuilder p;
    p.Members(1, 1, {1, 2, 3, 4});
    // 1 is chosen by all, 2 rejected by all, 3 and 4 by nobody.
    p.For(1, 2, 1).For(1, 3, 1).For(1, 4, 1);
    p.Against(1, 1, 2).Against(1, 3, 2).Against(1, 4, 2);
    const TInvestigationObject model(p.store, 1);
    const TStatusResult r = ComputeStatusGroups(model);
    ASSERT_TRUE(r.Available());
    EXPECT_EQ(r.Members[0].ClientId, 1);
    EXPECT_EQ(r.Members[0].Name, "M1");
    EXPECT_EQ(r.Members[0].LM, 3);
    EXPECT_EQ(r.Members[1].LL, 3);
    EXPECT_EQ(r.Members[0].Group, G::Popular);
    EXPECT_EQ(r.Members[1].Group, G::Rejected);

    TProjectBuilder positiveOnly;
    positiveOnly.Members(1, 1, {1, 2, 3});
    positiveOnly.For(1, 2, 1);
    const TInvestigationObject noNegative(positiveOnly.store, 1);
    EXPECT_EQ(ComputeStatusGroups(noNegative).Unavailable, TStatusUnavailable::NoNegativeChoices);
}

// The plain definition: mean, population sd, then the same again on SP and SI.
std::vector<double> Standardised(const std::vector<double>& v)
{
    double mean = 0;
    for (double x : v)
        mean += x;
    mean /= static_cast<double>(v.size());
    double var = 0;
    for (double x : v)
        var += (x - mean) * (x - mean);
    const double sd = std::sqrt(var / static_cast<double>(v.size()));
    std::vector<double> out;
    for (double x : v)
        out.push_back(sd < 1e-12 ? 0 : (x - mean) / sd);
    return out;
}

// The plain definition of the groups on the reference scores; nothing for scores so near a cut-off
// that rounding may decide (the edges have their own test).
std::optional<G> PlainGroup(double zlm, double zll, double zsp, double zsi)
{
    for (double z : {zsp, zsi}) {
        for (double edge : {-1.0, -0.5, 0.5, 1.0}) {
            if (std::abs(z - edge) < 1e-9)
                return std::nullopt;
        }
    }
    if (std::abs(zlm) < 1e-9 && zlm != 0)
        return std::nullopt;
    if (std::abs(zll) < 1e-9 && zll != 0)
        return std::nullopt;
    if (zsp > 1 && zlm > 0 && zll < 0)
        return G::Popular;
    if (zsp < -1 && zlm < 0 && zll > 0)
        return G::Rejected;
    if (zsi < -1 && zlm < 0 && zll < 0)
        return G::Neglected;
    if (zsi > 1 && zlm > 0 && zll > 0)
        return G::Controversial;
    if (std::abs(zsp) < 0.5 && std::abs(zsi) < 0.5)
        return G::Average;
    return G::Unclassified;
}

TEST(StatusGroups, AgreesWithThePlainDefinition)
{
    std::mt19937 random(20261207);
    for (int round = 0; round < 300; ++round) {
        const int n = std::uniform_int_distribution<int>(3, 40)(random);
        std::uniform_int_distribution<int> count(0, n - 1);
        std::vector<int32_t> lm;
        std::vector<int32_t> ll;
        std::vector<double> x;
        std::vector<double> y;
        for (int i = 0; i < n; ++i) {
            lm.push_back(count(random) / (1 + round % 3));
            ll.push_back(count(random) / (1 + round % 4));
            x.push_back(lm.back());
            y.push_back(ll.back());
        }
        const TStatusResult r = ClassifyStatus(lm, ll);
        const std::vector<double> zx = Standardised(x);
        const std::vector<double> zy = Standardised(y);
        std::vector<double> sp;
        std::vector<double> si;
        for (int i = 0; i < n; ++i) {
            sp.push_back(zx[static_cast<std::size_t>(i)] - zy[static_cast<std::size_t>(i)]);
            si.push_back(zx[static_cast<std::size_t>(i)] + zy[static_cast<std::size_t>(i)]);
        }
        const std::vector<double> zsp = Standardised(sp);
        const std::vector<double> zsi = Standardised(si);
        for (std::size_t i = 0; i < r.Members.size(); ++i) {
            const TStatusMember& m = r.Members[i];
            ASSERT_NEAR(m.zLM, zx[i], 1e-9);
            ASSERT_NEAR(m.zLL, zy[i], 1e-9);
            ASSERT_NEAR(m.zSP, zsp[i], 1e-9) << "round " << round;
            ASSERT_NEAR(m.zSI, zsi[i], 1e-9) << "round " << round;
            if (const auto group = PlainGroup(zx[i], zy[i], zsp[i], zsi[i])) {
                ASSERT_EQ(m.Group, *group) << "round " << round << ", member " << i;
            }
        }
    }
}

} // namespace

namespace {

TEST(StatusGroups, ThresholdsFromSettings)
{
    const TStatusThresholds def = StatusThresholdsFromHundredths(100, 50);
    EXPECT_EQ(def.Extreme, 1.0);
    EXPECT_EQ(def.Average, 0.5);
    // Zero or negative cut-offs would put everyone in an outer group; an average band wider than
    // the outer cut-off would overlap it.
    EXPECT_EQ(StatusThresholdsFromHundredths(0, -5).Extreme, 0.01);
    EXPECT_EQ(StatusThresholdsFromHundredths(80, 200).Average, 0.8);
    EXPECT_EQ(StatusThresholdsFromHundredths(100000, 50).Extreme, 5.0);
}

} // namespace
