#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "analysis/choicekind.h"
#include "analysis/investigationobj.h"

class TFileAccess;

// What an investigation allows each member: how many choices of each kind, and whether
// negative choices may be given at all.
struct TChoiceLimits {
    int32_t MaxChoices = 0;
    bool AllowNegative = false;
};

// Whether a chooser who has given `given` choices of the kind may give one more. Only
// positive and negative choices can be given.
bool MayChooseMore(const TChoiceLimits& limits, TChoiceKind kind, int32_t given);

// The answer to one proposed choice.
enum class TChoiceVerdict : uint8_t {
    Admitted = 0,
    NotAChoiceKind,     // neither positive nor negative
    NotMember,          // the chooser or the chosen is not in the investigation's client group
    SelfChoice,         // a member cannot choose itself
    AlreadyChosen,      // the pair already holds a choice (of either kind)
    NegativeNotAllowed, // the investigation takes no negative choices
    LimitReached,       // the chooser has given as many choices of the kind as allowed
};

// The choices of one investigation while they are entered (by the choices window, an importer
// or the command line), held to the investigation's rules: members only, no self-choice, one
// choice per ordered pair, negatives only where allowed, at most MaxChoices per chooser and kind.
class TChoiceSheet final {
public:
    TChoiceSheet(std::vector<int32_t> memberIds, TChoiceLimits limits);
    // The members (client group rows) and limits of an investigation in the store; no members
    // and no choices allowed when the investigation does not exist.
    static TChoiceSheet ForInvestigation(const TFileAccess& store, int32_t investId);

    const std::vector<int32_t>& MemberIds() const { return m_memberIds; }
    const TChoiceLimits& Limits() const { return m_limits; }
    bool IsMember(int32_t clientId) const { return m_members.contains(clientId); }

    // Whether the choice could be added now, and if not why.
    TChoiceVerdict Check(int32_t fromId, int32_t toId, TChoiceKind kind) const;
    // Adds the choice when Check admits it; returns the verdict either way.
    TChoiceVerdict Add(int32_t fromId, int32_t toId, TChoiceKind kind);
    // Removes the choice of the pair, whatever its kind; false when there was none.
    bool Remove(int32_t fromId, int32_t toId);

    // The kind of the pair's choice; nothing (Placement) when the pair holds none.
    TChoiceKind KindOf(int32_t fromId, int32_t toId) const;
    // Choices of the kind the chooser has given.
    int32_t CountGiven(int32_t fromId, TChoiceKind kind) const;
    // The choices of the kind in the order they were added.
    std::vector<TChoice> Choices(TChoiceKind kind) const;

private:
    std::vector<int32_t> m_memberIds;
    std::unordered_set<int32_t> m_members;
    TChoiceLimits m_limits;
    std::vector<std::pair<TChoice, TChoiceKind>> m_order;
    std::unordered_map<uint64_t, TChoiceKind> m_pairs;
    std::unordered_map<int32_t, int32_t> m_givenPositive;
    std::unordered_map<int32_t, int32_t> m_givenNegative;
};

// The result of replacing an investigation's stored choices.
enum class TReplaceChoicesResult : uint8_t { Done = 0, NoInvestigation };

// Replaces every stored positive and negative choice of the investigation by the given ones
// (in their order) and marks the tables modified. Changes nothing when the investigation does
// not exist.
TReplaceChoicesResult ReplaceInvestigationChoices(TFileAccess& store, int32_t investId,
                                                  const std::vector<TChoice>& positive,
                                                  const std::vector<TChoice>& negative);

// What a window that works on a copy of an investigation's choices took from the store: the
// investigation's row and its members. Before it writes the choices back, the window checks that
// the store still holds the same investigation, so that choices never land on other people, in
// another investigation that took over the identifier, or over a changed limit.
struct TInvestigationStamp {
    bool Exists = false;
    int32_t Id = 0;
    int32_t ClientGroupId = 0;
    int32_t CriteriaGroupId = 0;
    int32_t CriterionId = 0;
    std::string Name;
    double Date = 0;
    TChoiceLimits Limits;
    std::vector<int32_t> MemberIds;

    bool operator==(const TInvestigationStamp& other) const;
};

TInvestigationStamp StampInvestigation(const TFileAccess& store, int32_t investId);

// A stored choice row that a window did not take into its copy (loading stopped before it, the
// investigation takes no negative choices, or a member is missing). Saving the copy keeps it.
struct TKeptChoice {
    TChoice Choice;
    TChoiceKind Kind = TChoiceKind::Positive;
};

// Appends the kept rows to the lists a window saves, except those whose pair the lists already
// hold in either kind: there the user's own choice stands.
void AddKeptChoices(const std::vector<TKeptChoice>& kept, std::vector<TChoice>& positive,
                    std::vector<TChoice>& negative);
