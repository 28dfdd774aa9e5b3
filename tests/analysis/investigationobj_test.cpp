#include "analysis/investigationobj.h"

#include <gtest/gtest.h>

#include "projectbuilder.h"
#include "util/error.h"

namespace {

std::vector<int32_t> Ids(const std::vector<TInvestClient>& clients)
{
    std::vector<int32_t> ids;
    for (const TInvestClient& c : clients)
        ids.push_back(c.Id);
    return ids;
}

} // namespace

TEST(AnalysisModel, BuildsHeaderMembersAndChoicesFromTheProject)
{
    TProjectBuilder p;
    p.Group(4, "Class 7b").Group(5, "Other");
    p.store.CriteriaGroups().Add(2, "Work");
    p.store.Criteria().Add(9, 2, "Whom would you sit with?");
    p.store.Criteria().Add(9, 3, "Wrong group");
    // Members of group 4 interleaved with another group's clients: member order is table order.
    p.Client(4, 30, "Carl").Client(5, 1, "Stranger").Client(4, 10, "Anna").Client(4, 20, "Boris");
    p.store.Investigations().Add({.Id = 7,
                                  .ClientGroupId = 4,
                                  .CriterionId = 9,
                                  .CriteriaGroupId = 2,
                                  .Name = "Sitting",
                                  .Date = 40123,
                                  .AllowAgainst = false,
                                  .MaxChoices = 3});
    p.store.Investigations().Add({.Id = 8,
                                  .ClientGroupId = 4,
                                  .CriterionId = 9,
                                  .CriteriaGroupId = 2,
                                  .Name = "Other invest",
                                  .Date = 40124,
                                  .AllowAgainst = true,
                                  .MaxChoices = 3});
    p.For(7, 10, 20).For(8, 20, 10).For(7, 30, 10).For(7, 10, 99).Against(7, 20, 30).Against(8, 30, 20);

    const TInvestigationObject model(p.store, 7);
    EXPECT_EQ(model.Id(), 7);
    EXPECT_EQ(model.Name(), "Sitting");
    EXPECT_EQ(model.ClientGroupName(), "Class 7b");
    EXPECT_EQ(model.CriterionName(), "Whom would you sit with?");
    EXPECT_EQ(model.MaxChoices(), 3);
    EXPECT_FALSE(model.AllowAgainst());
    EXPECT_EQ(model.Header().Date, 40123);

    ASSERT_EQ(model.ClientCount(), 3);
    EXPECT_EQ(model.Client(0).Name, "Carl");
    EXPECT_EQ(model.Client(1).Id, 10);
    EXPECT_EQ(model.Client(2).GroupId, 4);
    EXPECT_EQ(model.FindClient(20), 2);
    EXPECT_EQ(model.FindClient(1), -1);

    // Only the investigation's rows, in table order; a choice of a non-member stays in the list.
    ASSERT_EQ(model.ForCount(), 3);
    EXPECT_EQ(model.ForChoice(0), (TChoice{10, 20}));
    EXPECT_EQ(model.ForChoice(2), (TChoice{10, 99}));
    ASSERT_EQ(model.AgainstCount(), 1);
    EXPECT_EQ(model.AgainstChoice(0), (TChoice{20, 30}));
    EXPECT_TRUE(model.ForChoiceExists(30, 10));
    EXPECT_FALSE(model.ForChoiceExists(20, 10));
    EXPECT_TRUE(model.AgainstChoiceExists(20, 30));

    const TInvestClient anna = model.Client(1);
    EXPECT_EQ(anna.ForOut, 2);
    EXPECT_EQ(anna.ForIn, 1);
    EXPECT_EQ(model.Client(2).ForIn, 1);
    EXPECT_EQ(model.Client(2).AgainstOut, 1);
    EXPECT_EQ(model.Client(0).AgainstIn, 1);
    EXPECT_THROW(model.Client(3), std::out_of_range);
}

