#include <random>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "analysis/investigationobj.h"
#include "i18n/langconv.h"
#include "i18n/storemessages.h"
#include "store/fileacc.h"
#include "support/core/clirun.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"

namespace {

TCliRun RunIndices(const TTempDir& dir, const std::vector<std::string>& args)
{
    std::vector<std::string> all{"indices"};
    all.insert(all.end(), args.begin(), args.end());
    return RunCli(dir, all);
}

// Saves a project with group 1, its clients named by letter and investigation 3 on it.
std::string SaveProject(const TTempDir& dir, int members, const std::vector<std::pair<int, int>>& positive,
                        const std::vector<std::pair<int, int>>& negative)
{
    TFileAccess store(dir.File("project.soi"));
    store.ClientGroups().Add(1, "Class");
    for (int id = 1; id <= members; ++id)
        store.Clients().Add(
            id, 1, std::string(1, static_cast<char>('A' + (id - 1) % 26)) + std::to_string(id), true, 40000);
    store.Investigations().Add({.Id = 3,
                                .ClientGroupId = 1,
                                .CriterionId = -1,
                                .CriteriaGroupId = -1,
                                .Name = "Friends \"best\"",
                                .Date = 40000,
                                .AllowAgainst = true,
                                .MaxChoices = 5});
    for (const auto& [from, to] : positive)
        store.ForChoices().Add(3, from, to);
    for (const auto& [from, to] : negative)
        store.AgainstChoices().Add(3, from, to);
    TRecordingMessages messages;
    EXPECT_TRUE(store.Save());
    return store.FileName();
}

} // namespace

