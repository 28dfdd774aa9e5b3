// What the commands write and refuse to write: never the input, never a locked project, whole
// outputs that every reader accepts, and messages that say what is true.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <pugixml.hpp>

#include "i18n/storemessages.h"
#include "store/fileacc.h"
#include "store/projectlock.h"
#include "support/core/clirun.h"
#include "support/core/projects.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"

namespace {

namespace fs = std::filesystem;

const std::string kUpgradeData = std::string(TREMLOW_TEST_DATA_DIR) + "/upgrade/";

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class CliSafeFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallBuiltCatalogue(); }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        WriteFileBytes(dir.File(name), bytes);
        return dir.File(name);
    }

    int32_t ChoiceCount(const std::string& project)
    {
        TFileAccess store(project);
        EXPECT_TRUE(store.Load());
        return store.ForChoices().Count() + store.AgainstChoices().Count();
    }

    TTempDir dir;
};

TEST_F(CliSafeFiles, NoCommandWritesOverItsInput)
{
    const std::string project = SaveClassProject(dir, "p.soi", true);
    const std::string original = ReadFileBytes(project);
    fs::create_hard_link(project, dir.File("hard.html"));
    fs::create_symlink("p.soi", dir.File("soft.csv"));
    const std::vector<std::vector<std::string>> runs = {
        {"report", project, "--kind", "investigation", "--id", "3", "--format", "text", "-o", project},
        {"blank", project, "--investigation", "3", "--form", "sociocard", "--format", "html", "-o",
         dir.File("hard.html")},
        {"export-matrix", project, "3", "-o", dir.File("soft.csv")},
    };
    for (const std::vector<std::string>& args : runs) {
        const TCliRun run = RunCli(dir, args);
        EXPECT_EQ(run.code, 1) << args[0];
        EXPECT_TRUE(Has(run.err, "input file")) << run.err;
        EXPECT_EQ(ReadFileBytes(project), original) << args[0];
    }
}

TEST_F(CliSafeFiles, WritersTakeTheProjectLockAndNameItsHolder)
{
    const std::string project = SaveClassProject(dir, "p.soi", false);
    const std::string list = Write("list.csv", "name\nEve\n");
    {
        TProjectLock open;
        ASSERT_TRUE(open.Acquire(project, "Tremlow"));
        const std::string before = ReadFileBytes(project);
        const TCliRun refused = RunCli(dir, {"import-roster", project, list});
        EXPECT_EQ(refused.code, 1);
        EXPECT_TRUE(Has(refused.err, "Tremlow") && Has(refused.err, std::to_string(::getpid()))) << refused.err;
        EXPECT_EQ(ReadFileBytes(project), before);
        EXPECT_EQ(RunCli(dir, {"dump", project}).code, 0) << "reading needs no lock";
    }
    WriteFileBytes(TProjectLock::LockFilePath(project), "Tremlow,someone,elsewhere,999999\n");
    const TCliRun run = RunCli(dir, {"import-roster", project, list});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(run.err, "someone") && Has(run.err, "no longer running")) << run.err;
    EXPECT_FALSE(fs::exists(TProjectLock::LockFilePath(project)));
}

TEST_F(CliSafeFiles, UpgradeKeepsEveryBackupAndRefusesAFifo)
{
    const std::string project = dir.File("old.soi");
    fs::copy_file(kUpgradeData + "old-names.soi", project);
    const std::string original = ReadFileBytes(project);
    WriteFileBytes(project + ".bak", "an earlier backup");
    const TCliRun run = RunCli(dir, {"upgrade", project});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(run.out, project + ".1.bak")) << run.out;
    EXPECT_EQ(ReadFileBytes(project + ".bak"), "an earlier backup");
    EXPECT_EQ(ReadFileBytes(project + ".1.bak"), original);

    const std::string fifo = dir.File("fifo.soi");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(RunCli(dir, {"upgrade", fifo}).code, 1);
}

