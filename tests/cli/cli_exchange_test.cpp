// The import and export subcommands: project saved only on success, round trip of the sociomatrix,
// refused rows named, hostile files refused without a change.
#include <string>

#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/investigationobj.h"
#include "store/fileacc.h"
#include "support/core/clirun.h"
#include "support/core/projects.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"

namespace {

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(CliExchange, ImportRosterCreatesTheGroupOrNothing)
{
    const TTempDir dir;
    const std::string file = SaveClassProject(dir, "p.soi", false);
    WriteFileBytes(dir.File("5a.csv"), "\xEF\xBB\xBFSurname;Given name;Sex\r\nSmith;Anna;f\r\nBrown;Bob;m\r\n");
    const TCliRun run = RunCli(dir, {"import-roster", file, dir.File("5a.csv")});
    ASSERT_EQ(run.code, 0) << run.err;
    {
        TFileAccess store(file);
        ASSERT_TRUE(store.Load());
        ASSERT_TRUE(store.ClientGroups().FindById(2));
        EXPECT_EQ(store.ClientGroups().GetName(), "5a");
        EXPECT_EQ(store.CountClientsInGroup(2), 2);
    }
    const std::string before = ReadFileBytes(file);
    WriteFileBytes(dir.File("bad.csv"), "name,sex\nCarl,m\nDora,?\n");
    const TCliRun refused = RunCli(dir, {"import-roster", file, dir.File("bad.csv"), "--group", "6b"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("bad.csv:3:"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadFileBytes(file), before);
}

TEST(CliExchange, ExportedMatrixImportsBackIntoAClearedCopy)
{
    const TTempDir dir;
    const std::string source = SaveClassProject(dir, "source.soi", true);
    const std::string copy = SaveClassProject(dir, "copy.soi", false);
    const TCliRun exported = RunCli(dir, {"export-matrix", source, "3", "--kind", "3", "-o", dir.File("m.csv")});
    ASSERT_EQ(exported.code, 0) << exported.err;
    const TCliRun imported = RunCli(dir, {"import-choices", copy, "3", dir.File("m.csv")});
    ASSERT_EQ(imported.code, 0) << imported.err;
    TFileAccess a(source);
    TFileAccess b(copy);
    ASSERT_TRUE(a.Load());
    ASSERT_TRUE(b.Load());
    const TInvestigationObject ma(a, 3);
    const TInvestigationObject mb(b, 3);
    EXPECT_EQ(ma.ForCount(), mb.ForCount());
    EXPECT_EQ(ma.AgainstCount(), mb.AgainstCount());
    for (int32_t from = 1; from <= 4; ++from) {
        for (int32_t to = 1; to <= 4; ++to) {
            EXPECT_EQ(ma.ForChoiceExists(from, to), mb.ForChoiceExists(from, to));
            EXPECT_EQ(ma.AgainstChoiceExists(from, to), mb.AgainstChoiceExists(from, to));
        }
    }
    EXPECT_EQ(mb.ClientCount(), 4); // Dan, who chose no one, is still a member
}

TEST(CliExchange, RefusedChoicesChangeNothingUnlessSkipped)
{
    const TTempDir dir;
    const std::string file = SaveClassProject(dir, "p.soi", true);
    const std::string before = ReadFileBytes(file);
    WriteFileBytes(dir.File("c.csv"), "chooser,chosen,sign\nDan,Anna,+\nDan,Dan,+\nDan,Zed,-\n");
    const TCliRun strict = RunCli(dir, {"import-choices", file, "3", dir.File("c.csv")});
    EXPECT_EQ(strict.code, 1);
    EXPECT_NE(strict.err.find("c.csv:3:"), std::string::npos) << strict.err;
    EXPECT_NE(strict.err.find("c.csv:4:"), std::string::npos) << strict.err;
    EXPECT_EQ(ReadFileBytes(file), before);

    const TCliRun skipping = RunCli(dir, {"import-choices", file, "3", dir.File("c.csv"), "--skip-refused"});
    EXPECT_EQ(skipping.code, 0) << skipping.err;
    TFileAccess store(file);
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.CountForChoices(3), 1);
    EXPECT_EQ(store.CountAgainstChoices(3), 0);
}

TEST(CliExchange, HostileFilesAreRefusedWithAMessage)
{
    const TTempDir dir;
    const std::string file = SaveClassProject(dir, "p.soi", true);
    const std::string before = ReadFileBytes(file);
    std::string wide;
    for (int i = 0; i < 10000; ++i)
        wide += "x,";
    const std::pair<const char*, std::string> cases[] = {
        {"nul.csv", std::string("Anna,Bob\n\0\0\0", 12)},
        {"quote.csv", "Anna,\"Bob\nCleo,Dan\n"},
        {"wide.csv", wide + "\n"},
        {"huge.csv", std::string(50u * 1024u * 1024u, 'a')},
    };
    for (const auto& [name, bytes] : cases) {
        WriteFileBytes(dir.File(name), bytes);
        for (const char* command : {"import-choices", "import-roster"}) {
            std::vector<std::string> args{command, file};
            if (std::string(command) == "import-choices")
                args.push_back("3");
            args.push_back(dir.File(name));
            const TCliRun run = RunCli(dir, args);
            EXPECT_EQ(run.code, 1) << name << ' ' << command;
            EXPECT_NE(run.err.find(name), std::string::npos) << run.err;
            EXPECT_EQ(ReadFileBytes(file), before) << name;
        }
    }
}

TEST(CliExchange, ExportsWriteEveryFormat)
{
    const TTempDir dir;
    const std::string file = SaveClassProject(dir, "p.soi", true);
    for (const char* name : {"n.graphml", "n.gexf", "n.net", "n.csv"}) {
        const TCliRun run = RunCli(dir, {"export-network", file, "3", "-o", dir.File(name)});
        ASSERT_EQ(run.code, 0) << name << run.err;
    }
    EXPECT_EQ(Count(ReadFileBytes(dir.File("n.graphml")), "<node "), 4u);
    EXPECT_EQ(Count(ReadFileBytes(dir.File("n.graphml")), "<edge "), 4u);
    EXPECT_EQ(Count(ReadFileBytes(dir.File("n.gexf")), "<edge "), 4u);
    EXPECT_EQ(Count(ReadFileBytes(dir.File("n.net")), "\r\n"), 1u + 4u + 1u + 4u);
    EXPECT_EQ(Count(ReadFileBytes(dir.File("n.csv")), "\r\n"), 5u);

    const TCliRun xlsx = RunCli(dir, {"export-indices", file, "3", "-o", dir.File("i.xlsx")});
    ASSERT_EQ(xlsx.code, 0) << xlsx.err;
    EXPECT_EQ(ReadFileBytes(dir.File("i.xlsx")).rfind("PK", 0), 0u);
    const TCliRun csv = RunCli(dir, {"export-indices", file, "3", "-o", dir.File("i.csv")});
    ASSERT_EQ(csv.code, 0) << csv.err;
    EXPECT_EQ(Count(ReadFileBytes(dir.File("i.csv")), "\r\n"), 5u);
    EXPECT_EQ(Count(ReadFileBytes(dir.File("i-group.csv")), "\r\n"), 5u);

    const TCliRun unknown = RunCli(dir, {"export-network", file, "3", "-o", dir.File("n.txt")});
    EXPECT_EQ(unknown.code, 1);
    // A table under another name (an old Excel .xls, a typo) is bad usage, and nothing is written.
    for (const char* command : {"export-matrix", "export-indices"}) {
        const TCliRun other = RunCli(dir, {command, file, "3", "-o", dir.File("t.xls")});
        EXPECT_EQ(other.code, 2) << command;
        EXPECT_NE(other.err.find(".csv or .xlsx"), std::string::npos) << other.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("t.xls"))) << command;
    }
    EXPECT_EQ(RunCli(dir, {"export-matrix", file, "3", "-o", dir.File("M.XLSX")}).code, 0);
    const TCliRun missing = RunCli(dir, {"export-indices", file, "9", "-o", dir.File("x.csv")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("9"), std::string::npos);
}

} // namespace
