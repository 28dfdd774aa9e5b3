#include <gtest/gtest.h>

#include <string>

#include "util/dates.h"

namespace {

double Date(int y, int m, int d)
{
    double date = 0;
    EXPECT_TRUE(EncodeDate(y, m, d, date)) << y << '-' << m << '-' << d;
    return date;
}

TEST(FileDates, WrittenAsDayMonthYearAndReadBack)
{
    std::string text;
    ASSERT_TRUE(FormatFileDate(Date(1991, 2, 14) + 0.75, text));
    EXPECT_EQ(text, "14.2.1991 ");
    for (const double date : {Date(1, 1, 1), Date(9999, 12, 31), Date(1899, 12, 30), Date(2000, 2, 29)}) {
        ASSERT_TRUE(FormatFileDate(date, text));
        double back = -1;
        ASSERT_TRUE(ParseFileDate(text, back)) << text;
        EXPECT_EQ(back, date) << text;
    }
    EXPECT_FALSE(FormatFileDate(1e12, text));
    EXPECT_TRUE(text.empty());
}

TEST(FileDates, ReadingTakesDigitsInTurnAndRefusesInvalidDates)
{
    double date = 0;
    ASSERT_TRUE(ParseFileDate("05/03/2004", date));
    EXPECT_EQ(date, Date(2004, 3, 5));
    ASSERT_TRUE(ParseFileDate("1.1.1", date));
    EXPECT_EQ(date, Date(1, 1, 1));
    for (const char* bad : {"", "1.2", "31.2.1999", "1.13.2000", "1..2000", "0.1.2000", "1.1.10000", "a.b.c"})
        EXPECT_FALSE(ParseFileDate(bad, date)) << bad;
    // A part of absurd length does not overflow into a valid date.
    EXPECT_FALSE(ParseFileDate("1.1." + std::string(40, '9'), date));
}

} // namespace
