#pragma once

#include <string>

// Index values as people read them: "general" number format with a given number of significant
// digits. Fixed notation without trailing zeros ("0.5", "0.67", "1", "120") while the integer part
// has at most that many digits and the value is at least 0.00001; otherwise scientific notation
// with a plain exponent ("1.23E4", "1E-6"). The decimal separator is always a full stop.
std::string FormatGeneral(double value, int digits);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);
