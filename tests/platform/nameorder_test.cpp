// Names listed in the order people expect.
#include <gtest/gtest.h>

#include "platform/nameorder.h"

namespace {

TEST(PlatformNameOrder, NamesSortByNumbersInThemAndIgnoreLetterCase)
{
    const struct {
        const char* before;
        const char* after;
    } cases[] = {{"Pupil 2", "Pupil 10"},
                 {"pupil 9", "Pupil 10"},
                 {"ann", "Bob"},
                 {"Anna", "anne"},
                 {"Class 7B", "Class 10A"}};
    for (const auto& c : cases) {
        EXPECT_TRUE(NameLess(c.before, c.after)) << c.before << " < " << c.after;
        EXPECT_FALSE(NameLess(c.after, c.before)) << c.after << " < " << c.before;
    }
    EXPECT_FALSE(NameLess("Ann", "ann"));
    EXPECT_FALSE(NameLess("ann", "Ann"));
}

} // namespace
