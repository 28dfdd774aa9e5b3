#include "settings/regs.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "i18n/langconv.h"
#include "settings/regstore.h"
#include "support/core/tempdir.h"
#include "util/codepage.h"
#include "util/text.h"

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

namespace {

const std::string kRoot = "Software\\Tremlow";
const std::string kTree = kRoot + "\\Tree";
const std::string kChoices = kRoot + "\\Choices";
const std::string kIndexes = kRoot + "\\Indexes";
const std::string kRecent = kRoot + "\\LastProjects";

// Each test works on its own settings folder.
class SettingsRegs : public testing::Test {
protected:
    void SetUp() override
    {
        if (const char* old = std::getenv("TREMLOW_CONFIG_DIR"))
            m_oldConfig = old;
        setenv("TREMLOW_CONFIG_DIR", m_dir.Path().c_str(), 1);
    }
    void TearDown() override
    {
        if (m_oldConfig)
            setenv("TREMLOW_CONFIG_DIR", m_oldConfig->c_str(), 1);
        else
            unsetenv("TREMLOW_CONFIG_DIR");
    }

    std::string SettingsPath() const { return m_dir.File("settings.json"); }
    json FileJson() const { return json::parse(ReadFileBytes(SettingsPath())); }
    void WriteJson(const json& content) const { WriteFileBytes(SettingsPath(), content.dump()); }

    std::vector<std::string> RecentList() const
    {
        std::vector<std::string> list;
        TRegs regs;
        for (int n = 1; n <= 10; ++n)
            if (auto path = regs.GetRecentProject(n); !path.empty())
                list.push_back(path);
        return list;
    }

    TTempDir m_dir;

private:
    std::optional<std::string> m_oldConfig;
};

// Installs a small catalogue of our own for one test, then puts the built one back.
class TCatalogueScope final {
public:
    explicit TCatalogueScope(const TTempDir& dir)
    {
        const std::string path = dir.File("language.dat");
        WriteFileBytes(path,
                       "[Dialogues]\n"
                       "REGS_INIT_GROUPCHARTTITLE=Group indices\n"
                       "REGS_INIT_GROUPAXEXTITLE=Index\n"
                       "REGS_INIT_GROUPAXEYTITLE=Value\n"
                       "REGS_INIT_PRIVCHARTTITLE=Individual indices\n"
                       "REGS_INIT_PRIVAXEXTITLE=Member\n"
                       "REGS_INIT_PRIVAXEYTITLE=Index value\n");
        SetLangConv(std::make_unique<TDlgLangConverter>(path));
    }
    ~TCatalogueScope()
    {
        SetLangConv(nullptr);
        try {
            InstallBuiltCatalogue();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "built catalogue: " << e.what();
        }
    }
};

void ExpectFont(const TFontRecord& font, int size)
{
    EXPECT_EQ(font.Color, 0u);
    EXPECT_EQ(font.Name, "Arial");
    EXPECT_EQ(font.Size, size);
    EXPECT_EQ(font.Charset, 204);
    EXPECT_FALSE(font.Bold || font.Italic || font.Underline || font.Strikeout);
}

}  // namespace

