// The investigation model against the plain definitions on many random investigations, with
// duplicate rows, self-choices, choices of non-members, repeated client ids and tiny groups.
#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "analysis/investigationobj.h"
#include "projectbuilder.h"
#include "reference_indices.h"

namespace {

constexpr int32_t kInvest = 5;
constexpr int32_t kGroup = 2;

// A random project around investigation kInvest, and the same data in reference form.
struct TRandomCase {
    TProjectBuilder project;
    TReferenceInvestigation reference;
};

void Generate(std::mt19937& random, TRandomCase& out)
{
    const auto pick = [&random](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const int members = pick(0, 3) == 0 ? pick(0, 2) : pick(3, 14);
    // A small id range gives repeated ids now and then; -2 ... 0 exercise ids that are not positive.
    const int idRange = members + pick(0, 4);

    out.project.Group(kGroup, "Group").Group(kGroup + 1, "Other");
    out.project.Invest(kInvest - 1, kGroup + 1);
    out.project.Invest(kInvest, kGroup, "Random");
    for (int i = 0; i < members; ++i) {
        if (pick(0, 3) == 0)
            out.project.Client(kGroup + 1, pick(1, idRange), "Outsider");
        const int32_t id = pick(-2, idRange);
        const std::string name = (pick(0, 1) ? " " : "") + std::string("Member ") + std::to_string(i);
        out.project.Client(kGroup, id, name);
        out.reference.Members.push_back({id, name});
    }
    // The clients of the group are the mutual-pairs names.
    out.reference.GroupClients = out.reference.Members;

    // In one case of four, some ids lie far from the rest: the model then numbers them otherwise.
    const bool far = pick(0, 3) == 0;
    const auto anyId = [&]() -> int32_t {
        if (!out.reference.Members.empty() && pick(0, 5) != 0)
            return out.reference.Members[static_cast<std::size_t>(pick(0, members - 1))].Id;
        if (far && pick(0, 3) == 0)
            return 5000000 + pick(0, 2);
        return pick(-3, idRange + 3); // often no member at all
    };
    for (const TChoiceKind kind : {TChoiceKind::Positive, TChoiceKind::Negative}) {
        std::vector<TChoice>& list = kind == TChoiceKind::Positive ? out.reference.ForList : out.reference.AgainstList;
        const int rows = pick(0, members * 4 + 2);
        for (int r = 0; r < rows; ++r) {
            TChoice c;
            if (!list.empty() && pick(0, 6) == 0) {
                c = list[static_cast<std::size_t>(pick(0, static_cast<int>(list.size()) - 1))];
                if (pick(0, 1))
                    std::swap(c.FromId, c.ToId); // a returned choice or a duplicate
            } else {
                c = TChoice{anyId(), anyId()};
            }
            // The file keeps a repeated row; the model counts each ordered pair once.
            if (std::find_if(list.begin(), list.end(), [&c](const TChoice& e) {
                    return e.FromId == c.FromId && e.ToId == c.ToId;
                }) == list.end())
                list.push_back(c);
            if (kind == TChoiceKind::Positive)
                out.project.For(kInvest, c.FromId, c.ToId);
            else
                out.project.Against(kInvest, c.FromId, c.ToId);
            if (pick(0, 4) == 0) // rows of another investigation in between
                kind == TChoiceKind::Positive ? out.project.For(kInvest - 1, c.ToId, c.FromId)
                                   : out.project.Against(kInvest - 1, c.ToId, c.FromId);
        }
    }
}

void ExpectSameAsReference(const TInvestigationObject& model, const TReferenceInvestigation& ref)
{
    ASSERT_EQ(model.ClientCount(), ref.N());
    ASSERT_EQ(model.ForCount(), static_cast<int32_t>(ref.ForList.size()));
    ASSERT_EQ(model.AgainstCount(), static_cast<int32_t>(ref.AgainstList.size()));
    for (int32_t i = 0; i < ref.N(); ++i) {
        TInvestClient expected = ref.Counters(i);
        expected.GroupId = kGroup;
        EXPECT_EQ(model.Client(i), expected) << "member " << i;
    }
    for (const TChoiceKind kind : {TChoiceKind::Placement, TChoiceKind::Positive, TChoiceKind::Negative, TChoiceKind::Any}) {
        SCOPED_TRACE("kind " + std::to_string(ChoiceKindCode(kind)));
        EXPECT_EQ(model.MutualCount(-1, kind), ref.MutualCount(-1, kind));
        EXPECT_EQ(model.OneWayPairsCount(kind), ref.OneWayPairsCount(kind));
        EXPECT_EQ(model.MaxReceived(kind), ref.MaxReceived(kind));
        EXPECT_EQ(model.MinReceived(kind), ref.MinReceived(kind));
        EXPECT_EQ(model.IndexP(kind), ref.IndexP(kind));
        EXPECT_EQ(model.IndexSa(kind), ref.IndexSa(kind));
        EXPECT_EQ(model.IndexJ(kind), ref.IndexJ(kind));
        EXPECT_EQ(model.IndexN(kind), ref.IndexN(kind));
        std::vector<std::string> pairs;
        model.MutualPairsList(pairs, kind);
        EXPECT_EQ(pairs, ref.MutualPairsList(kind));
        for (int32_t i = 0; i < ref.N(); ++i) {
            const int32_t id = ref.Members[static_cast<std::size_t>(i)].Id;
            if (id >= 0) {
                EXPECT_EQ(model.MutualCount(id, kind), ref.MutualCount(id, kind));
            }
            EXPECT_EQ(model.IndexPi(i, kind), ref.IndexPi(i, kind));
            EXPECT_EQ(model.IndexAi(i, kind), ref.IndexAi(i, kind));
            EXPECT_EQ(model.IndexEi(i, kind), ref.IndexEi(i, kind));
            EXPECT_EQ(model.IndexSti(i, kind), ref.IndexSti(i, kind));
            EXPECT_EQ(model.StatusLevel(i, kind), ref.StatusLevel(i, kind));
        }
    }
    // Sociomatrix questions over every id that appears, members or not.
    std::vector<int32_t> ids;
    for (const auto& m : ref.Members)
        ids.push_back(m.Id);
    for (const auto* list : {&ref.ForList, &ref.AgainstList})
        for (const TChoice& c : *list)
            ids.push_back(c.FromId);
    for (const int32_t from : ids)
        for (const int32_t to : ids)
            for (const TChoiceKind kind : {TChoiceKind::Positive, TChoiceKind::Negative, TChoiceKind::Any})
                ASSERT_EQ(model.IsChoice(from, to, kind), ref.IsChoice(from, to, kind));
    for (const TClientOrder order : kAllClientOrders) {
        std::vector<TInvestClient> sorted;
        EXPECT_EQ(model.SortClients(order, sorted), ref.N());
        std::vector<TInvestClient> expected = ref.SortClients(order);
        for (TInvestClient& c : expected)
            c.GroupId = kGroup;
        EXPECT_EQ(sorted, expected) << "ordering " << static_cast<int>(order);
    }
}

} // namespace

TEST(AnalysisReference, RandomInvestigationsAgreeWithTheDefinitions)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 600; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TRandomCase data;
        Generate(random, data);
        const TInvestigationObject model(data.project.store, kInvest);
        ExpectSameAsReference(model, data.reference);
        if (HasFailure())
            break;
    }
}

