#include "survey/surveycode.h"

#include <cerrno>
#include <cstdint>

#include <sys/random.h>

#include "util/error.h"

std::string NewSurveyCode()
{
    std::string code;
    code.reserve(kSurveyCodeLength);
    const std::size_t n = kSurveyCodeAlphabet.size();
    // Bytes at or above the largest multiple of the alphabet size are drawn again, so that every
    // symbol is equally likely.
    const unsigned limit = 256 - 256 % n;
    while (code.size() < kSurveyCodeLength) {
        uint8_t bytes[32];
        const ssize_t got = getrandom(bytes, sizeof bytes, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw TAppError("no random bytes for the answer codes");
        }
        for (ssize_t i = 0; i < got && code.size() < kSurveyCodeLength; ++i) {
            if (bytes[i] < limit)
                code += kSurveyCodeAlphabet[bytes[i] % n];
        }
    }
    return code;
}

std::string NormalizeSurveyCode(std::string_view typed)
{
    std::string code;
    for (char c : typed) {
        if (c == ' ' || c == '-' || c == '\t')
            continue;
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (kSurveyCodeAlphabet.find(c) == std::string_view::npos)
            return {};
        code += c;
        if (code.size() > kSurveyCodeLength)
            return {};
    }
    return code.size() == kSurveyCodeLength ? code : std::string();
}

std::string PrintedSurveyCode(std::string_view code)
{
    if (code.size() != kSurveyCodeLength)
        return std::string(code);
    // Built in pieces: GCC 12 warns wrongly about the overlap of an insert here.
    std::string printed(code.substr(0, kSurveyCodeLength / 2));
    printed += '-';
    printed += code.substr(kSurveyCodeLength / 2);
    return printed;
}
