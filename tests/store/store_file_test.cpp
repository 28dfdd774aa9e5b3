#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "i18n/storemessages.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "store/fileio.h"
#include "util/codepage.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"

namespace {

const std::string kDataDir = std::string(TREMLOW_TEST_DATA_DIR) + "/store";

// Joins lines with CR LF, the way project files are written.
std::string Crlf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

// Empty sections for every table, in file order, then ADDITIONAL.
std::vector<std::string> EmptySection(const std::string& name)
{
    if (name == "CLIENT_GROUPS")
        return {"[CLIENT_GROUPS]", "FIELD_NUMS=3", "CLIENT_GROUPS_ID=0", "CLIENT_GROUPS_NAME=0",
                "DESCRIPTION=0"};
    if (name == "CLIENTS")
        return {"[CLIENTS]",        "FIELD_NUMS=6",  "CLIENT_ID=0",  "CLIENT_GROUP_ID=0",
                "CLIENT_FULLNAM=0", "CLIENT_DATE=0", "CLIENT_GEN=0", "DESCRIPTION=0"};
    if (name == "CRITERY_GROUPS")
        return {"[CRITERY_GROUPS]", "FIELD_NUMS=3", "CRITERY_GROUPS_ID=0", "CRITERY_GROUPS_NAME=0",
                "DESCRIPTION=0"};
    if (name == "CRITERIES")
        return {"[CRITERIES]",        "FIELD_NUMS=4",  "CRITERY_ID=0",
                "CRITERY_GROUP_ID=0", "CRITERY_NAM=0", "DESCRIPTION=0"};
    if (name == "INVESTS")
        return {"[INVESTS]",          "FIELD_NUMS=9",        "INVEST_ID=0",   "INVEST_CLNGRP_ID=0",
                "INVEST_CRTGRP_ID=0", "INVEST_CRITERY_ID=0", "INVEST_NAME=0", "INVEST_DATE=0",
                "INVEST_ISAGAINST=0", "INVEST_NUMS=0",       "DESCRIPTION=0"};
    if (name == "FOR")
        return {"[FOR]", "FIELD_NUMS=3", "FOR_INVID=0", "FOR_FROM=0", "FOR_TO=0"};
    if (name == "AGAINST")
        return {"[AGAINST]", "FIELD_NUMS=3", "AGAINST_INVID=0", "AGAINST_FROM=0", "AGAINST_TO=0"};
    if (name == "GRAPH")
        return {"[GRAPH]",       "FIELD_NUMS=9",   "GRAPH_INVID=0", "GRAPH_CLNGRPID=0",
                "GRAPH_CLNID=0", "GRAPH_SELTYP=0", "GRAPH_LEFT=0",  "GRAPH_TOP=0",
                "GRAPH_WIDTH=0", "GRAPH_HEIGHT=0", "GRAPH_FIGTYP=0"};
    return {"[USERS]", "FIELD_NUMS=4", "USER_ID=0", "USER_NAME=0", "USER_PASSWORD=0", "DESCRIPTION=0"};
}

const std::vector<std::string> kTables = {
    "CLIENT_GROUPS", "CLIENTS", "CRITERY_GROUPS", "CRITERIES", "INVESTS", "FOR", "AGAINST", "GRAPH", "USERS"};

// A project file whose sections are empty except where extra lines are given for a table.
std::string ProjectText(const std::string& table, const std::vector<std::string>& records,
                        bool withAdditional = true)
{
    std::vector<std::string> lines;
    for (const std::string& name : kTables) {
        auto section = EmptySection(name);
        lines.insert(lines.end(), section.begin(), section.end());
        if (name == table)
            lines.insert(lines.end(), records.begin(), records.end());
    }
    if (withAdditional) {
        lines.push_back("[ADDITIONAL]");
        lines.push_back("IS_AUTHOR=0");
    }
    return Crlf(lines);
}

// A project with something in every table, Cyrillic text and a multi-line description.
void FillSample(TFileAccess& store)
{
    store.ClientGroups().Add(1, "Class 7b");
    store.ClientGroups().Add(2, "\xD0\x9A\xD0\xBB\xD0\xB0\xD1\x81\xD1\x81 8"); // "Класс 8"
    double date = 0;
    EncodeDate(1991, 2, 14, date);
    store.Clients().Add(1, 1, "Member A", false, date);
    store.Clients().Add(2, 1, "Member B", true, date + 300);
    store.Clients().Add(1, 2, "Other A", true, date - 1000);
    store.Clients().Find(1, 2);
    store.Clients().SetDescription("line one\r\nline two\r\n");
    store.CriteriaGroups().Add(1, "Work");
    store.Criteria().Add(1, 1, "Whom would you work with?");
    store.Investigations().Add({.Id = 1,
                                .ClientGroupId = 1,
                                .CriterionId = 1,
                                .CriteriaGroupId = 1,
                                .Name = "First",
                                .Date = date + 10000,
                                .AllowAgainst = true,
                                .MaxChoices = 3});
    store.Investigations().FindById(1);
    store.Investigations().SetDescription("A & B = C");
    store.ForChoices().Add(1, 1, 2);
    store.ForChoices().Add(1, 2, 1);
    store.AgainstChoices().Add(1, 1, 2);
    store.Placements().Add({.InvestId = 1,
                            .ClientId = 2,
                            .ClientGroupId = 1,
                            .SelType = 0,
                            .Left = -5,
                            .Top = 10,
                            .Width = 80,
                            .Height = 40,
                            .FigType = 7});
    store.Users().Add(1, "admin", "");
    store.Users().Add(2, "teacher", "p=w d");
}

std::string SaveText(const TFileAccess& store)
{
    std::string text;
    EXPECT_TRUE(store.BuildFileText(text));
    return text;
}

class StoreFile : public ::testing::Test {
protected:
    TTempDir dir;
    TRecordingMessages messages;
    TRecordingProgress progress;

