// The Word builder and its document layer, read back from the written .docx package.
#include <algorithm>
#include <numeric>

#include <gtest/gtest.h>

#include "reports/reportfixture.h"
#include "reports/wordbuilder.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"

namespace {

class WordBuilder : public ::testing::Test {
protected:
    void SetUp() override { InstallBuiltCatalogue(); }

    // Runs the builder on target (a blank when blank is "sociocard" or "sociomatrix") and reads the file back.
    TDocxReader Build(TFileAccess& store, const TReportTarget& target, const std::string& blank = {})
    {
        TWordBuilder builder(target, false, m_path);
        builder.SetStore(store);
        builder.SetReportRegs(TReportRegs{});
        if (blank == "sociocard")
            builder.Sociocard();
        else if (blank == "sociomatrix")
            builder.Sociomatrix();
        else
            builder.Generate();
        return TDocxReader(m_path);
    }

    TTempDir m_temp;
    std::string m_path = m_temp.File("out.docx");
};

TEST_F(WordBuilder, DocumentHasTheThreeStylesAndAllPackageParts)
{
    TReportProject project({"Ann", "Bob"});
    TDocxReader docx = Build(project.store, {TReportKind::ClientGroup, 1});
    ASSERT_TRUE(docx.Ok());
    for (const char* part : {"[Content_Types].xml", "_rels/.rels", "word/_rels/document.xml.rels"})
        EXPECT_TRUE(docx.HasPart(part)) << part;

    struct TExpectedStyle {
        const char* name;
        const char* size;
        bool bold;
    };
    for (const TExpectedStyle& e : {TExpectedStyle{"Tremlow Heading 1", "30", true},
                                   TExpectedStyle{"Tremlow Heading 2", "23", true},
                                   TExpectedStyle{"Tremlow Standard", "20", false}}) {
        pugi::xml_node style = docx.Styles().select_node(
            (std::string("//w:style[w:name/@w:val='") + e.name + "']").c_str()).node();
        ASSERT_TRUE(style) << e.name;
        EXPECT_STREQ(style.attribute("w:type").value(), "paragraph");
        EXPECT_STREQ(style.child("w:rPr").child("w:sz").attribute("w:val").value(), e.size) << e.name;
        EXPECT_EQ(static_cast<bool>(style.child("w:rPr").child("w:b")), e.bold) << e.name;
    }
}

// Widths of a table's columns, from its grid.
std::vector<int> GridWidths(pugi::xml_node table)
{
    std::vector<int> widths;
    for (pugi::xml_node col : table.child("w:tblGrid").children("w:gridCol"))
        widths.push_back(col.attribute("w:w").as_int());
    return widths;
}

TEST_F(WordBuilder, ReportHeadingsParagraphsAndFittedTables)
{
    TReportProject project({"Ann", "Bob", "Cid Maximilian Ashworth-Fairbanks"});
    project.store.ForChoices().Add(1, 1, 2);
    project.store.ForChoices().Add(1, 2, 1);
    project.store.AgainstChoices().Add(1, 1, 2);
    project.store.AgainstChoices().Add(1, 3, 1);
    TDocxReader docx = Build(project.store, {TReportKind::Investigation, 1});
    ASSERT_TRUE(docx.Ok());

    const auto paragraphs = docx.Paragraphs();
    ASSERT_GE(paragraphs.size(), 3u);
    EXPECT_EQ(paragraphs[0], (std::pair<std::string, std::string>{"TremlowHeading1", "Investigation report"}));
    EXPECT_EQ(paragraphs[1], (std::pair<std::string, std::string>{"TremlowHeading2", "About the investigation"}));
    EXPECT_EQ(paragraphs[2], (std::pair<std::string, std::string>{"TremlowStandard", "Investigation: Survey"}));

    // Choices table, group indices (twice), individual indices (twice), ten rankings, status groups.
    const auto tables = docx.Tables();
    ASSERT_EQ(tables.size(), 16u);
    ASSERT_EQ(tables[15].size(), 7u);
    EXPECT_EQ(tables[15][3], (std::vector<std::string>{"Neglected", "1", "Cid Maximilian Ashworth-Fairbanks"}));
    // The sociomatrix: numbers over the columns, numbered names on the rows, totals of choices
    // given (columns) and received (rows).
    ASSERT_EQ(tables[0].size(), 6u);
    EXPECT_EQ(tables[0][0], (std::vector<std::string>{"Who chose (rows) whom (columns)", "1", "2", "3", "Given +",
                                                      "Given -"}));
    EXPECT_EQ(tables[0][1], (std::vector<std::string>{"1. Ann", "", "+-", "", "1", "1"}));
    EXPECT_EQ(tables[0][3][0], "3. Cid Maximilian Ashworth-Fairbanks");
    EXPECT_EQ(tables[0][3][1], "-");
    EXPECT_EQ(tables[0][3][5], "1");
    EXPECT_EQ(tables[0][4], (std::vector<std::string>{"Received +", "1", "1", "0", "", ""}));
    EXPECT_EQ(tables[0][5], (std::vector<std::string>{"Received -", "1", "1", "0", "", ""}));
    EXPECT_EQ(tables[1][0], (std::vector<std::string>{"Density (P)", "0.333"}));
    EXPECT_EQ(tables[2][1][0], "Cohesion (Sa), from positive choices");

    // Every column is at least as wide as its longest word at the table font (names wrap at
    // spaces only), mark columns stay narrow, and each table fits a portrait page.
    int tableIndex = 0;
    for (pugi::xpath_node t : docx.Document().select_nodes("//w:tbl")) {
        pugi::xml_node table = t.node();
        EXPECT_STREQ(table.child("w:tblPr").child("w:tblLayout").attribute("w:type").value(), "fixed");
        const std::vector<int> widths = GridWidths(table);
        const auto& rows = tables[static_cast<std::size_t>(tableIndex)];
        int total = 0;
        for (std::size_t c = 0; c < widths.size(); ++c) {
            total += widths[c];
            for (std::size_t r = 0; r < rows.size(); ++r) {
                EXPECT_GE(widths[c], DocxLongestWordTwips(rows[r][c], 9, r == 0))
                    << "table " << tableIndex << " row " << r << " column " << c;
            }
        }
        EXPECT_LE(total, DocxTextWidth(false)) << "table " << tableIndex;
        ++tableIndex;
    }
    const std::vector<int> matrix = GridWidths(docx.Document().select_node("//w:tbl").node());
    EXPECT_LT(matrix[1] * 3, matrix[0]);
    EXPECT_STREQ(docx.Document().select_node("(//w:tbl)[1]/w:tr[2]/w:tc[1]/w:p/w:pPr/w:jc").node()
                     .attribute("w:val").value(), "left");
    EXPECT_FALSE(docx.Document().select_node("(//w:tbl)[1]/w:tr[2]/w:tc[2]/w:p/w:pPr/w:jc").node());
}

TEST_F(WordBuilder, SociocardHasABoxForYesAndForNoAndSaysHowManyToChoose)
{
    TReportProject project({"Ann", "Bob", "Cid"}, "Class", "Sit with?");
    TDocxReader docx = Build(project.store, {TReportKind::Investigation, 1}, "sociocard");
    ASSERT_TRUE(docx.Ok());
    auto tables = docx.Tables();
    ASSERT_EQ(tables.size(), 1u);
    ASSERT_EQ(tables[0].size(), 4u);
    EXPECT_EQ(tables[0][0], (std::vector<std::string>{"No.", "Client", "Yes", "No"}));
    EXPECT_EQ(tables[0][3], (std::vector<std::string>{"3", "Cid", "", ""}));
    const std::vector<int> widths = GridWidths(docx.Document().select_node("//w:tbl").node());
    EXPECT_GE(widths[2], 1000); // room for a mark by hand
    EXPECT_EQ(widths[2], widths[3]);
    auto texts = docx.Paragraphs();
    EXPECT_EQ(texts[0], (std::pair<std::string, std::string>{"TremlowHeading1", "Sociometric card"}));
    const auto has = [&](const std::string& text) {
        return std::any_of(texts.begin(), texts.end(), [&](const auto& p) { return p.second == text; });
    };
    EXPECT_TRUE(has("Sit with?"));
    EXPECT_TRUE(has("Yes: choose at most 3."));
    EXPECT_TRUE(has("No: choose at most 3."));

    // Without negative choices there is no No box, and the card says so.
    ASSERT_TRUE(project.store.Investigations().Change({.Id = 1, .ClientGroupId = 1, .CriterionId = 1,
                                                       .CriteriaGroupId = 1, .Name = "Survey", .Date = 45000,
                                                       .AllowAgainst = false, .MaxChoices = 3}));
    docx = Build(project.store, {TReportKind::Investigation, 1}, "sociocard");
    tables = docx.Tables();
    EXPECT_EQ(tables[0][0], (std::vector<std::string>{"No.", "Client", "Yes"}));
    texts = docx.Paragraphs();
    EXPECT_TRUE(has("Negative choices: not asked."));
    EXPECT_FALSE(has("No: choose at most 3."));
}

TEST_F(WordBuilder, WideSociomatrixIsSplitIntoPageWideBlocks)
{
    std::vector<std::string> names;
    for (int i = 1; i <= 70; ++i)
        names.push_back("M" + std::to_string(i));
    TReportProject project(names);
    TDocxReader docx = Build(project.store, {TReportKind::Investigation, 1}, "sociomatrix");
    ASSERT_TRUE(docx.Ok());
    const auto tables = docx.Tables();
    ASSERT_GE(tables.size(), 2u);
    // Every block repeats the numbered names, fits a landscape page and Word's column limit;
    // together they hold every member's column once.
    std::vector<std::string> heads;
    int blockIndex = 1;
    for (const auto& block : tables) {
        ASSERT_EQ(block.size(), 71u);
        EXPECT_EQ(block[70][0], "70. M70");
        ASSERT_LE(block[0].size(), 63u);
        heads.insert(heads.end(), block[0].begin() + 1, block[0].end());
        const std::vector<int> widths =
            GridWidths(docx.Document().select_node(("(//w:tbl)[" + std::to_string(blockIndex++) + "]").c_str()).node());
        EXPECT_LE(std::accumulate(widths.begin(), widths.end(), 0), DocxTextWidth(true));
    }
    ASSERT_EQ(heads.size(), 70u);
    EXPECT_EQ(heads.front(), "1");
    EXPECT_EQ(heads.back(), "70");
    EXPECT_STREQ(docx.Document().select_node("//w:body/w:sectPr/w:pgSz").node().attribute("w:orient").value(),
                 "landscape");

    // The diagonal (a member facing itself) is dark, and only there; each block has its own
    // dark top-left corner.
    const std::size_t dark = docx.Document().select_nodes("//w:tc/w:tcPr/w:shd[@w:fill='000000']").size();
    EXPECT_EQ(dark, 70 + tables.size());
}

TEST_F(WordBuilder, HostileTextReadsBackExactly)
{
    const std::string hostile = "<b>&amp;</b> [TABLE]1<break>x &&&&& %%%%% \"q\" 'a' Ёж";
    const std::string control = "bell\x07" "nul";
    TReportProject project({hostile, control, std::string(10000, 'z'), "non\xEF\xBF\xBE" "char"});
    TDocxReader docx = Build(project.store, {TReportKind::ClientGroup, 1});
    ASSERT_TRUE(docx.Ok());
    std::vector<std::string> texts;
    for (const auto& p : docx.Paragraphs())
        texts.push_back(p.second);
    EXPECT_NE(std::find(texts.begin(), texts.end(), hostile), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "bell\u2407nul"), texts.end()) << ::testing::PrintToString(texts);
    EXPECT_NE(std::find(texts.begin(), texts.end(), std::string(255, 'z')), texts.end()); // short texts hold 255
    EXPECT_NE(std::find(texts.begin(), texts.end(), "non\uFFFDchar"), texts.end()); // XML forbids U+FFFE
}

