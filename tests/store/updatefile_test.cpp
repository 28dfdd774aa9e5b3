#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "i18n/storemessages.h"
#include "store/fileacc.h"
#include "store/updatefile.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "util/text.h"

namespace {

using TLines = std::vector<std::string>;

std::string Crlf(const TLines& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

// Windows-1251 bytes of a UTF-8 text made of ASCII and Russian letters.
std::string ToCp1251(const std::string& utf8)
{
    std::string out;
    for (char32_t c : ToU32(utf8)) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c >= U'А' && c <= U'я')
            out += static_cast<char>(0xC0 + (c - U'А'));
        else
            ADD_FAILURE() << "no Windows-1251 letter in the test text";
    }
    return out;
}

TLines Clients(bool oldNames)
{
    if (!oldNames)
        return {"[CLIENTS]", "FIELD_NUMS=6", "CLIENT_ID=0", "CLIENT_GROUP_ID=0", "CLIENT_FULLNAM=0",
                "CLIENT_DATE=0", "CLIENT_GEN=0", "DESCRIPTION=0", "CLIENT_ID_1=1", "CLIENT_GROUP_ID_1=1",
                "CLIENT_FULLNAM_1=Иванов Иван", "CLIENT_DATE_1=14.2.1991 ", "CLIENT_GEN_1=1",
                "DESCRIPTION_1=NULL"};
    return {"[CLIENTS]",         "FIELD_NUMS=8",       "CLIENT_ID=0",          "CLIENT_GROUP_ID=0",
            "CLIENT_FAM=0",      "CLIENT_NAM=0",       "CLIENT_PAT=0",         "CLIENT_DATE=0",
            "CLIENT_GEN=0",      "DESCRIPTION=0",      "CLIENT_ID_1=1",        "CLIENT_GROUP_ID_1=1",
            "CLIENT_FAM_1=Иванов", "CLIENT_NAM_1=Иван", "CLIENT_PAT_1=NULL",    "CLIENT_DATE_1=14.2.1991 ",
            "CLIENT_GEN_1=1",    "DESCRIPTION_1=Староста",  "CLIENT_ID_2=2",   "CLIENT_GROUP_ID_2=1",
            "CLIENT_FAM_2=NULL", "CLIENT_NAM_2=Anna",  "CLIENT_PAT_2=Petrovna", "CLIENT_DATE_2=3.11.1990 ",
            "CLIENT_GEN_2=0",    "DESCRIPTION_2=NULL"};
}

// A whole project: one client group, its clients, one user, and the login flag when asked for.
TLines Project(bool oldNames, bool loginFlag, const std::string& additionalHeader = "[ADDITIONAL]")
{
    TLines lines = {"[CLIENT_GROUPS]", "FIELD_NUMS=3", "CLIENT_GROUPS_ID=0", "CLIENT_GROUPS_NAME=0",
                    "DESCRIPTION=0", "CLIENT_GROUPS_ID_1=1", "CLIENT_GROUPS_NAME_1=Класс", "DESCRIPTION_1=NULL"};
    const TLines clients = Clients(oldNames);
    lines.insert(lines.end(), clients.begin(), clients.end());
    const TLines rest = {
        "[CRITERY_GROUPS]", "FIELD_NUMS=3", "CRITERY_GROUPS_ID=0", "CRITERY_GROUPS_NAME=0", "DESCRIPTION=0",
        "[CRITERIES]", "FIELD_NUMS=4", "CRITERY_ID=0", "CRITERY_GROUP_ID=0", "CRITERY_NAM=0", "DESCRIPTION=0",
        "[INVESTS]", "FIELD_NUMS=9", "INVEST_ID=0", "INVEST_CLNGRP_ID=0", "INVEST_CRTGRP_ID=0",
        "INVEST_CRITERY_ID=0", "INVEST_NAME=0", "INVEST_DATE=0", "INVEST_ISAGAINST=0", "INVEST_NUMS=0",
        "DESCRIPTION=0", "[FOR]", "FIELD_NUMS=3", "FOR_INVID=0", "FOR_FROM=0", "FOR_TO=0", "[AGAINST]",
        "FIELD_NUMS=3", "AGAINST_INVID=0", "AGAINST_FROM=0", "AGAINST_TO=0", "[GRAPH]", "FIELD_NUMS=9",
        "GRAPH_INVID=0", "GRAPH_CLNGRPID=0", "GRAPH_CLNID=0", "GRAPH_SELTYP=0", "GRAPH_LEFT=0", "GRAPH_TOP=0",
        "GRAPH_WIDTH=0", "GRAPH_HEIGHT=0", "GRAPH_FIGTYP=0", "[USERS]", "FIELD_NUMS=4", "USER_ID=0",
        "USER_NAME=0", "USER_PASSWORD=0", "DESCRIPTION=0", "USER_ID_1=1", "USER_NAME_1=admin",
        "USER_PASSWORD_1=NULL", "DESCRIPTION_1=NULL"};
    lines.insert(lines.end(), rest.begin(), rest.end());
    if (loginFlag) {
        lines.push_back(additionalHeader);
        lines.push_back("IS_AUTHOR=1");
    }
    return lines;
}