TEST_F(CliSafeFiles, ChoicesImportTakesAHeaderOnlyWhenItIsOne)
{
    const std::string project = SaveClassProject(dir, "p.soi", true);
    const TCliRun misspelt = RunCli(dir, {"import-choices", project, "3", Write("a.csv", "Chooser,Chosn\nAnna,Bob\n")});
    EXPECT_EQ(misspelt.code, 1);
    EXPECT_TRUE(Has(misspelt.err, "a.csv:1: Chooser, Chosn")) << misspelt.err;
    EXPECT_EQ(ChoiceCount(project), 4);

    const std::string headerOnly = Write("b.csv", "chooser,chosen,sign\n");
    EXPECT_EQ(RunCli(dir, {"import-choices", project, "3", headerOnly}).code, 1);
    EXPECT_EQ(ChoiceCount(project), 4);
    EXPECT_EQ(RunCli(dir, {"import-choices", project, "3", headerOnly, "--allow-empty"}).code, 0);
    EXPECT_EQ(ChoiceCount(project), 0);

    EXPECT_EQ(RunCli(dir, {"import-choices", project, "3", Write("c.csv", "chosen,chooser\nAnna,Bob\n")}).code, 0);
    TFileAccess store(project);
    ASSERT_TRUE(store.Load());
    ASSERT_EQ(store.ForChoices().Count(), 1);
    EXPECT_EQ(store.ForChoices().At(0).FromId, 2) << "the header's order of columns is followed";
}

TEST_F(CliSafeFiles, ImportsKeepOnlyTextTheProjectCanHoldAndSaySo)
{
    const std::string project = SaveClassProject(dir, "p.soi", false);
    const TCliRun null = RunCli(dir, {"import-roster", project, Write("names.csv", "name\nnull\nEve\n")});
    EXPECT_EQ(null.code, 1);
    EXPECT_TRUE(Has(null.err, "names.csv:2")) << null.err;

    const TCliRun run = RunCli(
        dir, {"import-roster", project, Write("5b.csv", "name,description\nEve,a&&&&&b\neve,\nMax,\x01x\xEF\xBF\xBF\n")});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(run.err, "\"Eve\" occurs more than once (lines 2, 3)")) << run.err;
    EXPECT_TRUE(Has(run.err, "Line 4:")) << run.err;
    {
        TFileAccess store(project);
        ASSERT_TRUE(store.Load());
        const TAClient& eve = store.Clients().At(store.Clients().Count() - 3);
        EXPECT_EQ(eve.Description.find('\r'), std::string::npos) << "typed ampersands are no line break";
        EXPECT_TRUE(Has(eve.Description, "&&&&"));
        EXPECT_EQ(store.Clients().At(store.Clients().Count() - 1).Description, "\xEF\xBF\xBDx\xEF\xBF\xBD");
    }

    // A client group file with a NUL byte and an overlong name.
    const std::string group = Write("g.sgr", std::string("CLIENT_GROUP\r\nGr\0up\r\nNULL\r\n1\r\n", 30) + std::string(300, 'n') +
                                                 "\r\nman\r\n2001-02-03\r\nNULL\r\n");
    const TCliRun imported = RunCli(dir, {"import-group", project, group});
    ASSERT_EQ(imported.code, 0) << imported.err;
    EXPECT_TRUE(Has(imported.err, "g.sgr: Line 2: ") && Has(imported.err, "g.sgr: Line 5: ")) << imported.err;
    EXPECT_EQ(ReadFileBytes(project).find('\0'), std::string::npos);

    // A project in an 8-bit code page that must become UTF-8 says so.
    const std::string cp1251 = dir.File("cp1251.soi");
    fs::copy_file(kUpgradeData + "old-names-cp1251.soi", cp1251);
    ASSERT_EQ(RunCli(dir, {"upgrade", cp1251}).code, 0);
    const TCliRun widened = RunCli(dir, {"import-roster", cp1251, Write("jp.csv", "name\n\xE6\x97\xA5\xE6\x9C\xAC\n")});
    EXPECT_EQ(widened.code, 0) << widened.err;
    EXPECT_TRUE(Has(widened.err, SavedAsUtf8Text())) << widened.err;
}