    // Loads text written to a file; checks that the store shows nothing itself and that a
    // failure, and only a failure, leaves an error naming the file.
    bool LoadText(TFileAccess& store, const std::string& text, const std::string& name = "p.soi")
    {
        const std::string path = dir.File(name);
        WriteFileBytes(path, text);
        store.SetFileName(path);
        messages.texts.clear();
        const bool ok = store.Load();
        EXPECT_TRUE(messages.texts.empty());
        EXPECT_EQ(static_cast<bool>(store.LastError()), !ok);
        if (!ok) {
            EXPECT_EQ(store.LastError().File, path);
        }
        return ok;
    }
};

TEST_F(StoreFile, ExampleProjectLoadsAndResavesByteIdentical)
{
    const std::string original = ReadFileBytes(kDataDir + "/example.soi");
    TFileAccess store;
    ASSERT_TRUE(LoadText(store, original));
    EXPECT_EQ(store.ClientGroups().Count(), 1);
    ASSERT_EQ(store.Clients().Count(), 2);
    EXPECT_EQ(store.Clients().At(0).Description, "Class leader\r\nJoined in May");
    EXPECT_FALSE(store.Clients().At(0).IsMale);
    EXPECT_EQ(store.Users().At(0).Name, "admin");
    EXPECT_FALSE(store.LoginRequired());
    EXPECT_FALSE(store.IsModified());

    const std::string out = dir.File("out.soi");
    store.SetFileName(out);
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ReadFileBytes(out), original);
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ReadFileBytes(out), original) << "saving twice gives the same bytes";
}

TEST_F(StoreFile, EveryFieldSurvivesSaveAndLoad)
{
    TFileAccess store(dir.File("sample.soi"));
    FillSample(store);
    store.SetLoginRequired(true);
    ASSERT_TRUE(store.Save());
    EXPECT_FALSE(store.IsModified());

    TFileAccess again(dir.File("sample.soi"));
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(SaveText(again), SaveText(store));
    EXPECT_TRUE(again.LoginRequired());
    ASSERT_TRUE(again.Clients().Find(1, 2));
    EXPECT_EQ(again.Clients().GetDescription(), "line one\r\nline two\r\n");
    ASSERT_TRUE(again.Clients().Find(1, 1));
    EXPECT_EQ(again.Clients().GetDescription(), "") << "same Id in another group keeps its own description";
    EXPECT_EQ(again.Clients().GetBirthDate(), store.Clients().At(0).BirthDate);
    EXPECT_EQ(again.ClientGroups().At(1).Name, store.ClientGroups().At(1).Name);
    EXPECT_EQ(again.Investigations().At(0).Description, "A & B = C");
    EXPECT_EQ(again.Users().At(1).Password, "p=w d");
    const TGraphPlace& place = again.Placements().At(0);
    EXPECT_EQ(place.ClientId, 2);
    EXPECT_EQ(place.ClientGroupId, 1);
    EXPECT_EQ(place.Left, -5);
    EXPECT_EQ(place.FigType, 7);
}

