#include "util/dates.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <ctime>

namespace {

// Days from 1 January 1970 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

// Day 0 of the day count is 30 December 1899.
const int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);
const int64_t kFirstDay = DaysFromCivil(1, 1, 1) - kEpochOffset;
const int64_t kLastDay = DaysFromCivil(9999, 12, 31) - kEpochOffset;

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

double TodayDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    double date = 0;
    EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
    return date;
}

bool EncodeDate(int year, int month, int day, double& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    date = static_cast<double>(DaysFromCivil(year, month, day) - kEpochOffset);
    return true;
}

bool DecodeDate(double date, int& year, int& month, int& day)
{
    if (!std::isfinite(date))
        return false;
    const double whole = std::trunc(date);
    if (whole < static_cast<double>(kFirstDay) || whole > static_cast<double>(kLastDay))
        return false;
    CivilFromDays(static_cast<int64_t>(whole) + kEpochOffset, year, month, day);
    return true;
}

int AgeFromBirthDate(double date)
{
    return AgeFromBirthDate(date, TodayDate());
}

int AgeFromBirthDate(double date, double today)
{
    int y = 0, m = 0, d = 0;
    int ty = 0, tm = 0, td = 0;
    if (!DecodeDate(date, y, m, d) || !DecodeDate(today, ty, tm, td))
        return 0;
    // A birthday not yet reached this year does not count.
    int age = ty - y;
    if (tm < m || (tm == m && td < d))
        --age;
    return age > 0 ? age : 0;
}

double BirthDateFromAge(int16_t age, double date)
{
    return BirthDateFromAge(age, date, TodayDate());
}

double BirthDateFromAge(int16_t age, double date, double today)
{
    int y = 0, m = 0, d = 0;
    int ty = 0, tm = 0, td = 0;
    if (!DecodeDate(date, y, m, d) || !DecodeDate(today, ty, tm, td))
        return date;
    // The birthday of someone who is age years old today: one still ahead this year moves a
    // year back, so that AgeFromBirthDate gives age again.
    int year = ty - age;
    if (tm < m || (tm == m && td < d))
        --year;
    if (year < 1 || year > 9999)
        return date;
    d = std::min(d, DaysInMonth(year, m));
    double result = date;
    EncodeDate(year, m, d, result);
    return result;
}

// Digits make up the day, month and year in turn; any other character moves to the next part.
bool ParseFileDate(std::string_view text, double& value)
{
    std::array<int64_t, 3> parts{};
    std::array<bool, 3> seen{};
    std::size_t part = 0;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            if (part < 3) {
                parts[part] = std::min<int64_t>(parts[part] * 10 + (ch - '0'), 1000000);
                seen[part] = true;
            }
        } else {
            ++part;
        }
    }
    if (!seen[0] || !seen[1] || !seen[2])
        return false;
    return EncodeDate(static_cast<int>(parts[2]), static_cast<int>(parts[1]), static_cast<int>(parts[0]),
                      value);
}

bool FormatFileDate(double date, std::string& text)
{
    text.clear();
    int y = 0, m = 0, d = 0;
    if (!DecodeDate(date, y, m, d))
        return false;
    text = std::to_string(d) + '.' + std::to_string(m) + '.' + std::to_string(y) + ' ';
    return true;
}
