// Choices import: both layouts, every refusal of the choice rules, all or nothing, and the
// round trip through the exported sociomatrix.
#include <gtest/gtest.h>

#include "analysis/investigationobj.h"
#include "analysis/projectbuilder.h"
#include "analysis/statusgroups.h"
#include "exchange/choicesimport.h"
#include "exchange/csvreader.h"
#include "exchange/exchangetext.h"
#include "exchange/networkexport.h"
#include "exchange/tableexport.h"
#include "support/core/tempdir.h"

namespace {

// Investigation 7 on group 1: Anna (1), Bob (2), Cleo (3), Dan (4), at most two choices each.
void Class(TProjectBuilder& p, bool allowNegative = true, int32_t maxChoices = 2)
{
    p.Group(1, "Class");
    p.Client(1, 1, "Anna").Client(1, 2, "Bob").Client(1, 3, "Cleo").Client(1, 4, "Dan");
    p.Group(2, "Other").Client(2, 9, "Eve");
    p.store.Investigations().Add({.Id = 7,
                                  .ClientGroupId = 1,
                                  .CriterionId = -1,
                                  .CriteriaGroupId = -1,
                                  .Name = "Friends",
                                  .Date = 40000,
                                  .AllowAgainst = allowNegative,
                                  .MaxChoices = maxChoices});
}

std::vector<TChoice> Choices(std::initializer_list<std::pair<int32_t, int32_t>> pairs)
{
    std::vector<TChoice> out;
    for (const auto& [from, to] : pairs)
        out.push_back({from, to});
    return out;
}

TEST(ChoicesImport, EdgeListByNameOrIdWithSigns)
{
    TProjectBuilder p;
    Class(p);
    const TChoicesPlan plan = PlanChoicesImport(p.store, 7,
                                                "Chooser;Chosen;Sign\n"
                                                "anna;Bob;+\n"
                                                "1;3;\n"
                                                " Bob ;DAN;-1\n"
                                                "4;2;\xE2\x88\x92\n");
    EXPECT_EQ(plan.Layout, TChoicesLayout::EdgeList);
    EXPECT_TRUE(plan.Refused.empty()) << plan.Refused.front().Reason;
    EXPECT_EQ(plan.Positive, Choices({{1, 2}, {1, 3}}));
    EXPECT_EQ(plan.Negative, Choices({{2, 4}, {4, 2}}));

    // Without a header the first row is a choice.
    const TChoicesPlan bare = PlanChoicesImport(p.store, 7, "Anna,Bob\nCleo,Dan\n");
    EXPECT_EQ(bare.Positive, Choices({{1, 2}, {3, 4}}));
}

TEST(ChoicesImport, ARowNamingNullIsRefusedWithTheReason)
{
    TProjectBuilder p;
    Class(p);
    p.store.Clients().Add(5, 1, "", true, 0); // a member whose "NULL" came back empty
    const TChoicesPlan plan = PlanChoicesImport(p.store, 7, "Chooser;Chosen\nAnna;Bob\nNULL;Anna\n");
    ASSERT_EQ(plan.Refused.size(), 1u);
    EXPECT_EQ(plan.Refused[0].Line, 3);
    EXPECT_EQ(plan.Refused[0].Reason, ReservedNameText());
}

TEST(ChoicesImport, EveryRuleRefusesItsRowAndNamesIt)
{
    TProjectBuilder p;
    Class(p, false, 1);
    p.Client(1, 5, "Dan"); // a second Dan
    const TChoicesPlan plan = PlanChoicesImport(p.store, 7,
                                                "from,to,sign\n"
                                                "Anna,Anna,+\n"   // self-choice
                                                "Anna,Eve,+\n"    // member of another group
                                                "Anna,Bob,+\n"    // admitted
                                                "Anna,Cleo,+\n"   // over the limit of one
                                                "Bob,Cleo,-\n"    // negatives are switched off
                                                "Bob,Zed,+\n"     // unknown
                                                "Bob,Dan,+\n"     // ambiguous
                                                "Cleo,Bob,?\n"    // no sign
                                                "Anna,Bob,+\n");  // the pair is taken
    EXPECT_EQ(plan.Positive, Choices({{1, 2}}));
    ASSERT_EQ(plan.Refused.size(), 8u);
    const std::vector<int32_t> lines = {2, 3, 5, 6, 7, 8, 9, 10};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(plan.Refused[i].Line, lines[i]);
        EXPECT_FALSE(plan.Refused[i].Reason.empty());
    }
    EXPECT_NE(plan.Refused[1].Reason.find("Eve"), std::string::npos);
    EXPECT_NE(plan.Refused[5].Reason.find("more than one"), std::string::npos);
    // Distinct rules give distinct reasons.
    EXPECT_NE(plan.Refused[0].Reason, plan.Refused[2].Reason);
    EXPECT_NE(plan.Refused[2].Reason, plan.Refused[3].Reason);
    EXPECT_NE(plan.Refused[7].Reason, plan.Refused[3].Reason);
}

