#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/choicerules.h"

class TFileAccess;

// One pupil asked in a collection: a member of the investigation's client group.
struct TSurveyPupil {
    int32_t Id = 0;
    std::string Name;
};

// What a collection asks: the investigation, its question (the criterion), its members in
// member order and its limits.
struct TSurveySetup {
    int32_t InvestId = 0;
    std::string InvestName;
    std::string Question;
    std::vector<TSurveyPupil> Pupils;
    TChoiceLimits Limits;
};

// The setup of an investigation in the store; nothing when it does not exist.
std::optional<TSurveySetup> SurveySetupOf(const TFileAccess& store, int32_t investId);

// The choices one pupil gave, in the order given.
struct TSurveyAnswer {
    int32_t PupilId = 0;
    std::vector<int32_t> Positive;
    std::vector<int32_t> Negative;
};

// How a submission was received.
enum class TSubmitStatus : uint8_t {
    Accepted = 0,
    UnknownCode, // no pupil holds the code
    UsedCode,    // the code has answered already
    Invalid,     // a rule of the investigation is broken; nothing is kept
};

struct TSubmitResult {
    TSubmitStatus Status = TSubmitStatus::Accepted;
    TChoiceVerdict Verdict = TChoiceVerdict::Admitted; // the broken rule when Invalid
    int32_t PupilId = 0;                               // whose answer was kept
};

// The state of one answer collection: a personal code for every pupil, valid for this collection
// only, and the answers that arrived. A code answers once; an answer is checked against the
// investigation's rules (through TChoiceSheet) before it is kept, so a kept answer always fits.
class TSurveyCollection final {
public:
    explicit TSurveyCollection(TSurveySetup setup);
    TSurveyCollection(const TSurveyCollection&) = delete;
    TSurveyCollection& operator=(const TSurveyCollection&) = delete;

    const TSurveySetup& Setup() const { return m_setup; }
    // The pupil's code as stored (see PrintedSurveyCode); empty for a pupil not asked.
    std::string CodeOf(int32_t pupilId) const;
    // The pupil a typed code belongs to while it has not answered.
    const TSurveyPupil* PupilOfOpenCode(std::string_view typed) const;

    TSubmitResult Submit(std::string_view typed, const std::vector<int32_t>& positive,
                         const std::vector<int32_t>& negative);
    // Forgets the pupil's answer so that the same code may answer again.
    void ResetCode(int32_t pupilId);

    bool HasAnswered(int32_t pupilId) const;
    int32_t AnsweredCount() const { return static_cast<int32_t>(m_answers.size()); }
    bool AllAnswered() const { return AnsweredCount() == static_cast<int32_t>(m_setup.Pupils.size()); }
    // The answers in the order they arrived.
    std::vector<TSurveyAnswer> Answers() const;

private:
    TSurveySetup m_setup;
    std::unordered_map<std::string, std::size_t> m_pupilOfCode; // code -> index in Pupils
    std::vector<std::string> m_codes;                           // by index in Pupils
    std::unordered_map<int32_t, TSurveyAnswer> m_answers;
    std::vector<int32_t> m_order;
};

// Holds back an address that typed too many wrong codes: after kMaxWrong wrong codes within
// kWindow it waits until the oldest of them is kWindow old.
class TWrongCodeLimiter final {
public:
    using TClock = std::chrono::steady_clock;
    static constexpr int kMaxWrong = 10;
    static constexpr std::chrono::seconds kWindow{60};

    bool MustWait(const std::string& address, TClock::time_point now);
    void NoteWrong(const std::string& address, TClock::time_point now);

private:
    void Forget(std::deque<TClock::time_point>& times, TClock::time_point now) const;

    std::unordered_map<std::string, std::deque<TClock::time_point>> m_wrong;
};
