#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/investigationobj.h"
#include "exchange/rosterimport.h"

class TFileAccess;

// The shape a choices file was read in.
enum class TChoicesLayout : uint8_t {
    EdgeList, // one row per choice: chooser, chosen and optionally the sign
    Matrix,   // names in the first row and column, 1 / -1 / empty in the cells
};

// The choices a file holds for one investigation, each admitted by the investigation's rules
// (members only, no self-choice, one choice per pair, negatives only where allowed, at most the
// maximum per chooser and kind), and every row or cell that was refused with its reason.
struct TChoicesPlan {
    TChoicesLayout Layout = TChoicesLayout::EdgeList;
    std::vector<TChoice> Positive;
    std::vector<TChoice> Negative;
    std::vector<TRefusedRow> Refused;
    std::string Failure; // the file as a whole cannot be read, or the investigation does not exist
    bool Empty = false;  // the file holds no choice at all, neither admitted nor refused

    int32_t Admitted() const { return static_cast<int32_t>(Positive.size() + Negative.size()); }
};

// Reads an edge list (with or without a header row "chooser, chosen, sign"; a first row is taken
// for a header only when every field is such a column word or a name column of the network
// export) or a square matrix, naming members by client id or by name (ignoring letter case).
TChoicesPlan PlanChoicesImport(const TFileAccess& store, int32_t investId, std::string_view bytes);
TChoicesPlan PlanChoicesImportFile(const TFileAccess& store, int32_t investId, const std::string& path);

// The refusal of a file without any choice, which would clear the investigation's choices.
std::string EmptyChoicesFileText();

// Replaces the investigation's stored choices by the admitted ones. Without skipRefused a plan
// with any refused row changes nothing (all or nothing). False, with error set, when nothing
// was changed. Members without a choice stay members. A file without any choice would clear the
// investigation's choices: that is done only with allowEmpty.
bool ApplyChoicesImport(TFileAccess& store, int32_t investId, const TChoicesPlan& plan, bool skipRefused,
                        std::string& error, bool allowEmpty = false);