TEST(AnalysisModel, MissingInvestigationOrEmptyGroup)
{
    TProjectBuilder p;
    p.Members(1, 1, {});
    p.For(1, 5, 6).Against(1, 6, 5);
    p.For(42, 1, 2); // left behind by an investigation that no longer exists

    const TInvestigationObject missing(p.store, 42);
    EXPECT_EQ(missing.Id(), -1);
    EXPECT_EQ(missing.Name(), "");
    EXPECT_EQ(missing.MaxChoices(), 0);
    EXPECT_TRUE(missing.AllowAgainst());
    EXPECT_EQ(missing.ClientCount(), 0);
    EXPECT_EQ(missing.ForCount(), 0);
    EXPECT_EQ(missing.MaxReceived(TChoiceKind::Positive), 0);
    EXPECT_EQ(missing.MinReceived(TChoiceKind::Any), 99999999);
    std::vector<TInvestClient> sorted(3);
    EXPECT_EQ(missing.SortClients(TClientOrder::ForIn, sorted), 0);
    EXPECT_TRUE(sorted.empty());

    // A group without clients still loads its choices.
    const TInvestigationObject empty(p.store, 1);
    EXPECT_EQ(empty.ClientCount(), 0);
    EXPECT_EQ(empty.ForCount(), 1);
    EXPECT_EQ(empty.AgainstCount(), 1);
    EXPECT_EQ(empty.IndexP(TChoiceKind::Positive), 0);
    EXPECT_EQ(empty.MutualCount(-1, TChoiceKind::Positive), 0);

    // A group whose stored id equals the missing-id marker still has its members.
    p.Members(7, -99999, {1, 2});
    const TInvestigationObject marker(p.store, 7);
    EXPECT_EQ(marker.ClientCount(), 2);
}

TEST(AnalysisModel, MutualAndOneWayCounts)
{
    TProjectBuilder p;
    p.Members(1, 1, {1, 2, 3, 4});
    p.For(1, 1, 2).For(1, 2, 1); // mutual
    p.For(1, 3, 1);              // one way
    p.For(1, 4, 77);             // chosen client is not a member
    p.Against(1, 1, 2);          // the same pair, negative and one way
    const TInvestigationObject model(p.store, 1);

    EXPECT_EQ(model.Client(0).ForMutual, 1);
    EXPECT_EQ(model.Client(1).ForMutual, 1);
    EXPECT_EQ(model.Client(2).ForMutual, 0);
    EXPECT_EQ(model.Client(0).AgainstMutual, 0);
    EXPECT_EQ(model.MutualCount(-1, TChoiceKind::Positive), 1);
    EXPECT_EQ(model.MutualCount(1, TChoiceKind::Positive), 1);
    EXPECT_EQ(model.MutualCount(-1, TChoiceKind::Negative), 0);
    EXPECT_EQ(model.OneWayPairsCount(TChoiceKind::Positive), 1);
    EXPECT_EQ(model.OneWayPairsCount(TChoiceKind::Negative), 1);
    EXPECT_EQ(model.ForCount(), 4);
    EXPECT_EQ(model.Client(0).ForIn + model.Client(1).ForIn + model.Client(2).ForIn + model.Client(3).ForIn,
              3);

    // The kind "any" and unknown kinds have no choices of their own.
    EXPECT_FALSE(model.IsChoice(1, 2, TChoiceKind::Any));
    EXPECT_FALSE(model.IsChoice(1, 2, TChoiceKind::Placement));
    EXPECT_EQ(model.MutualCount(-1, TChoiceKind::Any), 0);
    EXPECT_EQ(model.MutualCount(1, TChoiceKind::Any), 0);
    EXPECT_EQ(model.OneWayPairsCount(TChoiceKind::Any), 0);
    EXPECT_EQ(model.ChoiceCount(TChoiceKind::Any), 0);

    EXPECT_EQ(model.MaxReceived(TChoiceKind::Positive), 2);
    EXPECT_EQ(model.MinReceived(TChoiceKind::Positive), 0);
    EXPECT_EQ(model.MaxReceived(TChoiceKind::Any), 2);
    EXPECT_EQ(model.MaxReceived(TChoiceKind::Negative), 1);
    EXPECT_EQ(model.MaxForReceived(), 2);
    EXPECT_EQ(model.MaxAgainstReceived(), 1);
}

TEST(AnalysisModel, GroupMutualCountRoundsHalvesToEven)
{
    // Self-choices return themselves, so the returned count can be odd.
    const auto pairs = [](std::vector<std::pair<int32_t, int32_t>> choices) {
        TProjectBuilder p;
        p.Members(1, 1, {1, 2, 3, 4, 5});
        for (const auto& [from, to] : choices)
            p.For(1, from, to);
        return TInvestigationObject(p.store, 1).MutualCount(-1, TChoiceKind::Positive);
    };
    EXPECT_EQ(pairs({{1, 1}}), 0);                                 // 0.5
    EXPECT_EQ(pairs({{1, 1}, {2, 2}, {3, 3}}), 2);                 // 1.5
    EXPECT_EQ(pairs({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}), 2); // 2.5
}

TEST(AnalysisModel, RepeatedChoiceRowsCountOnce)
{
    TProjectBuilder p;
    p.Members(1, 1, {1, 2, 3});
    p.For(1, 1, 2).For(1, 1, 2).For(1, 2, 1).For(1, 3, 1).For(1, 3, 1);
    p.Against(1, 2, 3).Against(1, 2, 3);
    const TInvestigationObject model(p.store, 1);
    EXPECT_EQ(model.ForCount(), 3);
    EXPECT_EQ(model.AgainstCount(), 1);
    EXPECT_EQ(model.MutualCount(-1, TChoiceKind::Positive), 1) << "one mutual pair, not two";
    EXPECT_EQ(model.Client(0).ForMutual, 1);
    EXPECT_EQ(model.Client(0).ForIn, 2);
    EXPECT_EQ(model.Client(1).ForIn, 1);
    EXPECT_EQ(model.Client(2).ForOut, 1);
    EXPECT_EQ(model.Client(2).AgainstIn, 1);
    EXPECT_EQ(model.OneWayPairsCount(TChoiceKind::Positive), 1);
    EXPECT_LE(model.IndexSa(TChoiceKind::Positive), 1.0);
    EXPECT_GE(model.IndexN(TChoiceKind::Positive), 0.0);
    EXPECT_EQ(p.store.CountForChoices(1), 5) << "the table keeps its rows";
}

TEST(AnalysisModel, ClientWithNegativeIdCountsItsOwnReturnedChoices)
{
    TProjectBuilder p;
    p.Members(1, 1, {-3, 2, 4, 5});
    p.For(1, -3, 2).For(1, 2, -3).For(1, 4, 5).For(1, 5, 4);
    const TInvestigationObject model(p.store, 1);
    EXPECT_EQ(model.MutualCount(-1, TChoiceKind::Positive), 2);
    EXPECT_EQ(model.Client(0).ForMutual, 1);
    EXPECT_EQ(model.IndexEi(0, TChoiceKind::Positive), 1.0);
}

TEST(AnalysisModel, MutualPairsListNamesEachPairOnceInTableOrder)
{
    TProjectBuilder p;
    p.Group(1, "G").Group(2, "Elsewhere");
    p.Client(1, 1, "  Anna ").Client(1, 2, "Boris").Client(1, 3, "Carl").Client(1, 4, "Dora");
    p.Client(2, 9, "Not in the group");
    p.Invest(1, 1);
    p.For(1, 2, 1).For(1, 3, 4).For(1, 1, 2).For(1, 4, 3).For(1, 2, 1); // B's choice of A first
    p.For(1, 1, 9).For(1, 9, 1);                                        // 9 is no client of group 1
    p.For(1, 3, 3);                                                     // returned by itself
    p.Against(1, 1, 3);
    const TInvestigationObject model(p.store, 1);

    std::vector<std::string> lines{"stale"};
    model.MutualPairsList(lines, TChoiceKind::Positive);
    EXPECT_EQ(lines, (std::vector<std::string>{"Boris - Anna", "Carl - Dora", "Anna - ", "Carl - Carl"}));
    model.MutualPairsList(lines, TChoiceKind::Negative);
    EXPECT_TRUE(lines.empty());
    lines = {"stale"};
    model.MutualPairsList(lines, TChoiceKind::Any);
    EXPECT_TRUE(lines.empty());
}

TEST(AnalysisModel, OrderingsAreDescendingAndKeepMemberOrderOnTies)
{
    TProjectBuilder p;
    p.Members(1, 1, {1, 2, 3, 4, 5});
    p.For(1, 1, 3).For(1, 2, 3).For(1, 4, 3).For(1, 3, 4).For(1, 5, 2).For(1, 4, 5);
    p.Against(1, 3, 1).Against(1, 5, 1).Against(1, 2, 5).Against(1, 1, 5);
    const TInvestigationObject model(p.store, 1);
    // ForIn:       1:0 2:1 3:3 4:1 5:1   ForOut:       1:1 2:1 3:1 4:2 5:1
    // AgainstIn:   1:2 2:0 3:0 4:0 5:2   AgainstOut:   1:1 2:1 3:1 4:0 5:1
    // ForMutual:   3:1 4:1               AgainstMutual: 1:1 5:1      (all given: 2 each)
    const std::vector<std::pair<TClientOrder, std::vector<int32_t>>> cases = {
        {TClientOrder::ForIn, {3, 2, 4, 5, 1}},          {TClientOrder::ForOut, {4, 1, 2, 3, 5}},
        {TClientOrder::AgainstIn, {1, 5, 2, 3, 4}},      {TClientOrder::AgainstOut, {1, 2, 3, 5, 4}},
        {TClientOrder::ForMutual, {3, 4, 1, 2, 5}},      {TClientOrder::AgainstMutual, {1, 5, 2, 3, 4}},
        {TClientOrder::AllIn, {3, 5, 1, 2, 4}},          {TClientOrder::AllOut, {1, 2, 3, 4, 5}},
        {TClientOrder::PositiveStatus, {3, 2, 4, 5, 1}}, {TClientOrder::NegativeStatus, {1, 5, 2, 3, 4}},
    };
    for (const auto& [order, expected] : cases) {
        std::vector<TInvestClient> list;
        EXPECT_EQ(model.SortClients(order, list), 5);
        EXPECT_EQ(Ids(list), expected) << "ordering " << static_cast<int>(order);
    }
    std::vector<TInvestClient> list;
    model.SortClients(TClientOrder::ForIn, list);
    EXPECT_EQ(list[0], model.Client(2));
}

