#include "util/xmltext.h"

#include <gtest/gtest.h>

TEST(XmlSafeText, KeepsAllowedTextAndReplacesWhatXmlForbids)
{
    const std::string fine = "Anna \xC3\x96zt\xC3\xBCrk\t\n\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xF0\x9F\x98\x80";
    EXPECT_TRUE(IsXmlSafeText(fine));
    EXPECT_EQ(XmlSafeText(fine), fine);

    const std::string r = "\xEF\xBF\xBD";
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {std::string("a\0b", 3), "a" + r + "b"},
        {"a\x01\x1F" "b", "a" + r + r + "b"},
        {"x\xEF\xBF\xBEy", "x" + r + "y"},        // U+FFFE
        {"x\xEF\xBF\xBFy", "x" + r + "y"},        // U+FFFF
        {"x\xEF\xB7\x90y", "x" + r + "y"},        // U+FDD0
        {"x\xF0\x9F\xBF\xBEy", "x" + r + "y"},    // U+1FFFE
        {"x\xED\xA0\x80y", "x" + r + "y"},        // a surrogate
        {"x\xC0\xAFy", "x" + r + r + "y"},        // overlong
        {"x\xC3", "x" + r},                        // cut short
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(IsXmlSafeText(c.in)) << c.in;
        EXPECT_EQ(XmlSafeText(c.in), c.out) << c.in;
        EXPECT_TRUE(IsXmlSafeText(XmlSafeText(c.in)));
    }
}
