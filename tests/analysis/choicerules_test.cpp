#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/choicerules.h"
#include "analysis/projectbuilder.h"

namespace {

using enum TChoiceVerdict;
constexpr TChoiceKind kPositive = TChoiceKind::Positive;
constexpr TChoiceKind kNegative = TChoiceKind::Negative;

// "investigation: from -> to" of a stored row, for readable comparisons.
std::string Row(const TChoiceTable& table, int32_t index)
{
    const TChoiceRow& r = table.At(index);
    return std::to_string(r.InvestId) + ": " + std::to_string(r.FromId) + " -> " + std::to_string(r.ToId);
}

TEST(ChoiceRules, LimitAndNegativeSwitch)
{
    const TChoiceLimits two{.MaxChoices = 2, .AllowNegative = false};
    EXPECT_TRUE(MayChooseMore(two, kPositive, 0));
    EXPECT_TRUE(MayChooseMore(two, kPositive, 1));
    EXPECT_FALSE(MayChooseMore(two, kPositive, 2));
    EXPECT_FALSE(MayChooseMore(two, kNegative, 0));
    const TChoiceLimits withNegative{.MaxChoices = 2, .AllowNegative = true};
    EXPECT_TRUE(MayChooseMore(withNegative, kNegative, 1));
    EXPECT_FALSE(MayChooseMore(withNegative, kNegative, 2));
    // Only the two kinds one can give count as choices.
    EXPECT_FALSE(MayChooseMore(withNegative, TChoiceKind::Any, 0));
    EXPECT_FALSE(MayChooseMore(withNegative, TChoiceKind::Placement, 0));
    EXPECT_FALSE(MayChooseMore({.MaxChoices = 0, .AllowNegative = true}, kPositive, 0));
}

TEST(ChoiceRules, SheetAdmitsOnlyWhatTheInvestigationAllows)
{
    TChoiceSheet sheet({1, 2, 3, 4}, {.MaxChoices = 2, .AllowNegative = true});
    EXPECT_EQ(sheet.Add(1, 2, kPositive), Admitted);
    EXPECT_EQ(sheet.Add(1, 1, kPositive), SelfChoice);
    EXPECT_EQ(sheet.Add(1, 9, kPositive), NotMember);
    EXPECT_EQ(sheet.Add(9, 1, kPositive), NotMember);
    EXPECT_EQ(sheet.Add(1, 2, kNegative), AlreadyChosen);
    EXPECT_EQ(sheet.Add(1, 3, TChoiceKind::Any), NotAChoiceKind);
    EXPECT_EQ(sheet.Add(1, 3, kPositive), Admitted);
    EXPECT_EQ(sheet.Add(1, 4, kPositive), LimitReached);
    // The limit is per kind and per chooser.
    EXPECT_EQ(sheet.Add(1, 4, kNegative), Admitted);
    EXPECT_EQ(sheet.Add(2, 1, kPositive), Admitted);
    EXPECT_EQ(sheet.CountGiven(1, kPositive), 2);
    EXPECT_EQ(sheet.CountGiven(1, kNegative), 1);
    EXPECT_EQ(sheet.CountGiven(3, kPositive), 0);
    EXPECT_EQ(sheet.KindOf(1, 4), kNegative);
    EXPECT_EQ(sheet.KindOf(4, 1), TChoiceKind::Placement);

    // Check answers without adding; a refused choice leaves the sheet as it was.
    EXPECT_EQ(sheet.Check(3, 4, kPositive), Admitted);
    EXPECT_EQ(sheet.CountGiven(3, kPositive), 0);
    EXPECT_EQ(sheet.Choices(kPositive), (std::vector<TChoice>{{1, 2}, {1, 3}, {2, 1}}));
    EXPECT_EQ(sheet.Choices(kNegative), (std::vector<TChoice>{{1, 4}}));

    // Removing frees the place under the limit and the pair.
    EXPECT_TRUE(sheet.Remove(1, 2));
    EXPECT_FALSE(sheet.Remove(1, 2));
    EXPECT_EQ(sheet.CountGiven(1, kPositive), 1);
    EXPECT_EQ(sheet.Add(1, 2, kNegative), Admitted);
    EXPECT_EQ(sheet.Add(1, 4, kPositive), AlreadyChosen);
    EXPECT_EQ(sheet.Add(3, 4, kPositive), Admitted);
    EXPECT_EQ(sheet.Choices(kPositive), (std::vector<TChoice>{{1, 3}, {2, 1}, {3, 4}}));

    TChoiceSheet noNegative({1, 2}, {.MaxChoices = 5, .AllowNegative = false});
    EXPECT_EQ(noNegative.Add(1, 2, kNegative), NegativeNotAllowed);
}

TEST(ChoiceRules, SheetOfAStoredInvestigation)
{
    TProjectBuilder p;
    p.Group(4, "Class").Group(5, "Other");
    p.Client(4, 30, "C").Client(5, 1, "Stranger").Client(4, 10, "A");
    p.store.Investigations().Add({.Id = 7,
                                  .ClientGroupId = 4,
                                  .CriterionId = -1,
                                  .CriteriaGroupId = -1,
                                  .Name = "Sitting",
                                  .Date = 40000,
                                  .AllowAgainst = false,
                                  .MaxChoices = 1});

    const TChoiceSheet sheet = TChoiceSheet::ForInvestigation(p.store, 7);
    EXPECT_EQ(sheet.MemberIds(), (std::vector<int32_t>{30, 10}));
    EXPECT_EQ(sheet.Limits().MaxChoices, 1);
    EXPECT_FALSE(sheet.Limits().AllowNegative);
    EXPECT_EQ(sheet.Check(30, 1, kPositive), NotMember);
    EXPECT_EQ(sheet.Check(30, 10, kNegative), NegativeNotAllowed);

    const TChoiceSheet missing = TChoiceSheet::ForInvestigation(p.store, 99);
    EXPECT_TRUE(missing.MemberIds().empty());
    EXPECT_EQ(missing.Check(30, 10, kPositive), NotMember);
}

TEST(ChoiceRules, ReplacingStoredChoicesTouchesOnlyThatInvestigation)
{
    TProjectBuilder p;
    p.Members(1, 1, {1, 2, 3}).Invest(2, 1);
    p.For(1, 1, 2).For(2, 1, 3).For(1, 2, 1).Against(1, 3, 1).Against(2, 2, 3);
    p.store.SetModified(false);

    EXPECT_EQ(ReplaceInvestigationChoices(p.store, 1, {{3, 2}, {2, 3}}, {}), TReplaceChoicesResult::Done);
    EXPECT_TRUE(p.store.IsModified());
    ASSERT_EQ(p.store.ForChoices().Count(), 3);
    EXPECT_EQ(Row(p.store.ForChoices(), 0), "2: 1 -> 3");
    EXPECT_EQ(Row(p.store.ForChoices(), 1), "1: 3 -> 2");
    EXPECT_EQ(Row(p.store.ForChoices(), 2), "1: 2 -> 3");
    ASSERT_EQ(p.store.AgainstChoices().Count(), 1);
    EXPECT_EQ(Row(p.store.AgainstChoices(), 0), "2: 2 -> 3");

    // An investigation that is gone keeps its leftover rows untouched.
    p.For(9, 1, 2);
    EXPECT_EQ(ReplaceInvestigationChoices(p.store, 9, {}, {}), TReplaceChoicesResult::NoInvestigation);
    EXPECT_EQ(p.store.ForChoices().Count(), 4);
}

TEST(ChoiceRules, KeptRowsYieldToTheWindowsOwnChoices)
{
    std::vector<TChoice> positive = {{1, 2}};
    std::vector<TChoice> negative = {{2, 1}};
    AddKeptChoices({{{1, 2}, kPositive}, {{2, 1}, kPositive}, {{1, 3}, kPositive}, {{1, 3}, kPositive},
                    {{3, 1}, kNegative}},
                   positive, negative);
    EXPECT_EQ(positive, (std::vector<TChoice>{{1, 2}, {1, 3}, {1, 3}})) << "a pair held in either kind is the user's";
    EXPECT_EQ(negative, (std::vector<TChoice>{{2, 1}, {3, 1}}));
}

TEST(ChoiceRules, StampTellsAChangedOrReplacedInvestigation)
{
    TProjectBuilder p;
    p.Members(1, 1, {1, 2, 3});
    const TInvestigationStamp loaded = StampInvestigation(p.store, 1);
    EXPECT_TRUE(loaded.Exists);
    EXPECT_EQ(loaded.MemberIds, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_TRUE(StampInvestigation(p.store, 1) == loaded);
    EXPECT_FALSE(StampInvestigation(p.store, 99).Exists);

    p.store.Clients().Add(4, 1, "Newcomer", true, 0);
    EXPECT_FALSE(StampInvestigation(p.store, 1) == loaded) << "a member more";
    p.store.Clients().Find(4, 1);
    p.store.Clients().Delete();
    EXPECT_TRUE(StampInvestigation(p.store, 1) == loaded);

    ASSERT_TRUE(p.store.Investigations().FindById(1));
    const TAnInvest row = p.store.Investigations().At(0);
    p.store.Investigations().Change({.Id = 1,
                                     .ClientGroupId = row.ClientGroupId,
                                     .CriterionId = row.CriterionId,
                                     .CriteriaGroupId = row.CriteriaGroupId,
                                     .Name = row.Name,
                                     .Date = row.Date,
                                     .AllowAgainst = row.AllowAgainst,
                                     .MaxChoices = row.MaxChoices + 1});
    EXPECT_FALSE(StampInvestigation(p.store, 1) == loaded) << "another limit";
}

} // namespace
