#include "analysis/investigationobj.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

#include "store/fileacc.h"
#include "util/error.h"
#include "util/text.h"

namespace {

// Raised when a choice table holds more rows of the investigation than it counted.
const char* const kFillListError = "Internal error! Unit \"VISUAL_F. Procedure FillForList. i >= soccnt!\"";

// Group id that stands for "the investigation has no row".
constexpr int32_t kMissingId = -99999;

uint64_t PairKey(int32_t fromId, int32_t toId)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(fromId)) << 32) | static_cast<uint32_t>(toId);
}

int32_t PairFrom(uint64_t key)
{
    return static_cast<int32_t>(static_cast<uint32_t>(key >> 32));
}

int32_t PairTo(uint64_t key)
{
    return static_cast<int32_t>(static_cast<uint32_t>(key & 0xFFFFFFFFu));
}

// Half of a count, rounded to the nearest whole number with halves going to the even neighbour.
int32_t HalfToEven(int64_t count)
{
    int64_t half = count / 2;
    if (count % 2 != 0 && half % 2 != 0)
        ++half;
    return static_cast<int32_t>(half);
}

// Reads the rows of one choice table that belong to the investigation, in table order. A row
// repeating an earlier choice of the same member for the same member is one choice, not two:
// the file may hold it twice, but counting it twice would invent a mutual pair.
void FillChoiceList(const TChoiceTable& table, int32_t investId, int32_t counted, std::vector<TChoice>& list)
{
    list.clear();
    if (counted <= 0)
        return;
    list.resize(static_cast<std::size_t>(counted));
    std::unordered_set<uint64_t> seen;
    seen.reserve(static_cast<std::size_t>(counted));
    std::size_t filled = 0;
    for (int32_t i = 0; i < table.Count(); ++i) {
        const TChoiceRow& row = table.At(i);
        if (row.InvestId != investId)
            continue;
        if (filled >= list.size())
            throw TAppError(kFillListError);
        if (!seen.insert(PairKey(row.FromId, row.ToId)).second)
            continue;
        list[filled++] = TChoice{row.FromId, row.ToId};
    }
    list.resize(filled);
}

} // namespace

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
    if (store.Investigations().FindById(investId)) {
        FillForList(store);
        FillAgainstList(store);
    }
    FillClientsList(store);
}

void TInvestigationObject::FillForList(TFileAccess& store)
{
    FillChoiceList(store.ForChoices(), m_header.Id, store.CountForChoices(m_header.Id), m_forList);
}

void TInvestigationObject::FillAgainstList(TFileAccess& store)
{
    FillChoiceList(store.AgainstChoices(), m_header.Id, store.CountAgainstChoices(m_header.Id),
                   m_againstList);
}

void TInvestigationObject::IndexChoices(TKindIndex& index, const std::vector<TChoice>& list, bool positive)
{
    index.pairs.reserve(list.size());
    for (const TChoice& c : list) {
        ++index.pairs[PairKey(c.FromId, c.ToId)];
        TCounters& from = m_counters[c.FromId];
        TCounters& to = m_counters[c.ToId];
        ++(positive ? from.ForOut : from.AgainstOut);
        ++(positive ? to.ForIn : to.AgainstIn);
    }
    // A choice counts as returned when the reverse choice exists.
    for (const TChoice& c : list) {
        if (index.pairs.contains(PairKey(c.ToId, c.FromId))) {
            ++index.returned;
            TCounters& from = m_counters[c.FromId];
            ++(positive ? from.ForReturned : from.AgainstReturned);
        }
    }
    index.mutualPairs = HalfToEven(index.returned);
}

// Member pairs joined by exactly one choice: each unordered id pair with only one direction
// stored joins every member carrying one id with every member carrying the other.
void TInvestigationObject::CountOneWayPairs(TKindIndex& index) const
{
    int64_t total = 0;
    for (const auto& [key, rows] : index.pairs) {
        const int32_t fromId = PairFrom(key);
        const int32_t toId = PairTo(key);
        if (fromId == toId || index.pairs.contains(PairKey(toId, fromId)))
            continue;
        const auto from = m_clientMultiple.find(fromId);
        const auto to = m_clientMultiple.find(toId);
        if (from != m_clientMultiple.end() && to != m_clientMultiple.end())
            total += static_cast<int64_t>(from->second) * to->second;
    }
    index.oneWayPairs = static_cast<int32_t>(total);
}

void TInvestigationObject::FillClientsList(TFileAccess& store)
{
    m_counters.clear();
    m_counters.reserve(m_forList.size() + m_againstList.size());
    IndexChoices(m_forIndex, m_forList, true);
    IndexChoices(m_againstIndex, m_againstList, false);

    // Without an investigation row there are no members; a stored group id that happens to
    // equal the missing-id marker is still an ordinary group.
    TInvestTable& invests = store.Investigations();
    const bool hasRow = invests.FindById(m_investId);
    const int32_t groupId = hasRow ? invests.GetClientGroupId() : kMissingId;

    const TClientTable& clients = store.Clients();
    if (hasRow) {
        const auto count = static_cast<std::size_t>(std::max(0, store.CountClientsInGroup(groupId)));
        m_clients.reserve(count);
        m_clientIndex.reserve(count);
        m_clientMultiple.reserve(count);
        m_pairNames.reserve(count);
    }
    for (int32_t i = 0; i < clients.Count(); ++i) {
        const TAClient& row = clients.At(i);
        // Names for the mutual-pairs lines are looked up in the header's client group, first match.
        if (row.GroupId == m_header.ClientGroupId)
            m_pairNames.emplace(row.Id, row.FullName);
        if (!hasRow || row.GroupId != groupId)
            continue;
        TInvestClient client;
        client.Id = row.Id;
        client.Name = row.FullName;
        client.GroupId = groupId;
        if (const auto it = m_counters.find(row.Id); it != m_counters.end()) {
            client.ForOut = it->second.ForOut;
            client.ForIn = it->second.ForIn;
            client.AgainstOut = it->second.AgainstOut;
            client.AgainstIn = it->second.AgainstIn;
            client.ForMutual = it->second.ForReturned;
            client.AgainstMutual = it->second.AgainstReturned;
        }
        m_clientIndex.emplace(client.Id, static_cast<int32_t>(m_clients.size()));
        ++m_clientMultiple[client.Id];
        m_maxForIn = std::max(m_maxForIn, client.ForIn);
        m_maxAgainstIn = std::max(m_maxAgainstIn, client.AgainstIn);
        m_clients.push_back(std::move(client));
    }

    CountOneWayPairs(m_forIndex);
    CountOneWayPairs(m_againstIndex);
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
    const auto it = m_clientIndex.find(clientId);
    return it == m_clientIndex.end() ? -1 : it->second;
}

bool TInvestigationObject::IsChoice(int32_t fromId, int32_t toId, TChoiceKind kind) const
{
    const TKindIndex* index = KindIndex(kind);
    return index && index->pairs.contains(PairKey(fromId, toId));
}

int32_t TInvestigationObject::MutualCount(int32_t clientId, TChoiceKind kind) const
{
    const TKindIndex* index = KindIndex(kind);
    if (!index)
        return 0;
    if (clientId < 0)
        return index->mutualPairs;
    const auto it = m_counters.find(clientId);
    if (it == m_counters.end())
        return 0;
    return kind == TChoiceKind::Positive ? it->second.ForReturned : it->second.AgainstReturned;
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
        const auto it = m_pairNames.find(id);
        return it == m_pairNames.end() ? std::string() : Trim(it->second);
    };
    // Each pair is listed once, in the direction of its first returned choice.
    std::unordered_set<uint64_t> listed;
    for (const TChoice& c : choices) {
        if (!index->pairs.contains(PairKey(c.ToId, c.FromId)))
            continue;
        const uint64_t pair = PairKey(std::min(c.FromId, c.ToId), std::max(c.FromId, c.ToId));
        if (!listed.insert(pair).second)
            continue;
        list.push_back(nameOf(c.FromId) + " - " + nameOf(c.ToId));
    }
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

void TInvestigationObject::StorePlace(TChoiceKind placeKind, int32_t clientId, int32_t left, int32_t top,
                                      int32_t width, int32_t height, int16_t figType)
{
    TGraphPlaceTable& places = m_store->Placements();
    const TGraphPlace place{.InvestId = m_investId,
                            .ClientId = clientId,
                            .ClientGroupId = m_header.ClientGroupId,
                            .SelType = static_cast<int16_t>(placeKind),
                            .Left = left,
                            .Top = top,
                            .Width = width,
                            .Height = height,
                            .FigType = figType};
    const TGraphPlaceKey key{.InvestId = place.InvestId,
                             .ClientId = place.ClientId,
                             .ClientGroupId = place.ClientGroupId,
                             .SelType = place.SelType};
    if (places.Find(key)) {
        // A figure that stayed where it was changes nothing, so closing a window marks nothing.
        if (places.GetLeft() == left && places.GetTop() == top && places.GetWidth() == width &&
            places.GetHeight() == height && places.GetFigType() == figType)
            return;
        places.Change(place);
    } else {
        places.Add(place);
    }
    places.SetModified(true);
}

void TInvestigationObject::StorePlaceFor(int32_t clientId, int32_t left, int32_t top, int32_t width,
                                         int32_t height, int16_t figType)
{
    StorePlace(TChoiceKind::Positive, clientId, left, top, width, height, figType);
}

void TInvestigationObject::StorePlaceAgainst(int32_t clientId, int32_t left, int32_t top, int32_t width,
                                             int32_t height, int16_t figType)
{
    StorePlace(TChoiceKind::Negative, clientId, left, top, width, height, figType);
}

void TInvestigationObject::StorePlaceAny(int32_t clientId, int32_t left, int32_t top, int32_t width,
                                         int32_t height, int16_t figType)
{
    StorePlace(TChoiceKind::Placement, clientId, left, top, width, height, figType);
}
