// tremlow-cli compare and the comparison report: the JSON against the same computation in the
// core, and the refusals with their exit codes.
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "analysis/waves.h"
#include "store/fileacc.h"
#include "support/core/clirun.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"

namespace {

class CliCompare : public ::testing::Test {
protected:
    void SetUp() override { setenv("TREMLOW_CONFIG_DIR", dir.Path().c_str(), 1); }
    void TearDown() override { unsetenv("TREMLOW_CONFIG_DIR"); }

    // Three waves of random choices: 1 and 2 on one class, 3 on a class that shares some pupils.
    std::string SaveProject()
    {
        TFileAccess store(dir.File("waves.soi"));
        std::mt19937 random(5);
        const auto pick = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
        store.ClientGroups().Add(1, "Class");
        store.ClientGroups().Add(2, "Class, reshuffled");
        for (int id = 1; id <= 12; ++id)
            store.Clients().Add(id, 1, "Pupil " + std::to_string(id), true, 40000);
        for (int id = 5; id <= 16; ++id)
            store.Clients().Add(id, 2, "Pupil " + std::to_string(id), true, 40000);
        for (int invest = 1; invest <= 3; ++invest) {
            store.Investigations().Add({.Id = invest,
                                        .ClientGroupId = invest == 3 ? 2 : 1,
                                        .CriterionId = -1,
                                        .CriteriaGroupId = -1,
                                        .Name = "Wave " + std::to_string(invest),
                                        .Date = 40000.0 + invest,
                                        .AllowAgainst = true,
                                        .MaxChoices = 3});
            const int lo = invest == 3 ? 5 : 1;
            for (int from = lo; from < lo + 12; ++from) {
                for (int k = 0; k < 3; ++k) {
                    const int to = pick(lo, lo + 11);
                    if (to == from)
                        continue;
                    k == 2 ? store.AgainstChoices().Add(invest, from, to) : store.ForChoices().Add(invest, from, to);
                }
            }
        }
        TRecordingMessages messages;
        EXPECT_TRUE(store.Save());
        return store.FileName();
    }

    TTempDir dir;
};

nlohmann::json Optional(const std::optional<double>& value)
{
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

TEST_F(CliCompare, JsonAgreesWithTheCore)
{
    const std::string file = SaveProject();
    const TCliRun run = RunCli(dir, {"compare", file, "1", "2", "3", "--format", "json"});
    ASSERT_EQ(run.code, 0) << run.err;
    const nlohmann::json json = nlohmann::json::parse(run.out);

    TFileAccess store(file);
    TRecordingMessages messages;
    ASSERT_TRUE(store.Load());
    const TWaveSeries series = CompareInvestigations(store, {1, 2, 3});
    ASSERT_EQ(json["waves"], (nlohmann::json{1, 2, 3}));
    ASSERT_EQ(json["pairs"].size(), 2u);
    for (std::size_t p = 0; p < 2; ++p) {
        const TWaveComparison& c = series.Pairs[p];
        const nlohmann::json& j = json["pairs"][p];
        EXPECT_EQ(j["from"], c.FromId);
        EXPECT_EQ(j["to"], c.ToId);
        EXPECT_EQ(j["common"].get<std::vector<int32_t>>(), c.Common);
        EXPECT_EQ(j["joined"].size(), c.Joined.size());
        EXPECT_EQ(j["left"].size(), c.Left.size());
        EXPECT_EQ(j["choices"]["positive"]["new"], c.Choices[0].New);
        EXPECT_EQ(j["choices"]["negative"]["dropped"], c.Choices[1].Dropped);
        EXPECT_EQ(j["mutual"]["positive"]["formed"], c.Mutual[0].Formed);
        EXPECT_EQ(j["mutual"]["negative"]["broken"], c.Mutual[1].Broken);
        EXPECT_EQ(j["spearman"], Optional(c.Spearman));
        EXPECT_EQ(j["kappa"], Optional(c.Kappa));
        EXPECT_EQ(j["kept_share"], Optional(c.KeptShare));
        EXPECT_EQ(j["transitions"]["average"]["popular"], c.Transitions[4][0]);
        EXPECT_EQ(j["indices"]["to"]["J"], c.ToIndices[2]);
        ASSERT_EQ(j["members"].size(), c.Members.size());
        for (std::size_t i = 0; i < c.Members.size(); ++i) {
            const nlohmann::json& m = j["members"][i];
            EXPECT_EQ(m["id"], c.Members[i].ClientId);
            EXPECT_EQ(m["jaccard"], Optional(c.Members[i].Jaccard));
            EXPECT_EQ(m["received"]["negative"][1], c.Members[i].AgainstIn[1]);
            EXPECT_EQ(m["status"][0], StatusGroupWord(*c.Members[i].Status[0]));
        }
    }
    // The reshuffled class: joined and left pupils are named by id.
    EXPECT_EQ(json["pairs"][1]["joined"], (nlohmann::json{13, 14, 15, 16}));
    EXPECT_EQ(json["pairs"][1]["left"], (nlohmann::json{1, 2, 3, 4}));
}

TEST_F(CliCompare, RefusalsAndTheReport)
{
    const std::string file = SaveProject();
    const auto refused = [&](const std::vector<std::string>& args, int code) {
        const TCliRun run = RunCli(dir, args);
        EXPECT_EQ(run.code, code) << args.back();
        if (code == 1) {
            EXPECT_FALSE(run.err.empty());
        }
        EXPECT_TRUE(run.out.empty());
    };
    refused({"compare", file, "1", "9"}, 1);  // no such investigation
    refused({"compare", file, "1", "1"}, 1);  // the same one twice
    refused({"compare", file, "1"}, 1);       // a single wave
    refused({"compare", file}, 2);
    refused({"compare", file, "1", "2", "--format", "xml"}, 2);
    refused({"report", file, "--kind", "comparison", "--id", "1", "--format", "text", "-o", dir.File("r.txt")}, 2);

    // Waves with no common member: group 2 without the shared pupils.
    {
        TFileAccess store(file);
        TRecordingMessages messages;
        ASSERT_TRUE(store.Load());
        store.ClientGroups().Add(3, "Another class");
        store.Clients().Add(40, 3, "Stranger", true, 40000);
        store.Investigations().Add({.Id = 4, .ClientGroupId = 3, .CriterionId = -1, .CriteriaGroupId = -1,
                                    .Name = "Elsewhere", .Date = 40000, .AllowAgainst = true, .MaxChoices = 3});
        ASSERT_TRUE(store.Save());
    }
    refused({"compare", file, "1", "4"}, 1);

    const TCliRun text = RunCli(dir, {"compare", file, "1", "2"});
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_NE(text.out.find("Wave 1 \u2192 Wave 2"), std::string::npos) << text.out;

    const TCliRun report = RunCli(dir, {"report", file, "--kind", "comparison", "--id", "1", "--with", "2",
                                        "--with", "3", "--format", "html", "-o", dir.File("r.html")});
    ASSERT_EQ(report.code, 0) << report.err;
    std::ifstream in(dir.File("r.html"));
    std::stringstream html;
    html << in.rdbuf();
    EXPECT_NE(html.str().find("Wave 2 \u2192 Wave 3"), std::string::npos);
    EXPECT_EQ(RunCli(dir, {"report", file, "--kind", "comparison", "--id", "1", "--with", "1", "--format", "text",
                           "-o", dir.File("r.txt")})
                  .code,
              1);
}

} // namespace
