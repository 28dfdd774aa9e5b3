#include "survey/surveyapi.h"

#include <nlohmann/json.hpp>

#include "i18n/langconv.h"
#include "reports/htmlbuilder.h"

namespace {

std::string ErrorBody(const std::string& text)
{
    return nlohmann::json{{"error", text}}.dump();
}

const char* VerdictKey(TChoiceVerdict verdict)
{
    switch (verdict) {
    case TChoiceVerdict::NotMember:
        return "SURVEY_ERROR_NOT_MEMBER";
    case TChoiceVerdict::SelfChoice:
        return "SURVEY_ERROR_SELF";
    case TChoiceVerdict::AlreadyChosen:
        return "SURVEY_ERROR_TWICE";
    case TChoiceVerdict::NegativeNotAllowed:
        return "SURVEY_ERROR_NO_NEGATIVE";
    case TChoiceVerdict::LimitReached:
        return "SURVEY_ERROR_TOO_MANY";
    case TChoiceVerdict::Admitted:
    case TChoiceVerdict::NotAChoiceKind:
        break;
    }
    return "SURVEY_ERROR_BAD_REQUEST";
}

// The ids of a list field; false when the field is there but is not a list of whole numbers.
bool ReadIds(const nlohmann::json& request, const char* field, std::vector<int32_t>& ids)
{
    const auto it = request.find(field);
    if (it == request.end() || it->is_null())
        return true;
    if (!it->is_array())
        return false;
    for (const nlohmann::json& id : *it) {
        if (!id.is_number_integer())
            return false;
        const auto value = id.get<int64_t>();
        if (value < INT32_MIN || value > INT32_MAX)
            return false;
        ids.push_back(static_cast<int32_t>(value));
    }
    return true;
}

} // namespace

std::string SurveyText(const char* key)
{
    if (HasLangConv() && LangConv().HasText(key))
        return LangConv().GetText(key);
    return key;
}

TSurveyReply TSurveyApi::WrongCode(int status, const std::string& address,
                                   TWrongCodeLimiter::TClock::time_point now)
{
    m_limiter.NoteWrong(address, now);
    return {status, ErrorBody(SurveyText("SURVEY_ERROR_CODE"))};
}

TSurveyReply TSurveyApi::Survey(std::string_view code, const std::string& address,
                                TWrongCodeLimiter::TClock::time_point now)
{
    if (m_limiter.MustWait(address, now))
        return {429, ErrorBody(SurveyText("SURVEY_ERROR_WAIT"))};
    const TSurveyPupil* pupil = m_collection.PupilOfOpenCode(code);
    if (!pupil)
        return WrongCode(404, address, now);
    const TSurveySetup& setup = m_collection.Setup();
    nlohmann::json members = nlohmann::json::array();
    for (const TSurveyPupil& other : setup.Pupils) {
        if (other.Id != pupil->Id)
            members.push_back({{"id", other.Id}, {"name", other.Name}});
    }
    const int32_t allowed = std::max(setup.Limits.MaxChoices, 0);
    const nlohmann::json reply = {
        {"pupil", pupil->Name},
        {"question", setup.Question},
        {"members", members},
        {"limits", {{"positive", allowed}, {"negative", setup.Limits.AllowNegative ? allowed : 0}}}};
    return {200, reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)};
}

TSurveyReply TSurveyApi::Answer(std::string_view body, const std::string& address,
                                TWrongCodeLimiter::TClock::time_point now)
{
    if (body.size() > kSurveyMaxBody)
        return TooLarge();
    if (m_limiter.MustWait(address, now))
        return {429, ErrorBody(SurveyText("SURVEY_ERROR_WAIT"))};
    const nlohmann::json request = nlohmann::json::parse(body, nullptr, false);
    std::vector<int32_t> positive;
    std::vector<int32_t> negative;
    if (!request.is_object() || !request.contains("code") || !request["code"].is_string() ||
        !ReadIds(request, "positive", positive) || !ReadIds(request, "negative", negative))
        return {400, ErrorBody(SurveyText("SURVEY_ERROR_BAD_REQUEST"))};
    const TSubmitResult result = m_collection.Submit(request["code"].get<std::string>(), positive, negative);
    switch (result.Status) {
    case TSubmitStatus::Accepted:
        return {200, nlohmann::json{{"ok", true}}.dump(), result.PupilId};
    case TSubmitStatus::UnknownCode:
        return WrongCode(404, address, now);
    case TSubmitStatus::UsedCode:
        return WrongCode(409, address, now);
    case TSubmitStatus::Invalid:
        break;
    }
    return {400, ErrorBody(SurveyText(VerdictKey(result.Verdict)))};
}

TSurveyReply TSurveyApi::TooLarge()
{
    return {413, ErrorBody(SurveyText("SURVEY_ERROR_TOO_LARGE"))};
}

std::string FillSurveyPage(std::string_view page)
{
    std::string out;
    out.reserve(page.size());
    std::size_t at = 0;
    while (true) {
        const std::size_t open = page.find("{{", at);
        const std::size_t close = open == std::string_view::npos ? open : page.find("}}", open + 2);
        if (close == std::string_view::npos) {
            out.append(page.substr(at));
            return out;
        }
        out.append(page.substr(at, open - at));
        const std::string key(page.substr(open + 2, close - open - 2));
        if (HasLangConv() && LangConv().HasText(key))
            out += HtmlEscape(LangConv().GetText(key));
        at = close + 2;
    }
}
