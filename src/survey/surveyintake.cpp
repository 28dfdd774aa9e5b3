#include "survey/surveyintake.h"

#include <unordered_set>

#include "store/fileacc.h"

namespace {

template <class TTable>
std::vector<TChoice> ChoicesOf(const TTable& table, int32_t investId)
{
    std::vector<TChoice> choices;
    for (int32_t i = 0; i < table.Count(); ++i) {
        const TChoiceRow& row = table.At(i);
        if (row.InvestId == investId)
            choices.push_back({row.FromId, row.ToId});
    }
    return choices;
}

} // namespace

TStoredChoices StoredChoicesOf(const TFileAccess& store, int32_t investId)
{
    return {ChoicesOf(store.ForChoices(), investId), ChoicesOf(store.AgainstChoices(), investId)};
}

std::vector<int32_t> PupilsWithChoices(const TFileAccess& store, int32_t investId)
{
    const TStoredChoices stored = StoredChoicesOf(store, investId);
    std::unordered_set<int32_t> choosers;
    for (const auto* list : {&stored.Positive, &stored.Negative}) {
        for (const TChoice& c : *list)
            choosers.insert(c.FromId);
    }
    std::vector<int32_t> pupils;
    for (int32_t id : StampInvestigation(store, investId).MemberIds) {
        if (choosers.contains(id))
            pupils.push_back(id);
    }
    return pupils;
}

TSurveyIntake PlanSurveyIntake(const TFileAccess& store, int32_t investId,
                               const std::vector<TSurveyAnswer>& answers, bool replaceExisting)
{
    TSurveyIntake intake;
    intake.Before = StoredChoicesOf(store, investId);
    TChoiceSheet sheet = TChoiceSheet::ForInvestigation(store, investId);
    std::vector<TKeptChoice> kept;
    for (const auto& [list, kind] :
         {std::pair{&intake.Before.Positive, TChoiceKind::Positive}, {&intake.Before.Negative, TChoiceKind::Negative}}) {
        for (const TChoice& c : *list) {
            if (sheet.Add(c.FromId, c.ToId, kind) != TChoiceVerdict::Admitted)
                kept.push_back({c, kind});
        }
    }
    for (const TSurveyAnswer& answer : answers) {
        const bool hadChoices = sheet.CountGiven(answer.PupilId, TChoiceKind::Positive) > 0 ||
                                sheet.CountGiven(answer.PupilId, TChoiceKind::Negative) > 0;
        if (hadChoices && !replaceExisting) {
            ++intake.Kept;
            continue;
        }
        if (hadChoices) {
            for (int32_t toId : sheet.MemberIds())
                sheet.Remove(answer.PupilId, toId);
            ++intake.Replaced;
        }
        for (int32_t toId : answer.Positive)
            sheet.Add(answer.PupilId, toId, TChoiceKind::Positive);
        for (int32_t toId : answer.Negative)
            sheet.Add(answer.PupilId, toId, TChoiceKind::Negative);
        ++intake.Taken;
    }
    intake.After = {sheet.Choices(TChoiceKind::Positive), sheet.Choices(TChoiceKind::Negative)};
    AddKeptChoices(kept, intake.After.Positive, intake.After.Negative);
    return intake;
}

void ApplyStoredChoices(TFileAccess& store, int32_t investId, const TStoredChoices& choices)
{
    ReplaceInvestigationChoices(store, investId, choices.Positive, choices.Negative);
    store.SetModified(true);
}
