#include "survey/surveycollection.h"

#include <algorithm>

#include "store/fileacc.h"
#include "survey/surveycode.h"

std::optional<TSurveySetup> SurveySetupOf(const TFileAccess& store, int32_t investId)
{
    const TInvestigationStamp stamp = StampInvestigation(store, investId);
    if (!stamp.Exists)
        return std::nullopt;
    TSurveySetup setup;
    setup.InvestId = investId;
    setup.InvestName = stamp.Name;
    setup.Limits = stamp.Limits;
    const TCriteryTable& criteria = store.Criteria();
    for (int32_t i = 0; i < criteria.Count(); ++i) {
        const TACritery& criterion = criteria.At(i);
        if (criterion.Id == stamp.CriterionId && criterion.GroupId == stamp.CriteriaGroupId)
            setup.Question = criterion.Name;
    }
    const TClientTable& clients = store.Clients();
    for (int32_t i = 0; i < clients.Count(); ++i) {
        const TAClient& client = clients.At(i);
        if (client.GroupId == stamp.ClientGroupId)
            setup.Pupils.push_back({client.Id, client.FullName});
    }
    return setup;
}

TSurveyCollection::TSurveyCollection(TSurveySetup setup) : m_setup(std::move(setup))
{
    m_codes.reserve(m_setup.Pupils.size());
    for (std::size_t i = 0; i < m_setup.Pupils.size(); ++i) {
        std::string code;
        // Two pupils never share a code, however unlikely a repeat is.
        do
            code = NewSurveyCode();
        while (m_pupilOfCode.contains(code));
        m_pupilOfCode.emplace(code, i);
        m_codes.push_back(std::move(code));
    }
}

std::string TSurveyCollection::CodeOf(int32_t pupilId) const
{
    for (std::size_t i = 0; i < m_setup.Pupils.size(); ++i) {
        if (m_setup.Pupils[i].Id == pupilId)
            return m_codes[i];
    }
    return {};
}

const TSurveyPupil* TSurveyCollection::PupilOfOpenCode(std::string_view typed) const
{
    const auto it = m_pupilOfCode.find(NormalizeSurveyCode(typed));
    if (it == m_pupilOfCode.end())
        return nullptr;
    const TSurveyPupil& pupil = m_setup.Pupils[it->second];
    return HasAnswered(pupil.Id) ? nullptr : &pupil;
}

TSubmitResult TSurveyCollection::Submit(std::string_view typed, const std::vector<int32_t>& positive,
                                        const std::vector<int32_t>& negative)
{
    const auto it = m_pupilOfCode.find(NormalizeSurveyCode(typed));
    if (it == m_pupilOfCode.end())
        return {TSubmitStatus::UnknownCode};
    const int32_t pupilId = m_setup.Pupils[it->second].Id;
    if (HasAnswered(pupilId))
        return {TSubmitStatus::UsedCode};

    std::vector<int32_t> members;
    members.reserve(m_setup.Pupils.size());
    for (const TSurveyPupil& pupil : m_setup.Pupils)
        members.push_back(pupil.Id);
    // A sheet of this pupil's answer alone: the same rules as the choices grid.
    TChoiceSheet sheet(std::move(members), m_setup.Limits);
    for (const auto& [ids, kind] : {std::pair{&positive, TChoiceKind::Positive}, {&negative, TChoiceKind::Negative}}) {
        for (int32_t toId : *ids) {
            const TChoiceVerdict verdict = sheet.Add(pupilId, toId, kind);
            if (verdict != TChoiceVerdict::Admitted)
                return {TSubmitStatus::Invalid, verdict};
        }
    }
    m_answers[pupilId] = {pupilId, positive, negative};
    m_order.push_back(pupilId);
    return {TSubmitStatus::Accepted, TChoiceVerdict::Admitted, pupilId};
}

void TSurveyCollection::ResetCode(int32_t pupilId)
{
    if (m_answers.erase(pupilId) > 0)
        std::erase(m_order, pupilId);
}

bool TSurveyCollection::HasAnswered(int32_t pupilId) const
{
    return m_answers.contains(pupilId);
}

std::vector<TSurveyAnswer> TSurveyCollection::Answers() const
{
    std::vector<TSurveyAnswer> answers;
    answers.reserve(m_order.size());
    for (int32_t id : m_order)
        answers.push_back(m_answers.at(id));
    return answers;
}

bool TWrongCodeLimiter::MustWait(const std::string& address, TClock::time_point now)
{
    const auto it = m_wrong.find(address);
    if (it == m_wrong.end())
        return false;
    Forget(it->second, now);
    if (it->second.empty()) {
        m_wrong.erase(it);
        return false;
    }
    return static_cast<int>(it->second.size()) >= kMaxWrong;
}

void TWrongCodeLimiter::NoteWrong(const std::string& address, TClock::time_point now)
{
    std::deque<TClock::time_point>& times = m_wrong[address];
    Forget(times, now);
    times.push_back(now);
}

void TWrongCodeLimiter::Forget(std::deque<TClock::time_point>& times, TClock::time_point now) const
{
    while (!times.empty() && now - times.front() >= kWindow)
        times.pop_front();
}
