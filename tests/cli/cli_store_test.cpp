#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "i18n/storemessages.h"
#include "store/fileacc.h"
#include "support/core/clirun.h"
#include "support/core/tempdir.h"

namespace {

const std::string kExample = std::string(TREMLOW_TEST_DATA_DIR) + "/store/example.soi";

std::string Crlf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

// The example project with one section's lines replaced by the given ones.
std::string ExampleWith(const std::string& from, const std::string& to)
{
    std::string text = ReadFileBytes(kExample);
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

class CliStore : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallBuiltCatalogue(); }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.File(name);
        WriteFileBytes(path, bytes);
        return path;
    }

    // Checks that loading fails with the catalogue text followed by the file and the given
    // details (section, line, value); returns what was printed.
    std::string ExpectLoadFailure(const std::string& bytes, const std::string& what,
                                  const std::vector<std::string>& details = {})
    {
        const std::string path = Write("bad.soi", bytes);
        const TCliRun run = RunCli(dir, {"check", path});
        EXPECT_EQ(run.code, 1) << what;
        const std::size_t head = run.err.find(FileViolatedText());
        EXPECT_NE(head, std::string::npos) << what << ": " << run.err;
        EXPECT_NE(run.err.find(path, head), std::string::npos) << what << ": " << run.err;
        for (const std::string& detail : details)
            EXPECT_NE(run.err.find(detail, head), std::string::npos) << what << ": " << detail << " in " << run.err;
        EXPECT_EQ(run.out, "") << what;
        return run.err;
    }

    TTempDir dir;
};

TEST_F(CliStore, CheckPrintsTheCountsInFileOrder)
{
    const TCliRun run = RunCli(dir, {"check", kExample});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out,
              "CLIENT_GROUPS 1\nCLIENTS 2\nCRITERY_GROUPS 0\nCRITERIES 0\nINVESTS 0\nFOR 0\nAGAINST 0\n"
              "GRAPH 0\nUSERS 1\nIS_AUTHOR 0\n");
}

TEST_F(CliStore, ResaveWritesTheExampleBackByteIdentical)
{
    const std::string out = dir.File("copy.soi");
    ASSERT_EQ(RunCli(dir, {"resave", kExample, out}).code, 0);
    EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(kExample));

    // Other order, a foreign section and lines before the first header: same project, and the
    // foreign section is gone after saving.
    const std::string text = ReadFileBytes(kExample);
    const std::size_t users = text.find("[USERS]");
    const std::string shuffled =
        "junk before\r\n[USERS]" + text.substr(users + 7, text.find("[ADDITIONAL]") - users - 7) +
        "[EXTRA]\r\nA=1\r\n" + text.substr(0, users) + text.substr(text.find("[ADDITIONAL]"));
    const std::string again = dir.File("again.soi");
    ASSERT_EQ(RunCli(dir, {"resave", Write("shuffled.soi", shuffled), again}).code, 0);
    EXPECT_EQ(ReadFileBytes(again), text);
}

TEST_F(CliStore, DumpShowsEveryTableAsJson)
{
    const std::string file =
        Write("p.soi", ExampleWith("CLIENT_GROUPS_NAME_1=Class 7b\r\nDESCRIPTION_1=NULL",
                                   "CLIENT_GROUPS_NAME_1=NULL\r\nDESCRIPTION_1=a&&&&&b"));
    const TCliRun run = RunCli(dir, {"dump", file});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    const std::vector<std::string> sections = {"CLIENT_GROUPS", "CLIENTS", "CRITERY_GROUPS",
                                               "CRITERIES",     "INVESTS", "FOR",
                                               "AGAINST",       "GRAPH",   "USERS"};
    for (const std::string& s : sections)
        EXPECT_TRUE(json.at(s).is_array()) << s;
    EXPECT_EQ(json.at("CLIENT_GROUPS")[0].at("Name"), "") << "NULL reads as empty";
    EXPECT_EQ(json.at("CLIENT_GROUPS")[0].at("Description"), "a\nb");
    const auto& client = json.at("CLIENTS")[0];
    EXPECT_EQ(client.at("Id"), 1);
    EXPECT_EQ(client.at("GroupId"), 1);
    EXPECT_EQ(client.at("FullName"), "Member A");
    EXPECT_EQ(client.at("IsMale"), false);
    EXPECT_EQ(client.at("BirthDate"), "1991-02-14");
    EXPECT_EQ(client.at("Description"), "Class leader\nJoined in May");
    EXPECT_EQ(json.at("USERS")[0].at("PasswordSet"), false);
    EXPECT_FALSE(json.at("USERS")[0].contains("Password")) << "only with --show-passwords";
    EXPECT_EQ(json.at("LoginRequired"), false);
}

TEST_F(CliStore, MissingAdditionalRequiresALogin)
{
    const std::string file = Write("p.soi", ExampleWith("[ADDITIONAL]\r\nIS_AUTHOR=0\r\n", ""));
    const TCliRun check = RunCli(dir, {"check", file});
    ASSERT_EQ(check.code, 0);
    EXPECT_TRUE(check.out.ends_with("IS_AUTHOR 1\n"));
    EXPECT_EQ(nlohmann::json::parse(RunCli(dir, {"dump", file}).out).at("LoginRequired"), true);
}

