#include <gtest/gtest.h>

#include "i18n/langconv.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "util/error.h"

namespace {

// Writes a language file and returns the failure text of loading it ("" when it loads).
std::string LoadFailure(const TTempDir& dir, const std::string& content)
{
    WriteFileBytes(dir.File("language.dat"), content);
    try {
        TDlgLangConverter catalogue(dir.File("language.dat"));
    } catch (const TAppError& e) {
        return e.what();
    }
    return "";
}

const std::string kNoSection = "Inner Error -> Please call to Orvenic Group! - no such section: \"Dialogues\"";
const std::string kBadLists = "Inner Error -> Please call to Orvenic Group!";

TEST(SettingsLangConv, LoadFailuresCarryTheirExactTexts)
{
    TTempDir dir;
    EXPECT_EQ(LoadFailure(dir, "[Dialogues]\r\nA=1\r\nB=2\r\n"), "");
    EXPECT_EQ(LoadFailure(dir, "[Other]\r\nA=1\r\n"), kNoSection);
    EXPECT_EQ(LoadFailure(dir, "[Dialogues]\r\n[Other]\r\nA=1\r\n"), kNoSection);
    EXPECT_EQ(LoadFailure(dir, ""), kNoSection);
    EXPECT_EQ(LoadFailure(dir, "[Dialogues]\r\nA=1\r\nB=\r\nC=3\r\n"), kBadLists);
    EXPECT_EQ(LoadFailure(dir, "[Dialogues]\r\nB=   \r\n"), kBadLists);
    EXPECT_EQ(LoadFailure(dir, "[Dialogues]\r\nKEY_A=1\r\nB=2\r\nkey_a=3\r\n"), kBadLists);
    EXPECT_EQ(LoadFailure(dir, "[Dialogues]\r\nA=1\r\nA=1\r\n"), kBadLists);

    try {
        TDlgLangConverter catalogue(dir.File("absent.dat"));
        FAIL() << "a missing file must not load";
    } catch (const TAppError& e) {
        EXPECT_EQ(e.what(), kNoSection);
    }
}

TEST(SettingsLangConv, LookupIsExactAndCaseSensitive)
{
    TTempDir dir;
    WriteFileBytes(dir.File("l.dat"), "[other]\nNO_RECORD_MSG=wrong\n[dialogues]\n"
                                      "NO_RECORD_MSG =  No record  \nFORMULA=a=b\nCyr=Ключ=значение\n");
    const TDlgLangConverter catalogue(dir.File("l.dat"));
    EXPECT_EQ(catalogue.GetText("NO_RECORD_MSG"), "No record");
    EXPECT_EQ(catalogue.GetText("FORMULA"), "a=b");
    EXPECT_EQ(catalogue.GetText("Cyr"), "Ключ=значение");
    EXPECT_TRUE(catalogue.HasText("FORMULA"));
    EXPECT_FALSE(catalogue.HasText("formula"));
    try {
        catalogue.GetText("no_record_msg");
        FAIL() << "a key in small letters must not match";
    } catch (const TAppError& e) {
        EXPECT_STREQ(e.what(), "Inner Error -> No such message; Bad file! - no_record_msg absent");
    }
}

TEST(SettingsLangConv, EntryLineIsCutAt255Characters)
{
    TTempDir dir;
    const std::string ascii(300, 'x');
    std::string cyrillic;
    for (int i = 0; i < 300; ++i)
        cyrillic += "ж";
    WriteFileBytes(dir.File("l.dat"), "[Dialogues]\nLONG=" + ascii + "\nLONG_RU=" + cyrillic +
                                          "\nSHORT=" + std::string(249, 'y') + "\n");
    const TDlgLangConverter catalogue(dir.File("l.dat"));
    // 255 characters of the line "LONG=..." leave 250 for the text.
    EXPECT_EQ(catalogue.GetText("LONG"), std::string(250, 'x'));
    std::string expected;
    for (int i = 0; i < 255 - 8; ++i)
        expected += "ж";
    EXPECT_EQ(catalogue.GetText("LONG_RU"), expected);
    EXPECT_EQ(catalogue.GetText("SHORT"), std::string(249, 'y'));
}

TEST(SettingsLangConv, ShowByKeyAndShowTextGoThroughTheMessageSink)
{
    TTempDir dir;
    WriteFileBytes(dir.File("l.dat"), "[Dialogues]\nHELLO=Hello, researcher\n");
    const TDlgLangConverter catalogue(dir.File("l.dat"));
    TRecordingMessages messages;
    catalogue.ShowByKey("HELLO");
    catalogue.ShowText("plain");
    EXPECT_EQ(messages.texts, (std::vector<std::string>{"Hello, researcher", "plain"}));
    EXPECT_THROW(catalogue.ShowByKey("hello"), TAppError);
    EXPECT_EQ(messages.texts.size(), 2u);
}

TEST(SettingsLangConv, ProcessWideCatalogueAndItsPath)
{
    const std::string savedDir = ExecutableDir();
    SetExecutableDir("/opt/tremlow/bin/");
    EXPECT_EQ(LanguageFilePath(), "/opt/tremlow/bin/language.dat");
    SetExecutableDir(savedDir);
}

} // namespace
