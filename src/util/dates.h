#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Dates are whole day counts from 30 December 1899 held in a double; only the date part counts.
// Years 1 to 9999 can be encoded.

// Today's date (local time).
double TodayDate();
// The day count of a calendar date; false for an invalid date (years 1 to 9999).
bool EncodeDate(int year, int month, int day, double& date);
// The calendar date of a day count (its date part); false when it lies outside years 1 to 9999.
bool DecodeDate(double date, int& year, int& month, int& day);
// Days of the month (1 to 12) in the year, 29 for February of a leap year.
int DaysInMonth(int year, int month);

// Today's year minus the year of date when positive, else 0 (also for an undecodable date).
int AgeFromBirthDate(double date);
int AgeFromBirthDate(double date, double today);
// The date with the day and month of date in the year today's year minus age. A 29 February
// that falls in a year without one becomes 28 February; a year outside 1 to 9999 gives date unchanged.
double BirthDateFromAge(int16_t age, double date);
double BirthDateFromAge(int16_t age, double date, double today);

// Dates in project files: "day.month.year " (with the trailing blank, no leading zeros).
// Reading takes the digits as day, month and year in turn, any other character moving to the
// next part; false when a part is missing or the date is invalid.
bool ParseFileDate(std::string_view text, double& date);
// The file text of a date; false (text empty) when the date cannot be decoded.
bool FormatFileDate(double date, std::string& text);
