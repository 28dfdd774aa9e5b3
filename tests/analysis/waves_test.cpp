// Waves: a hand-worked pair of eight-member waves, and random pairs of investigations against a
// plain computation straight from the definitions.
#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "analysis/waves.h"
#include "projectbuilder.h"

namespace {

using G = TStatusGroup;

TWaveMember M(int32_t id, int32_t forIn, G status)
{
    return {.ClientId = id, .Name = "M" + std::to_string(id), .ForIn = forIn, .AgainstIn = 0, .Pi = forIn / 7.0,
            .Sti = 0, .Status = status};
}

// Member 1 leaves and 9 joins; among 2 ... 8 the positive mutual pair 2-3 is kept, 6-7 formed and
// 4-5 broken; the negative 3-4 is formed and 6-8 broken; member 8 chooses nobody positively.
TWave September()
{
    TWave w;
    w.Id = 10;
    w.ClientGroupId = 1;
    w.CriterionId = 1;
    w.Members = {M(1, 0, G::Average), M(2, 3, G::Popular),       M(3, 1, G::Average),      M(4, 2, G::Rejected),
                 M(5, 1, G::Neglected), M(6, 0, G::Controversial), M(7, 1, G::Unclassified), M(8, 0, G::Average)};
    w.For = {{1, 2}, {2, 3}, {3, 2}, {4, 5}, {5, 4}, {6, 7}, {7, 2}, {2, 4}};
    w.Against = {{8, 6}, {6, 8}, {3, 4}, {5, 1}};
    w.Indices = {0.5, 0.25, 1, 0.75};
    return w;
}

TWave May()
{
    TWave w;
    w.Id = 11;
    w.ClientGroupId = 1;
    w.CriterionId = 2;
    w.Members = {M(2, 2, G::Average), M(3, 2, G::Popular), M(4, 0, G::Neglected), M(5, 2, G::Rejected),
                 M(6, 1, G::Controversial), M(7, 1, G::Average), M(8, 0, G::Average), M(9, 0, G::Unclassified)};
    w.For = {{9, 2}, {2, 3}, {3, 2}, {4, 5}, {6, 7}, {7, 6}, {7, 3}, {2, 5}};
    w.Against = {{8, 6}, {3, 4}, {4, 3}, {5, 6}};
    w.Indices = {0.4, 0.3, 2, 0.5};
    return w;
}

TEST(Waves, HandWorkedPairOfEightMembers)
{
    const TWaveComparison c = CompareWaves(September(), May());
    EXPECT_TRUE(c.SameClientGroup);
    EXPECT_FALSE(c.SameCriterion);
    EXPECT_EQ(c.Common, (std::vector<int32_t>{2, 3, 4, 5, 6, 7, 8}));
    ASSERT_EQ(c.Joined.size(), 1u);
    EXPECT_EQ(c.Joined[0].ClientId, 9);
    ASSERT_EQ(c.Left.size(), 1u);
    EXPECT_EQ(c.Left[0].ClientId, 1);

    const auto choices = [](const TChoiceChanges& x) { return std::vector<int32_t>{x.Kept, x.New, x.Dropped}; };
    const auto mutual = [](const TMutualChanges& x) { return std::vector<int32_t>{x.Kept, x.Formed, x.Broken}; };
    EXPECT_EQ(choices(c.Choices[0]), (std::vector<int32_t>{4, 3, 3}));
    EXPECT_EQ(mutual(c.Mutual[0]), (std::vector<int32_t>{1, 1, 1}));
    EXPECT_EQ(choices(c.Choices[1]), (std::vector<int32_t>{2, 2, 1}));
    EXPECT_EQ(mutual(c.Mutual[1]), (std::vector<int32_t>{0, 1, 1}));

    // Jaccard of the members chosen positively, member 8 chose nobody in either wave.
    ASSERT_EQ(c.Members.size(), 7u);
    const std::vector<std::optional<double>> jaccard = {1.0 / 3, 1, 1, 0, 1, 0, std::nullopt};
    for (std::size_t i = 0; i < jaccard.size(); ++i)
        EXPECT_EQ(c.Members[i].Jaccard, jaccard[i]) << "member " << c.Members[i].ClientId;
    EXPECT_EQ(c.Members[0].ForIn, (std::array<int32_t, 2>{3, 2}));

    // Average ranks of the received counts: (7, 4, 6, 4, 1.5, 4, 1.5) and (6, 6, 1.5, 6, 3.5, 3.5, 1.5).
    ASSERT_TRUE(c.Spearman);
    EXPECT_NEAR(*c.Spearman, 8.5 / std::sqrt(25.5 * 25), 1e-12);

    // Every member but 6 and 8 moved, each in another direction.
    ASSERT_TRUE(c.StatusAvailable);
    const std::vector<bool> moved = {true, true, true, true, false, true, false};
    for (std::size_t i = 0; i < moved.size(); ++i)
        EXPECT_EQ(c.Members[i].Moved(), moved[i]) << "member " << c.Members[i].ClientId;
    const auto t = [&c](G a, G b) { return c.Transitions[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)]; };
    EXPECT_EQ(t(G::Popular, G::Average), 1);
    EXPECT_EQ(t(G::Average, G::Popular), 1);
    EXPECT_EQ(t(G::Rejected, G::Neglected), 1);
    EXPECT_EQ(t(G::Neglected, G::Rejected), 1);
    EXPECT_EQ(t(G::Unclassified, G::Average), 1);
    EXPECT_EQ(t(G::Controversial, G::Controversial), 1);
    EXPECT_EQ(t(G::Average, G::Average), 1);
    EXPECT_NEAR(*c.KeptShare, 2.0 / 7, 1e-15);
    // Rows 1 1 1 1 2 1, columns 1 1 1 1 3 0: chance agreement 10 / 49, kappa (14 - 10) / (49 - 10).
    EXPECT_NEAR(*c.Kappa, 4.0 / 39, 1e-15);
    // The sociogram of change draws the same positive choices the counts count.
    std::array<int32_t, 3> arrows{};
    for (const TChoiceChange& a : PositiveChoiceChanges(September(), May()))
        ++arrows[static_cast<std::size_t>(a.Kind)];
    EXPECT_EQ(arrows, (std::array<int32_t, 3>{4, 3, 3}));
    EXPECT_EQ(c.ToIndices[2], 2);
    EXPECT_EQ(c.FromIndices[3], 0.75);
}

