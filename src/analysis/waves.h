#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/investigationobj.h"
#include "analysis/statusgroups.h"

// One member of a wave: what it received in that investigation, its indices and status group.
struct TWaveMember {
    int32_t ClientId = 0;
    std::string Name;
    int32_t ForIn = 0;
    int32_t AgainstIn = 0;
    double Pi = 0;  // positive choices received / (N - 1)
    double Sti = 0; // all choices received / (N - 1)
    std::optional<TStatusGroup> Status; // empty when the wave has no status groups
};

// One investigation taken as a wave of a comparison: its members (each client id once, in member
// order), its choices of both signs and its positive group indices.
struct TWave {
    int32_t Id = -1;
    std::string Name;
    int32_t ClientGroupId = -1;
    int32_t CriterionId = -1;
    int32_t CriteriaGroupId = -1;
    std::string CriterionName;
    double Date = 0;
    std::vector<TWaveMember> Members;
    std::vector<TChoice> For;
    std::vector<TChoice> Against;
    std::array<double, 4> Indices{}; // P, Sa, J, N of the positive choices
};

// The wave of an investigation model; members repeating a client id are taken once (first match).
TWave WaveFromModel(const TInvestigationObject& model, const TStatusThresholds& thresholds = {});

// Sign of the choices a count is about: 0 positive, 1 negative.
enum class TWaveSign : int { Positive = 0, Negative = 1 };

// Ordered pairs of common members chosen in both waves, only in the later, only in the earlier.
struct TChoiceChanges {
    int32_t Kept = 0;
    int32_t New = 0;
    int32_t Dropped = 0;
};

// Unordered pairs of common members mutual in both waves, only in the later, only in the earlier.
struct TMutualChanges {
    int32_t Kept = 0;
    int32_t Formed = 0;
    int32_t Broken = 0;
};

// One common member across two waves; index 0 is the earlier wave, 1 the later.
struct TMemberChange {
    int32_t ClientId = 0;
    std::string Name; // as in the later wave
    std::array<int32_t, 2> ForIn{};
    std::array<int32_t, 2> AgainstIn{};
    std::array<double, 2> Pi{};
    std::array<double, 2> Sti{};
    std::array<std::optional<TStatusGroup>, 2> Status;
    std::optional<double> Jaccard; // of the members chosen positively; empty when both sets are empty

    // Whether the member is classified in both waves and in different groups.
    bool Moved() const { return Status[0] && Status[1] && *Status[0] != *Status[1]; }
};

// A client present in one wave only.
struct TWaveOutsider {
    int32_t ClientId = 0;
    std::string Name;
};

inline constexpr std::size_t kStatusGroupCount = kAllStatusGroups.size();
using TTransitionTable = std::array<std::array<int32_t, kStatusGroupCount>, kStatusGroupCount>;

// The changes between two consecutive waves. Members, choices and mutual pairs count only the
// clients present in both; undefined measures are empty, never 0.
struct TWaveComparison {
    int32_t FromId = -1;
    int32_t ToId = -1;
    bool SameClientGroup = true;
    bool SameCriterion = true;
    std::vector<int32_t> Common;        // client ids, in the later wave's member order
    std::vector<TWaveOutsider> Joined;  // in the later wave only
    std::vector<TWaveOutsider> Left;    // in the earlier wave only
    std::array<TChoiceChanges, 2> Choices{}; // by TWaveSign
    std::array<TMutualChanges, 2> Mutual{};  // by TWaveSign
    std::vector<TMemberChange> Members;      // common members, in the later wave's order
    std::optional<double> Spearman;          // of the positive choices received
    bool StatusAvailable = false;            // both waves have status groups
    TTransitionTable Transitions{};          // [earlier group][later group]
    std::optional<double> KeptShare;
    std::optional<double> Kappa;
    std::array<double, 4> FromIndices{};
    std::array<double, 4> ToIndices{};
};

// One positive choice between members of both waves, for the sociogram of change.
struct TChoiceChange {
    enum class TKind { Kept, New, Dropped };
    int32_t FromId = 0;
    int32_t ToId = 0;
    TKind Kind = TKind::Kept;
};

// The positive choices between members of both waves, each kept, new or dropped, ordered by
// chooser and chosen.
std::vector<TChoiceChange> PositiveChoiceChanges(const TWave& from, const TWave& to);

// Compares two waves, from the earlier to the later.
TWaveComparison CompareWaves(const TWave& from, const TWave& to);
// One comparison per pair of consecutive waves.
std::vector<TWaveComparison> CompareWaveSeries(const std::vector<TWave>& waves);

// The Spearman rank correlation of two equally long samples (average ranks for ties); empty when
// either sample is constant or shorter than two.
std::optional<double> SpearmanCorrelation(const std::vector<int32_t>& a, const std::vector<int32_t>& b);
// Cohen's kappa of a transition table; empty when the agreement expected by chance is complete.
std::optional<double> CohensKappa(const TTransitionTable& table);

// Why a list of waves cannot be compared.
enum class TWavesProblem {
    None,
    TooFewWaves,     // fewer than two
    RepeatedWave,    // the same investigation twice
    NoCommonMembers, // a pair of consecutive waves shares no client
    MissingInvestigation, // an id names no investigation of the project
};

// The message key of a problem's wording in the language file.
const char* WavesProblemKey(TWavesProblem problem);

// The first problem of a list of investigation ids (before loading) or of loaded waves.
TWavesProblem CheckWaveIds(const std::vector<int32_t>& ids);
TWavesProblem CheckWaveSeries(const std::vector<TWaveComparison>& pairs);

// Investigations of a project compared in the order given: their waves and one comparison per
// consecutive pair, or the first problem (and, for a missing investigation, its id) with both
// lists empty.
struct TWaveSeries {
    TWavesProblem Problem = TWavesProblem::None;
    int32_t MissingId = -1;
    std::vector<TWave> Waves;
    std::vector<TWaveComparison> Pairs;
};

TWaveSeries CompareInvestigations(TFileAccess& store, const std::vector<int32_t>& ids,
                                  const TStatusThresholds& thresholds = {});
