#include "analysis/choicerules.h"

#include <algorithm>

#include "store/fileacc.h"

bool MayChooseMore(const TChoiceLimits& limits, TChoiceKind kind, int32_t given)
{
    switch (kind) {
    case TChoiceKind::Positive:
        return given < limits.MaxChoices;
    case TChoiceKind::Negative:
        return limits.AllowNegative && given < limits.MaxChoices;
    case TChoiceKind::Placement:
    case TChoiceKind::Any:
        break;
    }
    return false;
}

TChoiceSheet::TChoiceSheet(std::vector<int32_t> memberIds, TChoiceLimits limits)
    : m_memberIds(std::move(memberIds)), m_members(m_memberIds.begin(), m_memberIds.end()), m_limits(limits)
{
}

TChoiceSheet TChoiceSheet::ForInvestigation(const TFileAccess& store, int32_t investId)
{
    const TInvestTable& invests = store.Investigations();
    for (int32_t i = 0; i < invests.Count(); ++i) {
        const TAnInvest& invest = invests.At(i);
        if (invest.Id != investId)
            continue;
        std::vector<int32_t> members;
        const TClientTable& clients = store.Clients();
        for (int32_t c = 0; c < clients.Count(); ++c) {
            if (clients.At(c).GroupId == invest.ClientGroupId)
                members.push_back(clients.At(c).Id);
        }
        return TChoiceSheet(std::move(members), {invest.MaxChoices, invest.AllowAgainst});
    }
    return TChoiceSheet({}, {});
}

TChoiceVerdict TChoiceSheet::Check(int32_t fromId, int32_t toId, TChoiceKind kind) const
{
    if (kind != TChoiceKind::Positive && kind != TChoiceKind::Negative)
        return TChoiceVerdict::NotAChoiceKind;
    if (!IsMember(fromId) || !IsMember(toId))
        return TChoiceVerdict::NotMember;
    if (fromId == toId)
        return TChoiceVerdict::SelfChoice;
    if (m_pairs.contains(ChoicePairKey(fromId, toId)))
        return TChoiceVerdict::AlreadyChosen;
    if (kind == TChoiceKind::Negative && !m_limits.AllowNegative)
        return TChoiceVerdict::NegativeNotAllowed;
    if (!MayChooseMore(m_limits, kind, CountGiven(fromId, kind)))
        return TChoiceVerdict::LimitReached;
    return TChoiceVerdict::Admitted;
}

TChoiceVerdict TChoiceSheet::Add(int32_t fromId, int32_t toId, TChoiceKind kind)
{
    const TChoiceVerdict verdict = Check(fromId, toId, kind);
    if (verdict != TChoiceVerdict::Admitted)
        return verdict;
    m_pairs.emplace(ChoicePairKey(fromId, toId), kind);
    m_order.push_back({TChoice{fromId, toId}, kind});
    ++(kind == TChoiceKind::Positive ? m_givenPositive : m_givenNegative)[fromId];
    return verdict;
}

bool TChoiceSheet::Remove(int32_t fromId, int32_t toId)
{
    const auto it = m_pairs.find(ChoicePairKey(fromId, toId));
    if (it == m_pairs.end())
        return false;
    --(it->second == TChoiceKind::Positive ? m_givenPositive : m_givenNegative)[fromId];
    m_pairs.erase(it);
    const TChoice choice{fromId, toId};
    std::erase_if(m_order, [&choice](const auto& entry) { return entry.first == choice; });
    return true;
}

TChoiceKind TChoiceSheet::KindOf(int32_t fromId, int32_t toId) const
{
    const auto it = m_pairs.find(ChoicePairKey(fromId, toId));
    return it == m_pairs.end() ? TChoiceKind::Placement : it->second;
}

int32_t TChoiceSheet::CountGiven(int32_t fromId, TChoiceKind kind) const
{
    if (kind != TChoiceKind::Positive && kind != TChoiceKind::Negative)
        return 0;
    const auto& given = kind == TChoiceKind::Positive ? m_givenPositive : m_givenNegative;
    const auto it = given.find(fromId);
    return it == given.end() ? 0 : it->second;
}

std::vector<TChoice> TChoiceSheet::Choices(TChoiceKind kind) const
{
    std::vector<TChoice> list;
    for (const auto& [choice, k] : m_order) {
        if (k == kind)
            list.push_back(choice);
    }
    return list;
}

TReplaceChoicesResult ReplaceInvestigationChoices(TFileAccess& store, int32_t investId,
                                                  const std::vector<TChoice>& positive,
                                                  const std::vector<TChoice>& negative)
{
    const TInvestTable& invests = store.Investigations();
    bool exists = false;
    for (int32_t i = 0; i < invests.Count() && !exists; ++i)
        exists = invests.At(i).Id == investId;
    if (!exists)
        return TReplaceChoicesResult::NoInvestigation;
    store.DeleteForChoices(investId);
    store.DeleteAgainstChoices(investId);
    for (const TChoice& c : positive)
        store.ForChoices().Add(investId, c.FromId, c.ToId);
    for (const TChoice& c : negative)
        store.AgainstChoices().Add(investId, c.FromId, c.ToId);
    return TReplaceChoicesResult::Done;
}

bool TInvestigationStamp::operator==(const TInvestigationStamp& other) const
{
    return Exists == other.Exists && Id == other.Id && ClientGroupId == other.ClientGroupId &&
           CriteriaGroupId == other.CriteriaGroupId && CriterionId == other.CriterionId && Name == other.Name &&
           Date == other.Date && Limits.MaxChoices == other.Limits.MaxChoices &&
           Limits.AllowNegative == other.Limits.AllowNegative && MemberIds == other.MemberIds;
}

TInvestigationStamp StampInvestigation(const TFileAccess& store, int32_t investId)
{
    TInvestigationStamp stamp;
    stamp.Id = investId;
    const TInvestTable& invests = store.Investigations();
    for (int32_t i = 0; i < invests.Count(); ++i) {
        const TAnInvest& row = invests.At(i);
        if (row.Id != investId)
            continue;
        stamp.Exists = true;
        stamp.ClientGroupId = row.ClientGroupId;
        stamp.CriteriaGroupId = row.CriteriaGroupId;
        stamp.CriterionId = row.CriterionId;
        stamp.Name = row.Name;
        stamp.Date = row.Date;
        stamp.Limits = {row.MaxChoices, row.AllowAgainst};
        break;
    }
    if (!stamp.Exists)
        return stamp;
    const TClientTable& clients = store.Clients();
    for (int32_t i = 0; i < clients.Count(); ++i) {
        if (clients.At(i).GroupId == stamp.ClientGroupId)
            stamp.MemberIds.push_back(clients.At(i).Id);
    }
    return stamp;
}

void AddKeptChoices(const std::vector<TKeptChoice>& kept, std::vector<TChoice>& positive,
                    std::vector<TChoice>& negative)
{
    std::unordered_set<uint64_t> held;
    const auto key = [](const TChoice& c) { return ChoicePairKey(c.FromId, c.ToId); };
    for (const TChoice& c : positive)
        held.insert(key(c));
    for (const TChoice& c : negative)
        held.insert(key(c));
    for (const TKeptChoice& k : kept) {
        if (held.contains(key(k.Choice)))
            continue;
        (k.Kind == TChoiceKind::Negative ? negative : positive).push_back(k.Choice);
    }
}
