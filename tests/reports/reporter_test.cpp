// The report generator: document content, part order, writing, showing and failures.
#include <gtest/gtest.h>

#include "reports/htmlbuilder.h"
#include "reports/reportfixture.h"
#include "reports/reportorder.h"
#include "reports/textbuilder.h"
#include "settings/langconv.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "util/error.h"

namespace {

class Reporter : public ::testing::Test {
protected:
    void SetUp() override { InstallBuiltCatalogue(); }
    void TearDown() override { SetDocumentOpener(nullptr); }

    // The titles of the investigation report's parts, in the order the document holds them.
    static std::vector<std::string> PartTitles(const std::string& document)
    {
        std::vector<std::string> titles;
        for (const TLexeme& section : ReadSections(document)) {
            if (section.Tag == kTagHeader2)
                titles.push_back(PlainText(SplitLineBreaks(section.Content)[0]));
        }
        return titles;
    }

    TTempDir m_temp;
};

TEST_F(Reporter, PartOrderAndSelectionComeFromTheSettings)
{
    TReportProject project({"Ann", "Bob"});
    TReportRegs regs;
    EXPECT_EQ(PartTitles(BuildReportDocument(project.store, {TReportKind::Investigation, 1}, regs, 0)).size(),
              1 + kReportPartCount);

    regs.PartsOrder = "RA";
    regs.OffParts = "A";
    const auto titles = PartTitles(BuildReportDocument(project.store, {TReportKind::Investigation, 1}, regs, 0));
    ASSERT_EQ(titles.size(), kReportPartCount);
    EXPECT_EQ(titles[0], LangConv().GetText("REPORT_INVEST_INITIAL"));
    EXPECT_EQ(titles[1], LangConv().GetText("REPORT_CLIENTS_BY_REJECTION"));
    EXPECT_EQ(titles[2], LangConv().GetText("REPORT_CHOICES_TABLE"));
    EXPECT_EQ(titles.back(), LangConv().GetText("REPORT_CLIENTS_BY_AUTHORITY"));

    regs.PartsOrder.clear();
    regs.OffParts = "ABCDEFGHIJKLMNOPQR";
    EXPECT_EQ(PartTitles(BuildReportDocument(project.store, {TReportKind::Investigation, 1}, regs, 0)).size(), 1u);
}

TEST_F(Reporter, EmptyListsGiveTheirTitleAndNothingMore)
{
    TReportProject project({});
    project.store.ClientGroups().Add(2, "Unused group");
    TTextBuilder builder({TReportKind::ClientGroup, 2}, false, m_temp.File("g.txt"));
    builder.SetStore(project.store);
    builder.Generate();
    const std::string text = ReadFileBytes(m_temp.File("g.txt"));
    const std::string tail = LangConv().GetText("REPORT_CLIENTSGROUP_INVEST_LIST") + ": \r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(Reporter, MissingObjectsAndUnwritableFilesAreReported)
{
    TReportProject project({"Ann"});
    const TReportTarget missing[] = {{TReportKind::Client, 1, 2},        {TReportKind::Client, 9, 1},
                                     {TReportKind::ClientGroup, 5},      {TReportKind::Criterion, 1, 2},
                                     {TReportKind::CriteriaGroup, 3},    {TReportKind::Investigation, 4}};
    for (const TReportTarget& target : missing) {
        TTextBuilder builder(target, false, m_temp.File("x.txt"));
        builder.SetStore(project.store);
        EXPECT_THROW(builder.Generate(), TAppError) << static_cast<int>(target.Kind);
    }
    THTMLBuilder blank({TReportKind::Investigation, 4}, false, m_temp.File("x.html"));
    blank.SetStore(project.store);
    EXPECT_THROW(blank.Sociocard(), TAppError);
    EXPECT_FALSE(std::filesystem::exists(m_temp.File("x.txt")));

    THTMLBuilder unwritable({TReportKind::ClientGroup, 1}, false, m_temp.File("no/such/folder/x.html"));
    unwritable.SetStore(project.store);
    try {
        unwritable.Generate();
        FAIL() << "writing into a missing folder succeeded";
    } catch (const TAppError& e) {
        EXPECT_NE(std::string(e.what()).find(LangConv().GetText("REPORT_WRITE_ERROR")), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("no/such/folder/x.html"), std::string::npos);
    }
}

TEST_F(Reporter, ShowOpensTheWrittenFileOnlyWhenAsked)
{
    TReportProject project({"Ann"});
    std::vector<std::string> opened;
    SetDocumentOpener([&](const std::string& path) {
        opened.push_back(path);
        return true;
    });
    TTextBuilder quiet({TReportKind::ClientGroup, 1}, false, m_temp.File("a.txt"));
    quiet.SetStore(project.store);
    quiet.Generate();
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(quiet.Shown());

    TTextBuilder shown({TReportKind::ClientGroup, 1}, true, "  " + m_temp.File("b.txt") + "  ");
    shown.SetStore(project.store);
    shown.Generate();
    EXPECT_EQ(opened, std::vector<std::string>{m_temp.File("b.txt")});
    EXPECT_TRUE(shown.Shown());

    SetDocumentOpener([](const std::string&) { return false; });
    TTextBuilder failing({TReportKind::ClientGroup, 1}, true, m_temp.File("c.txt"));
    failing.SetStore(project.store);
    failing.Generate();
    EXPECT_FALSE(failing.Shown());
}

TEST_F(Reporter, ProgressMovesInWholePerCentSteps)
{
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i)
        names.push_back("Member " + std::to_string(i));
    TReportProject project(names);
    TRecordingProgress progress;
    THTMLBuilder builder({TReportKind::Investigation, 1}, false, m_temp.File("p.html"));
    builder.SetStore(project.store);
    builder.SetReportRegs(TReportRegs{});
    builder.Generate();
    ASSERT_GE(progress.calls.size(), 3u);
    EXPECT_EQ(progress.calls.front(), "begin");
    EXPECT_EQ(progress.calls.back(), "end");
    EXPECT_LE(progress.calls.size(), 102u);
    for (std::size_t i = 2; i + 1 < progress.calls.size(); ++i)
        EXPECT_NE(progress.calls[i], progress.calls[i - 1]);
}

TEST_F(Reporter, HostileNamesNeverBreakTheDocumentStructure)
{
    const std::string name = "[TABLE]x<break>&&&&&%%%%%<td>";
    TReportProject project({name, "Bob"}, name, name);
    project.store.ForChoices().Add(1, 1, 2);
    project.store.ForChoices().Add(1, 2, 1);
    THTMLBuilder builder({TReportKind::Investigation, 1}, false, m_temp.File("h.html"));
    builder.SetStore(project.store);
    builder.SetReportRegs(TReportRegs{});
    builder.Generate();
    const std::string html = ReadFileBytes(m_temp.File("h.html"));
    EXPECT_EQ(html.find("<td><td>"), std::string::npos);
    EXPECT_EQ(html.find("%%%%%<"), std::string::npos);
    EXPECT_NE(html.find("<td>[TABLE]x&lt;break&gt;&amp;&amp;&amp;&amp;&amp;%%%%%&lt;td&gt;</td>"), std::string::npos);
    EXPECT_NE(html.find("[TABLE]x&lt;break&gt;&amp;&amp;&amp;&amp;&amp;%%%%%&lt;td&gt; - Bob."), std::string::npos);
}

} // namespace

namespace {

TEST_F(Reporter, TinyInvestigationsGiveCompleteReports)
{
    for (const std::vector<std::string>& names : {std::vector<std::string>{}, std::vector<std::string>{"Solo"}}) {
        TReportProject project(names);
        THTMLBuilder builder({TReportKind::Investigation, 1}, false, m_temp.File("tiny.html"));
        builder.SetStore(project.store);
        builder.SetReportRegs(TReportRegs{});
        builder.Generate();
        const std::string html = ReadFileBytes(m_temp.File("tiny.html"));
        EXPECT_NE(html.find(LangConv().GetText("REPORT_CLIENTS_BY_REJECTION")), std::string::npos) << names.size();
        EXPECT_NE(html.find("</html>"), std::string::npos);
    }
}

} // namespace