TEST_F(SettingsRegs, EmptyStoreLoadsTheDefaults)
{
    TRegs regs;
    EXPECT_EQ(regs.Root.NumOfLastOpenedProjects, 0);
    EXPECT_EQ(regs.Tree.NodeFont.Name, "");
    regs.Load();

    EXPECT_TRUE(regs.Root.ShowTutorial);
    EXPECT_TRUE(regs.Root.IsStartingForm);
    EXPECT_EQ(regs.Root.NumOfLastOpenedProjects, 4);
    EXPECT_FALSE(regs.Root.ShowExitConfirmation);

    EXPECT_EQ(regs.SocMain.Left, -1);
    EXPECT_EQ(regs.SocMain.Height, -1);
    EXPECT_FALSE(regs.SocMain.IsMaxim);
    EXPECT_EQ(regs.SocMain.ObjectsTreeWidth, 300);
    EXPECT_TRUE(regs.SocMain.IsToolbarFile && regs.SocMain.IsToolbarEdit && regs.SocMain.IsToolbarView &&
                regs.SocMain.IsToolbarObject && regs.SocMain.IsToolbarReport && regs.SocMain.IsToolbarProject);

    EXPECT_EQ(regs.Tree.BackColor, 0x80000005u);
    ExpectFont(regs.Tree.NodeFont, 8);

    EXPECT_EQ(regs.Choices.AdditionalCellColor, 0x8000000Fu);
    EXPECT_EQ(regs.Choices.ColumnWidth, 45);
    EXPECT_EQ(regs.Choices.RowHeight, 35);
    EXPECT_EQ(regs.Choices.CommonColor, 0xFFFFFFu);
    EXPECT_EQ(regs.Choices.FocusCellSelColor, 0x0000FFu);
    EXPECT_TRUE(regs.Choices.ArrowDirection);
    EXPECT_EQ(regs.Choices.SymbolAgainst, "-");
    EXPECT_EQ(regs.Choices.SymbolFor, "+");
    EXPECT_TRUE(regs.Choices.IsGraphic);
    for (const TFontRecord* font : {&regs.Choices.CaptionFont, &regs.Choices.SymbolAgainstFont,
                                    &regs.Choices.SymbolForFont, &regs.Indexes.GroupTitleFont,
                                    &regs.Indexes.PrivateLegendFont, &regs.Graph.CaptionFont,
                                    &regs.Target.LegendFont, &regs.Target.TargetFont})
        ExpectFont(*font, 10);

    EXPECT_EQ(regs.Indexes.GroupDataLabelBackColor, 0x00FFFFu);
    EXPECT_EQ(regs.Indexes.PrivateGridColor, 0x8000000Fu);
    EXPECT_EQ(regs.Graph.CompBackColor, 0xC08080u);
    EXPECT_EQ(regs.Graph.ArrowWidthPositive, 2);
    EXPECT_EQ(regs.Graph.ArrowColorPositive, 0xFF0000u);
    EXPECT_EQ(regs.Graph.ArrowColorNegative, 0x0000FFu);
    EXPECT_EQ(regs.Target.RingWidth, 20);
    EXPECT_EQ(regs.Target.ActiveRingColor, 0xFF0000u);
    EXPECT_EQ(regs.Target.ActiveRingLineColor, 0x0000FFu);
    EXPECT_FALSE(regs.Graph.StatusColors || regs.Target.StatusColors);
    EXPECT_EQ(regs.Report.ReportType, 0);
    EXPECT_TRUE(regs.Report.IsShowReport);
    EXPECT_EQ(regs.Report.PartsOrder, kDefaultPartsOrder);
}

TEST_F(SettingsRegs, SaveWritesAllKeysAndLoadReadsThemBack)
{
    TRegs regs;
    regs.Load();
    ASSERT_TRUE(regs.Save());

    json file = FileJson();
    std::vector<std::string> keys;
    for (auto it = file.begin(); it != file.end(); ++it)
        keys.push_back(it.key());
    const std::vector<std::string> expected = {kRoot + "\\SocMain", kRoot, kTree, kChoices, kIndexes,
                                               kRoot + "\\Graph", kRoot + "\\Target", kRoot + "\\Report",
                                               kRoot + "\\Status"};
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(file[kTree]["BackColor"], 0x80000005u);
    EXPECT_EQ(file[kTree]["NodeFontName"], "Arial");
    EXPECT_EQ(file[kTree]["NodeFontSize"], 8);
    EXPECT_EQ(file[kTree]["NodeFontCharset"], 204);
    EXPECT_EQ(file[kTree]["NodeFontStyleStrikeout"], 0);
    EXPECT_EQ(file[kRoot + "\\Graph"]["CompLineWidt"], 1);
    EXPECT_EQ(file[kChoices]["SymbolFor"], "+");
    EXPECT_EQ(file[kChoices]["IsGraphic"], 1);

    TRegs again;
    again.Load();
    EXPECT_TRUE(again == regs);

    // Changed values of every kind survive a round trip as well.
    regs.Root.NumOfLastOpenedProjects = 7;
    regs.SocMain.Left = -20;
    regs.SocMain.IsMaxim = true;
    regs.Tree.NodeFont = {0x80000008, "DejaVu Sans", 14, 161, true, false, true, false};
    regs.Choices.SymbolFor = "Ж";
    regs.Indexes.PrivateAxeYTitle = "Индекс";
    regs.Graph.CompLineWidt = 3;
    regs.Target.RingColor = 0x123456;
    regs.Graph.StatusColors = true;
    regs.Target.StatusColors = true;
    regs.Report.ReportType = 2;
    regs.Report.FileName = "/home/user/отчёт.html";
    ASSERT_TRUE(regs.Save());
    TRegs changed;
    changed.Load();
    EXPECT_TRUE(changed == regs);
}