TEST(DocxDocument, WritesInOrderAndEndsEachSectionWithItsOrientation)
{
    TDocxDocument doc;
    doc.AddStyle("Body", 10, false);
    doc.Paragraph("Body", "before");
    doc.SetSection({.Landscape = true});
    doc.BeginTable({{2000, false}, {500, true}}, "Body");
    doc.Row({"a\r\nb"});
    doc.EndTable();
    doc.SetSection({});
    doc.Paragraph("Body", "after\tend");
    doc.SetSection({.Columns = 2});
    doc.Paragraph("Body", "beside");
    EXPECT_THROW(doc.Paragraph("Nope", "x"), std::out_of_range);

    TTempDir temp;
    std::string error;
    ASSERT_TRUE(doc.SaveAs(temp.File("t.docx"), error)) << error;
    TDocxReader docx(temp.File("t.docx"));
    ASSERT_TRUE(docx.Ok());
    EXPECT_TRUE(docx.HasPart("word/footer1.xml")); // page numbers
    pugi::xml_node body = docx.Document().child("w:document").child("w:body");
    std::vector<std::string> order;
    for (pugi::xml_node n : body.children()) {
        const char* orient = n.select_node(".//w:sectPr/w:pgSz/@w:orient").attribute().value();
        order.push_back(n.name() + std::string(":") + TDocxReader::ParagraphText(n) + ":" + orient);
    }
    // The portrait part ends before the table, the landscape part after it.
    EXPECT_EQ(order, (std::vector<std::string>{"w:p:before:", "w:p::", "w:tbl::", "w:p::landscape", "w:p:after\tend:",
                                               "w:p::", "w:p:beside:", "w:sectPr::"}));
    // Two text columns continue on the page of the text before them.
    pugi::xml_node last = body.child("w:sectPr");
    EXPECT_STREQ(last.child("w:cols").attribute("w:num").value(), "2");
    EXPECT_STREQ(last.child("w:type").attribute("w:val").value(), "continuous");
    EXPECT_EQ(docx.Tables()[0][0], (std::vector<std::string>{"a\rb", ""}));
    TDocxDocument other;
    EXPECT_FALSE(other.SaveAs(temp.File("missing/t.docx"), error));
}

} // namespace