TEST_F(StoreFile, WrittenLayoutUsesTheFileConventions)
{
    TFileAccess store;
    FillSample(store);
    store.Investigations().FindById(1);
    store.Investigations().SetDescription("");
    const std::string text = SaveText(store);
    EXPECT_NE(text.find("\r\nCLIENT_DATE_1=14.2.1991 \r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDESCRIPTION_3=line one&&&&&line two&&&&&\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nUSER_PASSWORD_1=NULL\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nINVEST_ISAGAINST_1=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("[GRAPH]\r\nFIELD_NUMS=9\r\nGRAPH_INVID=0\r\nGRAPH_CLNGRPID=0\r\nGRAPH_CLNID=0\r\n"),
              std::string::npos);
    EXPECT_TRUE(
        text.ends_with("[USERS]\r\nFIELD_NUMS=4\r\nUSER_ID=0\r\nUSER_NAME=0\r\nUSER_PASSWORD=0\r\n"
                       "DESCRIPTION=0\r\nUSER_ID_1=1\r\nUSER_NAME_1=admin\r\nUSER_PASSWORD_1=NULL\r\n"
                       "DESCRIPTION_1=NULL\r\nUSER_ID_2=2\r\nUSER_NAME_2=teacher\r\n"
                       "USER_PASSWORD_2=p=w d\r\nDESCRIPTION_2=NULL\r\n[ADDITIONAL]\r\nIS_AUTHOR=0\r\n"));
}

TEST_F(StoreFile, LineBreaksInTextsCannotBreakTheFile)
{
    TFileAccess store;
    store.ClientGroups().Add(1, "two\nlines");
    store.ClientGroups().First();
    store.ClientGroups().SetDescription("lf\nonly\rcr&&&&&typed");
    TFileAccess again;
    ASSERT_TRUE(again.LoadFromBytes(SaveText(store)));
    ASSERT_EQ(again.ClientGroups().Count(), 1);
    EXPECT_EQ(again.ClientGroups().At(0).Name, "two lines");
    EXPECT_EQ(again.ClientGroups().At(0).Description, "lf\r\nonly\r\ncr\r\ntyped");
}

TEST_F(StoreFile, LongDescriptionsAreKeptWhole)
{
    TFileAccess store;
    store.CriteriaGroups().Add(1, "g");
    store.CriteriaGroups().First();
    std::string description;
    for (int i = 0; i < 200; ++i)
        description += "paragraph " + std::to_string(i) + "\r\n";
    store.CriteriaGroups().SetDescription(description);
    TFileAccess again;
    ASSERT_TRUE(again.LoadFromBytes(SaveText(store)));
    EXPECT_EQ(again.CriteriaGroups().At(0).Description, description);
}

TEST_F(StoreFile, ReaderFollowsPositionsDefaultsAndNull)
{
    // Record keys are not consulted, a missing column takes its default, "NULL" is empty and
    // a column of another name is ignored; the last column is the description whatever its name.
    std::string custom =
        Crlf({"[CLIENT_GROUPS]", "FIELD_NUMS=3", "CLIENT_GROUPS_NAME=0", "SOMETHING=0", "NOTES=0", "x=NULL",
              "y=ignored", "z=first&&&&&second", "a=B", "b=c", "c=NULL"});
    for (const std::string& name : kTables) {
        if (name == "CLIENT_GROUPS")
            continue;
        for (const std::string& line : EmptySection(name))
            custom += line + "\r\n";
    }
    TFileAccess store;
    ASSERT_TRUE(LoadText(store, custom));
    EXPECT_TRUE(store.LoginRequired()) << "no ADDITIONAL section";
    ASSERT_EQ(store.ClientGroups().Count(), 2);
    EXPECT_EQ(store.ClientGroups().At(0).Id, -1);
    EXPECT_EQ(store.ClientGroups().At(0).Name, "");
    EXPECT_EQ(store.ClientGroups().At(0).Description, "first\r\nsecond");
    EXPECT_EQ(store.ClientGroups().At(1).Name, "B");
    EXPECT_EQ(store.ClientGroups().At(1).Description, "");

    // Defaults of an investigation without the flag and count columns.
    TFileAccess invests;
    std::string text2;
    for (const std::string& name : kTables) {
        if (name == "INVESTS") {
            text2 += Crlf({"[INVESTS]", "FIELD_NUMS=2", "INVEST_ID=0", "DESCRIPTION=0", "INVEST_ID_1=4",
                           "DESCRIPTION_1=NULL"});
            continue;
        }
        text2 += Crlf(EmptySection(name));
    }
    ASSERT_TRUE(LoadText(invests, text2));
    ASSERT_EQ(invests.Investigations().Count(), 1);
    const TAnInvest& inv = invests.Investigations().At(0);
    EXPECT_EQ(inv.Id, 4);
    EXPECT_EQ(inv.ClientGroupId, -1);
    EXPECT_TRUE(inv.AllowAgainst);
    EXPECT_EQ(inv.MaxChoices, -1);
    EXPECT_EQ(inv.Date, 0);
}

TEST_F(StoreFile, RecordCountRoundsHalvesToEven)
{
    // FOR has n = 3 columns; K collected lines give R = (K - 4) / 3 rounded.
    struct Case {
        int extraLines;
        bool loads;
        int records;
    };
    const Case cases[] = {
        {0, true, 0}, {1, true, 0}, {2, false, 1}, {3, true, 1}, {4, true, 1}, {5, false, 2}, {6, true, 2},
    };
    for (const Case& c : cases) {
        std::vector<std::string> rows;
        for (int i = 0; i < c.extraLines; ++i)
            rows.push_back("FOR_X=" + std::to_string(i + 1));
        TFileAccess store;
        EXPECT_EQ(LoadText(store, ProjectText("FOR", rows)), c.loads) << c.extraLines;
        if (c.loads) {
            EXPECT_EQ(store.ForChoices().Count(), c.records) << c.extraLines;
        }
    }

    // n = 2 (FIELD_NUMS, 2 column lines, v values): R = v / 2 with halves to the even
    // neighbour, so 0.5 rounds down to 0 and 1.5 up to 2 (too few values for two records).
    const auto users = [this](int values, int& count) {
        std::vector<std::string> lines = {"[USERS]", "FIELD_NUMS=2", "USER_ID=0", "DESCRIPTION=0"};
        for (int v = 0; v < values; ++v)
            lines.push_back(v % 2 == 0 ? "USER_ID_x=3" : "DESCRIPTION_x=NULL");
        std::string text;
        for (const std::string& name : kTables)
            text += name == "USERS" ? Crlf(lines) : Crlf(EmptySection(name));
        TFileAccess store;
        const bool ok = LoadText(store, text);
        count = store.Users().Count();
        return ok;
    };
    int count = -1;
    EXPECT_TRUE(users(1, count));
    EXPECT_EQ(count, 0) << "0.5 rounds to 0";
    EXPECT_FALSE(users(3, count)) << "1.5 rounds to 2";
    EXPECT_TRUE(users(5, count));
    EXPECT_EQ(count, 2) << "2.5 rounds to 2";
}

TEST_F(StoreFile, DamagedFilesFailWithWhatAndWhere)
{
    const std::vector<std::string> client = {"CLIENT_ID_1=1",      "CLIENT_GROUP_ID_1=1",
                                             "CLIENT_FULLNAM_1=A", "CLIENT_DATE_1=31.2.1999 ",
                                             "CLIENT_GEN_1=1",     "DESCRIPTION_1=NULL"};
    using enum TStoreErrorCode;
    struct Case {
        const char* what;
        std::string text;
        TStoreErrorCode code;
        std::string section; // empty: not checked
    };
    std::vector<Case> cases = {
        {"invalid date", ProjectText("CLIENTS", client), BadValue, "CLIENTS"},
        {"non-numeric id", ProjectText("FOR", {"FOR_INVID_1=1x", "FOR_FROM_1=1", "FOR_TO_1=2"}), BadValue, "FOR"},
        {"empty id", ProjectText("FOR", {"FOR_INVID_1=NULL", "FOR_FROM_1=1", "FOR_TO_1=2"}), BadValue, "FOR"},
        {"id beyond 32 bits", ProjectText("FOR", {"FOR_INVID_1=2147483648", "FOR_FROM_1=1", "FOR_TO_1=2"}),
         BadValue, "FOR"},
        {"figure beyond 16 bits",
         ProjectText("GRAPH", {"a=1", "b=1", "c=1", "d=1", "e=1", "f=1", "g=1", "h=1", "GRAPH_FIGTYP_1=70000"}),
         BadValue, "GRAPH"},
        {"boolean not a number",
         ProjectText("INVESTS", {"a=1", "b=1", "c=1", "d=1", "e=x", "f=1.1.2000", "g=yes", "h=1", "i=NULL"}),
         BadValue, "INVESTS"},
        {"empty file", "", MissingSection, "CLIENT_GROUPS"},
        {"binary", std::string("\0\x01\xff[\x00]=", 8), MissingSection, "CLIENT_GROUPS"},
    };
    std::string noFieldNums = ProjectText("", {});
    noFieldNums.replace(noFieldNums.find("FIELD_NUMS=3"), 12, "FIELD_NUM=3");
    cases.push_back({"first key not FIELD_NUMS", noFieldNums, MissingSection, "CLIENT_GROUPS"});
    std::string zeroColumns = ProjectText("", {});
    zeroColumns.replace(zeroColumns.find("FIELD_NUMS=9"), 12, "FIELD_NUMS=0");
    cases.push_back({"zero columns", zeroColumns, BadColumnCount, "INVESTS"});
    std::string hugeColumns = ProjectText("", {});
    hugeColumns.replace(hugeColumns.find("FIELD_NUMS=9"), 12, "FIELD_NUMS=2147483647");
    cases.push_back({"huge column count", hugeColumns, IncompleteSection, "INVESTS"});
    std::string paddedColumns = ProjectText("", {});
    paddedColumns.replace(paddedColumns.find("FIELD_NUMS=9"), 12,
                          "FIELD_NUMS=" + std::string(255, '0') + "9");
    cases.push_back(
        {"column count read as its first 255 characters (all zeros)", paddedColumns, BadColumnCount, "INVESTS"});
    std::string missingSection = ProjectText("", {});
    missingSection.replace(missingSection.find("[AGAINST]"), 9, "[AGAINS]");
    cases.push_back({"missing section", missingSection, MissingSection, "AGAINST"});

    for (const Case& c : cases) {
        TFileAccess store;
        EXPECT_FALSE(LoadText(store, c.text)) << c.what;
        EXPECT_EQ(store.LastError().Code, c.code) << c.what;
        EXPECT_EQ(store.LastError().Section, c.section) << c.what;
    }

    // A bad value is named with its line, key and value; the line counts every line ending.
    {
        TFileAccess store;
        std::string text = ProjectText("FOR", {"FOR_INVID_1=1", "FOR_FROM_1=1", "FOR_TO_1=2", "FOR_INVID_2=1",
                                               "FOR_FROM_2=x7", "FOR_TO_2=2"});
        const std::size_t at = text.find("FOR_FROM_2=");
        const int expectedLine = static_cast<int>(std::count(text.begin(), text.begin() + at, '\n')) + 1;
        text.replace(text.find("\r\n"), 2, "\n\r"); // one line more: an LF and a lone CR for a CR LF
        ASSERT_FALSE(LoadText(store, text));
        const TStoreError& error = store.LastError();
        EXPECT_EQ(error.Code, BadValue);
        EXPECT_EQ(error.Line, expectedLine + 1);
        EXPECT_EQ(error.Key, "FOR_FROM_2");
        EXPECT_EQ(error.Value, "x7");
        EXPECT_NE(StoreErrorDetails(error).find("line " + std::to_string(expectedLine + 1)), std::string::npos);

        // Reading the same store again successfully clears the error.
        EXPECT_TRUE(LoadText(store, ProjectText("", {})));
        EXPECT_EQ(store.LastError().Code, None);
    }

    TFileAccess missing(dir.File("no-such-file.soi"));
    EXPECT_FALSE(missing.Load());
    EXPECT_EQ(missing.LastError().Code, CannotRead);
    EXPECT_EQ(missing.LastError().File, dir.File("no-such-file.soi"));
    EXPECT_EQ(missing.LastError().Reason, std::strerror(ENOENT));

    // A folder given as the project names that as the reason, not whatever errno held before.
    const std::string folder = dir.File("folder.soi");
    std::filesystem::create_directory(folder);
    errno = EILSEQ;
    TFileAccess folderStore(folder);
    EXPECT_FALSE(folderStore.Load());
    EXPECT_EQ(folderStore.LastError().Code, CannotRead);
    EXPECT_EQ(folderStore.LastError().Reason, std::strerror(EISDIR));

    // A huge file (sparse, so it costs no disk) is refused before anything is read into memory.
    const std::string huge = dir.File("huge.soi");
    WriteFileBytes(huge, "[CLIENT_GROUPS]\r\n");
    std::filesystem::resize_file(huge, (std::uintmax_t{1} << 32) + 10);
    std::string bytes;
    EXPECT_FALSE(ReadWholeFile(huge, bytes));
    EXPECT_TRUE(bytes.empty());
    TFileAccess hugeStore(huge);
    EXPECT_FALSE(hugeStore.Load());
    EXPECT_TRUE(hugeStore.LastError());
    EXPECT_EQ(hugeStore.LastError().Reason, std::strerror(EFBIG));
    EXPECT_TRUE(messages.texts.empty());

    // The program words a failure once: the catalogue text, then where it failed.
    EXPECT_FALSE(ReportStoreError(missing.LastError()));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(messages.texts[0].starts_with(FileViolatedText() + "\n")) << messages.texts[0];
    EXPECT_NE(messages.texts[0].find(dir.File("no-such-file.soi")), std::string::npos) << messages.texts[0];
}

TEST_F(StoreFile, FailureTextsSayWhatAndWhere)
{
    InstallBuiltCatalogue();
    // A bad value: the file, the section, the line and the value.
    TFileAccess store;
    ASSERT_FALSE(LoadText(store, ProjectText("FOR", {"FOR_INVID_1=1", "FOR_FROM_1=x7", "FOR_TO_1=2"})));
    const std::string load = StoreErrorText(store.LastError());
    EXPECT_TRUE(load.starts_with(FileViolatedText())) << load;
    for (const std::string& part : {store.FileName(), std::string("[FOR]"), std::string("FOR_FROM_1=x7"),
                                    std::to_string(store.LastError().Line)})
        EXPECT_NE(load.find(part), std::string::npos) << part << " in " << load;

    // A save refused by the system: its own text, the file and the system's reason, never
    // "damaged".
    const std::string locked = dir.File("locked.soi");
    WriteFileBytes(locked, "old");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    store.SetFileName(locked);
    ASSERT_FALSE(store.Save());
    const std::string save = StoreErrorText(store.LastError());
    EXPECT_EQ(save.find(FileViolatedText()), std::string::npos) << save;
    for (const std::string& part : {locked, std::string(std::strerror(EACCES))})
        EXPECT_NE(save.find(part), std::string::npos) << part << " in " << save;
    ::chmod(locked.c_str(), 0644);
}

TEST_F(StoreFile, SectionsMayComeInAnyOrderAndUnknownOnesAreDropped)
{
    TFileAccess store;
    FillSample(store);
    const std::string text = SaveText(store);
    // Move USERS to the front, add a foreign section and lines before the first header.
    const std::size_t users = text.find("[USERS]");
    const std::size_t additional = text.find("[ADDITIONAL]");
    const std::string reordered = "preamble=1\r\n[NOTES]\r\nA=1\r\n" +
                                  text.substr(users, additional - users) + text.substr(0, users) +
                                  "[clients]\r\n" + text.substr(additional);
    TFileAccess again;
    ASSERT_TRUE(LoadText(again, reordered));
    EXPECT_EQ(SaveText(again), text);

    // Section names are matched ignoring letter case.
    std::string lower = text;
    lower.replace(lower.find("[FOR]"), 5, "[for]");
    TFileAccess third;
    ASSERT_TRUE(LoadText(third, lower));
    EXPECT_EQ(third.ForChoices().Count(), 2);
}

TEST_F(StoreFile, LoginFlagComesFromIsAuthor)
{
    const struct {
        const char* additional;
        bool login;
    } cases[] = {{"IS_AUTHOR=0", false},
                 {"IS_AUTHOR=1", true},
                 {"IS_AUTHOR=2", true},
                 {"IS_AUTHOR=NULL", true},
                 {"OTHER=0", true}};
    for (const auto& c : cases) {
        std::string text = ProjectText("", {}, false) + Crlf({"[ADDITIONAL]", c.additional});
        TFileAccess store;
        ASSERT_TRUE(LoadText(store, text)) << c.additional;
        EXPECT_EQ(store.LoginRequired(), c.login) << c.additional;
    }
    TFileAccess store;
    store.SetModified(false);
    store.SetLoginRequired(false);
    EXPECT_FALSE(store.IsModified()) << "an unchanged flag changes nothing";
    store.SetLoginRequired(true);
    EXPECT_TRUE(store.IsModified());
    EXPECT_TRUE(store.Users().Modified());
}

TEST_F(StoreFile, LegacyAndOddlyEndedFilesAreRead)
{
    // Windows-1251 bytes with bare CR line ends and no line end at the very end.
    std::string text =
        ProjectText("CLIENT_GROUPS", {"CLIENT_GROUPS_ID_1=1", "CLIENT_GROUPS_NAME_1=\xCA\xEB\xE0\xF1\xF1",
                                      "DESCRIPTION_1=NULL"});
    std::string cr;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n')
            continue;
        cr += text[i] == '\n' ? '\r' : text[i];
    }
    cr.pop_back();
    TFileAccess store;
    ASSERT_TRUE(LoadText(store, cr));
    ASSERT_EQ(store.ClientGroups().Count(), 1);
    EXPECT_EQ(store.ClientGroups().At(0).Name, "\xD0\x9A\xD0\xBB\xD0\xB0\xD1\x81\xD1\x81"); // "Класс"
    EXPECT_FALSE(store.LoginRequired());
}

