// The Word builder and its document layer, read back from the written .docx package.
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
    for (const TExpectedStyle& e : {TExpectedStyle{"Tremlow Heading 1", "32", true},
                                   TExpectedStyle{"Tremlow Heading 2", "28", true},
                                   TExpectedStyle{"Tremlow Standard", "24", false}}) {
        pugi::xml_node style = docx.Styles().select_node(
            (std::string("//w:style[w:name/@w:val='") + e.name + "']").c_str()).node();
        ASSERT_TRUE(style) << e.name;
        EXPECT_STREQ(style.attribute("w:type").value(), "paragraph");
        EXPECT_STREQ(style.child("w:rPr").child("w:sz").attribute("w:val").value(), e.size) << e.name;
        EXPECT_EQ(static_cast<bool>(style.child("w:rPr").child("w:b")), e.bold) << e.name;
    }
}

TEST_F(WordBuilder, ReportHeadingsParagraphsAndCentredTables)
{
    TReportProject project({"Ann", "Bob", "Cid"});
    project.store.ForChoices().Add(1, 1, 2);
    project.store.ForChoices().Add(1, 2, 1);
    project.store.AgainstChoices().Add(1, 1, 2);
    project.store.AgainstChoices().Add(1, 3, 1);
    TReportRegs regs;
    TDocxReader docx = Build(project.store, {TReportKind::Investigation, 1});
    ASSERT_TRUE(docx.Ok());

    const auto paragraphs = docx.Paragraphs();
    ASSERT_FALSE(paragraphs.empty());
    EXPECT_EQ(paragraphs[0], (std::pair<std::string, std::string>{"TremlowHeading1", "Investigation report"}));
    EXPECT_EQ(paragraphs[2], (std::pair<std::string, std::string>{"TremlowHeading2", "About the investigation"}));
    EXPECT_EQ(paragraphs[4], (std::pair<std::string, std::string>{"TremlowStandard", "Investigation: Survey"}));

    // Choices table, group indices (twice), individual indices (twice), ten rankings, status groups.
    const auto tables = docx.Tables();
    ASSERT_EQ(tables.size(), 16u);
    // Cid, named by nobody, is neglected (zSI -1.41); Ann and Bob (zSI 0.71) are unclassified.
    ASSERT_EQ(tables[15].size(), 7u);
    EXPECT_EQ(tables[15][3], (std::vector<std::string>{"Neglected", "1", "Cid"}));
    EXPECT_EQ(tables[15][6], (std::vector<std::string>{"Unclassified", "2", "Ann, Bob"}));
    ASSERT_EQ(tables[0].size(), 4u);
    EXPECT_EQ(tables[0][0], (std::vector<std::string>{"Who chose (rows) whom (columns)", "Ann", "Bob", "Cid"}));
    EXPECT_EQ(tables[0][1], (std::vector<std::string>{"Ann", "", "+-", ""}));
    EXPECT_EQ(tables[0][3], (std::vector<std::string>{"Cid", "-", "", ""}));
    EXPECT_EQ(tables[1][0], (std::vector<std::string>{"Density (P)", "0.333"}));

    pugi::xml_node firstTable = docx.Document().select_node("//w:tbl").node();
    EXPECT_STREQ(firstTable.child("w:tblPr").child("w:jc").attribute("w:val").value(), "center");
    for (pugi::xpath_node cell : firstTable.select_nodes(".//w:tc/w:p")) {
        EXPECT_STREQ(cell.node().child("w:pPr").child("w:jc").attribute("w:val").value(), "center");
        EXPECT_STREQ(cell.node().child("w:pPr").child("w:pStyle").attribute("w:val").value(), "TremlowStandard");
    }
}

TEST_F(WordBuilder, SociocardOfThreeHasFourRowsAndTheAnswerColumn)
{
    TReportProject project({"Ann", "Bob", "Cid"}, "Class", "Sit with?");
    TDocxReader docx = Build(project.store, {TReportKind::Investigation, 1}, "sociocard");
    ASSERT_TRUE(docx.Ok());
    const auto tables = docx.Tables();
    ASSERT_EQ(tables.size(), 1u);
    ASSERT_EQ(tables[0].size(), 4u);
    EXPECT_EQ(tables[0][0], (std::vector<std::string>{"No.", "Client", "Sit with?\rYes\t\tNo"}));
    EXPECT_EQ(tables[0][3], (std::vector<std::string>{"3", "Cid", ""}));
    EXPECT_EQ(docx.Paragraphs()[0], (std::pair<std::string, std::string>{"TremlowHeading1", "Sociometric card"}));
}

