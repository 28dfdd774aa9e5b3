#pragma once

#include <cstdint>

#include "analysis/investigationobj.h"

// The number of choices an ordering counts for a member (received, given or mutual, of one kind
// or of both); 0 for the status orderings, which sort by an index instead.
int32_t OrderCount(const TInvestClient& client, TClientOrder order);
