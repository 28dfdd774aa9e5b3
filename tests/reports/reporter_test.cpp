// The report generator: document content, part order, writing, showing and failures.
#include <gtest/gtest.h>

#include "reports/htmlbuilder.h"
#include "reports/reportfixture.h"
#include "reports/reportorder.h"
#include "reports/textbuilder.h"
#include "i18n/langconv.h"
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
    // Without a builder that draws them, the four pictures are left out.
    constexpr std::size_t kPictures = 4;
    TReportRegs regs;
    EXPECT_EQ(PartTitles(BuildReportDocument(project.store, {TReportKind::Investigation, 1}, regs, 0)).size(),
              1 + kReportPartCount - kPictures);
    EXPECT_EQ(PartTitles(BuildReportDocument(project.store, {TReportKind::Investigation, 1}, regs, 0, {}, true)).size(),
              1 + kReportPartCount);

    // A group of one has no pictures: each picture part says why.
    TReportProject single({"Ann"});
    const std::string lone = BuildReportDocument(single.store, {TReportKind::Investigation, 1}, regs, 0, {}, true);
    EXPECT_EQ(lone.find("[" + std::string(kTagPicture) + "]"), std::string::npos);
    std::size_t reasons = 0;
    for (std::size_t at = lone.find(LangConv().GetText("LESS_2_CLIENTS")); at != std::string::npos;
         at = lone.find(LangConv().GetText("LESS_2_CLIENTS"), at + 1))
        ++reasons;
    EXPECT_EQ(reasons, 4u);

    regs.PartsOrder = "RA";
    regs.OffParts = "A";
    const auto titles =
        PartTitles(BuildReportDocument(project.store, {TReportKind::Investigation, 1}, regs, 0, {}, true));
    ASSERT_EQ(titles.size(), kReportPartCount - kPictures);
    EXPECT_EQ(titles[0], LangConv().GetText("REPORT_INVEST_INITIAL"));
    EXPECT_EQ(titles[1], LangConv().GetText("REPORT_CLIENTS_BY_REJECTION"));
    EXPECT_EQ(titles[2], LangConv().GetText("REPORT_CHOICES_TABLE"));
    EXPECT_EQ(titles[titles.size() - 2], LangConv().GetText("REPORT_CLIENTS_BY_AUTHORITY"));
    EXPECT_EQ(titles.back(), LangConv().GetText("REPORT_STATUS_GROUPS"));

    regs.PartsOrder.clear();
    regs.OffParts.clear();
    for (const TReportPartInfo& part : kReportParts)
        regs.OffParts += part.Letter;
    EXPECT_EQ(PartTitles(BuildReportDocument(project.store, {TReportKind::Investigation, 1}, regs, 0)).size(), 1u);
}

TEST_F(Reporter, EmptyListsSayNone)
{
    TReportProject project({});
    project.store.ClientGroups().Add(2, "Unused group");
    TTextBuilder builder({TReportKind::ClientGroup, 2}, false, m_temp.File("g.txt"));
    builder.SetStore(project.store);
    builder.Generate();
    const std::string text = ReadFileBytes(m_temp.File("g.txt"));
    const std::string tail =
        LangConv().GetText("REPORT_CLIENTSGROUP_INVEST_LIST") + ": \r\n" + LangConv().GetText("REPORT_NONE") + "\r\n";
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
    EXPECT_NE(html.find(">[TABLE]x&lt;break&gt;&amp;&amp;&amp;&amp;&amp;%%%%%&lt;td&gt;</td>"), std::string::npos);
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

namespace {

// Eight members whose received counts put one in each outer group, two in the average group and
// two unclassified (worked by hand: mean 2.5 of both counts, sd sqrt(4.25); Ann's zSP is 1.973).
// Each member's nominations come from the members after it (positive) and before it (negative).
class StatusGroupsPart : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallBuiltCatalogue();
        const int lm[] = {6, 0, 0, 5, 3, 3, 2, 1};
        const int ll[] = {0, 6, 0, 5, 3, 3, 1, 2};
        for (int to = 0; to < 8; ++to) {
            for (int k = 1; k <= lm[to]; ++k)
                project.store.ForChoices().Add(1, (to + k) % 8 + 1, to + 1);
            for (int k = 1; k <= ll[to]; ++k)
                project.store.AgainstChoices().Add(1, (to + 8 - k) % 8 + 1, to + 1);
        }
        // Only the status groups part.
        regs.PartsOrder = "S";
        regs.OffParts = "ABCDEFGHIJKLMNOPQR";
    }

    // The sections after the report's opening part (title, initial data).
    std::vector<TLexeme> PartSections(const TStatusThresholds& status = {})
    {
        const std::vector<TLexeme> all =
            ReadSections(BuildReportDocument(project.store, {TReportKind::Investigation, 1}, regs, 0, status));
        std::vector<TLexeme> parts;
        int headers = 0;
        for (const TLexeme& section : all) {
            headers += section.Tag == kTagHeader2;
            if (headers >= 2)
                parts.push_back(section);
        }
        return parts;
    }

    static TTableRows TableOf(const std::vector<TLexeme>& sections)
    {
        TTableRows rows;
        for (const TLexeme& section : sections) {
            if (section.Tag == kTagTable) {
                EXPECT_TRUE(ParseTable(section.Content, rows));
            }
        }
        return rows;
    }

    static std::string T(const char* key) { return LangConv().GetText(key); }

    TReportProject project{{"Ann", "Ben", "Cat", "Dan", "Eve", "Fay", "Gus", "Hal"}};
    TReportRegs regs;
};

