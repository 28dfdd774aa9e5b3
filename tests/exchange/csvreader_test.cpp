// The CSV reader: quoting, separators, encodings and hostile files.
#include <gtest/gtest.h>

#include "exchange/csvreader.h"
#include "support/core/tempdir.h"

namespace {

std::vector<std::vector<std::string>> Fields(const TCsvTable& table)
{
    std::vector<std::vector<std::string>> out;
    for (const TCsvRow& row : table.Rows)
        out.push_back(row.Fields);
    return out;
}

TEST(CsvReader, QuotedFieldsHoldSeparatorsQuotesAndLineBreaks)
{
    TCsvTable table;
    std::string error;
    ASSERT_TRUE(ReadCsvText("name,note\r\n\"Smith, Anna\",\"said \"\"hi\"\"\r\ntwice\"\r\nBob, x \r\n", table, error))
        << error;
    EXPECT_EQ(table.Separator, ',');
    const auto fields = Fields(table);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[1], (std::vector<std::string>{"Smith, Anna", "said \"hi\"\r\ntwice"}));
    EXPECT_EQ(fields[2], (std::vector<std::string>{"Bob", " x "}));
    // The record after a quoted line break starts on the file's own line number.
    EXPECT_EQ(table.Rows[2].Line, 4);
}

TEST(CsvReader, SeparatorIsDetectedFromTheFirstRecord)
{
    const struct {
        const char* text;
        char separator;
    } cases[] = {
        {"a;b;c\n1;2;3\n", ';'},
        {"a\tb\n1\t2\n", '\t'},
        {"\"x;y\",b\n1,2\n", ','}, // a separator inside quotes does not count
        {"single\nrow\n", ','},
        {"sep=;\na,b;c\n", ';'},
        {"Name,Note\nAnn,likes a;b;c;d\n", ','}, // later records do not vote
    };
    for (const auto& c : cases) {
        TCsvTable table;
        std::string error;
        ASSERT_TRUE(ReadCsvText(c.text, table, error)) << c.text;
        EXPECT_EQ(table.Separator, c.separator) << c.text;
    }
    TCsvTable table;
    std::string error;
    ASSERT_TRUE(ReadCsvText("sep=;\na,b;c\n", table, error));
    ASSERT_EQ(table.Rows.size(), 1u);
    EXPECT_EQ(table.Rows[0].Fields, (std::vector<std::string>{"a,b", "c"}));
    EXPECT_EQ(table.Rows[0].Line, 2);
    ASSERT_TRUE(ReadCsvText("Name,Note\nAnn,likes a;b;c;d\n", table, error));
    ASSERT_EQ(table.Rows.size(), 2u);
    EXPECT_EQ(table.Rows[1].Fields, (std::vector<std::string>{"Ann", "likes a;b;c;d"}));
}

TEST(CsvReader, EncodingsAndBlankLines)
{
    TCsvTable table;
    std::string error;
    // UTF-8 with a byte order mark; blank and separator-only lines are skipped.
    ASSERT_TRUE(ReadCsvText("\xEF\xBB\xBFname\r\n\xD0\x90\xD0\xBD\xD1\x8F\r\n\r\n,,\r\n", table, error));
    ASSERT_EQ(table.Rows.size(), 2u);
    EXPECT_EQ(table.Rows[0].Fields[0], "name");
    EXPECT_EQ(table.Rows[1].Fields[0], "\xD0\x90\xD0\xBD\xD1\x8F");
    // The same name in Windows-1251.
    ASSERT_TRUE(ReadCsvText("name\n\xC0\xED\xFF", table, error));
    ASSERT_EQ(table.Rows.size(), 2u);
    EXPECT_EQ(table.Rows[1].Fields[0], "\xD0\x90\xD0\xBD\xD1\x8F");
    // A last record without a line break is kept; an empty quoted field is a field.
    ASSERT_TRUE(ReadCsvText("a,\"\"", table, error));
    EXPECT_EQ(table.Rows[0].Fields, (std::vector<std::string>{"a", ""}));
}

TEST(CsvReader, HostileFilesAreRefusedWithAReason)
{
    TCsvTable table;
    std::string error;
    EXPECT_FALSE(ReadCsvText(std::string("a,b\n1,\0,2\n", 10), table, error));
    EXPECT_NE(error.find("NUL"), std::string::npos);

    EXPECT_FALSE(ReadCsvText("a,b\n1,\"open\n2,3\n", table, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;

    std::string wide;
    for (int i = 0; i < 10000; ++i)
        wide += "c,";
    EXPECT_FALSE(ReadCsvText(wide + "\n", table, error));
    EXPECT_NE(error.find("columns"), std::string::npos) << error;

    const std::string big(TCsvLimits{}.MaxBytes + 1, 'x');
    EXPECT_FALSE(ReadCsvText(big, table, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(table.Rows.empty());

    EXPECT_FALSE(ReadCsvText("\r\n\r\n", table, error));
    EXPECT_FALSE(error.empty());

    const TTempDir dir;
    EXPECT_FALSE(ReadCsvFile(dir.File("missing.csv"), table, error));
    EXPECT_NE(error.find("missing.csv"), std::string::npos);
    WriteFileBytes(dir.File("big.csv"), std::string(60u * 1024u * 1024u, 'a'));
    EXPECT_FALSE(ReadCsvFile(dir.File("big.csv"), table, error));
    EXPECT_NE(error.find("larger"), std::string::npos) << error;
}

TEST(CsvReader, WrittenFieldsReadBack)
{
    const std::vector<std::string> fields = {"plain", "with, comma", "with \"quote\"", "two\r\nlines", ""};
    TCsvTable table;
    std::string error;
    ASSERT_TRUE(ReadCsvText(CsvRecord(fields) + CsvRecord(fields), table, error)) << error;
    ASSERT_EQ(table.Rows.size(), 2u);
    EXPECT_EQ(table.Rows[1].Fields, fields);
}

} // namespace
