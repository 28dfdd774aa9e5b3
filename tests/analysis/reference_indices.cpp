#include "reference_indices.h"

#include <algorithm>
#include <cmath>

#include "util/text.h"

namespace {

const std::vector<TChoice> kNoChoices;

double Divide(long double numerator, long double denominator)
{
    return static_cast<double>(numerator / denominator);
}

} // namespace

const std::vector<TChoice>& TReferenceInvestigation::List(TChoiceKind kind) const
{
    if (kind == TChoiceKind::Positive)
        return ForList;
    if (kind == TChoiceKind::Negative)
        return AgainstList;
    return kNoChoices;
}

bool TReferenceInvestigation::IsChoice(int32_t fromId, int32_t toId, TChoiceKind kind) const
{
    for (const TChoice& c : List(kind))
        if (c.FromId == fromId && c.ToId == toId)
            return true;
    return false;
}

int32_t TReferenceInvestigation::MutualCount(int32_t clientId, TChoiceKind kind) const
{
    if (kind != TChoiceKind::Positive && kind != TChoiceKind::Negative)
        return 0;
    if (clientId >= 0)
        return Returned(clientId, kind);
    int32_t count = 0;
    for (const TChoice& c : List(kind))
        if (IsChoice(c.ToId, c.FromId, kind))
            ++count;
    return static_cast<int32_t>(std::nearbyint(count / 2.0)); // default rounding: halves to even
}

int32_t TReferenceInvestigation::Returned(int32_t clientId, TChoiceKind kind) const
{
    int32_t count = 0;
    for (const TChoice& c : List(kind))
        if (c.FromId == clientId && IsChoice(c.ToId, c.FromId, kind))
            ++count;
    return count;
}

int32_t TReferenceInvestigation::OneWayPairsCount(TChoiceKind kind) const
{
    int32_t count = 0;
    for (int32_t i = 0; i < N(); ++i)
        for (int32_t j = i + 1; j < N(); ++j)
            if (IsChoice(Members[i].Id, Members[j].Id, kind) != IsChoice(Members[j].Id, Members[i].Id, kind))
                ++count;
    return count;
}

int32_t TReferenceInvestigation::Given(int32_t clientId, TChoiceKind kind) const
{
    int32_t count = 0;
    for (const TChoice& c : List(kind))
        count += c.FromId == clientId;
    return count;
}

int32_t TReferenceInvestigation::Received(int32_t clientId, TChoiceKind kind) const
{
    int32_t count = 0;
    for (const TChoice& c : List(kind))
        count += c.ToId == clientId;
    return count;
}

TInvestClient TReferenceInvestigation::Counters(int32_t index) const
{
    TInvestClient c;
    c.Id = Members[index].Id;
    c.Name = Members[index].Name;
    c.ForOut = Given(c.Id, TChoiceKind::Positive);
    c.ForIn = Received(c.Id, TChoiceKind::Positive);
    c.AgainstOut = Given(c.Id, TChoiceKind::Negative);
    c.AgainstIn = Received(c.Id, TChoiceKind::Negative);
    c.ForMutual = Returned(c.Id, TChoiceKind::Positive);
    c.AgainstMutual = Returned(c.Id, TChoiceKind::Negative);
    return c;
}

int32_t TReferenceInvestigation::MaxReceived(TChoiceKind kind) const
{
    int32_t best = 0;
    for (int32_t i = 0; i < N(); ++i) {
        const TInvestClient c = Counters(i);
        const int32_t v = kind == TChoiceKind::Any ? c.ForIn + c.AgainstIn : Received(c.Id, kind);
        if (v > best)
            best = v;
    }
    return best;
}

int32_t TReferenceInvestigation::MinReceived(TChoiceKind kind) const
{
    int32_t best = 99999999;
    for (int32_t i = 0; i < N(); ++i) {
        const TInvestClient c = Counters(i);
        const int32_t v = kind == TChoiceKind::Any ? c.ForIn + c.AgainstIn : Received(c.Id, kind);
        if (v < best)
            best = v;
    }
    return best;
}

