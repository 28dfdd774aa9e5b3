#pragma once

#include <string>

// The decimal separator rule of every output: files for programs (CSV, JSON, GraphML, GEXF,
// Pajek, workbooks) always use a full stop; reports for reading use the separator of the user's
// locale (LC_ALL, LC_NUMERIC, LANG), whichever program writes them - the window, which runs in
// that locale, and tremlow-cli, which runs in the C locale, give the same report. Numbers are
// therefore never formatted with the process locale (printf, streams).

// Number text with exactly the given form, in the C locale whatever the process locale is:
// std::to_chars in scientific (precision digits after the point) or fixed notation.
std::string ScientificText(double value, int precision);
std::string FixedText(double value, int precision);

// The decimal separator of the user's locale as the environment names it (not the process
// locale, which Qt sets and tremlow-cli does not); "." when there is none.
std::string ReaderDecimalSeparator();

// Index values as people read them: "general" number format with a given number of significant
// digits. Fixed notation without trailing zeros ("0.5", "0.67", "1", "120") while the integer part
// has at most that many digits and the value is at least 0.00001; otherwise scientific notation
// with a plain exponent ("1.23E4", "1E-6"). The decimal separator is always a full stop.
std::string FormatGeneral(double value, int digits);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);