TEST_F(SettingsRegs, SaveKeepsValuesItDoesNotOwn)
{
    TRegs regs;
    regs.Load();
    regs.WriteSocMainString("UserName", "admin");
    regs.WriteSocMainInt("PrintType", 2);
    regs.AddRecentProject("/p/a.soi");
    ASSERT_TRUE(regs.Save());

    EXPECT_EQ(regs.ReadSocMainString("UserName"), "admin");
    EXPECT_EQ(regs.ReadSocMainInt("PrintType"), 2);
    EXPECT_EQ(regs.GetRecentProject(1), "/p/a.soi");
}

TEST_F(SettingsRegs, FontReadingRules)
{
    WriteJson({{kTree,
                {{"NodeFontName", ""}, {"NodeFontSize", 12}, {"NodeFontCharset", 0x1CC},
                 {"NodeFontStyleBold", 1}, {"NodeFontStyleItalic", 1}, {"NodeFontStyleUnderline", 0}}},
               {kChoices,
                {{"CaptionFontName", 5}, {"CaptionFontStyleBold", 1}, {"CaptionFontStyleItalic", 0},
                 {"CaptionFontStyleUnderline", 1}, {"CaptionFontStyleStrikeout", 0}}},
               {kIndexes,
                {{"GroupTitleFontStyleBold", 1}, {"GroupTitleFontStyleItalic", 1},
                 {"GroupTitleFontStyleUnderline", 1}, {"GroupTitleFontStyleStrikeout", "1"}}}});
    TRegs regs;
    regs.Load();
    // Empty face reads as Arial; the bold flag alone, without strikeout, gives no style at all.
    EXPECT_EQ(regs.Tree.NodeFont.Name, "Arial");
    EXPECT_EQ(regs.Tree.NodeFont.Size, 12);
    EXPECT_EQ(regs.Tree.NodeFont.Charset, 0xCC);
    EXPECT_FALSE(regs.Tree.NodeFont.Bold || regs.Tree.NodeFont.Italic);
    // A face stored as a number takes the default; a complete style is read flag by flag.
    EXPECT_EQ(regs.Choices.CaptionFont.Name, "Arial");
    EXPECT_TRUE(regs.Choices.CaptionFont.Bold);
    EXPECT_FALSE(regs.Choices.CaptionFont.Italic);
    EXPECT_TRUE(regs.Choices.CaptionFont.Underline);
    EXPECT_FALSE(regs.Choices.CaptionFont.Strikeout);
    // A flag stored as a string makes the whole style empty.
    EXPECT_FALSE(regs.Indexes.GroupTitleFont.Bold || regs.Indexes.GroupTitleFont.Underline);
}

