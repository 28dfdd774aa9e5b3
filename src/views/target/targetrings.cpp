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

std::vector<int32_t> ReceivedCounts(const TInvestigationObject& model, TChoiceKind kind)
{
    std::vector<int32_t> counts;
    counts.reserve(static_cast<std::size_t>(model.ClientCount()));
    for (int32_t i = 0; i < model.ClientCount(); ++i) {
        const TInvestClient client = model.Client(i);
        switch (kind) {
        case TChoiceKind::Positive: counts.push_back(client.ForIn); break;
        case TChoiceKind::Negative: counts.push_back(client.AgainstIn); break;
        default: counts.push_back(client.ForIn + client.AgainstIn); break;
        }
    }
    return counts;
}

bool KindHasRings(const TInvestigationObject& model, TChoiceKind kind)
{
    return (kind == TChoiceKind::Positive || kind == TChoiceKind::Negative) && model.ChoiceCount(kind) > 0;
}

int RingWidthToFill(int areaWidth, int areaHeight, int rings, int minimum, int leftOffset, int topOffset)
{
    if (rings <= 0)
        return minimum;
    const int radius = std::min(areaWidth / 2 - leftOffset, areaHeight / 2 - topOffset);
    return std::max(minimum, radius / rings);
}