TEST_F(StoreFile, LinesSplitAndNumbersReadByTheFileRules)
{
    // LF, CR and CR LF mixed; a blank line and a line without "=" count for nothing; "[" inside a
    // value or a line that does not end in "]" is no header; a value keeps every "=" after the first.
    std::string text = ProjectText("CLIENT_GROUPS", {}, false);
    const std::size_t at = text.find("[CLIENTS]");
    text.insert(at, "CLIENT_GROUPS_ID_1=+0007\nCLIENT_GROUPS_NAME_1=[a]=b\r\rnot a pair\r\n[x=1\r\n"
                    "CLIENT_GROUPS_ID_2=-2147483648\rCLIENT_GROUPS_NAME_2=\r\nDESCRIPTION_2=2147483647\n");
    text += "[ADDITIONAL]\rIS_AUTHOR=0";
    TFileAccess store;
    ASSERT_TRUE(LoadText(store, text));
    ASSERT_EQ(store.ClientGroups().Count(), 2);
    EXPECT_EQ(store.ClientGroups().At(0).Id, 7);
    EXPECT_EQ(store.ClientGroups().At(0).Name, "[a]=b");
    EXPECT_EQ(store.ClientGroups().At(0).Description, "1") << "the line [x=1 is a value";
    EXPECT_EQ(store.ClientGroups().At(1).Id, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(store.ClientGroups().At(1).Description, "2147483647");
    EXPECT_FALSE(store.LoginRequired()) << "last line without a line end";

    for (const char* bad : {"-2147483649", "99999999999", "+", "-", "++1", "1-", " 1", "1 "}) {
        TFileAccess damaged;
        EXPECT_FALSE(LoadText(damaged, ProjectText("FOR", {std::string("FOR_INVID_1=") + bad, "FOR_FROM_1=1",
                                                             "FOR_TO_1=2"})))
            << bad;
        EXPECT_EQ(damaged.LastError().Code, TStoreErrorCode::BadValue) << bad;
    }
}

// A project file with one client group and one client, each name given as file bytes.
std::string NamesText(const std::string& groupName, const std::string& clientName)
{
    std::string text = ProjectText("CLIENT_GROUPS", {"CLIENT_GROUPS_ID_1=1", "CLIENT_GROUPS_NAME_1=" + groupName,
                                                     "DESCRIPTION_1=NULL"});
    const std::string clients = Crlf(EmptySection("CLIENTS"));
    const std::string withClient =
        clients + Crlf({"CLIENT_ID_1=1", "CLIENT_GROUP_ID_1=1", "CLIENT_FULLNAM_1=" + clientName,
                        "CLIENT_DATE_1=1.2.2003 ", "CLIENT_GEN_1=1", "DESCRIPTION_1=NULL"});
    text.replace(text.find(clients), clients.size(), withClient);
    return text;
}

TEST_F(StoreFile, EightBitFilesAreWrittenBackInTheirCodePage)
{
    // Windows-1251: "Класс" and "Ёжик"; the file comes back byte for byte.
    const std::string cp1251 = NamesText("\xCA\xEB\xE0\xF1\xF1", "\xA8\xE6\xE8\xEA");
    TFileAccess store;
    ASSERT_TRUE(LoadText(store, cp1251));
    EXPECT_EQ(store.CodePage(), 1251);
    EXPECT_EQ(store.Clients().At(0).FullName, "Ёжик");
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ReadFileBytes(store.FileName()), cp1251);

    // A Western file read with the code page set to Windows-1252 keeps its accents.
    ASSERT_TRUE(SetFileCodePage(1252));
    const std::string cp1252 = NamesText("\xC9quipe", "Zo\xEB Mart\xEDn");
    TFileAccess western;
    ASSERT_TRUE(LoadText(western, cp1252, "w.soi"));
    ASSERT_TRUE(SetFileCodePage(kDefaultCodePage));
    EXPECT_EQ(western.ClientGroups().At(0).Name, "Équipe");
    EXPECT_EQ(western.Clients().At(0).FullName, "Zoë Martín");
    ASSERT_TRUE(western.Save());
    EXPECT_EQ(ReadFileBytes(western.FileName()), cp1252) << "written in the code page it was read in";

    // UTF-8 files and new projects stay UTF-8.
    TFileAccess utf8;
    ASSERT_TRUE(LoadText(utf8, NamesText("Класс", "Ёжик"), "u.soi"));
    EXPECT_EQ(utf8.CodePage(), kUtf8CodePage);
    ASSERT_TRUE(utf8.Save());
    EXPECT_EQ(ReadFileBytes(utf8.FileName()), NamesText("Класс", "Ёжик"));
    EXPECT_EQ(TFileAccess().CodePage(), kUtf8CodePage);
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(StoreFile, TextTheCodePageCannotHoldIsSavedAsUtf8)
{
    TFileAccess store;
    ASSERT_TRUE(LoadText(store, NamesText("\xCA\xEB\xE0\xF1\xF1", "x")));
    store.Clients().First();
    store.Clients().Change(1, 1, "Zoë Martín", true, store.Clients().At(0).BirthDate);
    EXPECT_FALSE(store.SavedAsUtf8());
    ASSERT_TRUE(store.Save());
    EXPECT_TRUE(store.SavedAsUtf8()) << "so that the user can be told";
    EXPECT_EQ(store.CodePage(), kUtf8CodePage);
    EXPECT_EQ(ReadFileBytes(store.FileName()), NamesText("Класс", "Zoë Martín"));

    TFileAccess again(store.FileName());
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Clients().At(0).FullName, "Zoë Martín");
    EXPECT_EQ(again.ClientGroups().At(0).Name, "Класс");
    ASSERT_TRUE(again.Save());
    EXPECT_FALSE(again.SavedAsUtf8()) << "a UTF-8 project stays UTF-8 without a word";
}

