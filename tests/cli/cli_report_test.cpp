// tremlow-cli report and blank: the same files as the builders, exit codes and failure reasons.
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/regs.h"
#include "support/core/clirun.h"
#include "support/core/tempdir.h"

namespace {

std::string CaseFile(const std::string& name)
{
    return std::string(TREMLOW_TEST_DATA_DIR) + "/reports/" + name;
}

class CliReport : public ::testing::Test {
protected:
    // Settings from an empty folder of this test: the report parts in their default order.
    void SetUp() override { ::setenv("TREMLOW_CONFIG_DIR", m_dir.File("config").c_str(), 1); }
    void TearDown() override { ::unsetenv("TREMLOW_CONFIG_DIR"); }

    TTempDir m_dir;
    std::string m_project = CaseFile("sample/project.soi");
};

TEST_F(CliReport, WritesTheSameFilesAsTheBuilders)
{
    const std::vector<std::vector<std::string>> runs = {
        {"report", m_project, "--kind", "investigation", "--id", "1", "--format", "html", "-o", m_dir.File("i.html")},
        {"report", m_project, "--kind", "client", "--id", "1", "--group", "1", "--format", "text", "-o",
         m_dir.File("c.txt")},
        {"report", m_project, "--kind", "criteria-group", "--id", "2", "--format", "text", "-o", m_dir.File("g.txt")},
        {"blank", m_project, "--investigation", "3", "--form", "sociomatrix", "--format", "html", "-o",
         m_dir.File("m.html")},
        {"blank", m_project, "--investigation", "1", "--form", "sociocard", "--format", "text", "-o",
         m_dir.File("s.txt")},
        {"report", m_project, "--kind", "investigation", "--id", "1", "--format", "word", "-o", m_dir.File("i.docx")},
    };
    for (const auto& args : runs) {
        const TCliRun run = RunCli(m_dir, args);
        EXPECT_EQ(run.code, 0) << args[0] << ' ' << args[3] << '\n' << run.err;
    }
    EXPECT_EQ(ReadFileBytes(m_dir.File("i.html")), ReadFileBytes(CaseFile("sample/investigation.html")));
    EXPECT_EQ(ReadFileBytes(m_dir.File("g.txt")), ReadFileBytes(CaseFile("sample/criteria-group.txt")));
    EXPECT_EQ(ReadFileBytes(m_dir.File("m.html")), ReadFileBytes(CaseFile("sample/sociomatrix.html")));
    EXPECT_EQ(ReadFileBytes(m_dir.File("s.txt")), ReadFileBytes(CaseFile("sample/sociocard.txt")));
    // The client report counts the age to today, so only its start is fixed.
    EXPECT_EQ(ReadFileBytes(m_dir.File("c.txt")).substr(0, 60), ReadFileBytes(CaseFile("sample/client.txt")).substr(0, 60));
    EXPECT_EQ(ReadFileBytes(m_dir.File("i.docx")).substr(0, 2), "PK");
}

TEST_F(CliReport, TheStoredPartOrderShapesTheInvestigationReport)
{
    TRegs regs;
    regs.Load();
    regs.Report.PartsOrder = "RB";
    regs.Report.OffParts = "A";
    ASSERT_TRUE(regs.Save());
    const TCliRun run = RunCli(m_dir, {"report", m_project, "--kind", "investigation", "--id", "1", "--format",
                                       "text", "-o", m_dir.File("ordered.txt")});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string text = ReadFileBytes(m_dir.File("ordered.txt"));
    const std::size_t rejection = text.find("MEMBERS BY REJECTION");
    const std::size_t choices = text.find("TABLE OF CHOICES");
    const std::size_t groupIndices = text.find("GROUP INDICES, POSITIVE CHOICES");
    ASSERT_NE(rejection, std::string::npos);
    EXPECT_LT(rejection, choices);
    EXPECT_LT(choices, groupIndices);
    EXPECT_EQ(text.find("INDICES USED IN THIS REPORT"), std::string::npos);
}

TEST_F(CliReport, BadUsageAndFailuresHaveTheirOwnExitCodes)
{
    const std::string out = m_dir.File("x.txt");
    const std::vector<std::pair<std::vector<std::string>, int>> runs = {
        {{"report", m_project, "--kind", "client", "--id", "1", "--format", "text", "-o", out}, 2}, // no group
        {{"report", m_project, "--kind", "planet", "--id", "1", "--format", "text", "-o", out}, 2},
        {{"report", m_project, "--kind", "investigation", "--id", "x", "--format", "text", "-o", out}, 2},
        {{"report", m_project, "--kind", "investigation", "--id", "1", "--format", "pdf", "-o", out}, 2},
        {{"report", m_project, "--kind", "investigation", "--id", "1", "--format", "text"}, 2},
        {{"blank", m_project, "--investigation", "1", "--form", "card", "--format", "text", "-o", out}, 2},
        {{"report", m_project, "--kind", "investigation", "--id", "99", "--format", "text", "-o", out}, 1},
        {{"blank", m_project, "--investigation", "99", "--form", "sociocard", "--format", "word", "-o", out}, 1},
        {{"report", m_dir.File("missing.soi"), "--kind", "client-group", "--id", "1", "--format", "text", "-o", out}, 1},
        {{"report", m_project, "--kind", "client-group", "--id", "1", "--format", "text", "-o",
          m_dir.File("no/dir/x.txt")},
         1},
    };
    for (const auto& [args, code] : runs) {
        const TCliRun run = RunCli(m_dir, args);
        EXPECT_EQ(run.code, code) << args[0] << ' ' << args[3] << ' ' << args[5];
        EXPECT_FALSE(run.err.empty()) << args[0] << ' ' << args[3];
    }
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
