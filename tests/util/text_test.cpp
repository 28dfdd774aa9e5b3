#include <gtest/gtest.h>

#include "util/text.h"

namespace {

TEST(UtilText, CutsNeverSplitACharacter)
{
    const std::string mixed = "a\xD0\x96\xE2\x82\xAC\xF0\x9F\x98\x80z"; // a, Ж, €, emoji, z
    EXPECT_EQ(CharCount(mixed), 5u);
    EXPECT_EQ(CutChars(mixed, 0), "");
    EXPECT_EQ(CutChars(mixed, 1), "a");
    EXPECT_EQ(CutChars(mixed, 2), "a\xD0\x96");
    EXPECT_EQ(CutChars(mixed, 3), "a\xD0\x96\xE2\x82\xAC");
    EXPECT_EQ(CutChars(mixed, 4), "a\xD0\x96\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(CutChars(mixed, 50), mixed);
    for (std::size_t n = 0; n <= 5; ++n)
        EXPECT_TRUE(IsValidUtf8(CutChars(mixed, n))) << n;

    std::string cyrillic;
    for (int i = 0; i < 300; ++i)
        cyrillic += "щ";
    const std::string cut = CutChars(cyrillic);
    EXPECT_EQ(CharCount(cut), kShortTextMax);
    EXPECT_EQ(cut.size(), 2 * kShortTextMax);
}

TEST(UtilText, RecognisesBrokenUtf8)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ascii"));
    EXPECT_FALSE(IsValidUtf8("\xD0"));             // cut sequence
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xCF\xF0\xE8\xE2")); // Windows-1251 bytes
}

TEST(UtilText, FoldsLatinAndCyrillicCase)
{
    EXPECT_EQ(ToLowerText("ПРИВЕТ Мир ЁЖ Ї ABC"), "привет мир ёж ї abc");
    EXPECT_EQ(ToUpperText("привет ёж ї abc"), "ПРИВЕТ ЁЖ Ї ABC");
    EXPECT_TRUE(EqualsNoCase("Школа №5", "ШКОЛА №5"));
    EXPECT_TRUE(EqualsNoCase("Dialogues", "DIALOGUES"));
    EXPECT_FALSE(EqualsNoCase("Ель", "Ёль"));
    EXPECT_FALSE(EqualsNoCase("abc", "abcd"));
    EXPECT_LT(CompareNoCase("абв", "АБГ"), 0);
    EXPECT_GT(CompareNoCase("b", "A"), 0);
    EXPECT_EQ(CompareNoCase("", ""), 0);
}

TEST(UtilText, TrimsBlanksAndLineBreaksOnly)
{
    EXPECT_EQ(Trim("  \t a b \r\n"), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xC2\xA0x"), "\xC2\xA0x"); // a no-break space is text
}

// Arguments go in by number, in any order the translation puts them, and are never read again.
TEST(UtilText, FillsPlaceholdersInOnePass)
{
    EXPECT_EQ(FillPlaceholders("%2 из %1, %2", {"a.soi", "5"}), "5 из a.soi, 5");
    EXPECT_EQ(FillPlaceholders("%1: %2", {"100%2.soi", "x"}), "100%2.soi: x");
    EXPECT_EQ(FillPlaceholders("%3 and 50%", {"a"}), "%3 and 50%");
}

TEST(UtilText, RoundTripsThroughCodePoints)
{
    const std::string text = "Zoë Ж € \xF0\x9F\x98\x80";
    EXPECT_EQ(FromU32(ToU32(text)), text);
    EXPECT_EQ(ToU32("Жa"), std::u32string({U'Ж', U'a'}));
}

} // namespace