TEST(AnalysisModel, StorePlaceInsertsOrOverwritesPerPlacementKind)
{
    TProjectBuilder p;
    p.Members(6, 3, {1, 2});
    p.store.Placements().Add({.InvestId = 6,
                              .ClientId = 1,
                              .ClientGroupId = 3,
                              .SelType = 1,
                              .Left = 0,
                              .Top = 0,
                              .Width = 10,
                              .Height = 10,
                              .FigType = 1});
    p.store.SetModified(false);
    TInvestigationObject model(p.store, 6);

    model.StorePlaceFor(1, 5, 6, 70, 80, 3); // overwrites the existing row
    EXPECT_TRUE(p.store.IsModified());
    ASSERT_EQ(p.store.Placements().Count(), 1);
    const TGraphPlace& first = p.store.Placements().At(0);
    EXPECT_EQ(first.Left, 5);
    EXPECT_EQ(first.Height, 80);
    EXPECT_EQ(first.FigType, 3);

    model.StorePlaceAgainst(1, 1, 2, 3, 4, 5);
    model.StorePlaceAny(1, 7, 8, 9, 10, 2);
    model.StorePlaceAny(2, 11, 12, 13, 14, 6);
    model.StorePlaceAny(1, 15, 16, 17, 18, 7);
    ASSERT_EQ(p.store.Placements().Count(), 4);
    const TGraphPlace& negative = p.store.Placements().At(1);
    EXPECT_EQ(negative.SelType, 2);
    EXPECT_EQ(negative.InvestId, 6);
    EXPECT_EQ(negative.ClientGroupId, 3);
    EXPECT_EQ(negative.ClientId, 1);
    const TGraphPlace& both = p.store.Placements().At(2);
    EXPECT_EQ(both.SelType, 0);
    EXPECT_EQ(both.Left, 15);
    EXPECT_EQ(both.FigType, 7);
    EXPECT_EQ(p.store.Placements().At(3).ClientId, 2);

    // Storing a place as it is changes nothing, so closing an untouched sociogram marks nothing.
    p.store.SetModified(false);
    model.StorePlaceAny(2, 11, 12, 13, 14, 6);
    EXPECT_FALSE(p.store.Placements().Modified());
    model.StorePlaceAny(2, 11, 12, 13, 14, 5);
    EXPECT_TRUE(p.store.Placements().Modified());

    // Many at once: the first of two rows with one key is the one overwritten, rows of another
    // investigation stay, a key new to the table is added once even when given twice.
    TGraphPlace other = p.store.Placements().At(0);
    other.InvestId = 7;
    p.store.Placements().AddRecord(other);
    TGraphPlace repeated = p.store.Placements().At(0);
    repeated.Left = 99;
    p.store.Placements().AddRecord(repeated);
    model.StorePlaces({{TChoiceKind::Positive, 1, 40, 41, 42, 43, 4},
                       {TChoiceKind::Positive, 2, 1, 1, 1, 1, 1},
                       {TChoiceKind::Positive, 2, 2, 2, 2, 2, 2}});
    ASSERT_EQ(p.store.Placements().Count(), 7);
    EXPECT_EQ(p.store.Placements().At(0).Left, 40);
    EXPECT_EQ(p.store.Placements().At(4).Left, 5) << "another investigation's row";
    EXPECT_EQ(p.store.Placements().At(5).Left, 99) << "the later duplicate";
    EXPECT_EQ(p.store.Placements().At(6).Left, 2);
}