TEST(CliIndices, PrintsCountsIndicesAndPairsOfTheInvestigation)
{
    TTempDir dir;
    // A <-> B mutual, C chose A; C and A dislike each other.
    const std::string file = SaveProject(dir, 3, {{1, 2}, {2, 1}, {3, 1}}, {{1, 3}, {3, 1}});
    const TCliRun run = RunIndices(dir, {file, "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    const nlohmann::json json = nlohmann::json::parse(run.out);

    EXPECT_EQ(json["id"], 3);
    EXPECT_EQ(json["name"], "Friends \"best\"");
    EXPECT_EQ(json["members"], 3);
    EXPECT_EQ(json["choices"]["1"], 3);
    EXPECT_EQ(json["choices"]["2"], 2);

    const nlohmann::json& positive = json["kinds"]["1"];
    EXPECT_EQ(positive["P"].get<double>(), 0.5);
    EXPECT_EQ(positive["Sa"].get<double>(), 4.0 / 6.0);
    EXPECT_EQ(positive["N"].get<double>(), 2.0 / 6.0);
    EXPECT_EQ(positive["J"].get<double>(), 1.0);
    EXPECT_EQ(positive["mutual_pairs"], 1);
    EXPECT_EQ(positive["one_way_pairs"], 1);
    EXPECT_EQ(positive["max_received"], 2);
    EXPECT_EQ(positive["min_received"], 0);
    EXPECT_EQ(positive["pairs"], nlohmann::json::array({"A1 - B2"}));
    ASSERT_EQ(positive["members"].size(), 3u);
    EXPECT_EQ(positive["members"][0]["id"], 1);
    EXPECT_EQ(positive["members"][0]["name"], "A1");
    EXPECT_EQ(positive["members"][0]["Pi"].get<double>(), 1.0);
    EXPECT_EQ(positive["members"][2]["Ai"].get<double>(), 0.5);
    EXPECT_EQ(positive["members"][2]["Ei"].get<double>(), 0.0);
    EXPECT_EQ(positive["members"][0]["Sti"].get<double>(), 1.5);
    EXPECT_EQ(positive["members"][0]["status"], 1);

    const nlohmann::json& negative = json["kinds"]["2"];
    EXPECT_EQ(negative["pairs"], nlohmann::json::array({"A1 - C3"}));
    EXPECT_EQ(negative["Sa"], positive["Sa"]);
    const nlohmann::json& any = json["kinds"]["3"];
    EXPECT_EQ(any["P"].get<double>(), 0.0);
    EXPECT_EQ(any["max_received"], 3);
    EXPECT_EQ(any["members"][1]["status"], 5);
    EXPECT_TRUE(any["pairs"].empty());

    ASSERT_EQ(json["counters"].size(), 3u);
    EXPECT_EQ(json["counters"][0],
              nlohmann::json::parse(R"({"id": 1, "ForOut": 1, "ForIn": 2, "AgainstOut": 1, "AgainstIn": 1,
                                        "ForMutual": 1, "AgainstMutual": 1})"));
}

TEST(CliIndices, NumbersReadBackToTheModelsDoubles)
{
    TTempDir dir;
    std::mt19937 random(5);
    const int n = 37;
    std::vector<std::pair<int, int>> positive, negative;
    std::bernoulli_distribution chosen(0.15), rejected(0.07);
    for (int from = 1; from <= n; ++from)
        for (int to = 1; to <= n; ++to)
            if (from != to && chosen(random))
                positive.emplace_back(from, to);
            else if (from != to && rejected(random))
                negative.emplace_back(from, to);
    const std::string file = SaveProject(dir, n, positive, negative);
    const TCliRun run = RunIndices(dir, {file, "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    const nlohmann::json json = nlohmann::json::parse(run.out);

    TFileAccess store(file);
    ASSERT_TRUE(store.Load());
    const TInvestigationObject model(store, 3);
    for (const TChoiceKind kind : {TChoiceKind::Positive, TChoiceKind::Negative, TChoiceKind::Any}) {
        const nlohmann::json& k = json["kinds"][std::to_string(ChoiceKindCode(kind))];
        EXPECT_EQ(k["P"].get<double>(), model.IndexP(kind));
        EXPECT_EQ(k["Sa"].get<double>(), model.IndexSa(kind));
        EXPECT_EQ(k["J"].get<double>(), model.IndexJ(kind));
        EXPECT_EQ(k["N"].get<double>(), model.IndexN(kind));
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(k["members"][i]["Pi"].get<double>(), model.IndexPi(i, kind));
            EXPECT_EQ(k["members"][i]["Ai"].get<double>(), model.IndexAi(i, kind));
            EXPECT_EQ(k["members"][i]["Ei"].get<double>(), model.IndexEi(i, kind));
            EXPECT_EQ(k["members"][i]["Sti"].get<double>(), model.IndexSti(i, kind));
        }
    }
    // Density is the share of the possible choices that were made.
    EXPECT_NEAR(json["kinds"]["1"]["P"].get<double>(), double(positive.size()) / (n * (n - 1)), 1e-15);
}

TEST(CliIndices, UnknownInvestigationAndFailures)
{
    TTempDir dir;
    const std::string file = SaveProject(dir, 2, {{1, 2}}, {});

    // An identifier no investigation has is a failure, said so, not an empty model of zeros.
    InstallBuiltCatalogue();
    const TCliRun unknown = RunIndices(dir, {file, "99"});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_TRUE(unknown.out.empty()) << unknown.out;
    EXPECT_NE(unknown.err.find(LangConv().GetText("NO_INVESTIGATION_MSG")), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("99"), std::string::npos) << unknown.err;

    WriteFileBytes(dir.File("broken.soi"), "[CLIENT_GROUPS]\r\nNOT_FIELD_NUMS=3\r\n");
    const TCliRun broken = RunIndices(dir, {dir.File("broken.soi"), "1"});
    EXPECT_EQ(broken.code, 1);
    EXPECT_TRUE(broken.out.empty());
    EXPECT_NE(broken.err.find(FileViolatedText()), std::string::npos) << broken.err;

    EXPECT_EQ(RunIndices(dir, {file}).code, 2);
    EXPECT_EQ(RunIndices(dir, {file, "x3"}).code, 2);
}
