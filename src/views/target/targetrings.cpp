#include "views/target/targetrings.h"

#include <algorithm>

#include "analysis/investigationobj.h"

TTargetRings RingsForCounts(const std::vector<int32_t>& counts, bool kindHasChoices)
{
    TTargetRings rings;
    if (counts.empty()) {
        rings.MinNumber = kMinReceivedStart;
        return rings;
    }
    const auto [low, high] = std::minmax_element(counts.begin(), counts.end());
    rings.MinNumber = *low;
    if (kindHasChoices)
        rings.RingNumber = static_cast<int>(static_cast<int64_t>(*high) - *low + 1);
    return rings;
}

std::vector<int> MembersOnRing(const std::vector<int32_t>& counts, int32_t value)
{
    std::vector<int> members;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] == value)
            members.push_back(static_cast<int>(i));
    }
    return members;
}
