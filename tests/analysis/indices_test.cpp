#include <gtest/gtest.h>

#include "analysis/investigationobj.h"
#include "projectbuilder.h"

TEST(AnalysisIndex, ThreeMembersWithOneMutualPair)
{
    // A <-> B mutual, C chose A.
    TProjectBuilder p;
    p.Members(1, 1, {1, 2, 3});
    p.For(1, 1, 2).For(1, 2, 1).For(1, 3, 1);
    const TInvestigationObject model(p.store, 1);

    EXPECT_EQ(model.IndexP(TChoiceKind::Positive), 0.5);
    EXPECT_DOUBLE_EQ(model.IndexSa(TChoiceKind::Positive), 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(model.IndexN(TChoiceKind::Positive), 1.0 / 3.0);
    EXPECT_EQ(model.IndexJ(TChoiceKind::Positive), 1.0);
    EXPECT_DOUBLE_EQ(model.IndexSa(TChoiceKind::Positive) + model.IndexN(TChoiceKind::Positive), 2 * model.IndexP(TChoiceKind::Positive));
    EXPECT_EQ(model.IndexPi(0, TChoiceKind::Positive), 1.0);
    EXPECT_EQ(model.IndexAi(2, TChoiceKind::Positive), 0.5);
    EXPECT_EQ(model.IndexEi(0, TChoiceKind::Positive), 1.0);
    EXPECT_EQ(model.IndexEi(2, TChoiceKind::Positive), 0.0);
    EXPECT_EQ(model.IndexSti(0, TChoiceKind::Positive), 1.0);
}

TEST(AnalysisIndex, SmallGroupsGiveZeroWhereTheQuotientIsUndefined)
{
    TProjectBuilder none;
    none.Members(1, 1, {});
    const TInvestigationObject empty(none.store, 1);
    for (const TChoiceKind kind : {TChoiceKind::Positive, TChoiceKind::Negative, TChoiceKind::Any}) {
        EXPECT_EQ(empty.IndexP(kind), 0);
        EXPECT_EQ(empty.IndexSa(kind), 0);
        EXPECT_EQ(empty.IndexJ(kind), 0);
        EXPECT_EQ(empty.IndexN(kind), 0);
    }

    // One member choosing itself: the group indices and Pi, Ai, Sti stay 0, Ei has no guard on N.
    TProjectBuilder one;
    one.Members(1, 1, {1});
    one.For(1, 1, 1).Against(1, 1, 1);
    const TInvestigationObject single(one.store, 1);
    EXPECT_EQ(single.IndexP(TChoiceKind::Positive), 0);
    EXPECT_EQ(single.IndexN(TChoiceKind::Positive), 0);
    EXPECT_EQ(single.IndexPi(0, TChoiceKind::Positive), 0);
    EXPECT_EQ(single.IndexAi(0, TChoiceKind::Positive), 0);
    EXPECT_EQ(single.IndexSti(0, TChoiceKind::Positive), 0);
    EXPECT_EQ(single.IndexEi(0, TChoiceKind::Positive), 1.0);

    // Two members in a mutual pair: J needs three members.
    TProjectBuilder two;
    two.Members(1, 1, {1, 2});
    two.For(1, 1, 2).For(1, 2, 1);
    const TInvestigationObject pair(two.store, 1);
    EXPECT_EQ(pair.IndexP(TChoiceKind::Positive), 1.0);
    EXPECT_EQ(pair.IndexSa(TChoiceKind::Positive), 2.0);
    EXPECT_EQ(pair.IndexN(TChoiceKind::Positive), 0.0);
    EXPECT_EQ(pair.IndexJ(TChoiceKind::Positive), 0.0);
    EXPECT_EQ(pair.IndexPi(1, TChoiceKind::Positive), 1.0);
}

TEST(AnalysisIndex, KindRules)
{
    TProjectBuilder p;
    p.Members(1, 1, {1, 2, 3, 4});
    p.For(1, 1, 2).For(1, 2, 1).For(1, 3, 1);
    p.Against(1, 1, 3).Against(1, 2, 3);
    const TInvestigationObject model(p.store, 1);

    // Sa is always the positive value; P, J and N of the negative kind use the negative list.
    EXPECT_EQ(model.IndexSa(TChoiceKind::Negative), model.IndexSa(TChoiceKind::Positive));
    EXPECT_DOUBLE_EQ(model.IndexSa(TChoiceKind::Negative), 4.0 / 12.0);
    EXPECT_DOUBLE_EQ(model.IndexP(TChoiceKind::Negative), 2.0 / 12.0);
    EXPECT_DOUBLE_EQ(model.IndexN(TChoiceKind::Negative), 4.0 / 12.0);
    EXPECT_DOUBLE_EQ(model.IndexJ(TChoiceKind::Negative), 1.0 / 2.0);
    EXPECT_DOUBLE_EQ(model.IndexPi(2, TChoiceKind::Negative), 2.0 / 3.0);

    // The kind "any": only Sa and Sti keep values.
    EXPECT_EQ(model.IndexP(TChoiceKind::Any), 0);
    EXPECT_EQ(model.IndexJ(TChoiceKind::Any), 0);
    EXPECT_EQ(model.IndexN(TChoiceKind::Any), 0);
    EXPECT_EQ(model.IndexSa(TChoiceKind::Any), model.IndexSa(TChoiceKind::Positive));
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(model.IndexPi(i, TChoiceKind::Any), 0);
        EXPECT_EQ(model.IndexAi(i, TChoiceKind::Any), 0);
        EXPECT_EQ(model.IndexEi(i, TChoiceKind::Any), 0);
        EXPECT_EQ(model.IndexSti(i, TChoiceKind::Any), model.IndexSti(i, TChoiceKind::Positive));
    }
    EXPECT_DOUBLE_EQ(model.IndexSti(2, TChoiceKind::Any), 2.0 / 3.0);

    // Member 4 chose nobody and was chosen by nobody.
    EXPECT_EQ(model.IndexAi(3, TChoiceKind::Positive), 0);
    EXPECT_EQ(model.IndexEi(3, TChoiceKind::Positive), 0);
    EXPECT_EQ(model.IndexEi(3, TChoiceKind::Negative), 0);
}

