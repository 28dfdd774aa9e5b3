#pragma once

#include <cstdint>
#include <vector>

#include "analysis/choicekind.h"

class TInvestigationObject;

// The rings of a target diagram for the members' received counts.
struct TTargetRings {
    int32_t MinNumber = 0; // value of the outermost ring: the smallest count
    int RingNumber = 0;    // one ring per count from the smallest to the largest
};

// One ring per count from the smallest to the largest; no rings when the kind has no choices
// (the smallest count still names the members the legend starts with).
TTargetRings RingsForCounts(const std::vector<int32_t>& counts, bool kindHasChoices);

// Positions of the members whose count equals the ring value, in member order.
std::vector<int> MembersOnRing(const std::vector<int32_t>& counts, int32_t value);

// The members' received counts of a kind in member order (both kinds added for Any).
std::vector<int32_t> ReceivedCounts(const TInvestigationObject& model, TChoiceKind kind);
// Whether the kind gets rings: the positive or the negative kind when the investigation has
// choices of it; the view of any choices has none.
bool KindHasRings(const TInvestigationObject& model, TChoiceKind kind);

// The ring width with which the rings fill an area of the given size (margins included), never
// less than the minimum the settings give.
int RingWidthToFill(int areaWidth, int areaHeight, int rings, int minimum, int leftOffset, int topOffset);
