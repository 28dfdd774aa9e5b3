#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "shellfixture.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"

namespace {

// The bundled sample project must keep loading, and stay a consistent, realistic project.
TEST(ShellSampleProject, LoadsAsAConsistentSchoolClassProject)
{
    TRecordingProgress progress;
    TRecordingMessages messages;
    TFileAccess store(SampleProjectPath());
    ASSERT_TRUE(store.Load());
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_FALSE(store.LoginRequired());
    EXPECT_FALSE(store.IsModified());

    ASSERT_EQ(store.ClientGroups().Count(), 2);
    const int pupils = store.CountClientsInGroup(store.ClientGroups().At(0).Id);
    EXPECT_GE(pupils, 12);
    EXPECT_LE(pupils, 20);
    EXPECT_GT(store.CountClientsInGroup(store.ClientGroups().At(1).Id), 2);
    EXPECT_EQ(store.CriteriaGroups().Count(), 2);
    EXPECT_GE(store.Criteria().Count(), 4);
    ASSERT_EQ(store.Investigations().Count(), 4);

    std::set<std::pair<int, int>> clients;
    int described = 0;
    for (int32_t i = 0; i < store.Clients().Count(); ++i) {
        const TAClient& client = store.Clients().At(i);
        EXPECT_TRUE(clients.insert({client.GroupId, client.Id}).second) << "client key repeats";
        int year = 0, month = 0, day = 0;
        ASSERT_TRUE(DecodeDate(client.BirthDate, year, month, day)) << client.FullName;
        EXPECT_GE(year, 2008);
        EXPECT_LE(year, 2014);
        if (client.Description.find("\r\n") != std::string::npos)
            ++described;
    }
    EXPECT_GE(described, 1) << "a description with a line break";

    bool negatives = false;
    for (int32_t i = 0; i < store.Investigations().Count(); ++i) {
        const TAnInvest& invest = store.Investigations().At(i);
        SCOPED_TRACE(invest.Name);
        ASSERT_TRUE(store.CriteriaGroups().FindById(invest.CriteriaGroupId));
        ASSERT_TRUE(store.Criteria().Find(invest.CriterionId, invest.CriteriaGroupId));
        ASSERT_GT(invest.MaxChoices, 0);
        EXPECT_GT(store.CountForChoices(invest.Id), 0);
        if (!invest.AllowAgainst) {
            EXPECT_EQ(store.CountAgainstChoices(invest.Id), 0);
        }
        negatives = negatives || store.CountAgainstChoices(invest.Id) > 0;

        // Every choice joins two different members of the group; nobody exceeds the maximum.
        for (const TChoiceTable* table : {static_cast<const TChoiceTable*>(&store.ForChoices()),
                                          static_cast<const TChoiceTable*>(&store.AgainstChoices())}) {
            std::map<int, int> made;
            std::set<std::pair<int, int>> pairs;
            for (int32_t c = 0; c < table->Count(); ++c) {
                const TChoiceRow& row = table->At(c);
                if (row.InvestId != invest.Id)
                    continue;
                EXPECT_TRUE(clients.count({invest.ClientGroupId, row.FromId}));
                EXPECT_TRUE(clients.count({invest.ClientGroupId, row.ToId}));
                EXPECT_NE(row.FromId, row.ToId);
                EXPECT_TRUE(pairs.insert({row.FromId, row.ToId}).second) << "choice repeats";
                EXPECT_LE(++made[row.FromId], invest.MaxChoices);
            }
        }
    }
    EXPECT_TRUE(negatives);

    int placements = 0;
    for (int32_t i = 0; i < store.Placements().Count(); ++i) {
        const TGraphPlace& place = store.Placements().At(i);
        EXPECT_TRUE(clients.count({place.ClientGroupId, place.ClientId}));
        EXPECT_GT(place.Width, 0);
        EXPECT_GE(place.FigType, 1);
        EXPECT_LE(place.FigType, 7);
        ++placements;
    }
    EXPECT_GE(placements, pupils);
}

TEST(ShellSampleProject, SurvivesSaveAndReloadUnchanged)
{
    TRecordingProgress progress;
    TTempDir dir;
    TFileAccess original(SampleProjectPath());
    ASSERT_TRUE(original.Load());
    std::string text;
    ASSERT_TRUE(original.BuildFileText(text));
    original.SetFileName(dir.File("copy.soi"));
    ASSERT_TRUE(original.Save());
    TFileAccess copy(dir.File("copy.soi"));
    ASSERT_TRUE(copy.Load());
    std::string again;
    ASSERT_TRUE(copy.BuildFileText(again));
    EXPECT_EQ(text, again);
    EXPECT_EQ(ReadFileBytes(SampleProjectPath()), text) << "the sample is written as the store writes";
}

} // namespace