TEST_F(SettingsRegs, CharacterAndTextReadingRules)
{
    const std::string longText(300, 'x');
    std::string longCyrillic;
    for (int i = 0; i < 300; ++i)
        longCyrillic += "ё";
    const struct {
        json stored;
        std::string symbol;
    } cases[] = {{"abc", "a"}, {"Щит", "Щ"}, {"", "+"}, {43, "+"}, {"★x", "★"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.dump());
        WriteJson({{kChoices, {{"SymbolFor", c.stored}}},
                   {kRoot + "\\Report", {{"FileName", longCyrillic}, {"PartsOrder", 12}, {"OffParts", longText}}}});
        TRegs regs;
        regs.Load();
        EXPECT_EQ(regs.Choices.SymbolFor, c.symbol);
        EXPECT_EQ(regs.Choices.SymbolAgainst, "-");
        EXPECT_EQ(regs.Report.FileName.size(), 255u * 2);
        EXPECT_EQ(regs.Report.OffParts, std::string(255, 'x'));
        EXPECT_EQ(regs.Report.PartsOrder, "");
    }
}

TEST_F(SettingsRegs, NumberAndBooleanReadingRules)
{
    WriteJson({{kRoot, {{"ShowTutorial", 0}, {"IsStartingForm", 7}, {"NumOfLastOpenedProjects", 25}}},
               {kChoices, {{"ColumnWidth", "60"}, {"RowHeight", 1.5}, {"ArrowDirection", "1"}, {"LineWidth", -3}}},
               {kTree, {{"BackColor", 0xFFFFFFFFu}}}});
    TRegs regs;
    regs.Load();
    EXPECT_FALSE(regs.Root.ShowTutorial);
    EXPECT_TRUE(regs.Root.IsStartingForm);
    EXPECT_EQ(regs.Root.NumOfLastOpenedProjects, 10);
    EXPECT_EQ(regs.Choices.ColumnWidth, 45);
    EXPECT_EQ(regs.Choices.RowHeight, 35);
    EXPECT_TRUE(regs.Choices.ArrowDirection);
    EXPECT_EQ(regs.Choices.LineWidth, -3);
    EXPECT_EQ(regs.Tree.BackColor, 0xFFFFFFFFu);
}

TEST_F(SettingsRegs, CodePageSettingIsTheCodePageOfFiles)
{
    TRegs regs;
    regs.Load();
    EXPECT_EQ(regs.Root.CodePage, 1251);
    EXPECT_EQ(FileCodePage(), 1251);

    WriteJson({{kRoot, {{"CodePage", 1252}}}});
    regs.Load();
    EXPECT_EQ(regs.Root.CodePage, 1252);
    EXPECT_EQ(FileCodePage(), 1252);
    EXPECT_EQ(DecodeFileText("\xC9quipe"), "Équipe");

    WriteJson({{kRoot, {{"CodePage", 65001}}}});
    regs.Load();
    EXPECT_EQ(regs.Root.CodePage, 1251) << "not an 8-bit code page";
    EXPECT_EQ(FileCodePage(), 1251);

    // Read on its own before the language file.
    WriteJson({{kRoot, {{"CodePage", 1250}}}});
    TRegs::ApplyCodePageSetting();
    EXPECT_EQ(FileCodePage(), 1250);
    SetFileCodePage(kDefaultCodePage);
}

TEST_F(SettingsRegs, EmptyChartTitlesTakeTheCatalogueTextAndKeepIt)
{
    TCatalogueScope catalogue(m_dir);
    WriteJson({{kIndexes, {{"GroupTitle", ""}, {"PrivateTitle", "Own title"}, {"GroupAxeXTitle", 3}}}});
    TRegs regs;
    regs.Load();
    EXPECT_EQ(regs.Indexes.GroupTitle, "Group indices");
    EXPECT_EQ(regs.Indexes.PrivateTitle, "Own title");
    EXPECT_EQ(regs.Indexes.GroupAxeXTitle, "Index");
    EXPECT_EQ(regs.Indexes.PrivateAxeYTitle, "Index value");
    ASSERT_TRUE(regs.Save());
    EXPECT_EQ(FileJson()[kIndexes]["GroupTitle"], "Group indices");
}