TEST(ChoicesImport, AllOrNothingUnlessRefusedRowsAreSkipped)
{
    TProjectBuilder p;
    Class(p);
    p.For(7, 3, 4).Against(7, 4, 3);
    const TChoicesPlan plan = PlanChoicesImport(p.store, 7, "Anna,Bob\nAnna,Anna\n");
    ASSERT_EQ(plan.Refused.size(), 1u);
    std::string error;
    EXPECT_FALSE(ApplyChoicesImport(p.store, 7, plan, false, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(p.store.CountForChoices(7), 1);
    EXPECT_EQ(p.store.CountAgainstChoices(7), 1);

    ASSERT_TRUE(ApplyChoicesImport(p.store, 7, plan, true, error)) << error;
    EXPECT_EQ(p.store.CountForChoices(7), 1);
    EXPECT_EQ(p.store.CountAgainstChoices(7), 0);
    const TInvestigationObject model(p.store, 7);
    EXPECT_TRUE(model.ForChoiceExists(1, 2));
    EXPECT_EQ(model.ClientCount(), 4); // members without a choice stay

    const TChoicesPlan missing = PlanChoicesImport(p.store, 99, "Anna,Bob\n");
    EXPECT_FALSE(missing.Failure.empty());
    EXPECT_FALSE(ApplyChoicesImport(p.store, 99, missing, true, error));
}

TEST(ChoicesImport, MatrixCellsAndTheirRefusals)
{
    TProjectBuilder p;
    Class(p);
    const TChoicesPlan plan = PlanChoicesImport(p.store, 7,
                                                ",Anna,Bob,Cleo,Dan\n"
                                                "Anna,,1,-1,\n"
                                                "Bob,1,1,,\n"      // self-choice on the diagonal
                                                "Cleo,0,x,,\n"     // not a choice value
                                                "Dan,1,1,1,\n");   // over the limit of two
    EXPECT_EQ(plan.Layout, TChoicesLayout::Matrix);
    EXPECT_EQ(plan.Positive, Choices({{1, 2}, {2, 1}, {4, 1}, {4, 2}}));
    EXPECT_EQ(plan.Negative, Choices({{1, 3}}));
    ASSERT_EQ(plan.Refused.size(), 3u);
    EXPECT_EQ(plan.Refused[0].Line, 3);
    EXPECT_EQ(plan.Refused[1].Line, 4);
    EXPECT_EQ(plan.Refused[2].Line, 5);
    EXPECT_NE(plan.Refused[2].Excerpt.find("Cleo"), std::string::npos);
}

// The sociomatrix and the network's edge list, as Tremlow exports them, read back as they are.
TEST(ChoicesImport, ExportedSociomatrixAndEdgeListImportBackIntoClearedCopy)
{
    TProjectBuilder source;
    Class(source);
    source.For(7, 1, 2).For(7, 2, 1).For(7, 3, 1).For(7, 4, 3);
    source.Against(7, 1, 4).Against(7, 3, 2);
    const TTempDir dir;
    std::string error;
    const TInvestigationObject a(source.store, 7);
    const std::string matrix = dir.File("matrix.csv");
    ASSERT_TRUE(WriteCsvSheet(SociomatrixSheet(a, TChoiceKind::Any), matrix, error)) << error;
    const std::string edges =
        EdgeListCsvText(BuildNetwork(source.store, a, ComputeStatusGroups(a), TChoiceKind::Any));
    for (const auto& [layout, plan] :
         {std::pair{TChoicesLayout::Matrix, PlanChoicesImportFile(source.store, 7, matrix)},
          std::pair{TChoicesLayout::EdgeList, PlanChoicesImport(source.store, 7, edges)}}) {
        SCOPED_TRACE(layout == TChoicesLayout::Matrix ? "matrix" : "edge list");
        TProjectBuilder copy;
        Class(copy);
        EXPECT_EQ(plan.Layout, layout);
        EXPECT_TRUE(plan.Refused.empty()) << plan.Refused.front().Reason;
        ASSERT_TRUE(ApplyChoicesImport(copy.store, 7, plan, false, error)) << error;
        const TInvestigationObject b(copy.store, 7);
        for (int32_t from = 1; from <= 4; ++from) {
            for (int32_t to = 1; to <= 4; ++to) {
                EXPECT_EQ(a.ForChoiceExists(from, to), b.ForChoiceExists(from, to)) << from << "->" << to;
                EXPECT_EQ(a.AgainstChoiceExists(from, to), b.AgainstChoiceExists(from, to))
                    << from << "->" << to;
            }
        }
        EXPECT_EQ(a.ForCount(), b.ForCount());
        EXPECT_EQ(a.AgainstCount(), b.AgainstCount());
    }
}

} // namespace