std::vector<std::string> TReferenceInvestigation::MutualPairsList(TChoiceKind kind) const
{
    std::vector<std::string> lines;
    if (kind != TChoiceKind::Positive && kind != TChoiceKind::Negative)
        return lines;
    const std::vector<TChoice>& list = List(kind);
    const auto nameOf = [this](int32_t id) {
        for (const TMember& m : GroupClients)
            if (m.Id == id)
                return Trim(m.Name);
        return std::string();
    };
    for (std::size_t i = 0; i < list.size(); ++i) {
        const TChoice& c = list[i];
        if (!IsChoice(c.ToId, c.FromId, kind))
            continue;
        bool earlier = false;
        for (std::size_t j = 0; j < i; ++j) {
            const TChoice& e = list[j];
            if ((e.FromId == c.FromId && e.ToId == c.ToId) || (e.FromId == c.ToId && e.ToId == c.FromId))
                earlier = true;
        }
        if (!earlier)
            lines.push_back(nameOf(c.FromId) + " - " + nameOf(c.ToId));
    }
    return lines;
}

std::vector<TInvestClient> TReferenceInvestigation::SortClients(TClientOrder order) const
{
    const auto key = [&](int32_t i) -> double {
        const TInvestClient c = Counters(i);
        switch (order) {
        case TClientOrder::ForIn:
            return c.ForIn;
        case TClientOrder::ForOut:
            return c.ForOut;
        case TClientOrder::AgainstIn:
            return c.AgainstIn;
        case TClientOrder::AgainstOut:
            return c.AgainstOut;
        case TClientOrder::ForMutual:
            return c.ForMutual;
        case TClientOrder::AgainstMutual:
            return c.AgainstMutual;
        case TClientOrder::AllIn:
            return c.ForIn + c.AgainstIn;
        case TClientOrder::AllOut:
            return c.ForOut + c.AgainstOut;
        case TClientOrder::PositiveStatus:
            return IndexPi(i, TChoiceKind::Positive);
        case TClientOrder::NegativeStatus:
            return IndexPi(i, TChoiceKind::Negative);
        }
        return 0;
    };
    std::vector<bool> taken(Members.size(), false);
    std::vector<TInvestClient> out;
    for (int32_t pos = 0; pos < N(); ++pos) {
        double best = -1.0;
        int32_t chosen = -1;
        for (int32_t i = 0; i < N(); ++i) {
            if (!taken[i] && key(i) > best) {
                best = key(i);
                chosen = i;
            }
        }
        taken[chosen] = true;
        out.push_back(Counters(chosen));
    }
    return out;
}

double TReferenceInvestigation::IndexP(TChoiceKind kind) const
{
    if (N() <= 1)
        return 0;
    return Divide(static_cast<long double>(List(kind).size()), static_cast<long double>(N()) * (N() - 1));
}

double TReferenceInvestigation::IndexSa(TChoiceKind) const
{
    if (N() <= 1)
        return 0;
    return Divide(4.0L * MutualCount(-1, TChoiceKind::Positive), static_cast<long double>(N()) * (N() - 1));
}

double TReferenceInvestigation::IndexJ(TChoiceKind kind) const
{
    const int32_t joined = OneWayPairsCount(kind) + MutualCount(-1, kind);
    if (N() <= 2 || joined <= 0)
        return 0;
    return Divide(joined - 1, N() - 2);
}

double TReferenceInvestigation::IndexN(TChoiceKind kind) const
{
    if (N() <= 1)
        return 0;
    const long double notReturned =
        static_cast<long double>(List(kind).size()) - 2.0L * MutualCount(-1, kind);
    return Divide(2.0L * notReturned, static_cast<long double>(N()) * (N() - 1));
}

double TReferenceInvestigation::IndexPi(int32_t index, TChoiceKind kind) const
{
    if (N() <= 1)
        return 0;
    return Divide(Received(Members[index].Id, kind), N() - 1);
}

double TReferenceInvestigation::IndexAi(int32_t index, TChoiceKind kind) const
{
    if (N() <= 1)
        return 0;
    return Divide(Given(Members[index].Id, kind), N() - 1);
}

double TReferenceInvestigation::IndexEi(int32_t index, TChoiceKind kind) const
{
    const int32_t given = Given(Members[index].Id, kind);
    if (given == 0)
        return 0;
    return Divide(Returned(Members[index].Id, kind), given);
}

double TReferenceInvestigation::IndexSti(int32_t index, TChoiceKind) const
{
    if (N() <= 1)
        return 0;
    const int32_t id = Members[index].Id;
    return Divide(Received(id, TChoiceKind::Positive) + Received(id, TChoiceKind::Negative), N() - 1);
}

int32_t TReferenceInvestigation::StatusLevel(int32_t index, TChoiceKind kind) const
{
    if (kind != TChoiceKind::Positive && kind != TChoiceKind::Negative)
        return 5;
    const int32_t below = MaxReceived(kind) - Received(Members[index].Id, kind);
    return 1 + std::min(6, below / 2);
}