TEST(AnalysisReference, CleanInvestigationsAgreeWithTheDefinitions)
{
    // Choices as the choices window stores them: distinct members, at most one choice per pair.
    std::mt19937 random(77);
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TRandomCase data;
        const int n = std::uniform_int_distribution<int>(2, 25)(random);
        data.project.Members(kInvest, kGroup, {});
        for (int id = 1; id <= n; ++id) {
            data.project.Client(kGroup, id, "Client " + std::to_string(id));
            data.reference.Members.push_back({id, "Client " + std::to_string(id)});
        }
        data.reference.GroupClients = data.reference.Members;
        std::bernoulli_distribution positive(0.3), negative(0.15);
        for (int from = 1; from <= n; ++from)
            for (int to = 1; to <= n; ++to) {
                if (from == to)
                    continue;
                if (positive(random)) {
                    data.project.For(kInvest, from, to);
                    data.reference.ForList.push_back({from, to});
                } else if (negative(random)) {
                    data.project.Against(kInvest, from, to);
                    data.reference.AgainstList.push_back({from, to});
                }
            }
        const TInvestigationObject model(data.project.store, kInvest);
        ExpectSameAsReference(model, data.reference);
        for (const TChoiceKind kind : {TChoiceKind::Positive, TChoiceKind::Negative}) {
            EXPECT_GE(model.IndexN(kind), 0);
            EXPECT_NEAR(model.IndexSa(TChoiceKind::Positive) + model.IndexN(TChoiceKind::Positive), 2 * model.IndexP(TChoiceKind::Positive),
                        1e-12);
        }
        if (HasFailure())
            break;
    }
}