TEST_F(StoreFile, MixedFilesAreReadValueByValue)
{
    // A UTF-8 project with one stray 8-bit byte and one Windows-1251 name.
    std::string text = NamesText("\xCA\xEB\xE0\xF1\xF1", "Zoë Martín") + "\xD0";
    TFileAccess store;
    ASSERT_TRUE(LoadText(store, text));
    EXPECT_EQ(store.Clients().At(0).FullName, "Zoë Martín");
    EXPECT_EQ(store.ClientGroups().At(0).Name, "Класс");
    EXPECT_EQ(store.CodePage(), kUtf8CodePage) << "a mixed file is written as UTF-8";
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ReadFileBytes(store.FileName()), NamesText("Класс", "Zoë Martín"));
}

TEST_F(StoreFile, ProgressAdvancesTenPerSectionAndForTheLoginFlag)
{
    TFileAccess store(dir.File("p.soi"));
    FillSample(store);
    progress.calls.clear();
    ASSERT_TRUE(store.Save());
    std::vector<std::string> expected = {"begin"};
    for (int i = 0; i < 10; ++i)
        expected.push_back("advance 10");
    expected.push_back("end");
    EXPECT_EQ(progress.calls, expected);

    TFileAccess again(dir.File("p.soi"));
    progress.calls.clear();
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(progress.calls, expected);
    EXPECT_EQ(progress.depth, 0);
}

