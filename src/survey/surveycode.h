#pragma once

#include <string>
#include <string_view>

// Personal codes of an answer collection: ten symbols of an alphabet without the look-alikes
// 0/O and 1/l/I/L (about 49 bits), drawn from the operating system's random source, never from a name.
inline constexpr std::string_view kSurveyCodeAlphabet = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
inline constexpr std::size_t kSurveyCodeLength = 10;

// A fresh random code; throws TAppError when the system gives no random bytes.
std::string NewSurveyCode();

// A code as a pupil may type it (small letters, blanks, hyphens) brought to its stored form;
// an empty text when anything else is in it or the length is wrong.
std::string NormalizeSurveyCode(std::string_view typed);

// A code as printed: two groups of five separated by a hyphen.
std::string PrintedSurveyCode(std::string_view code);
