#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/choicekind.h"
#include "store/dbinfo.h"

class TFileAccess;

// Starting values of the received-choices extremes; an empty model answers with them.
inline constexpr int32_t kMaxReceivedStart = 0;
inline constexpr int32_t kMinReceivedStart = 99999999;

// One stored choice of an investigation: the chooser and the chosen client.
struct TChoice {
    int32_t FromId = 0;
    int32_t ToId = 0;

    friend bool operator==(const TChoice&, const TChoice&) = default;
};

// One number for an ordered pair of client ids: sets of choices hold it, and sorting by it
// orders choices by chooser, then by chosen client.
inline uint64_t ChoicePairKey(int32_t fromId, int32_t toId)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(fromId)) << 32) | static_cast<uint32_t>(toId);
}

// One member of an investigation with the counts of the choices it gave, received and had returned.
struct TInvestClient {
    int32_t Id = 0;
    std::string Name;
    int32_t GroupId = 0;
    int32_t ForOut = 0;        // positive choices given
    int32_t ForIn = 0;         // positive choices received
    int32_t AgainstOut = 0;    // negative choices given
    int32_t AgainstIn = 0;     // negative choices received
    int32_t ForMutual = 0;     // positive choices given that were returned
    int32_t AgainstMutual = 0; // negative choices given that were returned

    friend bool operator==(const TInvestClient&, const TInvestClient&) = default;
};

// The member orderings reports print; each sorts descending and keeps member order for equal keys.
enum class TClientOrder {
    ForIn,          // positive choices received
    ForOut,         // positive choices given
    AgainstIn,      // negative choices received
    AgainstOut,     // negative choices given
    ForMutual,      // positive mutual choices
    AgainstMutual,  // negative mutual choices
    AllIn,          // all choices received
    AllOut,         // all choices given
    PositiveStatus, // Pi of the positive kind
    NegativeStatus, // Pi of the negative kind
};

inline constexpr TClientOrder kAllClientOrders[] = {
    TClientOrder::ForIn,         TClientOrder::ForOut,    TClientOrder::AgainstIn,
    TClientOrder::AgainstOut,    TClientOrder::ForMutual, TClientOrder::AgainstMutual,
    TClientOrder::AllIn,         TClientOrder::AllOut,    TClientOrder::PositiveStatus,
    TClientOrder::NegativeStatus};

// The number of choices an ordering counts for a member (received, given or mutual, of one kind
// or of both); 0 for the status orderings, which sort by an index instead.
int32_t OrderCount(const TInvestClient& client, TClientOrder order);

// Read-only snapshot of one investigation (header, positive and negative choices, members with
// their choice counters) with the sociomatrix questions, orderings and sociometric indices.
// The choices are kept as sorted lists per member, built once at construction, so that every
// question is answered in constant, logarithmic or linear time.
class TInvestigationObject final {
public:
    // Builds the model of investigation investId from the store's tables. The store must outlive
    // the model (placements are written back into it). Throws TAppError when a choice table does
    // not agree with its own count.
    TInvestigationObject(TFileAccess& store, int32_t investId);
    TInvestigationObject(const TInvestigationObject&) = delete;
    TInvestigationObject& operator=(const TInvestigationObject&) = delete;

    // Header.
    TInvestInfo Header() const { return m_header; }
    int32_t Id() const { return m_header.Id; }
    std::string Name() const { return m_header.Name; }
    std::string ClientGroupName() const { return m_clientGroupName; }
    std::string CriterionName() const { return m_criterionName; }
    int32_t MaxChoices() const { return m_header.MaxChoices; }
    bool AllowAgainst() const { return m_header.AllowAgainst; }

