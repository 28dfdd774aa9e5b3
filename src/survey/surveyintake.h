#pragma once

#include <cstdint>
#include <vector>

#include "analysis/investigationobj.h"
#include "survey/surveycollection.h"

class TFileAccess;

// An investigation's positive and negative choices in the order they are stored.
struct TStoredChoices {
    std::vector<TChoice> Positive;
    std::vector<TChoice> Negative;

    friend bool operator==(const TStoredChoices&, const TStoredChoices&) = default;
};

// What taking collected answers in would change.
struct TSurveyIntake {
    TStoredChoices Before;
    TStoredChoices After;
    int32_t Taken = 0;    // answers whose choices went in
    int32_t Replaced = 0; // of them, pupils whose earlier choices were replaced
    int32_t Kept = 0;     // answers left out because the pupil's earlier choices stay
};

TStoredChoices StoredChoicesOf(const TFileAccess& store, int32_t investId);

// The members who already gave choices in the investigation, in member order.
std::vector<int32_t> PupilsWithChoices(const TFileAccess& store, int32_t investId);

// Works out the investigation's choices with the answers in, through the rules of the choices
// grid. A pupil who already had choices keeps them unless replaceExisting; then the answer
// replaces every choice the pupil gave. Stored rows the rules do not take are kept as they were.
TSurveyIntake PlanSurveyIntake(const TFileAccess& store, int32_t investId,
                               const std::vector<TSurveyAnswer>& answers, bool replaceExisting);

// Writes a set of choices into the investigation (and marks the project modified); the one
// way an intake is applied and, for undo, reverted.
void ApplyStoredChoices(TFileAccess& store, int32_t investId, const TStoredChoices& choices);