TEST_F(StoreFile, FailedSaveKeepsTheOldFileAndTheModifiedFlags)
{
    const std::string path = dir.File("locked.soi");
    const std::string before = "old contents\r\n";
    WriteFileBytes(path, before);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);

    TFileAccess store(path);
    FillSample(store);
    messages.texts.clear();
    EXPECT_FALSE(store.Save());
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(store.LastError().Code, TStoreErrorCode::CannotWrite);
    EXPECT_EQ(store.LastError().File, path);
    EXPECT_FALSE(store.LastError().Reason.empty());
    EXPECT_TRUE(store.IsModified());
    EXPECT_EQ(ReadFileBytes(path), before);
    ::chmod(path.c_str(), 0644);

    store.SetFileName(dir.File("missing-folder/p.soi"));
    EXPECT_FALSE(store.Save());
    store.SetFileName("");
    EXPECT_FALSE(store.Save());
    EXPECT_TRUE(store.IsModified());

    // An undecodable date cannot be written: nothing is replaced.
    const std::string good = dir.File("good.soi");
    WriteFileBytes(good, before);
    store.SetFileName(good);
    store.Clients().First();
    store.Clients().Change(1, 1, "x", true, 1e12);
    EXPECT_FALSE(store.Save());
    EXPECT_EQ(store.LastError().Code, TStoreErrorCode::BadRecord);
    EXPECT_EQ(store.LastError().Section, "CLIENTS");
    EXPECT_EQ(store.LastError().Value, "1");
    EXPECT_EQ(ReadFileBytes(good), before);

    // No temporary files are left behind.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2);
}

