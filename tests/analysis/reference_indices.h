#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/investigationobj.h"

// The investigation definitions computed the plain way: every question a linear scan over the
// raw lists, every ordering a selection by repeated scans. Slow on purpose; it is the yardstick
// the investigation model's lookup tables are checked against.
struct TReferenceInvestigation {
    struct TMember {
        int32_t Id = 0;
        std::string Name;
    };
    std::vector<TMember> Members;      // member order
    std::vector<TChoice> ForList;      // table order
    std::vector<TChoice> AgainstList;  // table order
    std::vector<TMember> GroupClients; // clients of the header's group, for the mutual-pairs names

    int32_t N() const { return static_cast<int32_t>(Members.size()); }
    const std::vector<TChoice>& List(TChoiceKind kind) const;

    bool IsChoice(int32_t fromId, int32_t toId, TChoiceKind kind) const;
    int32_t MutualCount(int32_t clientId, TChoiceKind kind) const;
    // Choices of the kind the client gave that were returned, whatever the sign of its id.
    int32_t Returned(int32_t clientId, TChoiceKind kind) const;
    int32_t OneWayPairsCount(TChoiceKind kind) const;
    int32_t Given(int32_t clientId, TChoiceKind kind) const;
    int32_t Received(int32_t clientId, TChoiceKind kind) const;
    TInvestClient Counters(int32_t index) const;
    int32_t MaxReceived(TChoiceKind kind) const;
    int32_t MinReceived(TChoiceKind kind) const;
    std::vector<std::string> MutualPairsList(TChoiceKind kind) const;
    std::vector<TInvestClient> SortClients(TClientOrder order) const;

    double IndexP(TChoiceKind kind) const;
    double IndexSa(TChoiceKind kind) const;
    double IndexJ(TChoiceKind kind) const;
    double IndexN(TChoiceKind kind) const;
    double IndexPi(int32_t index, TChoiceKind kind) const;
    double IndexAi(int32_t index, TChoiceKind kind) const;
    double IndexEi(int32_t index, TChoiceKind kind) const;
    double IndexSti(int32_t index, TChoiceKind kind) const;
    int32_t StatusLevel(int32_t index, TChoiceKind kind) const;
};
