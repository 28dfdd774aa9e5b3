#include "util/codepage.h"

#include <gtest/gtest.h>

#include "util/text.h"

namespace {

// Decodes like a file reader and returns the code page the file is to be written back in.
int Decode(std::string_view bytes, int codePage, std::string& text)
{
    std::string storage;
    std::string_view view;
    const int result = DecodeFileBytes(bytes, codePage, storage, view);
    text = std::string(view);
    return result;
}

TEST(UtilCodePage, ConvertsBothWaysAndNeverLosesAByte)
{
    // "Привет, Ёж №1" in Windows-1251.
    const std::string cp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6 \xB9" "1";
    EXPECT_EQ(CodePageToUtf8(cp1251, 1251), "Привет, Ёж №1");
    EXPECT_EQ(CodePageToUtf8("\xB3\xBF\xBA", 1251), "іїє");
    EXPECT_EQ(CodePageToUtf8("\xC9quipe Zo\xEB", 1252), "Équipe Zoë");
    std::string bytes;
    ASSERT_TRUE(Utf8ToCodePage("Привет, Ёж №1", 1251, bytes));
    EXPECT_EQ(bytes, cp1251);
    ASSERT_TRUE(Utf8ToCodePage("Équipe Zoë €", 1252, bytes));
    EXPECT_EQ(bytes, "\xC9quipe Zo\xEB \x80");
    EXPECT_FALSE(Utf8ToCodePage("Zoë", 1251, bytes)) << "Windows-1251 has no ë";
    EXPECT_FALSE(Utf8ToCodePage("Привет", 1252, bytes));

    // Every byte of a code page comes back, the ones it leaves undefined included.
    for (const int codePage : {1250, 1251, 1252, 866}) {
        std::string all;
        for (int b = 0; b < 256; ++b)
            all += static_cast<char>(b);
        const std::string text = CodePageToUtf8(all, codePage);
        EXPECT_TRUE(IsValidUtf8(text)) << codePage;
        ASSERT_TRUE(Utf8ToCodePage(text, codePage, bytes)) << codePage;
        EXPECT_EQ(bytes, all) << codePage;
    }
}

TEST(UtilCodePage, NamesAndTheSetting)
{
    EXPECT_EQ(ParseCodePage("1252"), 1252);
    EXPECT_EQ(ParseCodePage("cp1250"), 1250);
    EXPECT_EQ(ParseCodePage("Windows-1251"), 1251);
    EXPECT_EQ(ParseCodePage("866"), 866);
    EXPECT_EQ(ParseCodePage("utf-8"), 0);
    EXPECT_EQ(ParseCodePage("65001"), 0) << "not an 8-bit code page";
    EXPECT_EQ(ParseCodePage("932"), 0) << "a multi-byte code page";
    EXPECT_EQ(ParseCodePage("12x"), 0);
    EXPECT_EQ(ParseCodePage(""), 0);

    EXPECT_EQ(FileCodePage(), kDefaultCodePage);
    EXPECT_FALSE(SetFileCodePage(99999));
    EXPECT_EQ(FileCodePage(), kDefaultCodePage);
    ASSERT_TRUE(SetFileCodePage(1252));
    EXPECT_EQ(DecodeFileText("\xC9quipe"), "Équipe");
    ASSERT_TRUE(SetFileCodePage(kDefaultCodePage));
    EXPECT_EQ(DecodeFileText("\xC9quipe"), "Йquipe");
}

TEST(UtilCodePage, FilesAreReadLineByLine)
{
    std::string text;
    EXPECT_EQ(Decode("A=Привет\r\nB=ascii\r\n", 1251, text), kUtf8CodePage);
    EXPECT_EQ(text, "A=Привет\r\nB=ascii\r\n");
    EXPECT_EQ(Decode("\xEF\xBB\xBF" "A=Ёж", 1251, text), kUtf8CodePage);
    EXPECT_EQ(text, "A=Ёж");
    EXPECT_EQ(Decode("A=\xCF\xF0\xE8\r\nB=x\n", 1251, text), 1251) << "a plain 8-bit file";
    EXPECT_EQ(text, "A=При\r\nB=x\n");

    // One stray byte spoils only its own line; the UTF-8 names around it stay whole.
    EXPECT_EQ(Decode("A=Zoë Martín\r\nB=\xD0\r\nC=Ёж\r\n", 1251, text), kUtf8CodePage);
    EXPECT_EQ(text, "A=Zoë Martín\r\nB=Р\r\nC=Ёж\r\n");
    EXPECT_EQ(Decode("A=\xC9quipe\rB=Équipe", 1252, text), kUtf8CodePage) << "a mixed file";
    EXPECT_EQ(text, "A=Équipe\rB=Équipe");
}

} // namespace
