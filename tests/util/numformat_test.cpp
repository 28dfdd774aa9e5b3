#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "util/numformat.h"

namespace {

TEST(UtilNumFormat, GeneralFormatOfIndexValues)
{
    struct TCase {
        double value;
        int digits;
        const char* text;
    };
    const TCase cases[] = {
        {0.5, 2, "0.5"},        {2.0 / 3, 2, "0.67"},    {1.0, 2, "1"},          {1.0 / 3, 2, "0.33"},
        {2.0 / 3, 3, "0.667"},  {1.2, 3, "1.2"},         {0.0, 3, "0"},          {-0.5, 3, "-0.5"},
        {100.0, 3, "100"},      {12.0, 2, "12"},         {0.05, 2, "0.05"},      {0.999, 2, "1"},
        {1234.0, 3, "1.23E3"},  {999.6, 3, "1E3"},       {123.0, 2, "1.2E2"},    {0.00001, 3, "0.00001"},
        {0.000001234, 3, "1.23E-6"}, {-25000.0, 3, "-2.5E4"}, {0.4 * 3, 3, "1.2"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FormatGeneral(c.value, c.digits), c.text) << c.value << " with " << c.digits << " digits";
}

TEST(UtilNumFormat, RoundsHalvesToEven)
{
    const std::pair<double, double> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2},
                                               {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {7.0, 7}};
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

TEST(UtilNumFormat, TheProcessLocaleChangesNoNumber)
{
    // The window runs in the user's locale, tremlow-cli in the C locale: both write the same.
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* env = std::getenv("LC_ALL");
    const std::string savedEnv = env ? env : "";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale";
    EXPECT_EQ(FormatGeneral(2.0 / 3, 3), "0.667");
    EXPECT_EQ(FormatGeneral(1234.0, 3), "1.23E3");
    EXPECT_EQ(FixedText(0.25, 2), "0.25");
    std::setlocale(LC_ALL, "C");
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(ReaderDecimalSeparator(), ",") << "reports follow the environment, not the process";
    ::setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(ReaderDecimalSeparator(), ".");
    if (env)
        ::setenv("LC_ALL", savedEnv.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace
