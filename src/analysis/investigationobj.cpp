#include "analysis/investigationobj.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "store/fileacc.h"
#include "util/error.h"
#include "util/text.h"

namespace {

// Raised when a choice table holds more rows of the investigation than it counted.
const char* const kFillListError = "Internal error! Unit \"VISUAL_F. Procedure FillForList. i >= soccnt!\"";

// Group id that stands for "the investigation has no row".
constexpr int32_t kMissingId = -99999;

// Half of a count, rounded to the nearest whole number with halves going to the even neighbour.
int32_t HalfToEven(int64_t count)
{
    int64_t half = count / 2;
    if (count % 2 != 0 && half % 2 != 0)
        ++half;
    return static_cast<int32_t>(half);
}

// Reads the rows of one choice table that belong to the investigation, in table order, repeats
// included (IndexChoices removes them).
void FillChoiceList(const TChoiceTable& table, int32_t investId, int32_t counted, std::vector<TChoice>& list)
{
    list.clear();
    if (counted <= 0)
        return;
    list.reserve(static_cast<std::size_t>(counted));
    for (int32_t i = 0; i < table.Count(); ++i) {
        const TChoiceRow& row = table.At(i);
        if (row.InvestId != investId)
            continue;
        if (list.size() >= static_cast<std::size_t>(counted))
            throw TAppError(kFillListError);
        list.push_back(TChoice{row.FromId, row.ToId});
    }
}

} // namespace

void TInvestigationObject::TIdSlots::Build(const std::vector<TInvestClient>& members,
                                           const std::vector<TChoice>& listA, const std::vector<TChoice>& listB,
                                           TListSlots& a, TListSlots& b)
{
    // Every id in order: the members first, so that their slots are their positions.
    const auto eachId = [&](const auto& visit) {
        for (const TInvestClient& m : members)
            visit(m.Id);
        for (const std::vector<TChoice>* list : {&listA, &listB}) {
            for (const TChoice& c : *list) {
                visit(c.FromId);
                visit(c.ToId);
            }
        }
    };
    const std::size_t ids = members.size() + 2 * (listA.size() + listB.size());
    m_table.clear();
    m_sorted.clear();
    m_count = 0;
    for (TListSlots* slots : {&a, &b}) {
        slots->outCount.clear();
        slots->grouped = true;
    }
    a.to.resize(listA.size());
    b.to.resize(listB.size());
    if (ids == 0)
        return;
    // A table of slots by id when the ids lie close together: numbering them, noting the chosen
    // slots and counting each chooser's rows in one pass over the rows; false when one falls outside.
    const auto fillTable = [&](int64_t low, int64_t high) {
        const auto range = static_cast<uint64_t>(high - low + 1);
        if (range > 4 * ids + 1024)
            return false;
        m_min = low;
        m_table.assign(range, -1);
        m_count = 0;
        const auto number = [&](int32_t id) {
            const auto at = static_cast<uint64_t>(static_cast<int64_t>(id) - m_min);
            if (at >= range)
                return -2;
            int32_t& slot = m_table[at];
            if (slot < 0)
                slot = m_count++;
            return slot;
        };
        bool inside = true;
        for (const TInvestClient& m : members)
            inside = inside && number(m.Id) >= 0;
        for (const auto& [list, slots] : {std::pair{&listA, &a}, std::pair{&listB, &b}}) {
            // There are no more slots than ids in the range.
            std::vector<int32_t>& count = slots->outCount;
            count.assign(range + 1, 0);
            int32_t previous = -1;
            bool grouped = true;
            for (std::size_t i = 0; i < list->size() && inside; ++i) {
                const TChoice& c = (*list)[i];
                const int32_t from = number(c.FromId);
                slots->to[i] = number(c.ToId);
                inside = from >= 0 && slots->to[i] >= 0;
                if (!inside)
                    break;
                ++count[static_cast<std::size_t>(from) + 1];
                grouped = grouped && previous <= from;
                previous = from;
            }
            slots->grouped = grouped;
        }
        if (!inside) {
            m_table.clear();
            return false;
        }
        a.outCount.resize(static_cast<std::size_t>(m_count) + 1);
        b.outCount.resize(static_cast<std::size_t>(m_count) + 1);
        return true;
    };
    // Choices seldom name anyone but members: the members' range usually serves.
    int64_t low = std::numeric_limits<int64_t>::max();
    int64_t high = std::numeric_limits<int64_t>::min();
    for (const TInvestClient& m : members) {
        low = std::min<int64_t>(low, m.Id);
        high = std::max<int64_t>(high, m.Id);
    }
    if (!members.empty() && fillTable(low, high))
        return;
    eachId([&low, &high](int32_t id) {
        low = std::min<int64_t>(low, id);
        high = std::max<int64_t>(high, id);
    });
    if (fillTable(low, high))
        return;
    // Ids far apart: sorted and searched by halves; IndexChoices counts the choosers itself.
    for (TListSlots* slots : {&a, &b}) {
        slots->outCount.clear();
        slots->grouped = true;
    }
    m_count = 0;
    m_sorted.reserve(ids);
    eachId([this](int32_t id) { m_sorted.push_back(id); });
    std::sort(m_sorted.begin(), m_sorted.end());
    m_sorted.erase(std::unique(m_sorted.begin(), m_sorted.end()), m_sorted.end());
    m_count = static_cast<int32_t>(m_sorted.size());
    for (std::size_t i = 0; i < listA.size(); ++i)
        a.to[i] = Find(listA[i].ToId);
    for (std::size_t i = 0; i < listB.size(); ++i)
        b.to[i] = Find(listB[i].ToId);
}

int32_t TInvestigationObject::TIdSlots::FindSorted(int32_t id) const
{
    const auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), id);
    return it == m_sorted.end() || *it != id ? -1 : static_cast<int32_t>(it - m_sorted.begin());
}

TInvestigationObject::TInvestigationObject(TFileAccess& store, int32_t investId)
    : m_store(&store), m_investId(investId)
{
    std::string description;
    ReadInvestigation(store, investId, description, m_header);
    TClientGroupInfo group;
    ReadClientGroup(store, m_header.ClientGroupId, description, group);
    m_clientGroupName = group.Name;
    TCriterionInfo criterion;
    ReadCriterion(store, m_header.CriterionId, m_header.CriteriaGroupId, description, criterion);
    m_criterionName = criterion.Name;

    // A missing investigation keeps the header defaults and empty lists, so that choices left
    // behind under its identifier are not shown as if they belonged to it.
    if (store.Investigations().FindById(investId))
        FillChoiceLists(store);
    FillClientsList(store);
}

void TInvestigationObject::FillChoiceLists(TFileAccess& store)
{
    FillChoiceList(store.ForChoices(), m_header.Id, store.CountForChoices(m_header.Id), m_forList);
    FillChoiceList(store.AgainstChoices(), m_header.Id, store.CountAgainstChoices(m_header.Id),
                   m_againstList);
}

// Buckets the choices by the chosen member, choosers ascending. A row repeating an earlier
// choice of the same member for the same member is one choice, not two: the file may hold it
// twice, but counting it twice would invent a mutual pair. The first in table order stays, and
// the list keeps its table order.
void TInvestigationObject::IndexChoices(TKindIndex& index, std::vector<TChoice>& list, TListSlots& listSlots,
                                        bool positive)
{
    // Few passes over flat arrays, none whose branches hang on the data, and few temporaries:
    // on large groups the model's time is mostly memory and mispredicted branches.
    const auto slots = static_cast<std::size_t>(m_slots.Count());
    const std::size_t rows = list.size();
    const std::vector<int32_t>& toSlot = listSlots.to;
    // Where each chooser's choices begin in chosen: counted while the ids were numbered, unless
    // they lay far apart. Files usually list a member's choices together, members in order.
    std::vector<int32_t> outStart = std::move(listSlots.outCount);
    bool grouped = listSlots.grouped;
    if (outStart.empty()) {
        outStart.assign(slots + 1, 0);
        int32_t previous = -1;
        for (std::size_t i = 0; i < rows; ++i) {
            const int32_t from = m_slots.Find(list[i].FromId);
            ++outStart[static_cast<std::size_t>(from) + 1];
            grouped = grouped && previous <= from;
            previous = from;
        }
    }
    for (std::size_t s = 0; s < slots; ++s)
        outStart[s + 1] += outStart[s];
    // The chosen slots in chooser order, table order within a chooser: the rows' own when grouped.
    std::vector<int32_t> byChooser; // row of each entry of chosen, when not grouped
    std::vector<int32_t> reordered;
    if (!grouped) {
        byChooser.resize(rows);
        reordered.resize(rows);
        std::vector<int32_t> fill(outStart.begin(), outStart.end() - 1);
        for (std::size_t i = 0; i < rows; ++i) {
            const auto k = static_cast<std::size_t>(fill[static_cast<std::size_t>(m_slots.Find(list[i].FromId))]++);
            byChooser[k] = static_cast<int32_t>(i);
            reordered[k] = toSlot[i];
        }
    }
    const std::vector<int32_t>* chosen = grouped ? &toSlot : &reordered;

    // The choosers of each slot: bucketed by the chosen slot, taken in slot order, so ascending.
    std::vector<int32_t> fill(slots);
    const auto bucket = [&] {
        const std::vector<int32_t>& to = *chosen;
        index.start.assign(slots + 1, 0);
        for (const int32_t slot : to)
            ++index.start[static_cast<std::size_t>(slot) + 1];
        for (std::size_t s = 0; s < slots; ++s)
            index.start[s + 1] += index.start[s];
        std::copy(index.start.begin(), index.start.end() - 1, fill.begin());
        index.from.resize(to.size());
        for (std::size_t s = 0; s < slots; ++s) {
            for (int32_t k = outStart[s]; k < outStart[s + 1]; ++k)
                index.from[static_cast<std::size_t>(fill[static_cast<std::size_t>(to[static_cast<std::size_t>(k)])]++)] =
                    static_cast<int32_t>(s);
        }
    };

    // Choices returned: with the slot's choosers marked, a chosen slot carrying the mark chose it
    // back; a choice of oneself returns itself. Member pairs joined by exactly one choice count
    // every member carrying one id with every member carrying the other. With no id shared by two
    // members, a slot's member count is whether the slot is a member's, known without reading
    // the counts at random. Answers whether a chooser came twice in a row in a bucket: a member
    // named twice by one chooser.
    const auto count = [&] {
        std::vector<int32_t>& mark = fill; // the slot whose choosers were last marked
        std::fill(mark.begin(), mark.end(), -1);
        const int32_t plain = m_plainMembers;
        int64_t oneWay = 0;
        bool repeated = false;
        index.returned = 0;
        for (std::size_t s = 0; s < slots; ++s) {
            const auto self = static_cast<int32_t>(s);
            int32_t last = -1;
            for (int32_t k = index.start[s]; k < index.start[s + 1]; ++k) {
                const int32_t chooser = index.from[static_cast<std::size_t>(k)];
                repeated = repeated || chooser == last;
                last = chooser;
                mark[static_cast<std::size_t>(chooser)] = self;
            }
            int32_t returned = 0;
            const int64_t members = plain >= 0 ? (self < plain ? 1 : 0) : m_memberCount[s];
            for (int32_t k = outStart[s]; k < outStart[s + 1]; ++k) {
                const int32_t to = (*chosen)[static_cast<std::size_t>(k)];
                const bool back = mark[static_cast<std::size_t>(to)] == self;
                returned += back ? 1 : 0;
                const int64_t weight = plain >= 0 ? (to < plain ? 1 : 0) : m_memberCount[static_cast<std::size_t>(to)];
                oneWay += back || to == self ? 0 : members * weight;
            }
            TCounters& counters = m_counters[s];
            (positive ? counters.ForOut : counters.AgainstOut) = outStart[s + 1] - outStart[s];
            (positive ? counters.ForIn : counters.AgainstIn) = index.start[s + 1] - index.start[s];
            (positive ? counters.ForReturned : counters.AgainstReturned) = returned;
            index.returned += returned;
        }
        index.mutualPairs = HalfToEven(index.returned);
        index.oneWayPairs = static_cast<int32_t>(oneWay);
        return repeated;
    };
    bucket();
    if (!count())
        return;

    // Seldom so: then each chooser keeps the first row naming a member, and the buckets are made
    // again from the distinct choices.
    std::vector<int32_t>& namedBy = fill; // the chooser whose rows last named the slot
    std::fill(namedBy.begin(), namedBy.end(), -1);
    std::vector<char> keep(rows, 1);
    std::vector<int32_t> distinct;
    distinct.reserve(rows);
    for (std::size_t s = 0; s < slots; ++s) {
        const auto begin = static_cast<std::size_t>(outStart[s]);
        const auto end = static_cast<std::size_t>(outStart[s + 1]);
        outStart[s] = static_cast<int32_t>(distinct.size());
        for (std::size_t k = begin; k < end; ++k) {
            const auto to = static_cast<std::size_t>((*chosen)[k]);
            if (namedBy[to] == static_cast<int32_t>(s)) {
                keep[grouped ? k : static_cast<std::size_t>(byChooser[k])] = 0;
                continue;
            }
            namedBy[to] = static_cast<int32_t>(s);
            distinct.push_back(static_cast<int32_t>(to));
        }
    }
    outStart[slots] = static_cast<int32_t>(distinct.size());
    std::size_t filled = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        if (keep[i])
            list[filled++] = list[i];
    }
    list.resize(filled);
    chosen = &distinct;
    bucket();
    count();
}

void TInvestigationObject::FillClientsList(TFileAccess& store)
{
    // Without an investigation row there are no members; a stored group id that happens to
    // equal the missing-id marker is still an ordinary group.
    TInvestTable& invests = store.Investigations();
    const bool hasRow = invests.FindById(m_investId);
    const int32_t groupId = hasRow ? invests.GetClientGroupId() : kMissingId;

    const TClientTable& clients = store.Clients();
    if (hasRow) {
        for (int32_t i = 0; i < clients.Count(); ++i) {
            const TAClient& row = clients.At(i);
            if (row.GroupId != groupId)
                continue;
            TInvestClient client;
            client.Id = row.Id;
            client.Name = row.FullName;
            client.GroupId = groupId;
            m_clients.push_back(std::move(client));
        }
    }

    TListSlots forSlots;
    TListSlots againstSlots;
    m_slots.Build(m_clients, m_forList, m_againstList, forSlots, againstSlots);
    const auto slots = static_cast<std::size_t>(m_slots.Count());
    m_counters.assign(slots, TCounters{});
    m_firstMember.assign(slots, -1);
    m_memberCount.assign(slots, 0);
    std::vector<int32_t> memberSlot(m_clients.size());
    m_plainMembers = static_cast<int32_t>(m_clients.size());
    for (std::size_t i = 0; i < m_clients.size(); ++i) {
        const int32_t slot = m_slots.Find(m_clients[i].Id);
        memberSlot[i] = slot;
        if (slot != static_cast<int32_t>(i))
            m_plainMembers = -1;
        ++m_memberCount[static_cast<std::size_t>(slot)];
        if (m_firstMember[static_cast<std::size_t>(slot)] < 0)
            m_firstMember[static_cast<std::size_t>(slot)] = static_cast<int32_t>(i);
    }
    IndexChoices(m_forIndex, m_forList, forSlots, true);
    IndexChoices(m_againstIndex, m_againstList, againstSlots, false);

    for (std::size_t i = 0; i < m_clients.size(); ++i) {
        TInvestClient& client = m_clients[i];
        const TCounters& c = m_counters[static_cast<std::size_t>(memberSlot[i])];
        client.ForOut = c.ForOut;
        client.ForIn = c.ForIn;
        client.AgainstOut = c.AgainstOut;
        client.AgainstIn = c.AgainstIn;
        client.ForMutual = c.ForReturned;
        client.AgainstMutual = c.AgainstReturned;
        m_maxForIn = std::max(m_maxForIn, client.ForIn);
        m_maxAgainstIn = std::max(m_maxAgainstIn, client.AgainstIn);
    }
}

const TInvestigationObject::TKindIndex* TInvestigationObject::KindIndex(TChoiceKind kind) const
{
    if (kind == TChoiceKind::Positive)
        return &m_forIndex;
    if (kind == TChoiceKind::Negative)
        return &m_againstIndex;
    return nullptr;
}

const TInvestClient& TInvestigationObject::ClientAt(int32_t index) const
{
    return m_clients.at(static_cast<std::size_t>(index));
}

int32_t TInvestigationObject::ChoiceCount(TChoiceKind kind) const
{
    if (kind == TChoiceKind::Positive)
        return ForCount();
    if (kind == TChoiceKind::Negative)
        return AgainstCount();
    return 0;
}

int32_t TInvestigationObject::FindClient(int32_t clientId) const
{
    const int32_t slot = m_slots.Find(clientId);
    return slot < 0 ? -1 : m_firstMember[static_cast<std::size_t>(slot)];
}

bool TInvestigationObject::HasChoice(const TKindIndex& index, int32_t fromSlot, int32_t toSlot) const
{
    if (fromSlot < 0 || toSlot < 0)
        return false;
    const auto first = index.from.begin() + index.start[static_cast<std::size_t>(toSlot)];
    const auto last = index.from.begin() + index.start[static_cast<std::size_t>(toSlot) + 1];
    return std::binary_search(first, last, fromSlot);
}

bool TInvestigationObject::IsChoice(int32_t fromId, int32_t toId, TChoiceKind kind) const
{
    const TKindIndex* index = KindIndex(kind);
    return index && HasChoice(*index, m_slots.Find(fromId), m_slots.Find(toId));
}

int32_t TInvestigationObject::MutualCount(int32_t clientId, TChoiceKind kind) const
{
    const TKindIndex* index = KindIndex(kind);
    if (!index)
        return 0;
    if (clientId < 0)
        return index->mutualPairs;
    const int32_t slot = m_slots.Find(clientId);
    if (slot < 0)
        return 0;
    const TCounters& counters = m_counters[static_cast<std::size_t>(slot)];
    return kind == TChoiceKind::Positive ? counters.ForReturned : counters.AgainstReturned;
}

int32_t TInvestigationObject::OneWayPairsCount(TChoiceKind kind) const
{
    const TKindIndex* index = KindIndex(kind);
    return index ? index->oneWayPairs : 0;
}

namespace {

// The received value the extremes compare: positive, negative or both added.
int32_t ReceivedOfKind(const TInvestClient& client, TChoiceKind kind)
{
    switch (kind) {
    case TChoiceKind::Positive:
        return client.ForIn;
    case TChoiceKind::Negative:
        return client.AgainstIn;
    case TChoiceKind::Any:
        return client.ForIn + client.AgainstIn;
    default:
        return 0;
    }
}

} // namespace

int32_t TInvestigationObject::MaxReceived(TChoiceKind kind) const
{
    if (kind == TChoiceKind::Positive)
        return m_maxForIn;
    if (kind == TChoiceKind::Negative)
        return m_maxAgainstIn;
    int32_t result = kMaxReceivedStart;
    for (const TInvestClient& c : m_clients)
        result = std::max(result, ReceivedOfKind(c, kind));
    return result;
}

int32_t TInvestigationObject::MinReceived(TChoiceKind kind) const
{
    int32_t result = kMinReceivedStart;
    for (const TInvestClient& c : m_clients)
        result = std::min(result, ReceivedOfKind(c, kind));
    return result;
}

void TInvestigationObject::MutualPairsList(std::vector<std::string>& list, TChoiceKind kind) const
{
    list.clear();
    const TKindIndex* index = KindIndex(kind);
    if (!index)
        return;
    const std::vector<TChoice>& choices = kind == TChoiceKind::Positive ? m_forList : m_againstList;
    const auto nameOf = [this](int32_t id) {
        const int32_t member = FindClient(id);
        return member < 0 ? std::string() : Trim(m_clients[static_cast<std::size_t>(member)].Name);
    };
    // Each pair is listed once, in the direction of its first returned choice: the returned
    // choices sorted by their unordered pair, then by position, give each pair's first.
    std::vector<std::pair<uint64_t, std::size_t>> returned;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const TChoice& c = choices[i];
        if (HasChoice(*index, m_slots.Find(c.ToId), m_slots.Find(c.FromId)))
            returned.emplace_back(ChoicePairKey(std::min(c.FromId, c.ToId), std::max(c.FromId, c.ToId)), i);
    }
    std::sort(returned.begin(), returned.end());
    std::vector<std::size_t> firsts;
    for (std::size_t k = 0; k < returned.size(); ++k) {
        if (k == 0 || returned[k].first != returned[k - 1].first)
            firsts.push_back(returned[k].second);
    }
    std::sort(firsts.begin(), firsts.end());
    for (const std::size_t i : firsts)
        list.push_back(nameOf(choices[i].FromId) + " - " + nameOf(choices[i].ToId));
}

int32_t OrderCount(const TInvestClient& client, TClientOrder order)
{
    switch (order) {
    case TClientOrder::ForIn:
        return client.ForIn;
    case TClientOrder::ForOut:
        return client.ForOut;
    case TClientOrder::AgainstIn:
        return client.AgainstIn;
    case TClientOrder::AgainstOut:
        return client.AgainstOut;
    case TClientOrder::ForMutual:
        return client.ForMutual;
    case TClientOrder::AgainstMutual:
        return client.AgainstMutual;
    case TClientOrder::AllIn:
        return client.ForIn + client.AgainstIn;
    case TClientOrder::AllOut:
        return client.ForOut + client.AgainstOut;
    case TClientOrder::PositiveStatus:
    case TClientOrder::NegativeStatus:
        break;
    }
    return 0;
}

namespace {

// The value an ordering sorts the member at index by.
double OrderKey(const TInvestigationObject& model, const TInvestClient& c, int32_t index, TClientOrder order)
{
    switch (order) {
    case TClientOrder::PositiveStatus:
        return model.IndexPi(index, TChoiceKind::Positive);
    case TClientOrder::NegativeStatus:
        return model.IndexPi(index, TChoiceKind::Negative);
    default:
        return OrderCount(c, order);
    }
}

} // namespace

int32_t TInvestigationObject::SortClients(TClientOrder order, std::vector<TInvestClient>& list) const
{
    const std::size_t n = m_clients.size();
    std::vector<double> keys(n);
    for (std::size_t i = 0; i < n; ++i)
        keys[i] = OrderKey(*this, m_clients[i], static_cast<int32_t>(i), order);
    std::vector<std::size_t> positions(n);
    std::iota(positions.begin(), positions.end(), std::size_t{0});
    std::stable_sort(positions.begin(), positions.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a] > keys[b]; });
    list.clear();
    list.reserve(n);
    for (std::size_t p : positions)
        list.push_back(m_clients[p]);
    return static_cast<int32_t>(n);
}