TEST(Waves, UndefinedMeasuresStayEmpty)
{
    // Nobody received a positive choice in the later wave: a constant column has no correlation.
    TWave quiet = May();
    quiet.Id = 12;
    quiet.For.clear();
    for (TWaveMember& m : quiet.Members)
        m.ForIn = 0;
    EXPECT_FALSE(CompareWaves(May(), quiet).Spearman);
    // A wave without status groups leaves the transitions, the share and kappa undefined.
    for (TWaveMember& m : quiet.Members)
        m.Status.reset();
    const TWaveComparison c = CompareWaves(May(), quiet);
    EXPECT_FALSE(c.StatusAvailable);
    EXPECT_FALSE(c.KeptShare);
    EXPECT_FALSE(c.Kappa);
    EXPECT_FALSE(c.Members[0].Moved());
    // Everyone in one group in both waves: agreement by chance is complete.
    TTransitionTable all{};
    all[4][4] = 5;
    EXPECT_FALSE(CohensKappa(all));
    EXPECT_FALSE(SpearmanCorrelation({1}, {2}));
    EXPECT_EQ(SpearmanCorrelation({1, 2, 3}, {30, 20, 10}), -1.0);

    EXPECT_EQ(CheckWaveIds({3}), TWavesProblem::TooFewWaves);
    EXPECT_EQ(CheckWaveIds({3, 4, 3}), TWavesProblem::RepeatedWave);
    EXPECT_EQ(CheckWaveIds({3, 4}), TWavesProblem::None);
    TWave strangers = May();
    for (TWaveMember& m : strangers.Members)
        m.ClientId += 100;
    EXPECT_EQ(CheckWaveSeries(CompareWaveSeries({September(), May(), strangers})), TWavesProblem::NoCommonMembers);
}

