#pragma once

#include <cstdint>

// Which choices a question, index or view is about. The numbers are stored (GRAPH table) and
// passed between windows, so they never change.
enum class TChoiceKind : uint8_t {
    Placement = 0, // the sociogram placements of the view of both kinds
    Positive = 1,  // FOR table
    Negative = 2,  // AGAINST table
    Any = 3,       // both kinds, the "any choices" view
};

// The stored number of a kind.
constexpr int ChoiceKindCode(TChoiceKind kind)
{
    return static_cast<int>(kind);
}