    // Lists; indices are positions 0 ... count-1 (std::out_of_range outside).
    int32_t ClientCount() const { return static_cast<int32_t>(m_clients.size()); }
    TInvestClient Client(int32_t index) const { return m_clients.at(static_cast<std::size_t>(index)); }
    int32_t ForCount() const { return static_cast<int32_t>(m_forList.size()); }
    int32_t AgainstCount() const { return static_cast<int32_t>(m_againstList.size()); }
    TChoice ForChoice(int32_t index) const { return m_forList.at(static_cast<std::size_t>(index)); }
    TChoice AgainstChoice(int32_t index) const { return m_againstList.at(static_cast<std::size_t>(index)); }
    // Length of the kind's choice list (0 for a kind other than positive or negative).
    int32_t ChoiceCount(TChoiceKind kind) const;
    // Member index of the client (first match), -1 when the client is not a member.
    int32_t FindClient(int32_t clientId) const;
    bool ForChoiceExists(int32_t fromId, int32_t toId) const { return IsChoice(fromId, toId, TChoiceKind::Positive); }
    bool AgainstChoiceExists(int32_t fromId, int32_t toId) const
    {
        return IsChoice(fromId, toId, TChoiceKind::Negative);
    }

    // Sociomatrix.
    // Whether the kind's list holds the choice fromId -> toId; false for any kind but 1 and 2.
    bool IsChoice(int32_t fromId, int32_t toId, TChoiceKind kind) const;
    // For clientId >= 0: the choices of the kind that client gave and had returned. For a negative
    // clientId: the mutual pairs of the group (returned choices / 2, halves to even). 0 for kinds
    // other than 1 and 2.
    int32_t MutualCount(int32_t clientId, TChoiceKind kind) const;
    // Member pairs joined by exactly one choice of the kind.
    int32_t OneWayPairsCount(TChoiceKind kind) const;
    // Extremes of the received choices over the members (kind 3 adds both kinds); an empty model
    // gives kMaxReceivedStart and kMinReceivedStart.
    int32_t MaxReceived(TChoiceKind kind) const;
    int32_t MinReceived(TChoiceKind kind) const;
    int32_t MaxForReceived() const { return m_maxForIn; }
    int32_t MaxAgainstReceived() const { return m_maxAgainstIn; }
    // One line "chooser - chosen" per mutual pair of the kind, in the order of its first choice.
    void MutualPairsList(std::vector<std::string>& list, TChoiceKind kind) const;
    // Member copies in descending order of the key (equal keys keep member order); returns N.
    int32_t SortClients(TClientOrder order, std::vector<TInvestClient>& list) const;

    // Sociogram placements: inserts or overwrites the GRAPH row of the client for the positive
    // view, the negative view and the view of both kinds (stored under kind 0); marks the project
    // modified unless the row already holds that place.
    void StorePlaceFor(int32_t clientId, int32_t left, int32_t top, int32_t width, int32_t height,
                       int16_t figType);
    void StorePlaceAgainst(int32_t clientId, int32_t left, int32_t top, int32_t width, int32_t height,
                           int16_t figType);
    void StorePlaceAny(int32_t clientId, int32_t left, int32_t top, int32_t width, int32_t height,
                       int16_t figType);
    // One figure's place for StorePlaces; Kind is Positive, Negative or Placement (both kinds).
    struct TPlaceRecord {
        TChoiceKind Kind = TChoiceKind::Placement;
        int32_t ClientId = -1;
        int32_t Left = 0;
        int32_t Top = 0;
        int32_t Width = 0;
        int32_t Height = 0;
        int16_t FigType = 0;
    };
    // Stores many places as the functions above store each, with one pass over the GRAPH rows
    // instead of one search per place: a window of thousands of figures closes at once.
    void StorePlaces(const std::vector<TPlaceRecord>& places);

    // The faint ring circles of a target arrangement of one view (placement kind 1, 2 or 0): GRAPH
    // rows of no member (client -1 for the innermost ring, -2 for the next...), the centre in
    // left/top and the radius in width/height, so readers that look up members pass them by.
    // Storing replaces the view's rings (none removes them) and marks the project modified only
    // when they change.
    struct TRings {
        int32_t CentreX = 0;
        int32_t CentreY = 0;
        std::vector<int32_t> Radii; // innermost first

        bool operator==(const TRings&) const = default;
    };
    TRings StoredRings(TChoiceKind placeKind) const;
    void StoreRings(TChoiceKind placeKind, const TRings& rings);