bool Never()
{
    ADD_FAILURE() << "the user was asked";
    return false;
}

class UpdateFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& bytes)
    {
        WriteFileBytes(m_path, bytes);
        return bytes;
    }

    TTempDir m_dir;
    std::string m_path = m_dir.File("old.soi");
    TRecordingMessages m_messages;
};

TEST_F(UpdateFileTest, ACurrentFileOpensWithoutAQuestion)
{
    const std::string bytes = Write(Crlf(Project(false, true)));
    TUpdateFile update(m_path);
    EXPECT_EQ(update.Layout(), TProjectLayout::Current);
    EXPECT_TRUE(update.Check(Never, NotChangedText()));
    EXPECT_EQ(ReadFileBytes(m_path), bytes);
    EXPECT_FALSE(std::filesystem::exists(m_path + ".bak"));
    EXPECT_TRUE(m_messages.texts.empty());
}

TEST_F(UpdateFileTest, OldNameColumnsAreMergedWithoutTheWordNull)
{
    for (const bool legacyCodePage : {false, true}) {
        const std::string utf8 = Crlf(Project(true, true));
        const std::string original = Write(legacyCodePage ? ToCp1251(utf8) : utf8);
        TUpdateFile update(m_path);
        ASSERT_EQ(update.Layout(), TProjectLayout::Older);
        EXPECT_TRUE(update.NeedsNameMerge());
        EXPECT_FALSE(update.NeedsLoginFlag());
        TRecordingProgress progress;
        EXPECT_TRUE(update.Check([] { return true; }, NotChangedText()));
        EXPECT_EQ(progress.calls, (std::vector<std::string>{"begin", "advance 101", "end"}));
        EXPECT_EQ(ReadFileBytes(m_path + ".bak"), original);

        TLineEditor image(m_path);
        ASSERT_TRUE(image.ReadLines());
        EXPECT_EQ(image.ReadValue("CLIENTS", "FIELD_NUMS"), "6");
        EXPECT_FALSE(image.KeyExists("CLIENTS", "CLIENT_NAM"));
        TFileAccess store(m_path);
        ASSERT_TRUE(store.Load());
        ASSERT_EQ(store.Clients().Count(), 2);
        EXPECT_EQ(store.Clients().At(0).FullName, "Иванов Иван");
        EXPECT_EQ(store.Clients().At(0).Description, "Староста");
        EXPECT_EQ(store.Clients().At(1).FullName, "Anna Petrovna");
        EXPECT_FALSE(store.Clients().At(1).IsMale);
        EXPECT_TRUE(store.LoginRequired());
        EXPECT_EQ(store.ClientGroups().At(0).Name, "Класс");
        std::filesystem::remove(m_path + ".bak");
    }
}