TEST_F(StoreFile, SaveKeepsPermissionsAndSymbolicLinks)
{
    const std::string real = dir.File("real.soi");
    const std::string link = dir.File("link.soi");
    WriteFileBytes(real, "x");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    std::filesystem::create_symlink(real, link);
    TFileAccess store(link);
    FillSample(store);
    ASSERT_TRUE(store.Save());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(real), SaveText(store));
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(StoreFile, CountsAndCascadingDeletes)
{
    TFileAccess store;
    FillSample(store);
    EXPECT_EQ(store.CountClientsInGroup(1), 2);
    EXPECT_EQ(store.CountCriteriaInGroup(1), 1);
    EXPECT_EQ(store.CountForChoices(1), 2);
    EXPECT_EQ(store.CountAgainstChoices(1), 1);
    EXPECT_EQ(store.CountForChoices(2), 0);

    store.SetModified(false);
    EXPECT_TRUE(store.DeleteClientsOfGroup(7));
    EXPECT_FALSE(store.IsModified()) << "deleting nothing changes nothing";
    EXPECT_TRUE(store.DeleteClientsOfGroup(1));
    EXPECT_EQ(store.Clients().Count(), 1);
    EXPECT_EQ(store.Clients().At(0).FullName, "Other A");
    EXPECT_TRUE(store.Clients().Modified());
    EXPECT_FALSE(store.ClientGroups().Modified());

    EXPECT_FALSE(store.DeleteClientGroup(9));
    EXPECT_TRUE(store.DeleteClientGroup(1));
    EXPECT_EQ(store.ClientGroups().Count(), 1);
    EXPECT_FALSE(store.DeleteClient(1, 1));
    EXPECT_TRUE(store.DeleteClient(1, 2));
    EXPECT_FALSE(store.DeleteCriterion(1, 2));
    EXPECT_TRUE(store.DeleteCriterion(1, 1));
    EXPECT_TRUE(store.DeleteCriteriaGroup(1));
    EXPECT_FALSE(store.DeleteCriteriaGroup(1));

    store.ForChoices().Add(2, 5, 6);
    EXPECT_TRUE(store.DeleteInvestigation(42));
    EXPECT_TRUE(store.DeleteInvestigation(1));
    EXPECT_EQ(store.Investigations().Count(), 0);
    ASSERT_EQ(store.ForChoices().Count(), 1);
    EXPECT_EQ(store.ForChoices().At(0).InvestId, 2);
    EXPECT_EQ(store.AgainstChoices().Count(), 0);
    EXPECT_EQ(store.Placements().Count(), 0);
}

