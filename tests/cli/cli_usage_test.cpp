#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "i18n/langconv.h"
#include "support/core/clirun.h"
#include "support/core/tempdir.h"
#include "util/text.h"

namespace {

const char* const kCommands[] = {"check", "dump", "export-group", "import-group", "indices", "resave", "upgrade"};

TEST(CliUsage, HelpListsEverySubcommandAndEachDescribesItsArguments)
{
    TTempDir dir;
    const TCliRun help = RunCli(dir, {"--help"});
    ASSERT_EQ(help.code, 0) << help.err;
    for (const char* name : kCommands)
        EXPECT_NE(help.out.find(name), std::string::npos) << name;

    for (const char* name : kCommands) {
        const TCliRun sub = RunCli(dir, {name, "--help"});
        EXPECT_EQ(sub.code, 0) << name;
        EXPECT_NE(sub.out.find("FILE"), std::string::npos) << name << ":\n" << sub.out;
        EXPECT_NE(sub.out.find("project file"), std::string::npos) << name;
    }
    EXPECT_NE(RunCli(dir, {"indices", "--help"}).out.find("INVEST_ID"), std::string::npos);

    const TCliRun version = RunCli(dir, {"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("tremlow-cli ", 0), 0u) << version.out;
}

TEST(CliUsage, BadUsageExitsWithTwoAndSaysWhy)
{
    TTempDir dir;
    const TCliRun none = RunCli(dir, {});
    EXPECT_EQ(none.code, 2);
    EXPECT_NE(none.err.find("check"), std::string::npos) << "the help goes to stderr";

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"frobnicate"}, {"check", "--no-such-option", "a.soi"}, {"--no-such-option"},
          {"indices", "a.soi", "99999999999"}, {"indices", "a.soi", "3.5"}}) {
        const TCliRun run = RunCli(dir, args);
        EXPECT_EQ(run.code, 2) << args.front();
        EXPECT_FALSE(run.err.empty()) << args.front();
        EXPECT_TRUE(run.out.empty()) << args.front();
    }
    // A mistyped command is named in the message, also after a global option.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"frobnicate", "a.soi"}, {"--codepage", "1252", "frobnicate"}}) {
        const TCliRun run = RunCli(dir, args);
        EXPECT_EQ(run.code, 2);
        EXPECT_NE(run.err.find("unknown command: frobnicate"), std::string::npos) << run.err;
    }
}

// With --language the tools' own messages (usage errors, summaries) come from that language's file.
TEST(CliUsage, MessagesComeInTheChosenLanguage)
{
    TTempDir dir;
    const TDlgLangConverter russian(std::string(TREMLOW_RUNTIME_DIR) + "/languages/ru/language.dat");
    const TCliRun unknown = RunCli(dir, {"--language", "ru", "frobnicate"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find(FillPlaceholders(russian.GetText("CLI_UNKNOWN_COMMAND"), {"frobnicate"})),
              std::string::npos)
        << unknown.err;
    const TCliRun missing = RunCli(dir, {"--language", "ru", "check"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.err, FillPlaceholders(russian.GetText("CLI_ARGUMENT_REQUIRED"), {"FILE"}) + "\n" +
                               FillPlaceholders(russian.GetText("CLI_MORE_HELP"), {"--help"}) + "\n");

    const std::string project = dir.File("class.soi");
    std::filesystem::copy_file(TREMLOW_SOURCE_DATA_DIR "/examples/school-class.soi", project);
    const TCliRun upgrade = RunCli(dir, {"--language=ru", "upgrade", project});
    EXPECT_EQ(upgrade.code, 0) << upgrade.err;
    EXPECT_EQ(upgrade.out, FillPlaceholders(russian.GetText("CLI_UPGRADE_CURRENT"), {project}) + "\n");
}

} // namespace