TEST_F(CliSafeFiles, ExportsAreWholeAndAcceptedByTheirReaders)
{
    const std::string project = dir.File("p.soi");
    {
        TFileAccess store(project);
        store.ClientGroups().Add(1, "Class");
        store.Clients().Add(1, 1, "=1+2", true, 40000);
        store.Clients().Add(2, 1, "B\xEF\xBF\xBE\x01", false, 40000);
        store.Investigations().Add({.Id = 3, .ClientGroupId = 1, .CriterionId = -1, .CriteriaGroupId = -1,
                                    .Name = "F", .Date = 40000, .AllowAgainst = true, .MaxChoices = 2});
        store.ForChoices().Add(3, 1, 2);
        TRecordingMessages messages;
        ASSERT_TRUE(store.Save());
    }
    ASSERT_EQ(RunCli(dir, {"export-matrix", project, "3", "-o", dir.File("m.csv")}).code, 0);
    const std::string csv = ReadFileBytes(dir.File("m.csv"));
    EXPECT_TRUE(Has(csv, ",'=1+2,") && Has(csv, "\r\n'=1+2,")) << csv;
    EXPECT_TRUE(Has(csv, ",-1") || !Has(csv, "'-")) << "numbers stay numbers";

    for (const char* name : {"n.graphml", "n.gexf"}) {
        ASSERT_EQ(RunCli(dir, {"export-network", project, "3", "-o", dir.File(name)}).code, 0);
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_file(dir.File(name).c_str())) << name;
        EXPECT_FALSE(Has(ReadFileBytes(dir.File(name)), "\xEF\xBF\xBE")) << name;
    }

    // Both CSV files or neither; a folder in the way is named with the real reason.
    fs::create_directory(dir.File("x-group.csv"));
    const TCliRun pair = RunCli(dir, {"export-indices", project, "3", "-o", dir.File("x.csv")});
    EXPECT_EQ(pair.code, 1);
    EXPECT_FALSE(fs::exists(dir.File("x.csv")));
    fs::create_directory(dir.File("folder.xlsx"));
    const TCliRun book = RunCli(dir, {"export-indices", project, "3", "-o", dir.File("folder.xlsx")});
    EXPECT_EQ(book.code, 1);
    EXPECT_TRUE(Has(book.err, "Is a directory") && !Has(book.err, "Success") && !Has(book.err, "[ERROR]"))
        << book.err;
}

TEST_F(CliSafeFiles, NumbersForProgramsUseAPointAndReportsTheLocaleSeparator)
{
    const std::string project = SaveClassProject(dir, "p.soi", true);
    const char* env = std::getenv("LC_ALL");
    const std::string savedEnv = env ? env : "";
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    const TCliRun report = RunCli(dir, {"report", project, "--kind", "investigation", "--id", "3", "--format",
                                        "text", "-o", dir.File("r.txt")});
    const TCliRun csv = RunCli(dir, {"export-indices", project, "3", "-o", dir.File("i.csv")});
    if (env)
        ::setenv("LC_ALL", savedEnv.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
    ASSERT_EQ(report.code, 0) << report.err;
    ASSERT_EQ(csv.code, 0) << csv.err;
    EXPECT_TRUE(Has(ReadFileBytes(dir.File("r.txt")), "0,667")) << ReadFileBytes(dir.File("r.txt"));
    EXPECT_TRUE(Has(ReadFileBytes(dir.File("i.csv")), ",0.6666666666666666,"));
}

TEST_F(CliSafeFiles, MessagesSayWhatIsTrue)
{
    const TCliRun missing = RunCli(dir, {"check", dir.File("missing.soi")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(Has(missing.err, "does not exist") && !Has(missing.err, "damaged")) << missing.err;

    const std::string project = SaveClassProject(dir, "p.soi", false);
    const TCliRun utf16 =
        RunCli(dir, {"import-roster", project, Write("u.csv", std::string("\xFF\xFEn\0a\0m\0e\0\n\0", 12))});
    EXPECT_EQ(utf16.code, 1);
    EXPECT_TRUE(Has(utf16.err, "UTF-16") && Has(utf16.err, "UTF-8")) << utf16.err;

    EXPECT_TRUE(Has(RunCli(dir, {"--help"}).out, "do not ask for the login"));
    {
        TFileAccess store(project);
        ASSERT_TRUE(store.Load());
        store.Users().Add(1, "teacher", "secret");
        TRecordingMessages messages;
        ASSERT_TRUE(store.Save());
    }
    EXPECT_FALSE(Has(RunCli(dir, {"dump", project}).out, "secret"));
    EXPECT_TRUE(Has(RunCli(dir, {"dump", project, "--show-passwords"}).out, "secret"));
}

} // namespace
