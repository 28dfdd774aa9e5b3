#include "store/storeedit.h"

#include <algorithm>
#include <utility>

#include "store/fileacc.h"

namespace {

// The nine tables in the order of the diffs.
template <typename TStore> auto Tables(TStore& store)
{
    return std::tie(store.ClientGroups(), store.Clients(), store.CriteriaGroups(), store.Criteria(),
                    store.Investigations(), store.ForChoices(), store.AgainstChoices(), store.Placements(),
                    store.Users());
}

template <typename TTable> std::vector<typename TTable::RecordType> RowsOf(const TTable& table)
{
    std::vector<typename TTable::RecordType> rows;
    rows.reserve(static_cast<std::size_t>(table.Count()));
    for (int32_t i = 0; i < table.Count(); ++i)
        rows.push_back(table.At(i));
    return rows;
}

} // namespace

struct TStoreEdit::TSnapshot {
    std::tuple<std::vector<TAClientGroup>, std::vector<TAClient>, std::vector<TACriteryGroup>,
               std::vector<TACritery>, std::vector<TAnInvest>, std::vector<TChoiceRow>, std::vector<TChoiceRow>,
               std::vector<TGraphPlace>, std::vector<TAUser>>
        Rows;
};

TStoreEdit::TStoreEdit(const TFileAccess& store) : m_before(std::make_unique<TSnapshot>())
{
    std::apply([this](const auto&... tables) { m_before->Rows = std::make_tuple(RowsOf(tables)...); },
               Tables(store));
    m_modifiedBefore = store.IsModified();
    m_loginBefore = store.LoginRequired();
}

TStoreEdit::~TStoreEdit() = default;
TStoreEdit::TStoreEdit(TStoreEdit&&) noexcept = default;
TStoreEdit& TStoreEdit::operator=(TStoreEdit&&) noexcept = default;

bool TStoreEdit::Finish(TFileAccess& store)
{
    if (!m_before)
        return !IsEmpty();
    const auto tables = Tables(store);
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (
            [&] {
                const auto& before = std::get<I>(m_before->Rows);
                const auto& table = std::get<I>(tables);
                const auto after = [&table](std::size_t k) -> const auto& {
                    return table.At(static_cast<int32_t>(k));
                };
                const std::size_t count = static_cast<std::size_t>(table.Count());
                auto& diff = std::get<I>(m_diffs);
                // Only the stretch between the common beginning and the common end is kept.
                std::size_t head = 0;
                while (head < before.size() && head < count && before[head] == after(head))
                    ++head;
                std::size_t tail = 0;
                while (tail < before.size() - head && tail < count - head &&
                       before[before.size() - 1 - tail] == after(count - 1 - tail))
                    ++tail;
                diff.First = static_cast<int32_t>(head);
                diff.Before.assign(before.begin() + static_cast<std::ptrdiff_t>(head),
                                   before.end() - static_cast<std::ptrdiff_t>(tail));
                diff.After.clear();
                diff.After.reserve(count - tail - head);
                for (std::size_t k = head; k < count - tail; ++k)
                    diff.After.push_back(after(k));
            }(),
            ...);
    }(std::make_index_sequence<std::tuple_size_v<TDiffs>>{});
    m_loginAfter = store.LoginRequired();
    m_before.reset();
    if (IsEmpty()) {
        store.SetModified(m_modifiedBefore);
        return false;
    }
    return true;
}

bool TStoreEdit::IsEmpty() const
{
    const bool same = std::apply(
        [](const auto&... diff) { return ((diff.Before.empty() && diff.After.empty()) && ...); }, m_diffs);
    return same && m_loginBefore == m_loginAfter;
}

void TStoreEdit::Revert(TFileAccess& store) const
{
    PutBack(store, false);
}

void TStoreEdit::Apply(TFileAccess& store) const
{
    PutBack(store, true);
}

void TStoreEdit::PutBack(TFileAccess& store, bool after) const
{
    const auto tables = Tables(store);
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (
            [&] {
                const auto& diff = std::get<I>(m_diffs);
                const auto& present = after ? diff.Before : diff.After;
                const auto& wanted = after ? diff.After : diff.Before;
                if (!present.empty() || !wanted.empty())
                    std::get<I>(tables).ReplaceRange(diff.First, static_cast<int32_t>(present.size()), wanted);
            }(),
            ...);
    }(std::make_index_sequence<std::tuple_size_v<TDiffs>>{});
    store.SetLoginRequired(after ? m_loginAfter : m_loginBefore);
}
