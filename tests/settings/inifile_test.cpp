#include <gtest/gtest.h>

#include "settings/inifile.h"
#include "support/core/tempdir.h"

namespace {

const std::vector<std::string> kNone;

TEST(SettingsIniFile, MatchesSectionsAndKeysIgnoringCaseAndTrimsValues)
{
    const TIniFile ini = TIniFile::FromText("[Main]\r\nKey1 =  first value  \r\n"
                                            "Formula=a=b = c\r\n[Other]\r\nKey1=other\r\n");
    EXPECT_EQ(ini.ReadString("main", "KEY1", "d"), "first value");
    EXPECT_EQ(ini.ReadString("MAIN", "formula", "d"), "a=b = c");
    EXPECT_EQ(ini.ReadString("Other", "key1", "d"), "other");
    EXPECT_TRUE(ini.SectionExists("oTHER"));
    EXPECT_TRUE(ini.KeyExists("Main", "formula"));
    EXPECT_FALSE(ini.KeyExists("Main", "form"));
}

TEST(SettingsIniFile, OnePairOfEnclosingQuotesIsDropped)
{
    const TIniFile ini = TIniFile::FromText("[M]\nA=\"  padded  \"\nB='single'\nC=\"\"quoted twice\"\"\n"
                                            "D=\"open only\nE=\"mixed'\nF=say \"hi\"\nG=\"\nH=''\n");
    EXPECT_EQ(ini.ReadString("M", "A", "d"), "  padded  ") << "blanks inside the quotes stay";
    EXPECT_EQ(ini.ReadString("M", "B", "d"), "single");
    EXPECT_EQ(ini.ReadString("M", "C", "d"), "\"quoted twice\"") << "only one pair goes";
    EXPECT_EQ(ini.ReadString("M", "D", "d"), "\"open only");
    EXPECT_EQ(ini.ReadString("M", "E", "d"), "\"mixed'");
    EXPECT_EQ(ini.ReadString("M", "F", "d"), "say \"hi\"");
    EXPECT_EQ(ini.ReadString("M", "G", "d"), "\"") << "a lone quote is no pair";
    EXPECT_EQ(ini.ReadString("M", "H", "d"), "");
}

TEST(SettingsIniFile, MissingSectionsAndKeysGiveTheDefault)
{
    const TIniFile ini = TIniFile::FromText("[Main]\nEmpty=\nKey=v\n");
    EXPECT_EQ(ini.ReadString("Main", "Absent", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Nowhere", "Key", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Main", "Empty", "dflt"), "");
    EXPECT_FALSE(ini.SectionExists("Nowhere"));
    EXPECT_EQ(ini.ReadSectionKeys("Nowhere"), kNone);
}

TEST(SettingsIniFile, KeysInFileOrderWithDuplicatesAndFirstValueWins)
{
    const TIniFile ini = TIniFile::FromText("; comment\n[S]\nb=1\nnot an entry\na=2\nB=3\n\n"
                                            "[T]\nx=9\n[s]\nc=4\na=5\n");
    EXPECT_EQ(ini.ReadSectionKeys("S"), (std::vector<std::string>{"b", "a", "B", "c", "a"}));
    EXPECT_EQ(ini.ReadString("S", "b", ""), "1");
    EXPECT_EQ(ini.ReadString("S", "A", ""), "2");
    // A repeated section continues the first one.
    EXPECT_EQ(ini.ReadString("S", "c", ""), "4");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"S", "T"}));
}

TEST(SettingsIniFile, EntriesBeforeAnySectionAreIgnored)
{
    const TIniFile ini = TIniFile::FromText("loose=1\n[ A ]\nk=v");
    EXPECT_EQ(ini.ReadString("A", "k", ""), "v");
    EXPECT_EQ(ini.ReadString("", "loose", "none"), "none");
}

TEST(SettingsIniFile, ReadsUtf8AndLegacyWindows1251Files)
{
    TTempDir dir;
    // "Привет" in Windows-1251 and, in the other file, in UTF-8 with a byte-order mark.
    WriteFileBytes(dir.File("legacy.dat"), "[Ru]\r\nHello=\xCF\xF0\xE8\xE2\xE5\xF2\r\n");
    WriteFileBytes(dir.File("utf8.dat"),
                   "\xEF\xBB\xBF[Ru]\nHello=\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n");
    const TIniFile legacy(dir.File("legacy.dat"));
    const TIniFile utf8(dir.File("utf8.dat"));
    EXPECT_TRUE(legacy.IsLoaded());
    EXPECT_EQ(legacy.ReadString("Ru", "Hello", ""), "Привет");
    EXPECT_EQ(utf8.ReadString("ru", "hello", ""), "Привет");
}

TEST(SettingsIniFile, CyrillicKeysMatchIgnoringCase)
{
    const TIniFile ini = TIniFile::FromText("[Раздел]\nКлюч=значение\n");
    EXPECT_EQ(ini.ReadString("РАЗДЕЛ", "ключ", ""), "значение");
}

TEST(SettingsIniFile, MissingFileReadsAsEmpty)
{
    TTempDir dir;
    const TIniFile ini(dir.File("absent.dat"));
    EXPECT_FALSE(ini.IsLoaded());
    EXPECT_FALSE(ini.SectionExists("Dialogues"));
    EXPECT_EQ(ini.ReadString("Dialogues", "K", "d"), "d");
}

} // namespace