// The definitions computed the plain way, from the stored rows and the two models.
struct TReference {
    std::array<std::array<int32_t, 3>, 2> choices{}; // kept, new, dropped per sign
    std::array<std::array<int32_t, 3>, 2> mutual{};  // kept, formed, broken per sign
    std::vector<int32_t> common;
    std::map<int32_t, std::optional<double>> jaccard;
    std::optional<double> spearman;
    std::optional<double> kappa;
    TTransitionTable transitions{};
};

bool Has(const std::vector<TChoice>& rows, int32_t a, int32_t b)
{
    return std::any_of(rows.begin(), rows.end(), [&](const TChoice& c) { return c.FromId == a && c.ToId == b; });
}

std::vector<double> Ranks(const std::vector<int32_t>& v)
{
    std::vector<double> r;
    for (const int32_t x : v) {
        const auto less = std::count_if(v.begin(), v.end(), [x](int32_t y) { return y < x; });
        const auto equal = std::count(v.begin(), v.end(), x);
        r.push_back(static_cast<double>(less) + (static_cast<double>(equal) + 1) / 2);
    }
    return r;
}

std::optional<double> Pearson(const std::vector<double>& x, const std::vector<double>& y)
{
    const double n = static_cast<double>(x.size());
    const double mx = std::accumulate(x.begin(), x.end(), 0.0) / n;
    const double my = std::accumulate(y.begin(), y.end(), 0.0) / n;
    double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
        syy += (y[i] - my) * (y[i] - my);
    }
    if (sxx < 1e-9 || syy < 1e-9)
        return std::nullopt;
    return sxy / std::sqrt(sxx * syy);
}

TReference Reference(const TInvestigationObject& a, const TInvestigationObject& b,
                     const std::array<std::vector<TChoice>, 2>& rowsA, const std::array<std::vector<TChoice>, 2>& rowsB)
{
    TReference r;
    for (int32_t i = 0; i < b.ClientCount(); ++i) {
        if (a.FindClient(b.Client(i).Id) >= 0)
            r.common.push_back(b.Client(i).Id);
    }
    for (int s = 0; s < 2; ++s) {
        for (const int32_t x : r.common) {
            for (const int32_t y : r.common) {
                if (x == y)
                    continue;
                const bool before = Has(rowsA[s], x, y);
                const bool after = Has(rowsB[s], x, y);
                if (before || after)
                    ++r.choices[s][before && after ? 0 : after ? 1 : 2];
                if (x < y) {
                    const bool mb = before && Has(rowsA[s], y, x);
                    const bool ma = after && Has(rowsB[s], y, x);
                    if (mb || ma)
                        ++r.mutual[s][mb && ma ? 0 : ma ? 1 : 2];
                }
            }
        }
    }
    for (const int32_t x : r.common) {
        std::set<int32_t> before;
        std::set<int32_t> after;
        for (const int32_t y : r.common) {
            if (y != x && Has(rowsA[0], x, y)) {
                before.insert(y);
            }
            if (y != x && Has(rowsB[0], x, y)) {
                after.insert(y);
            }
        }
        std::set<int32_t> both;
        std::set<int32_t> either = after;
        for (const int32_t y : before) {
            either.insert(y);
            if (after.contains(y))
                both.insert(y);
        }
        r.jaccard[x] = either.empty() ? std::nullopt : std::optional<double>(double(both.size()) / double(either.size()));
    }
    std::vector<int32_t> inA;
    std::vector<int32_t> inB;
    for (const int32_t x : r.common) {
        inA.push_back(a.Client(a.FindClient(x)).ForIn);
        inB.push_back(b.Client(b.FindClient(x)).ForIn);
    }
    if (r.common.size() >= 2)
        r.spearman = Pearson(Ranks(inA), Ranks(inB));
    const TStatusResult sa = ComputeStatusGroups(a);
    const TStatusResult sb = ComputeStatusGroups(b);
    if (sa.Available() && sb.Available() && !r.common.empty()) {
        for (const int32_t x : r.common) {
            const auto ga = static_cast<std::size_t>(sa.Members[static_cast<std::size_t>(a.FindClient(x))].Group);
            const auto gb = static_cast<std::size_t>(sb.Members[static_cast<std::size_t>(b.FindClient(x))].Group);
            ++r.transitions[ga][gb];
        }
        const double n = static_cast<double>(r.common.size());
        double po = 0;
        double pe = 0;
        for (std::size_t g = 0; g < kStatusGroupCount; ++g) {
            double row = 0, column = 0;
            for (std::size_t h = 0; h < kStatusGroupCount; ++h) {
                row += r.transitions[g][h];
                column += r.transitions[h][g];
            }
            po += r.transitions[g][g] / n;
            pe += row / n * column / n;
        }
        if (std::abs(1 - pe) > 1e-12)
            r.kappa = (po - pe) / (1 - pe);
    }
    return r;
}