void TInvestigationObject::StorePlaces(const std::vector<TPlaceRecord>& places)
{
    TGraphPlaceTable& table = m_store->Placements();
    // The first row of each (client, kind) of this investigation and client group: the row a
    // search from the top finds.
    const auto keyOf = [](int32_t clientId, int16_t kind) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(clientId)) << 16) | static_cast<uint16_t>(kind);
    };
    std::unordered_map<uint64_t, int32_t> rowOf;
    for (int32_t r = 0; r < table.Count(); ++r) {
        const TGraphPlace& row = table.At(r);
        if (row.InvestId == m_investId && row.ClientGroupId == m_header.ClientGroupId)
            rowOf.emplace(keyOf(row.ClientId, row.SelType), r);
    }
    for (const TPlaceRecord& p : places) {
        const TGraphPlace place{.InvestId = m_investId,
                                .ClientId = p.ClientId,
                                .ClientGroupId = m_header.ClientGroupId,
                                .SelType = static_cast<int16_t>(p.Kind),
                                .Left = p.Left,
                                .Top = p.Top,
                                .Width = p.Width,
                                .Height = p.Height,
                                .FigType = p.FigType};
        const uint64_t key = keyOf(place.ClientId, place.SelType);
        if (const auto found = rowOf.find(key); found != rowOf.end()) {
            // A figure that stayed where it was changes nothing, so closing a window marks nothing.
            if (table.At(found->second) == place)
                continue;
            table.MoveTo(found->second);
            table.Change(place);
        } else {
            rowOf.emplace(key, table.Count());
            table.Add(place);
        }
        table.SetModified(true);
    }
}

void TInvestigationObject::StorePlaceFor(int32_t clientId, int32_t left, int32_t top, int32_t width,
                                         int32_t height, int16_t figType)
{
    StorePlaces({{TChoiceKind::Positive, clientId, left, top, width, height, figType}});
}

void TInvestigationObject::StorePlaceAgainst(int32_t clientId, int32_t left, int32_t top, int32_t width,
                                             int32_t height, int16_t figType)
{
    StorePlaces({{TChoiceKind::Negative, clientId, left, top, width, height, figType}});
}

void TInvestigationObject::StorePlaceAny(int32_t clientId, int32_t left, int32_t top, int32_t width,
                                         int32_t height, int16_t figType)
{
    StorePlaces({{TChoiceKind::Placement, clientId, left, top, width, height, figType}});
}

TInvestigationObject::TRings TInvestigationObject::StoredRings(TChoiceKind placeKind) const
{
    const TGraphPlaceTable& places = m_store->Placements();
    std::vector<std::pair<int32_t, int32_t>> radii; // ring number, radius
    TRings rings;
    for (int32_t r = 0; r < places.Count(); ++r) {
        const TGraphPlace& row = places.At(r);
        if (row.InvestId != m_investId || row.ClientId >= 0 || row.ClientGroupId != m_header.ClientGroupId ||
            row.SelType != static_cast<int16_t>(placeKind) || row.Width <= 0)
            continue;
        rings.CentreX = row.Left;
        rings.CentreY = row.Top;
        radii.emplace_back(-row.ClientId, row.Width);
    }
    std::sort(radii.begin(), radii.end());
    for (const auto& ring : radii)
        rings.Radii.push_back(ring.second);
    return rings;
}

void TInvestigationObject::StoreRings(TChoiceKind placeKind, const TRings& rings)
{
    const TRings before = StoredRings(placeKind);
    if (before.Radii == rings.Radii && (rings.Radii.empty() || before == rings))
        return;
    TGraphPlaceTable& places = m_store->Placements();
    const int16_t code = static_cast<int16_t>(placeKind);
    places.DeleteWhere([&](const TGraphPlace& row) {
        return row.InvestId == m_investId && row.ClientId < 0 && row.ClientGroupId == m_header.ClientGroupId &&
               row.SelType == code;
    });
    for (std::size_t i = 0; i < rings.Radii.size(); ++i) {
        places.Add({.InvestId = m_investId,
                    .ClientId = -1 - static_cast<int32_t>(i),
                    .ClientGroupId = m_header.ClientGroupId,
                    .SelType = code,
                    .Left = rings.CentreX,
                    .Top = rings.CentreY,
                    .Width = rings.Radii[i],
                    .Height = rings.Radii[i],
                    .FigType = 0});
    }
    places.SetModified(true);
}
