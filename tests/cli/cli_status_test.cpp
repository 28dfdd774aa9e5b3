// tremlow-cli status: JSON and CSV against an independent computation, the thresholds from the
// settings, and the refusals.
#include <cmath>
#include <cstdlib>
#include <random>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "store/fileacc.h"
#include "support/core/clirun.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"

namespace {

struct TCase {
    int members = 0;
    std::vector<std::pair<int, int>> positive;
    std::vector<std::pair<int, int>> negative;
};

std::string Save(const TTempDir& dir, const TCase& c, bool allowAgainst = true)
{
    TFileAccess store(dir.File("project.soi"));
    store.ClientGroups().Add(1, "Class");
    for (int id = 1; id <= c.members; ++id)
        store.Clients().Add(id, 1, "Pupil, " + std::to_string(id), id % 2 == 0, 40000);
    store.Investigations().Add({.Id = 4,
                                .ClientGroupId = 1,
                                .CriterionId = -1,
                                .CriteriaGroupId = -1,
                                .Name = "Play",
                                .Date = 40000,
                                .AllowAgainst = allowAgainst,
                                .MaxChoices = c.members});
    for (const auto& [from, to] : c.positive)
        store.ForChoices().Add(4, from, to);
    for (const auto& [from, to] : c.negative)
        store.AgainstChoices().Add(4, from, to);
    TRecordingMessages messages;
    EXPECT_TRUE(store.Save());
    return store.FileName();
}

// Each member chooses some others at random, at most once each, never itself.
TCase RandomCase(std::mt19937& random)
{
    TCase c;
    c.members = std::uniform_int_distribution<int>(3, 30)(random);
    std::uniform_int_distribution<int> member(1, c.members);
    for (int from = 1; from <= c.members; ++from) {
        std::set<int> chosen;
        const int count = std::uniform_int_distribution<int>(0, 4)(random);
        for (int k = 0; k < count; ++k) {
            const int to = member(random);
            if (to == from || !chosen.insert(to).second)
                continue;
            (k % 2 ? c.negative : c.positive).emplace_back(from, to);
        }
    }
    if (c.negative.empty())
        c.negative.emplace_back(1, 2);
    return c;
}

std::vector<double> Standardised(const std::vector<double>& v)
{
    double mean = 0;
    for (double x : v)
        mean += x / static_cast<double>(v.size());
    double var = 0;
    for (double x : v)
        var += (x - mean) * (x - mean) / static_cast<double>(v.size());
    std::vector<double> out;
    for (double x : v)
        out.push_back(var < 1e-18 ? 0 : (x - mean) / std::sqrt(var));
    return out;
}

class CliStatus : public ::testing::Test {
protected:
    void SetUp() override { setenv("TREMLOW_CONFIG_DIR", dir.Path().c_str(), 1); }
    void TearDown() override { unsetenv("TREMLOW_CONFIG_DIR"); }
    TTempDir dir;
};

TEST_F(CliStatus, AgreesWithAnIndependentComputation)
{
    std::mt19937 random(7);
    for (int round = 0; round < 12; ++round) {
        const TCase c = RandomCase(random);
        const std::string file = Save(dir, c);
        const TCliRun run = RunCli(dir, {"status", file, "4"});
        ASSERT_EQ(run.code, 0) << run.err;
        const nlohmann::json json = nlohmann::json::parse(run.out);

        std::vector<double> lm(static_cast<std::size_t>(c.members));
        std::vector<double> ll(lm.size());
        for (const auto& [from, to] : c.positive)
            lm[static_cast<std::size_t>(to - 1)] += 1;
        for (const auto& [from, to] : c.negative)
            ll[static_cast<std::size_t>(to - 1)] += 1;
        const std::vector<double> zx = Standardised(lm);
        const std::vector<double> zy = Standardised(ll);
        std::vector<double> sp;
        std::vector<double> si;
        for (std::size_t i = 0; i < lm.size(); ++i) {
            sp.push_back(zx[i] - zy[i]);
            si.push_back(zx[i] + zy[i]);
        }
        const std::vector<double> zsp = Standardised(sp);
        const std::vector<double> zsi = Standardised(si);

        ASSERT_EQ(json["members"].size(), lm.size());
        for (std::size_t i = 0; i < lm.size(); ++i) {
            const nlohmann::json& m = json["members"][i];
            EXPECT_EQ(m["id"], static_cast<int>(i) + 1);
            EXPECT_EQ(m["LM"].get<double>(), lm[i]);
            EXPECT_EQ(m["LL"].get<double>(), ll[i]);
            EXPECT_NEAR(m["zLM"].get<double>(), zx[i], 1e-9);
            EXPECT_NEAR(m["zLL"].get<double>(), zy[i], 1e-9);
            EXPECT_NEAR(m["zSP"].get<double>(), zsp[i], 1e-9);
            EXPECT_NEAR(m["zSI"].get<double>(), zsi[i], 1e-9);
            // The group from the plain rules, where no score lies on a cut-off.
            const double a = zx[i], b = zy[i], p = zsp[i], s = zsi[i];
            bool borderline = false;
            for (double v : {a, b, p, s})
                for (double cut : {-1.0, -0.5, 0.0, 0.5, 1.0})
                    borderline = borderline || std::fabs(v - cut) < 1e-9;
            if (borderline)
                continue;
            std::string group = "unclassified";
            if (p > 1 && a > 0 && b < 0)
                group = "popular";
            else if (p < -1 && a < 0 && b > 0)
                group = "rejected";
            else if (s < -1 && a < 0 && b < 0)
                group = "neglected";
            else if (s > 1 && a > 0 && b > 0)
                group = "controversial";
            else if (std::fabs(p) < 0.5 && std::fabs(s) < 0.5)
                group = "average";
            EXPECT_EQ(m["group"], group) << "round " << round << " member " << i;
        }
    }
}

TEST_F(CliStatus, CsvThresholdsAndRefusals)
{
    // 1 chosen by all, 2 rejected by all.
    const TCase c{4, {{2, 1}, {3, 1}, {4, 1}}, {{1, 2}, {3, 2}, {4, 2}}};
    const std::string file = Save(dir, c);
    TCliRun run = RunCli(dir, {"status", file, "4", "--format", "csv"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("\r\n")), "id,name,LM,LL,zLM,zLL,zSP,zSI,group");
    EXPECT_NE(run.out.find("\r\n1,\"Pupil, 1\",3,0,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(",popular\r\n"), std::string::npos);
    EXPECT_NE(run.out.find(",rejected\r\n"), std::string::npos);

    // A stricter cut-off from the settings leaves the popular member unclassified.
    WriteFileBytes(dir.File("settings.json"),
                   R"({"Software\\Tremlow\\Status": {"ExtremeThreshold": 300, "AverageThreshold": 50}})");
    run = RunCli(dir, {"status", file, "4"});
    ASSERT_EQ(run.code, 0) << run.err;
    const nlohmann::json json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["thresholds"]["extreme"], 3.0);
    EXPECT_EQ(json["members"][0]["group"], "unclassified");
    EXPECT_EQ(json["counts"]["popular"], 0);

    // No status groups without negative choices or with two members; unknown ids and bad usage.
    EXPECT_EQ(RunCli(dir, {"status", Save(dir, c, false), "4"}).code, 1);
    run = RunCli(dir, {"status", Save(dir, {2, {{1, 2}}, {{2, 1}}}), "4"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("three"), std::string::npos) << run.err;
    run = RunCli(dir, {"status", file, "77"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("77"), std::string::npos);
    EXPECT_EQ(RunCli(dir, {"status", file, "4", "--format", "xml"}).code, 2);
    EXPECT_EQ(RunCli(dir, {"status", file}).code, 2);
}

} // namespace