TEST_F(StoreFile, CascadingDeleteKeepsOrderOnLargeTables)
{
    TFileAccess store;
    for (int i = 0; i < 200000; ++i)
        store.ForChoices().Add(i % 1000, i, i + 1);
    EXPECT_TRUE(store.DeleteForChoices(7));
    ASSERT_EQ(store.ForChoices().Count(), 199800);
    for (int32_t i = 1; i < store.ForChoices().Count(); ++i)
        ASSERT_LT(store.ForChoices().At(i - 1).FromId, store.ForChoices().At(i).FromId);
    EXPECT_EQ(store.CountForChoices(7), 0);
}

TEST_F(StoreFile, LargeProjectsRoundTripThroughTheFile)
{
    // Big enough (several MB) to be read through the mapped buffer rather than a plain string.
    TFileAccess store(dir.File("large.soi"));
    FillSample(store);
    for (int i = 0; i < 120000; ++i)
        store.AgainstChoices().Add(i % 500, i % 31, i % 29);
    ASSERT_TRUE(store.Save());
    ASSERT_GT(std::filesystem::file_size(dir.File("large.soi")), 2u << 20);
    TFileAccess again(dir.File("large.soi"));
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.AgainstChoices().Count(), 120001);
    EXPECT_EQ(SaveText(again), ReadFileBytes(dir.File("large.soi")));
}

TEST_F(StoreFile, EveryFuzzCorpusFileLoadsWithoutCrashing)
{
    const std::filesystem::path corpus = std::filesystem::path(TREMLOW_TEST_DATA_DIR) / "fuzz-corpus";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const std::string bytes = ReadFileBytes(entry.path().string());
        TFileAccess store;
        const bool ok = store.LoadFromBytes(bytes);
        EXPECT_EQ(static_cast<bool>(store.LastError()), !ok) << entry.path();
        if (ok) {
            std::string text;
            EXPECT_TRUE(store.BuildFileText(text)) << entry.path();
            TFileAccess again;
            EXPECT_TRUE(again.LoadFromBytes(text)) << entry.path();
        }
        ++files;
    }
    EXPECT_GT(files, 3);
}

} // namespace