void ExpectNear(const std::optional<double>& got, const std::optional<double>& want, const char* what)
{
    ASSERT_EQ(got.has_value(), want.has_value()) << what;
    if (got) {
        EXPECT_NEAR(*got, *want, 1e-9) << what;
    }
}

TEST(Waves, RandomPairsAgreeWithTheDefinitions)
{
    std::mt19937 random(31415);
    const auto pick = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TProjectBuilder p;
        std::array<std::array<std::vector<TChoice>, 2>, 2> rows; // [wave][sign]
        const int idRange = pick(3, 16);
        for (int w = 0; w < 2; ++w) {
            const int32_t group = w + 1;
            std::vector<int32_t> ids(static_cast<std::size_t>(idRange));
            std::iota(ids.begin(), ids.end(), 1);
            std::shuffle(ids.begin(), ids.end(), random);
            ids.resize(static_cast<std::size_t>(pick(2, idRange)));
            p.Members(w + 1, group, ids);
            for (int s = 0; s < 2; ++s) {
                const int count = s == 1 && pick(0, 4) == 0 ? 0 : pick(0, idRange * 3);
                for (int k = 0; k < count; ++k) {
                    // Ids beyond the members, self-choices and repeated rows come now and then.
                    const TChoice c{pick(1, idRange + 1), pick(1, idRange + 1)};
                    rows[w][s].push_back(c);
                    s == 0 ? p.For(w + 1, c.FromId, c.ToId) : p.Against(w + 1, c.FromId, c.ToId);
                }
            }
        }
        const TInvestigationObject a(p.store, 1);
        const TInvestigationObject b(p.store, 2);
        const TWaveComparison c = CompareWaves(WaveFromModel(a), WaveFromModel(b));
        const TReference r = Reference(a, b, rows[0], rows[1]);

        ASSERT_EQ(c.Common, r.common);
        EXPECT_EQ(c.Joined.size() + c.Common.size(), static_cast<std::size_t>(b.ClientCount()));
        EXPECT_EQ(c.Left.size() + c.Common.size(), static_cast<std::size_t>(a.ClientCount()));
        for (int s = 0; s < 2; ++s) {
            EXPECT_EQ(c.Choices[s].Kept, r.choices[s][0]);
            EXPECT_EQ(c.Choices[s].New, r.choices[s][1]);
            EXPECT_EQ(c.Choices[s].Dropped, r.choices[s][2]);
            EXPECT_EQ(c.Mutual[s].Kept, r.mutual[s][0]);
            EXPECT_EQ(c.Mutual[s].Formed, r.mutual[s][1]);
            EXPECT_EQ(c.Mutual[s].Broken, r.mutual[s][2]);
        }
        for (const TMemberChange& m : c.Members)
            ExpectNear(m.Jaccard, r.jaccard.at(m.ClientId), "jaccard");
        ExpectNear(c.Spearman, r.spearman, "spearman");
        ExpectNear(c.Kappa, r.kappa, "kappa");
        if (c.StatusAvailable) {
            EXPECT_EQ(c.Transitions, r.transitions);
        }
    }
}

} // namespace
