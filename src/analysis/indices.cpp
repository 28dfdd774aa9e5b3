// The sociometric indices of the investigation model. Every index takes its products and
// differences in whole numbers, divides once in extended precision and rounds once to double.
#include "analysis/indices.h"

#include "analysis/investigationobj.h"

namespace {

// numerator / denominator in extended precision, rounded once to double.
double Quotient(int64_t numerator, int64_t denominator)
{
    return static_cast<double>(static_cast<long double>(numerator) / static_cast<long double>(denominator));
}

// N * (N - 1): the number of possible choices in a group of N.
int64_t PossibleChoices(int64_t n)
{
    return n * (n - 1);
}

} // namespace

int32_t TInvestigationObject::Received(const TInvestClient& client, TChoiceKind kind) const
{
    if (kind == TChoiceKind::Positive)
        return client.ForIn;
    if (kind == TChoiceKind::Negative)
        return client.AgainstIn;
    return 0;
}

int32_t TInvestigationObject::Given(const TInvestClient& client, TChoiceKind kind) const
{
    if (kind == TChoiceKind::Positive)
        return client.ForOut;
    if (kind == TChoiceKind::Negative)
        return client.AgainstOut;
    return 0;
}

// The choices the member gave that were returned. Counted by the member itself, also for a
// member whose identifier is negative (MutualCount would give the group's pairs for it).
int32_t TInvestigationObject::Returned(const TInvestClient& client, TChoiceKind kind) const
{
    if (kind == TChoiceKind::Positive)
        return client.ForMutual;
    if (kind == TChoiceKind::Negative)
        return client.AgainstMutual;
    return 0;
}

// P = C / (N (N - 1)): the choices C of the kind over all possible choices in a group of N.
double TInvestigationObject::IndexP(TChoiceKind kind) const
{
    const int64_t n = ClientCount();
    if (n <= 1)
        return 0;
    return Quotient(ChoiceCount(kind), PossibleChoices(n));
}

// Sa = 4 M / (N (N - 1)): M mutual positive pairs, whatever the kind asked for.
double TInvestigationObject::IndexSa(TChoiceKind) const
{
    const int64_t n = ClientCount();
    if (n <= 1)
        return 0;
    return Quotient(4 * static_cast<int64_t>(MutualCount(-1, TChoiceKind::Positive)), PossibleChoices(n));
}

// J = (O + M - 1) / (N - 2): O one-way and M mutual pairs of the kind; 0 when O + M <= 0.
double TInvestigationObject::IndexJ(TChoiceKind kind) const
{
    const int64_t n = ClientCount();
    if (n <= 2)
        return 0;
    const int64_t joined = static_cast<int64_t>(OneWayPairsCount(kind)) + MutualCount(-1, kind);
    if (joined <= 0)
        return 0;
    return Quotient(joined - 1, n - 2);
}

// N = 2 (C - 2 M) / (N (N - 1)): twice the one-way choices over all possible choices.
double TInvestigationObject::IndexN(TChoiceKind kind) const
{
    const int64_t n = ClientCount();
    if (n <= 1)
        return 0;
    const int64_t oneWay =
        static_cast<int64_t>(ChoiceCount(kind)) - 2 * static_cast<int64_t>(MutualCount(-1, kind));
    return Quotient(2 * oneWay, PossibleChoices(n));
}

// Pi = R / (N - 1): the choices R of the kind the member received.
double TInvestigationObject::IndexPi(int32_t index, TChoiceKind kind) const
{
    const TInvestClient& client = ClientAt(index);
    const int64_t n = ClientCount();
    if (n <= 1)
        return 0;
    return Quotient(Received(client, kind), n - 1);
}

// Ai = G / (N - 1): the choices G of the kind the member gave.
double TInvestigationObject::IndexAi(int32_t index, TChoiceKind kind) const
{
    const TInvestClient& client = ClientAt(index);
    const int64_t n = ClientCount();
    if (n <= 1)
        return 0;
    return Quotient(Given(client, kind), n - 1);
}

// Ei = B / G: of the G choices the member gave, the B that were returned; 0 when G = 0.
double TInvestigationObject::IndexEi(int32_t index, TChoiceKind kind) const
{
    const TInvestClient& client = ClientAt(index);
    const int32_t given = Given(client, kind);
    if (given == 0)
        return 0;
    return Quotient(Returned(client, kind), given);
}

// Sti = (R+ + R-) / (N - 1): positive and negative choices received, whatever the kind asked for.
double TInvestigationObject::IndexSti(int32_t index, TChoiceKind) const
{
    const TInvestClient& client = ClientAt(index);
    const int64_t n = ClientCount();
    if (n <= 1)
        return 0;
    return Quotient(static_cast<int64_t>(client.ForIn) + client.AgainstIn, n - 1);
}

int32_t TInvestigationObject::StatusLevel(int32_t index, TChoiceKind kind) const
{
    if (kind != TChoiceKind::Positive && kind != TChoiceKind::Negative)
        return 5;
    const int64_t value = Received(ClientAt(index), kind);
    int64_t threshold = kind == TChoiceKind::Positive ? m_maxForIn : m_maxAgainstIn;
    // Each two choices further below the maximum lower the member by one level, down to 7.
    int32_t level = 1;
    for (int32_t step = 2; step <= 7; ++step) {
        threshold -= 2;
        if (value <= threshold)
            level = step;
    }
    return level;
}
