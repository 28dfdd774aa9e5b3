#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TInvestigationObject;

// The sociometric status groups of the positive and negative nominations received
// (Coie, Dodge and Coppotelli, 1982). The numbers are the order of the groups in every list.
enum class TStatusGroup : int {
    Popular = 0,
    Rejected = 1,
    Neglected = 2,
    Controversial = 3,
    Average = 4,
    Unclassified = 5,
};

inline constexpr std::array<TStatusGroup, 6> kAllStatusGroups = {
    TStatusGroup::Popular,       TStatusGroup::Rejected, TStatusGroup::Neglected,
    TStatusGroup::Controversial, TStatusGroup::Average,  TStatusGroup::Unclassified};

// The fixed English word of a group, as written by the command line and in exported files.
const char* StatusGroupWord(TStatusGroup group);
// The message key of a group's name in the language file ("STATUS_GROUP_POPULAR", ...).
const char* StatusGroupKey(TStatusGroup group);

// The cut-offs of the classification: |z| beyond Extreme places a member in one of the four
// outer groups, |z| within Average (on both axes) in the average group.
struct TStatusThresholds {
    double Extreme = 1.0;
    double Average = 0.5;
};

// Thresholds from settings kept in hundredths; out-of-range values are brought into 0.01 ... 5
// and the average band never reaches beyond the extreme cut-off.
TStatusThresholds StatusThresholdsFromHundredths(int32_t extreme, int32_t average);

// Why an investigation has no status groups.
enum class TStatusUnavailable {
    None,
    NoNegativeChoices, // negative choices are not allowed, or none was made
    TooFewMembers,     // fewer than kStatusMinMembers members
};

inline constexpr int32_t kStatusMinMembers = 3;

// One member's nominations received, their standard scores and the group.
struct TStatusMember {
    int32_t ClientId = 0;
    std::string Name;
    int32_t LM = 0; // positive nominations received ("liked most")
    int32_t LL = 0; // negative nominations received ("liked least")
    double zLM = 0;
    double zLL = 0;
    double zSP = 0; // social preference zLM - zLL, standardised again
    double zSI = 0; // social impact zLM + zLL, standardised again
    TStatusGroup Group = TStatusGroup::Unclassified;
};

struct TStatusResult {
    TStatusUnavailable Unavailable = TStatusUnavailable::None;
    std::vector<TStatusMember> Members; // member order; empty when unavailable
    std::array<int32_t, kAllStatusGroups.size()> Counts{};

    bool Available() const { return Unavailable == TStatusUnavailable::None; }
    int32_t Count(TStatusGroup group) const { return Counts[static_cast<std::size_t>(group)]; }
};

// Standard scores and groups from the received counts, one entry per member (lm and ll of equal
// length). Scores are population standard scores, 0 for everyone where all counts are equal.
// Sums are kept in whole numbers, so the scores round once; the groups follow the rounded scores.
TStatusResult ClassifyStatus(const std::vector<int32_t>& lm, const std::vector<int32_t>& ll,
                             const TStatusThresholds& thresholds = {});

// The status groups of an investigation's members.
TStatusResult ComputeStatusGroups(const TInvestigationObject& model, const TStatusThresholds& thresholds = {});
