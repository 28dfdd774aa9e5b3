#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "store/fileacc.h"
#include "support/core/clirun.h"
#include "support/core/tempdir.h"

namespace {

const std::string kExample = std::string(TREMLOW_TEST_DATA_DIR) + "/store/example.soi";
const std::string kUpgradeData = std::string(TREMLOW_TEST_DATA_DIR) + "/upgrade/";

class CliGroup : public ::testing::Test {
protected:
    std::string Copy(const std::string& from, const std::string& name)
    {
        const std::string path = dir.File(name);
        std::filesystem::copy_file(from, path);
        return path;
    }

    TTempDir dir;
};

TEST_F(CliGroup, UpgradeConvertsOlderFilesAndLeavesCurrentOnesAlone)
{
    for (const char* name : {"old-names.soi", "old-names-cp1251.soi", "no-login-flag.soi",
                             "old-names-no-login-flag-cp1251.soi"}) {
        SCOPED_TRACE(name);
        const std::string path = Copy(kUpgradeData + name, name);
        const std::string original = ReadFileBytes(path);
        TCliRun run = RunCli(dir, {"upgrade", path});
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_NE(run.out.find(".bak"), std::string::npos) << run.out;
        EXPECT_EQ(ReadFileBytes(path + ".bak"), original);
        TFileAccess store(path);
        ASSERT_TRUE(store.Load());
        EXPECT_EQ(store.Clients().At(0).FullName, "Иванов Иван Петрович");
        EXPECT_EQ(store.Clients().At(2).FullName, "Сергей");
        EXPECT_EQ(store.ClientGroups().At(0).Description, "Школа № 5\r\n2004 год");
        EXPECT_EQ(store.LoginRequired(), std::string(name).find("no-login-flag") == std::string::npos);

        const std::string converted = ReadFileBytes(path);
        run = RunCli(dir, {"upgrade", path});
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(ReadFileBytes(path), converted);
    }
}

TEST_F(CliGroup, UpgradeRefusesWhatIsNoWholeProject)
{
    const std::string text = dir.File("notes.soi");
    WriteFileBytes(text, "just some notes\r\n");
    for (const std::string& path : {text, dir.File("missing.soi"), dir.Path().string()}) {
        const TCliRun run = RunCli(dir, {"upgrade", path});
        EXPECT_EQ(run.code, 1) << path;
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(ReadFileBytes(text), "just some notes\r\n");
    EXPECT_EQ(RunCli(dir, {"upgrade"}).code, 2);
    EXPECT_EQ(RunCli(dir, {"upgrade", text, "extra"}).code, 2);
}

TEST_F(CliGroup, AGroupMovesFromOneProjectToAnother)
{
    const std::string from = Copy(kExample, "from.soi");
    const std::string to = Copy(kExample, "to.soi");
    TFileAccess before(from);
    ASSERT_TRUE(before.Load());
    const TAClientGroup group = before.ClientGroups().At(0);
    const int32_t clients = before.CountClientsInGroup(group.Id);

    const std::string sgr = dir.File("group.sgr");
    TCliRun run = RunCli(dir, {"export-group", from, std::to_string(group.Id), sgr});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string written = ReadFileBytes(sgr);
    EXPECT_EQ(RunCli(dir, {"export-group", from, std::to_string(group.Id), sgr}).code, 1);
    EXPECT_EQ(ReadFileBytes(sgr), written);

    run = RunCli(dir, {"import-group", to, sgr});
    ASSERT_EQ(run.code, 0) << run.err;
    TFileAccess after(to);
    ASSERT_TRUE(after.Load());
    ASSERT_EQ(after.ClientGroups().Count(), before.ClientGroups().Count() + 1);
    const TAClientGroup& added = after.ClientGroups().At(after.ClientGroups().Count() - 1);
    EXPECT_EQ(added.Name, group.Name);
    EXPECT_EQ(added.Description, group.Description);
    EXPECT_EQ(after.CountClientsInGroup(added.Id), clients);
}

TEST_F(CliGroup, AnEightBitGroupFileIsReadInTheGivenCodePage)
{
    const std::string project = Copy(kExample, "p.soi");
    const std::string in = dir.File("western.sgr");
    // "Équipe" and "Zoë" in Windows-1252.
    WriteFileBytes(in, "CLIENT_GROUP\r\n\xC9quipe\r\nNULL\r\n1\r\nZo\xEB\r\nwoman\r\n2001-09-30\r\nNULL\r\n");
    const TCliRun run = RunCli(dir, {"--codepage", "1252", "import-group", project, in});
    ASSERT_EQ(run.code, 0) << run.err;
    TFileAccess after(project);
    ASSERT_TRUE(after.Load());
    const TAClientGroup& added = after.ClientGroups().At(after.ClientGroups().Count() - 1);
    EXPECT_EQ(added.Name, "Équipe");
    EXPECT_EQ(after.CountClientsInGroup(added.Id), 1);
}

TEST_F(CliGroup, BadInputIsRefusedWithTheProjectUnchanged)
{
    const std::string project = Copy(kExample, "p.soi");
    const std::string original = ReadFileBytes(project);
    const std::string bad = dir.File("bad.sgr");
    WriteFileBytes(bad, "CLIENT_GROUP\r\nG\r\nNULL\r\n1\r\nA\r\nman\r\nnot a date\r\nNULL\r\n");
    for (const std::string& in : {bad, dir.File("missing.sgr"), dir.Path().string()}) {
        const TCliRun run = RunCli(dir, {"import-group", project, in});
        EXPECT_EQ(run.code, 1) << in;
        EXPECT_FALSE(run.err.empty()) << in;
    }
    EXPECT_EQ(RunCli(dir, {"export-group", project, "12345", dir.File("x.sgr")}).code, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.sgr")));
    EXPECT_EQ(RunCli(dir, {"export-group", project, "one", dir.File("x.sgr")}).code, 2);
    EXPECT_EQ(RunCli(dir, {"import-group", project}).code, 2);
    EXPECT_EQ(ReadFileBytes(project), original);
}

} // namespace