    // Group indices (0 where the quotient is undefined).
    double IndexP(TChoiceKind kind) const;
    double IndexSa(TChoiceKind kind) const; // always of the positive kind
    double IndexJ(TChoiceKind kind) const;
    double IndexN(TChoiceKind kind) const;
    // Individual indices of the member at index.
    double IndexPi(int32_t index, TChoiceKind kind) const;
    double IndexAi(int32_t index, TChoiceKind kind) const;
    double IndexEi(int32_t index, TChoiceKind kind) const;
    double IndexSti(int32_t index, TChoiceKind kind) const; // both kinds added, whatever the kind
    // Level 1 ... 7 of the member's received choices below the group's maximum; 5 for kind 3.
    int32_t StatusLevel(int32_t index, TChoiceKind kind) const;

private:
    // Choices given, received and returned by one client id, over both kinds.
    struct TCounters {
        int32_t ForOut = 0;
        int32_t ForIn = 0;
        int32_t AgainstOut = 0;
        int32_t AgainstIn = 0;
        int32_t ForReturned = 0;
        int32_t AgainstReturned = 0;
    };
    // What numbering the ids learns of one choice list on its way through the rows.
    struct TListSlots {
        std::vector<int32_t> to;       // the slot of each row's chosen id
        std::vector<int32_t> outCount; // at slot + 1, the rows of that chooser; empty when not counted
        bool grouped = true;           // the rows come chooser by chooser, in slot order
    };
    // Dense numbers (slots) for the client ids of the members and the choices: a table indexed
    // by id where the ids lie close together, else the sorted distinct ids searched by halves.
    class TIdSlots {
    public:
        // Numbers the ids of the members and of both choice lists, noting in a and b the chosen
        // slots and, where the ids lie close together, the choosers' counts.
        void Build(const std::vector<TInvestClient>& members, const std::vector<TChoice>& listA,
                   const std::vector<TChoice>& listB, TListSlots& a, TListSlots& b);
        int32_t Count() const { return m_count; }
        // The slot of the id; -1 when neither a member nor a choice has it.
        int32_t Find(int32_t id) const
        {
            if (m_table.empty())
                return FindSorted(id);
            const auto at = static_cast<uint64_t>(static_cast<int64_t>(id) - m_min);
            return at < m_table.size() ? m_table[at] : -1;
        }

    private:
        int32_t FindSorted(int32_t id) const;

        int64_t m_min = 0;
        std::vector<int32_t> m_table; // slot by id - m_min (-1: none); empty when m_sorted serves
        std::vector<int32_t> m_sorted;
        int32_t m_count = 0;
    };
    // The distinct choices of one kind as lists of chooser slots per chosen slot.
    struct TKindIndex {
        std::vector<int32_t> start; // per slot, where its choosers begin in from; one more at the end
        std::vector<int32_t> from;  // ascending within each chosen slot
        int64_t returned = 0;       // choices whose reverse choice exists
        int32_t mutualPairs = 0;
        int32_t oneWayPairs = 0;
    };

    void FillChoiceLists(TFileAccess& store);
    void FillClientsList(TFileAccess& store);
    // slots holds what numbering learnt of the list; the function takes its counts.
    void IndexChoices(TKindIndex& index, std::vector<TChoice>& list, TListSlots& slots, bool positive);

    const TKindIndex* KindIndex(TChoiceKind kind) const;
    bool HasChoice(const TKindIndex& index, int32_t fromSlot, int32_t toSlot) const;
    const TInvestClient& ClientAt(int32_t index) const;
    int32_t Received(const TInvestClient& client, TChoiceKind kind) const;
    int32_t Given(const TInvestClient& client, TChoiceKind kind) const;
    int32_t Returned(const TInvestClient& client, TChoiceKind kind) const;

    TFileAccess* m_store;
    int32_t m_investId;
    TInvestInfo m_header;
    std::string m_clientGroupName;
    std::string m_criterionName;
    std::vector<TChoice> m_forList;
    std::vector<TChoice> m_againstList;
    std::vector<TInvestClient> m_clients;

    TIdSlots m_slots;
    TKindIndex m_forIndex;
    TKindIndex m_againstIndex;
    std::vector<TCounters> m_counters;     // by slot
    std::vector<int32_t> m_firstMember;    // by slot: index of the first member with that id, or -1
    std::vector<int32_t> m_memberCount;    // by slot: members with that id
    int32_t m_plainMembers = -1;           // the member count when no two members share an id, else -1
    int32_t m_maxForIn = kMaxReceivedStart;
    int32_t m_maxAgainstIn = kMaxReceivedStart;
};