TEST_F(CliStore, LineBreakMarksRoundTrip)
{
    const std::string file = Write("p.soi", ReadFileBytes(kExample));
    const std::string out = dir.File("out.soi");
    ASSERT_EQ(RunCli(dir, {"resave", file, out}).code, 0);
    EXPECT_NE(ReadFileBytes(out).find("DESCRIPTION_1=Class leader&&&&&Joined in May\r\n"), std::string::npos);
}

TEST_F(CliStore, DamagedFilesFailWithTheMessage)
{
    const std::string example = ReadFileBytes(kExample);
    const std::string lineOfDate =
        std::to_string(std::count(example.begin(), example.begin() + example.find("14.2.1991"), '\n') + 1);
    ExpectLoadFailure(ExampleWith("14.2.1991", "31.2.1999"), "31 February",
                      {"[CLIENTS]", lineOfDate, "CLIENT_DATE_1=31.2.1999"});
    ExpectLoadFailure(ExampleWith("CLIENT_ID_2=2", "CLIENT_ID_2=two"), "non-numeric id",
                      {"[CLIENTS]", "CLIENT_ID_2=two"});
    ExpectLoadFailure(
        ExampleWith("[CRITERIES]\r\nFIELD_NUMS=4", "[CRITERIES]\r\nCRITERY_ID=0\r\nFIELD_NUMS=4"),
        "first key not FIELD_NUMS");
    ExpectLoadFailure(ExampleWith("CLIENT_ID_1=1", "CLIENT_ID_1=99999999999999999999999"), "huge number");
    ExpectLoadFailure(ExampleWith("FIELD_NUMS=6", "FIELD_NUMS=-6"), "negative column count");
    const std::string text = ReadFileBytes(kExample);
    for (std::size_t cut : {std::size_t{1}, std::size_t{100}, std::size_t{400}, text.size() / 2})
        ExpectLoadFailure(text.substr(0, cut), "truncated at " + std::to_string(cut));
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919 + 13) % 256);
    ExpectLoadFailure(binary, "binary");
    ExpectLoadFailure(Crlf({"[CLIENT_GROUPS]", "FIELD_NUMS=2147483647"}), "huge column count");

    const TCliRun missing = RunCli(dir, {"check", dir.File("does-not-exist.soi")});
    EXPECT_EQ(missing.code, 1);
}

TEST_F(CliStore, ResaveOntoAWriteProtectedFileChangesNothing)
{
    const std::string out = Write("locked.soi", "keep me\r\n");
    ASSERT_EQ(::chmod(out.c_str(), 0444), 0);
    const TCliRun run = RunCli(dir, {"resave", kExample, out});
    EXPECT_EQ(run.code, 1);
    // Not "damaged": the file and the system's reason.
    EXPECT_EQ(run.err.find(FileViolatedText()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(out), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(std::strerror(EACCES)), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(out), "keep me\r\n");
    ::chmod(out.c_str(), 0644);
}

TEST_F(CliStore, EightBitFilesAreReadAndWrittenInTheGivenCodePage)
{
    // A Western 8-bit project: "Équipe" and "Zoë" in Windows-1252.
    const std::string western =
        ExampleWith("CLIENT_GROUPS_NAME_1=Class 7b", "CLIENT_GROUPS_NAME_1=\xC9quipe");
    const std::string file = Write("western.soi", western);
    const std::string out = dir.File("out.soi");
    ASSERT_EQ(RunCli(dir, {"--codepage", "1252", "resave", file, out}).code, 0);
    EXPECT_EQ(ReadFileBytes(out), western) << "written back in its code page";

    const auto groupName = [this](const std::vector<std::string>& args) {
        const TCliRun run = RunCli(dir, args);
        EXPECT_EQ(run.code, 0) << run.err;
        return nlohmann::json::parse(run.out).at("CLIENT_GROUPS").at(0).at("Name").get<std::string>();
    };
    EXPECT_EQ(groupName({"--codepage", "windows-1252", "dump", file}), "Équipe");
    // Without the option, the setting holds; without the setting, Windows-1251.
    const char* oldConfig = std::getenv("TREMLOW_CONFIG_DIR");
    const std::string restore = oldConfig ? oldConfig : "";
    ::setenv("TREMLOW_CONFIG_DIR", dir.Path().c_str(), 1);
    EXPECT_EQ(groupName({"dump", file}), "Йquipe") << "Windows-1251 unless told otherwise";
    WriteFileBytes(dir.File("settings.json"), R"({"Software\\Tremlow": {"CodePage": 1252}})");
    EXPECT_EQ(groupName({"dump", file}), "Équipe") << "the code page of the settings";
    if (oldConfig)
        ::setenv("TREMLOW_CONFIG_DIR", restore.c_str(), 1);
    else
        ::unsetenv("TREMLOW_CONFIG_DIR");

    const TCliRun bad = RunCli(dir, {"--codepage", "65001", "dump", file});
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("65001"), std::string::npos) << bad.err;
}

TEST_F(CliStore, BadUsageExitsWithTwo)
{
    EXPECT_EQ(RunCli(dir, {"check"}).code, 2);
    EXPECT_EQ(RunCli(dir, {"resave", kExample}).code, 2);
    EXPECT_EQ(RunCli(dir, {"dump", kExample, "extra"}).code, 2);
}

} // namespace
