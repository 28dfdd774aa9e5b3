// The three builders on hand-made report documents: headings, unknown tags, empty cells.
#include <gtest/gtest.h>

#include "reports/htmlbuilder.h"
#include "reports/reportfixture.h"
#include "reports/textbuilder.h"
#include "reports/wordbuilder.h"
#include "support/core/tempdir.h"

namespace {

class Builders : public ::testing::Test {
protected:
    void SetUp() override { InstallBuiltCatalogue(); }

    template <typename Builder> std::string Formatted(const std::string& document)
    {
        Builder builder({TReportKind::Investigation, 1}, false, m_temp.File("out"));
        builder.SetDocument(document);
        builder.Format();
        return builder.Output();
    }

    TTempDir m_temp;
};

TEST_F(Builders, TextHeadingsUpperCaseOnlyLatinLettersAndTablesUseTwoTabs)
{
    const std::string text =
        Formatted<TTextBuilder>("[HEADER1]Отчёт é abc&&&&&[TEXT]Body ä&&&&&[TABLE]2<break>a<break> <break><break>b<break>");
    EXPECT_EQ(text, "Отчёт é ABC\r\nBody ä\r\na\t\t \t\t\r\n\t\tb\t\t\r\n");
}

TEST_F(Builders, UnknownTagsAreLeftOutOfEveryOutput)
{
    const std::string document = "[TEXT]shown[NOTE]secret[TEXT]also shown";
    for (const std::string& out : {Formatted<TTextBuilder>(document), Formatted<THTMLBuilder>(document)}) {
        EXPECT_EQ(out.find("secret"), std::string::npos);
        EXPECT_NE(out.find("also shown"), std::string::npos);
    }
    TWordBuilder word({TReportKind::Investigation, 1}, false, m_temp.File("w.docx"));
    word.SetDocument(document);
    word.Format();
    word.Write();
    TDocxReader docx(m_temp.File("w.docx"));
    ASSERT_TRUE(docx.Ok());
    std::string all;
    for (const auto& p : docx.Paragraphs())
        all += p.second + "\n";
    EXPECT_EQ(all, "shownalso shown\n"); // sections without a line break share a paragraph
}

// The line of text before a table that needs landscape pages is its caption: it goes onto the
// table's first page, not alone onto the portrait page before.
TEST_F(Builders, WordCaptionGoesWithItsLandscapeTable)
{
    std::string table = "[TABLE]2";
    for (int row = 0; row < 2; ++row)
        for (int c = 0; c < 24; ++c)
            table += "<break>Member number " + std::to_string(c);
    TWordBuilder word({TReportKind::Investigation, 1}, false, m_temp.File("w.docx"));
    word.SetDocument("[TEXT]Introduction&&&&&Members of both&&&&&" + table + "<break>");
    word.Format();
    word.Write();
    TDocxReader docx(m_temp.File("w.docx"));
    ASSERT_TRUE(docx.Ok());
    const auto breaksBefore = [&docx](const std::string& text) {
        const std::string path = "count(//w:p[.//w:t='" + text + "']/preceding::w:p[w:pPr/w:sectPr])";
        return pugi::xpath_query(path.c_str()).evaluate_number(docx.Document());
    };
    EXPECT_EQ(breaksBefore("Introduction"), 0);
    EXPECT_EQ(breaksBefore("Members of both"), 1); // after the portrait section's end
}

TEST_F(Builders, HtmlEmptyCellsAreNonBreakingSpacesAndPagesDeclareUtf8)
{
    const std::string html = Formatted<THTMLBuilder>("[HEADER2]Ünïcode&&&&&&&&&&[TABLE]1<break>  <break>x<break>");
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("<h2>Ünïcode</h2>"), std::string::npos);
    EXPECT_NE(html.find("<tr><td class=\"name\">&nbsp;</td><td>x</td></tr>"), std::string::npos);
}

TEST_F(Builders, BrokenTablesAreSkippedNotFatal)
{
    for (const char* table : {"[TABLE]0<break>a<break>", "[TABLE]x<break>", "[TABLE]", "[TABLE]5<break>a<break>"}) {
        EXPECT_EQ(Formatted<TTextBuilder>(std::string("[TEXT]a") + table + "[TEXT]b"), "ab") << table;
        const std::string html = Formatted<THTMLBuilder>(std::string("[TEXT]a") + table);
        EXPECT_EQ(html.find("<table"), std::string::npos) << table;
    }
}

TEST_F(Builders, HtmlReportStreamedToItsFileHoldsEveryRowOnce)
{
    std::vector<std::string> names;
    for (int i = 1; i <= 150; ++i)
        names.push_back("Member " + std::to_string(i));
    TReportProject project(names);
    const std::string path = m_temp.File("big.html");
    THTMLBuilder builder({TReportKind::Investigation, 1}, false, path);
    builder.SetStore(project.store);
    builder.SetReportRegs(TReportRegs{});
    builder.Generate();

    const std::string file = ReadFileBytes(path);
    ASSERT_GT(file.size(), 200000u) << "the page must span many of the blocks it is written in";
    EXPECT_EQ(file, HtmlOfReportDocument(builder.Document()));
    std::size_t rows = 0;
    for (const TSectionView& section : ReadSectionViews(builder.Document())) {
        if (section.Tag == kTagTable)
            rows += TTableReader(section.Content).RowCount();
    }
    std::size_t written = 0;
    for (std::size_t at = file.find("<tr>"); at != std::string::npos; at = file.find("<tr>", at + 1))
        ++written;
    EXPECT_EQ(written, rows);
    EXPECT_TRUE(file.ends_with("</html>\n"));
}

} // namespace