TEST(AnalysisIndex, StatusLevelStepsTwoChoicesBelowTheMaximum)
{
    // Member 1 receives 10 positive choices, member 2 nine, member 3 eight, member 13 none.
    TProjectBuilder p;
    std::vector<int32_t> ids;
    for (int32_t id = 1; id <= 13; ++id)
        ids.push_back(id);
    p.Members(1, 1, ids);
    for (int32_t from = 2; from <= 11; ++from)
        p.For(1, from, 1);
    for (int32_t from = 3; from <= 11; ++from)
        p.For(1, from, 2);
    for (int32_t from = 4; from <= 11; ++from)
        p.For(1, from, 3);
    p.Against(1, 1, 13).Against(1, 2, 13).Against(1, 1, 12);
    const TInvestigationObject model(p.store, 1);
    ASSERT_EQ(model.MaxForReceived(), 10);
    EXPECT_EQ(model.StatusLevel(0, TChoiceKind::Positive), 1);
    EXPECT_EQ(model.StatusLevel(1, TChoiceKind::Positive), 1);
    EXPECT_EQ(model.StatusLevel(2, TChoiceKind::Positive), 2);
    EXPECT_EQ(model.StatusLevel(12, TChoiceKind::Positive), 6);
    // The negative kind compares with the largest negative count (2), not the positive one.
    EXPECT_EQ(model.StatusLevel(12, TChoiceKind::Negative), 1);
    EXPECT_EQ(model.StatusLevel(11, TChoiceKind::Negative), 1);
    EXPECT_EQ(model.StatusLevel(0, TChoiceKind::Negative), 2);
    EXPECT_EQ(model.StatusLevel(0, TChoiceKind::Any), 5);

    // With a maximum of 14, two or fewer choices is the lowest level.
    TProjectBuilder q;
    std::vector<int32_t> many;
    for (int32_t id = 1; id <= 16; ++id)
        many.push_back(id);
    q.Members(1, 1, many);
    for (int32_t from = 2; from <= 15; ++from)
        q.For(1, from, 1);
    q.For(1, 3, 2).For(1, 4, 2);
    q.For(1, 4, 3).For(1, 5, 3).For(1, 6, 3);
    const TInvestigationObject wide(q.store, 1);
    ASSERT_EQ(wide.MaxForReceived(), 14);
    EXPECT_EQ(wide.StatusLevel(1, TChoiceKind::Positive), 7);
    EXPECT_EQ(wide.StatusLevel(15, TChoiceKind::Positive), 7);
    EXPECT_EQ(wide.StatusLevel(2, TChoiceKind::Positive), 6);
}
