#pragma once

#include <cstdint>
#include <memory>
#include <tuple>
#include <vector>

#include "store/filtab.h"

class TFileAccess;

// What one change did to the project's tables, table by table, so that it can be taken back and
// made again exactly: the rows go back to the places they had, so the file written afterwards is
// the same byte for byte. Start it before the change runs through the store's own add, change and
// remove, finish it after.
class TStoreEdit final {
public:
    // Notes the tables as they stand before the change.
    explicit TStoreEdit(const TFileAccess& store);
    ~TStoreEdit();
    TStoreEdit(TStoreEdit&&) noexcept;
    TStoreEdit& operator=(TStoreEdit&&) noexcept;

    // Compares with the tables after the change; false when the change left them as they were, and
    // the store's modified flag is then put back as it was, so an edit that changed nothing asks
    // for no save.
    bool Finish(TFileAccess& store);
    bool IsEmpty() const;

    // Puts the tables back as they were before the change, or as they were after it.
    void Revert(TFileAccess& store) const;
    void Apply(TFileAccess& store) const;

private:
    // The rows of one table that differ: from index First, Before was there and After is now.
    template <typename TRecord> struct TRowDiff {
        int32_t First = 0;
        std::vector<TRecord> Before;
        std::vector<TRecord> After;
    };
    using TDiffs = std::tuple<TRowDiff<TAClientGroup>, TRowDiff<TAClient>, TRowDiff<TACriteryGroup>,
                              TRowDiff<TACritery>, TRowDiff<TAnInvest>, TRowDiff<TChoiceRow>,
                              TRowDiff<TChoiceRow>, TRowDiff<TGraphPlace>, TRowDiff<TAUser>>;
    struct TSnapshot;

    // Puts the rows of one side (after or before the change) in place of the other's.
    void PutBack(TFileAccess& store, bool after) const;

    std::unique_ptr<TSnapshot> m_before;
    TDiffs m_diffs;
    bool m_modifiedBefore = false;
    bool m_loginBefore = false;
    bool m_loginAfter = false;
};