TEST_F(StatusGroupsPart, ListsEveryGroupWithItsMembersAndCount)
{
    const std::vector<TLexeme> sections = PartSections();
    ASSERT_FALSE(sections.empty());
    EXPECT_EQ(PlainText(SplitLineBreaks(sections[0].Content)[0]), T("REPORT_STATUS_GROUPS"));
    const TTableRows expected = {
        {T("REPORT_STATUS_GROUP"), T("REPORT_NUMOF_MEMBERS"), T("REPORT_STATUS_MEMBERS")},
        {T("STATUS_GROUP_POPULAR"), "1", "Ann"},
        {T("STATUS_GROUP_REJECTED"), "1", "Ben"},
        {T("STATUS_GROUP_NEGLECTED"), "1", "Cat"},
        {T("STATUS_GROUP_CONTROVERSIAL"), "1", "Dan"},
        {T("STATUS_GROUP_AVERAGE"), "2", "Eve, Fay"},
        {T("STATUS_GROUP_UNCLASSIFIED"), "2", "Gus, Hal"},
    };
    EXPECT_EQ(TableOf(sections), expected);
    EXPECT_NE(PlainText(sections.back().Content).find(T("REPORT_STATUS_THRESHOLDS") + ": 1, 0.5"), std::string::npos);

    // A stricter cut-off takes every member out of the outer groups (Ann's and Ben's preference
    // are +-1.97, Cat's and Dan's impact below 2 too); the cut-offs used are printed with the table.
    const std::vector<TLexeme> strict = PartSections({.Extreme = 2.0, .Average = 0.5});
    const TTableRows rows = TableOf(strict);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{T("STATUS_GROUP_POPULAR"), "0", ""}));
    EXPECT_EQ(rows[4], (std::vector<std::string>{T("STATUS_GROUP_CONTROVERSIAL"), "0", ""}));
    EXPECT_EQ(rows[6],
              (std::vector<std::string>{T("STATUS_GROUP_UNCLASSIFIED"), "6", "Ann, Ben, Cat, Dan, Gus, Hal"}));
    EXPECT_NE(PlainText(strict.back().Content).find(": 2, 0.5"), std::string::npos);
}

TEST_F(StatusGroupsPart, SwitchedOffItIsAbsent)
{
    regs.OffParts += "S";
    const std::string document = BuildReportDocument(project.store, {TReportKind::Investigation, 1}, regs, 0);
    EXPECT_EQ(document.find(EscapeDocText(T("REPORT_STATUS_GROUPS"))), std::string::npos);
    EXPECT_EQ(document.find(EscapeDocText(T("STATUS_GROUP_POPULAR"))), std::string::npos);
    EXPECT_TRUE(PartSections().empty());
}

TEST_F(StatusGroupsPart, WithoutStatusGroupsTheReasonIsPrinted)
{
    // Negative choices allowed but none made (1), and not allowed (2).
    TReportProject positiveOnly({"Ann", "Ben", "Cat"});
    positiveOnly.store.ForChoices().Add(1, 1, 2);
    positiveOnly.store.Investigations().Add({.Id = 2,
                                             .ClientGroupId = 1,
                                             .CriterionId = 1,
                                             .CriteriaGroupId = 1,
                                             .Name = "No negatives",
                                             .Date = 45000,
                                             .AllowAgainst = false,
                                             .MaxChoices = 3});
    for (const int investId : {1, 2}) {
        const std::string document =
            BuildReportDocument(positiveOnly.store, {TReportKind::Investigation, investId}, regs, 0);
        EXPECT_NE(document.find(EscapeDocText(T("STATUS_NO_NEGATIVE_CHOICES"))), std::string::npos) << investId;
        EXPECT_EQ(document.find("[TABLE]"), std::string::npos) << investId;
    }
    // Two members, each rejecting the other: too few for standard scores.
    TReportProject pair({"Ann", "Ben"});
    pair.store.AgainstChoices().Add(1, 1, 2);
    pair.store.AgainstChoices().Add(1, 2, 1);
    const std::string document = BuildReportDocument(pair.store, {TReportKind::Investigation, 1}, regs, 0);
    EXPECT_NE(document.find(EscapeDocText(T("STATUS_TOO_FEW_MEMBERS"))), std::string::npos);
    EXPECT_EQ(document.find("[TABLE]"), std::string::npos);
}

} // namespace