TEST_F(UpdateFileTest, AMissingLoginFlagIsAddedSwitchedOff)
{
    Write(Crlf(Project(false, false)));
    TUpdateFile update(m_path);
    ASSERT_EQ(update.Layout(), TProjectLayout::Older);
    EXPECT_TRUE(update.Check([] { return true; }, NotChangedText()));
    const std::string converted = ReadFileBytes(m_path);
    EXPECT_TRUE(converted.ends_with("[ADDITIONAL]\r\nIS_AUTHOR=0\r\n"));
    TFileAccess store(m_path);
    ASSERT_TRUE(store.Load());
    EXPECT_FALSE(store.LoginRequired());
    EXPECT_EQ(TUpdateFile(m_path).Layout(), TProjectLayout::Current);
}

TEST_F(UpdateFileTest, BothConversionsShareTheProgressInTwoSteps)
{
    Write(Crlf(Project(true, false)));
    TUpdateFile update(m_path);
    EXPECT_EQ(update.NeededConversions(), 2);
    TRecordingProgress progress;
    std::string error;
    ASSERT_TRUE(update.Convert(error)) << error;
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"begin", "advance 51", "advance 51", "end"}));
    EXPECT_EQ(progress.value, 100);
    EXPECT_EQ(update.Changes().size(), 2u);
    TFileAccess store(m_path);
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.Clients().At(0).FullName, "Иванов Иван");
    EXPECT_FALSE(store.LoginRequired());
}

TEST_F(UpdateFileTest, SectionNamesInOtherLetterCaseAreTheSameSections)
{
    Write(Crlf(Project(false, true, "[additional]")));
    EXPECT_EQ(TUpdateFile(m_path).Layout(), TProjectLayout::Current);

    TLines lines = Project(false, false);
    lines.push_back("[Additional]");
    lines.push_back("OTHER=1");
    Write(Crlf(lines));
    TUpdateFile update(m_path);
    ASSERT_TRUE(update.Check([] { return true; }, NotChangedText()));
    TLineEditor image(m_path);
    ASSERT_TRUE(image.ReadLines());
    EXPECT_FALSE(image.SectionExists("ADDITIONAL"));
    EXPECT_EQ(image.ReadValue("Additional", "IS_AUTHOR"), "0");
}

TEST_F(UpdateFileTest, RefusingOrFailingLeavesTheFileByteIdentical)
{
    const std::string original = Write(Crlf(Project(true, false)));
    {
        TUpdateFile update(m_path);
        TRecordingProgress progress;
        EXPECT_FALSE(update.Check([] { return false; }, NotChangedText()));
        EXPECT_TRUE(progress.calls.empty());
    }
    EXPECT_EQ(ReadFileBytes(m_path), original);
    EXPECT_EQ(m_messages.texts, std::vector<std::string>{NotChangedText()});
    EXPECT_FALSE(std::filesystem::exists(m_path + ".bak"));

    ASSERT_EQ(::chmod(m_path.c_str(), 0444), 0);
    TUpdateFile update(m_path);
    EXPECT_FALSE(update.Check([] { return true; }, NotChangedText()));
    EXPECT_EQ(ReadFileBytes(m_path), original);
    EXPECT_EQ(m_messages.texts.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(m_path + ".bak"));
}

TEST_F(UpdateFileTest, WhatIsNoWholeProjectGoesStraightToTheLoad)
{
    TLines truncated = Project(true, false);
    truncated.resize(truncated.size() - 3); // cut inside the users' record
    TLines missingSection = Project(true, false);
    missingSection.erase(missingSection.begin(), missingSection.begin() + 8);
    const std::string cases[] = {"", "just some text\r\n", Crlf(truncated), Crlf(missingSection)};
    for (const std::string& bytes : cases) {
        Write(bytes);
        TUpdateFile update(m_path);
        EXPECT_EQ(update.Layout(), TProjectLayout::NotProject) << bytes;
        EXPECT_TRUE(update.Check(Never, NotChangedText()));
        EXPECT_EQ(ReadFileBytes(m_path), bytes);
    }
    TUpdateFile missing(m_dir.File("missing.soi"));
    EXPECT_EQ(missing.Layout(), TProjectLayout::NotProject);
    EXPECT_TRUE(missing.Check(Never, NotChangedText()));
    EXPECT_TRUE(m_messages.texts.empty());
}

} // namespace
