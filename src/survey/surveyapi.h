#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "survey/surveycollection.h"

// The largest request body the survey interface reads.
inline constexpr std::size_t kSurveyMaxBody = 16 * 1024;

// An answer of the survey interface: an HTTP status and a JSON body.
struct TSurveyReply {
    int Status = 200;
    std::string Body;
    int32_t PupilId = 0; // whose answer was kept, with status 200 of an answer
};

// The survey's JSON interface without the network: the server hands over the request's parts and
// sends back what these answer. Wrong codes count against the asking address; unknown and used
// codes get the same text, so a guesser learns nothing from it.
class TSurveyApi final {
public:
    explicit TSurveyApi(TSurveyCollection& collection) : m_collection(collection) {}

    // GET /api/survey?code=CODE: the pupil's name, the question, the classmates and the limits.
    TSurveyReply Survey(std::string_view code, const std::string& address,
                        TWrongCodeLimiter::TClock::time_point now);
    // POST /api/answer with {"code": ..., "positive": [ids], "negative": [ids]}.
    TSurveyReply Answer(std::string_view body, const std::string& address,
                        TWrongCodeLimiter::TClock::time_point now);
    // The reply to a body over kSurveyMaxBody, before it is read.
    static TSurveyReply TooLarge();

    TSurveyCollection& Collection() { return m_collection; }

private:
    TSurveyReply WrongCode(int status, const std::string& address, TWrongCodeLimiter::TClock::time_point now);

    TSurveyCollection& m_collection;
    TWrongCodeLimiter m_limiter;
};

// The catalogue text of a message key, or the key itself when no catalogue is installed.
std::string SurveyText(const char* key);

// Fills the page's {{KEY}} places with the catalogue texts of the keys, HTML-escaped; a place
// with an unknown key stays empty.
std::string FillSurveyPage(std::string_view page);
