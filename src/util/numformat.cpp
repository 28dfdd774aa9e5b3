#include "util/numformat.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

#include <langinfo.h>
#include <locale.h>

namespace {

// Drops trailing zeros of a digit string, keeping at least one digit.
std::string TrimZeros(std::string digits)
{
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    return digits;
}

std::string ToCharsText(double value, std::chars_format format, int precision)
{
    char buffer[400];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

} // namespace

std::string ScientificText(double value, int precision)
{
    return ToCharsText(value, std::chars_format::scientific, precision);
}

std::string FixedText(double value, int precision)
{
    return ToCharsText(value, std::chars_format::fixed, precision);
}

std::string ReaderDecimalSeparator()
{
    // Looking the locale up costs more than formatting a value, and a report formats thousands;
    // the answer is kept while the environment names the same locale.
    const auto env = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    const std::string names = env("LC_ALL") + '\n' + env("LC_NUMERIC") + '\n' + env("LANG");
    thread_local std::string cachedNames;
    thread_local std::string cachedSeparator;
    if (!cachedSeparator.empty() && names == cachedNames)
        return cachedSeparator;
    locale_t locale = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    std::string separator = ".";
    if (locale) {
        const char* radix = ::nl_langinfo_l(RADIXCHAR, locale);
        if (radix && *radix)
            separator = radix;
        ::freelocale(locale);
    }
    cachedNames = names;
    cachedSeparator = separator;
    return separator;
}

std::string FormatGeneral(double value, int digits)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (digits < 1)
        digits = 1;
    if (digits > 17)
        digits = 17;
    if (value == 0)
        return "0";

    // "%.*e" rounds to the wanted significant digits and tells the decimal exponent after rounding.
    const std::string text = ScientificText(std::fabs(value), digits - 1);
    const std::size_t ePos = text.find('e');
    std::string mantissa;
    for (std::size_t i = 0; i < ePos; ++i) {
        if (text[i] != '.')
            mantissa += text[i];
    }
    const int exponent = std::atoi(text.c_str() + ePos + 1);
    mantissa = TrimZeros(mantissa);
    const std::string sign = value < 0 ? "-" : "";

    // Scientific when the integer part needs more digits than asked for, or the value is tiny.
    if (exponent >= digits || exponent < -5) {
        std::string result = sign + mantissa.substr(0, 1);
        if (mantissa.size() > 1)
            result.append(".").append(mantissa, 1);
        return result + "E" + std::to_string(exponent);
    }
    if (exponent < 0)
        return sign + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
    const auto intDigits = static_cast<std::size_t>(exponent + 1);
    if (mantissa.size() <= intDigits)
        return sign + mantissa + std::string(intDigits - mantissa.size(), '0');
    return sign + mantissa.substr(0, intDigits) + "." + mantissa.substr(intDigits);
}

double RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double down = std::floor(value);
    const double diff = value - down;
    if (diff < 0.5)
        return down;
    if (diff > 0.5)
        return down + 1;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}