TEST_F(SettingsRegs, RecentListMovesAddedPathsToTheHead)
{
    WriteJson({{kRecent, {{"1", "A"}, {"2", "B"}, {"3", "C"}}}});
    TRegs regs;
    regs.AddRecentProject("B");
    EXPECT_EQ(RecentList(), (std::vector<std::string>{"B", "A", "C"}));
    regs.AddRecentProject("D");
    EXPECT_EQ(RecentList(), (std::vector<std::string>{"D", "B", "A", "C"}));
    regs.RemoveRecentProject("A");
    EXPECT_EQ(RecentList(), (std::vector<std::string>{"D", "B", "C"}));
    json recent = FileJson()[kRecent];
    for (int n = 4; n <= 10; ++n)
        EXPECT_EQ(recent[std::to_string(n)], "") << n;

    // Letter case counts; empty paths are ignored.
    regs.AddRecentProject("d");
    regs.AddRecentProject("");
    EXPECT_EQ(RecentList(), (std::vector<std::string>{"d", "D", "B", "C"}));
    EXPECT_EQ(regs.GetRecentProject(0), "");
    EXPECT_EQ(regs.GetRecentProject(11), "");
}

TEST_F(SettingsRegs, RecentListHoldsAtMostTenDistinctPaths)
{
    TRegs regs;
    for (int i = 1; i <= 11; ++i)
        regs.AddRecentProject("/p/" + std::to_string(i) + ".soi");
    std::vector<std::string> expected;
    for (int i = 11; i >= 2; --i)
        expected.push_back("/p/" + std::to_string(i) + ".soi");
    EXPECT_EQ(RecentList(), expected);

    // Re-adding a path of a full list moves it to the head and keeps the other nine.
    regs.AddRecentProject("/p/6.soi");
    std::vector<std::string> moved = {"/p/6.soi"};
    for (const std::string& p : expected)
        if (p != "/p/6.soi")
            moved.push_back(p);
    EXPECT_EQ(RecentList(), moved);
    regs.AddRecentProject("/p/2.soi");
    EXPECT_EQ(RecentList().size(), 10u);
    EXPECT_EQ(RecentList().front(), "/p/2.soi");
    EXPECT_EQ(RecentList().back(), "/p/3.soi");
}

TEST_F(SettingsRegs, RecentListIsReadFromTheStoreEachTime)
{
    TRegs regs;
    regs.AddRecentProject("/first.soi");
    // Another process rewrites the file; the next read sees it, and the next add keeps it.
    WriteJson({{kRecent, {{"1", "/other.soi"}}}, {kRoot + "\\SocMain", {{"UserName", "guest"}}}});
    EXPECT_EQ(regs.GetRecentProject(1), "/other.soi");
    regs.AddRecentProject("/second.soi");
    EXPECT_EQ(RecentList(), (std::vector<std::string>{"/second.soi", "/other.soi"}));
    EXPECT_EQ(regs.ReadSocMainString("UserName"), "guest");
}

TEST_F(SettingsRegs, GarbageOrMistypedFileStillLoadsDefaults)
{
    for (const std::string& bytes : {std::string("\x00\x01not json at all", 17),
                                     std::string(R"({"Software\\Tremlow\\Tree": 5, "Software\\Tremlow": [1]})"),
                                     std::string(R"({"Software\\Tremlow\\Tree": {"BackColor": "white",
                                                    "NodeFontSize": null, "NodeFontName": []}})")}) {
        SCOPED_TRACE(bytes);
        WriteFileBytes(SettingsPath(), bytes);
        testing::internal::CaptureStderr();
        TRegs regs;
        regs.Load();
        EXPECT_EQ(regs.Tree.BackColor, 0x80000005u);
        EXPECT_EQ(regs.Tree.NodeFont.Size, 8);
        EXPECT_EQ(regs.Tree.NodeFont.Name, "Arial");
        EXPECT_TRUE(regs.Root.ShowTutorial);
        EXPECT_TRUE(regs.Save());
        testing::internal::GetCapturedStderr();
        TRegs again;
        again.Load();
        EXPECT_TRUE(again == regs);
    }
}