TEST_F(WordBuilder, WideSociomatrixIsSplitIntoTablesWordCanHold)
{
    std::vector<std::string> names;
    for (int i = 1; i <= 70; ++i)
        names.push_back("M" + std::to_string(i));
    TReportProject project(names);
    TDocxReader docx = Build(project.store, {TReportKind::Investigation, 1}, "sociomatrix");
    ASSERT_TRUE(docx.Ok());
    const auto tables = docx.Tables();
    ASSERT_EQ(tables.size(), 2u);
    ASSERT_EQ(tables[0].size(), 71u);
    ASSERT_EQ(tables[0][0].size(), 63u);
    ASSERT_EQ(tables[1][0].size(), 9u);
    EXPECT_EQ(tables[0][0][1], "1. M1");
    EXPECT_EQ(tables[0][5][0], "5. M5");
    EXPECT_EQ(tables[1][0][1], "63. M63");
    EXPECT_EQ(tables[1][70][0], "70. M70"); // every block repeats the row names
    EXPECT_EQ(tables[1][0][8], "70. M70");

    // The diagonal (a member facing itself) is dark, and only there; each block has its own
    // dark top-left corner.
    int dark = 0;
    for (pugi::xpath_node shd : docx.Document().select_nodes("//w:tc/w:tcPr/w:shd[@w:fill='000000']")) {
        (void)shd;
        ++dark;
    }
    EXPECT_EQ(dark, 71 + 1);
    pugi::xml_node secondBlockRow63 = docx.Document().select_node("(//w:tbl)[2]/w:tr[64]/w:tc[2]").node();
    EXPECT_TRUE(secondBlockRow63.child("w:tcPr").child("w:shd"));
}

TEST_F(WordBuilder, HostileTextReadsBackExactly)
{
    const std::string hostile = "<b>&amp;</b> [TABLE]1<break>x &&&&& %%%%% \"q\" 'a' Ёж";
    const std::string control = "bell\x07" "nul";
    TReportProject project({hostile, control, std::string(10000, 'z')});
    TDocxReader docx = Build(project.store, {TReportKind::ClientGroup, 1});
    ASSERT_TRUE(docx.Ok());
    std::vector<std::string> texts;
    for (const auto& p : docx.Paragraphs())
        texts.push_back(p.second);
    EXPECT_NE(std::find(texts.begin(), texts.end(), hostile), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "bell\u2407nul"), texts.end()) << ::testing::PrintToString(texts);
    EXPECT_NE(std::find(texts.begin(), texts.end(), std::string(255, 'z')), texts.end()); // short texts hold 255
}

TEST(DocxDocument, TablesGoBeforeTheInsertionPointAndCellsAreChecked)
{
    TDocxDocument doc;
    doc.AddStyle("Body", 12, false);
    doc.SetStyle("Body");
    doc.TypeText("before");
    doc.TypeParagraph();
    EXPECT_EQ(doc.AddTable(2, 2), 1);
    doc.SetCellText(1, 2, 2, "a\r\nb");
    doc.TypeText("after\tend");
    EXPECT_EQ(doc.TableCount(), 1);
    EXPECT_THROW(doc.SetCellText(1, 3, 1, "x"), std::out_of_range);
    EXPECT_THROW(doc.SetCellText(2, 1, 1, "x"), std::out_of_range);
    EXPECT_THROW(doc.AddTable(0, 1), std::out_of_range);

    TTempDir temp;
    std::string error;
    ASSERT_TRUE(doc.SaveAs(temp.File("t.docx"), error)) << error;
    TDocxReader docx(temp.File("t.docx"));
    ASSERT_TRUE(docx.Ok());
    pugi::xml_node body = docx.Document().child("w:document").child("w:body");
    std::vector<std::string> order;
    for (pugi::xml_node n : body.children())
        order.push_back(n.name() + std::string(":") + TDocxReader::ParagraphText(n));
    EXPECT_EQ(order, (std::vector<std::string>{"w:p:before", "w:tbl:", "w:p:after\tend", "w:sectPr:"}));
    EXPECT_EQ(docx.Tables()[0][1][1], "a\rb");
    EXPECT_FALSE(doc.SaveAs(temp.File("missing/t.docx"), error));
}

} // namespace
