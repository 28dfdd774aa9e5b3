// The report document: writing, section reading, tables and number format.
#include <algorithm>
#include <clocale>
#include <string>

#include <gtest/gtest.h>

#include <cstdlib>

#include "reports/reportdoc.h"
#include "util/numformat.h"
#include "reports/reportfile.h"

namespace {

TEST(ReportDocument, SectionReaderSplitsAtTagsAndStopsAtAnUnclosedBracket)
{
    const auto sections = ReadSections("lead[HEADER1]Title&&&&&[TEXT]body[OTHER]x[TABLE]1<break>a<break>[broken");
    ASSERT_EQ(sections.size(), 4u);
    EXPECT_EQ(sections[0].Tag, "HEADER1");
    EXPECT_EQ(sections[0].Content, "Title&&&&&");
    EXPECT_EQ(sections[1].Tag, "TEXT");
    EXPECT_EQ(sections[1].Content, "body");
    EXPECT_EQ(sections[2].Tag, "OTHER");
    EXPECT_EQ(sections[3].Tag, "TABLE");
    EXPECT_EQ(sections[3].Content, "1<break>a<break>");
    EXPECT_TRUE(ReadSections("no tags at all").empty());
}

TEST(ReportDocument, UserTextNeverProducesTagsLineBreaksOrCells)
{
    const std::string hostile = "a [TEXT] b &&&&& c <break> d %%%%% e \x1B" "b f [";
    TReportDocWriter doc;
    doc.Tag(kTagText);
    doc.Put(hostile);
    doc.Table({{hostile, "x"}, {"y", "z"}});
    const auto sections = ReadSections(doc.Document());
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(SplitLineBreaks(sections[0].Content).size(), 1u);
    EXPECT_EQ(PlainText(sections[0].Content), hostile);

    TTableRows rows;
    ASSERT_TRUE(ParseTable(sections[1].Content, rows));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{hostile, "x"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"y", "z"}));
}

TEST(ReportDocument, LinesJoinDescriptionLinesWithoutATrailingBreak)
{
    TReportDocWriter doc;
    doc.Lines("one\r\ntwo\nthree\rfour\r\n");
    EXPECT_EQ(doc.Document(), "one&&&&&two&&&&&three&&&&&four");
    TReportDocWriter empty;
    empty.Lines("");
    EXPECT_EQ(empty.Document(), "");
    TReportDocWriter blankLine;
    blankLine.Lines("a\r\n\r\nb");
    EXPECT_EQ(blankLine.Document(), "a&&&&&&&&&&b");
}

TEST(ReportDocument, TablesArePaddedOrRefused)
{
    TTableRows rows;
    // 5 cells in 2 rows: 3 columns, the last row padded.
    ASSERT_TRUE(ParseTable("2<break>a<break>b<break>c<break>d<break>e<break>", rows));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"d", "e", ""}));

    for (const char* bad : {"0<break>a<break>", "x<break>a<break>", "-1<break>a<break>", "2a<break>a<break>b<break>",
                            "", "9999999999<break>a<break>", "3<break>a<break>"}) {
        EXPECT_FALSE(ParseTable(bad, rows)) << bad;
        EXPECT_TRUE(rows.empty()) << bad;
    }
    // A last cell without its end mark still counts.
    ASSERT_TRUE(ParseTable("1<break>a<break>b", rows));
    EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b"}));
}

TEST(ReportDocument, IndexValuesInGeneralFormatWithThreeDigits)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0"},          {0.5, "0.5"},          {1.0 / 3, "0.333"},   {2.0 / 3, "0.667"},
        {1, "1"},          {12.345, "12.3"},      {123.4, "123"},       {999.4, "999"},
        {999.6, "1E+0003"}, {1234.5, "1.23E+0003"}, {0.0001234, "0.000123"}, {0.000001234, "1.23E-0006"},
        {-0.25, "-0.25"},  {0.9996, "1"},         {100000, "1E+0005"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(FormatIndexValue(value), expected) << value;

    // Under a comma-decimal locale of the user (the environment, whichever program writes the
    // report) the same digits, with its separator.
    const char* before = std::getenv("LC_ALL");
    const std::string previous = before ? before : "";
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    ASSERT_EQ(ReaderDecimalSeparator(), ",") << "locales-all is not installed";
    for (const auto& [value, expected] : cases) {
        std::string comma = expected;
        std::replace(comma.begin(), comma.end(), '.', ',');
        EXPECT_EQ(FormatIndexValue(value), comma) << value;
    }
    if (before)
        ::setenv("LC_ALL", previous.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
}

TEST(ReportDocument, OnlyLettersAToZAreUpperCased)
{
    EXPECT_EQ(UpperAsciiLetters("abc xyz ABC 123 éàü Привет ß"), "ABC XYZ ABC 123 éàü Привет ß");
}

TEST(ReportDocument, MarkupSafeTextKeepsEveryCharacterVisible)
{
    EXPECT_EQ(MarkupSafeText("plain Привет\ttab\r\n"), "plain Привет\ttab\r\n");
    EXPECT_EQ(MarkupSafeText(std::string("a\x01" "b\x7F", 4)), "a\u2401b\u2421");
    EXPECT_EQ(MarkupSafeText(std::string("a\0b", 3)), "a\u2400b");
    EXPECT_EQ(MarkupSafeText("\xFF"), "\u00FF"); // an invalid byte kept as the character of its value
}

TEST(ReportFileName, SwitchingTheOutputChangesOnlyTheFileNamesExtension)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"report.txt", ".html", "report.html"},
        {"a.txt.old.txt", ".html", "a.html"},
        {"  report  ", ".html", "report"},
        {"/home/ann/study.v2/class.v2", ".txt", "/home/ann/study.v2/class.txt"},
        {"/home/ann/study.v2/class", ".txt", "/home/ann/study.v2/class"},
        {"/home/ann/.hidden", ".txt", "/home/ann/.hidden"},
        {"b.docx", ".txt", "b.txt"},
    };
    for (const auto& [name, extension, expected] : cases)
        EXPECT_EQ(ChangeReportExtension(name, extension), expected) << name;

    EXPECT_EQ(EnsureReportExtension(" out.html ", ".html"), "out.html");
    EXPECT_EQ(EnsureReportExtension("out.HTML", ".html"), "out.HTML.html");
    EXPECT_EQ(EnsureReportExtension("out", ".docx"), "out.docx");
}

} // namespace
