#include "store/filtab.h"

#include "util/text.h"

namespace {

// Linear search from the first record, leaving the cursor on the match (or on the last record
// after a miss, or unchanged on an empty table).
template <typename Table, typename Pred> bool FindFirst(Table& table, Pred matches)
{
    if (!table.First())
        return false;
    do {
        if (matches(table.Current()))
            return true;
    } while (table.Next());
    return false;
}

} // namespace

void CutShortTexts(TAClientGroup& record)
{
    record.Name = CutChars(record.Name);
}

void CutShortTexts(TACriteryGroup& record)
{
    record.Name = CutChars(record.Name);
}

void CutShortTexts(TACritery& record)
{
    record.Name = CutChars(record.Name);
}

void CutShortTexts(TAClient& record)
{
    record.FullName = CutChars(record.FullName);
}

void CutShortTexts(TAnInvest& record)
{
    record.Name = CutChars(record.Name);
}

void CutShortTexts(TAUser& record)
{
    record.Name = CutChars(record.Name);
    record.Password = CutChars(record.Password);
}

// Client groups

void TClientGroupTable::Add(int32_t id, std::string_view name)
{
    TAClientGroup r;
    r.Id = id;
    r.Name = CutChars(name);
    AddRecord(std::move(r));
}

bool TClientGroupTable::Change(int32_t id, std::string_view name)
{
    TAClientGroup* r = CurrentPtr();
    if (!r)
        return false;
    r->Id = id;
    r->Name = CutChars(name);
    Touch();
    return true;
}

bool TClientGroupTable::FindById(int32_t id)
{
    return FindFirst(*this, [id](const TAClientGroup& r) { return r.Id == id; });
}

bool TClientGroupTable::SetDescription(std::string_view text)
{
    TAClientGroup* r = CurrentPtr();
    if (!r)
        return false;
    r->Description = text;
    Touch();
    return true;
}

// Criteria groups

void TCriteryGroupTable::Add(int32_t id, std::string_view name)
{
    TACriteryGroup r;
    r.Id = id;
    r.Name = CutChars(name);
    AddRecord(std::move(r));
}

bool TCriteryGroupTable::Change(int32_t id, std::string_view name)
{
    TACriteryGroup* r = CurrentPtr();
    if (!r)
        return false;
    r->Id = id;
    r->Name = CutChars(name);
    Touch();
    return true;
}

bool TCriteryGroupTable::FindById(int32_t id)
{
    return FindFirst(*this, [id](const TACriteryGroup& r) { return r.Id == id; });
}

bool TCriteryGroupTable::SetDescription(std::string_view text)
{
    TACriteryGroup* r = CurrentPtr();
    if (!r)
        return false;
    r->Description = text;
    Touch();
    return true;
}

// Criteria

void TCriteryTable::Add(int32_t id, int32_t groupId, std::string_view name)
{
    TACritery r;
    r.Id = id;
    r.GroupId = groupId;
    r.Name = CutChars(name);
    AddRecord(std::move(r));
}

bool TCriteryTable::Change(int32_t id, int32_t groupId, std::string_view name)
{
    TACritery* r = CurrentPtr();
    if (!r)
        return false;
    r->Id = id;
    r->GroupId = groupId;
    r->Name = CutChars(name);
    Touch();
    return true;
}

bool TCriteryTable::Find(int32_t id, int32_t groupId)
{
    return FindFirst(*this, [id, groupId](const TACritery& r) { return r.Id == id && r.GroupId == groupId; });
}

bool TCriteryTable::SetDescription(std::string_view text)
{
    TACritery* r = CurrentPtr();
    if (!r)
        return false;
    r->Description = text;
    Touch();
    return true;
}

// Clients

void TClientTable::Add(int32_t id, int32_t groupId, std::string_view fullName, bool isMale, double birthDate)
{
    TAClient r;
    r.Id = id;
    r.GroupId = groupId;
    r.FullName = CutChars(fullName);
    r.IsMale = isMale;
    r.BirthDate = birthDate;
    AddRecord(std::move(r));
}

bool TClientTable::Change(int32_t id, int32_t groupId, std::string_view fullName, bool isMale,
                          double birthDate)
{
    TAClient* r = CurrentPtr();
    if (!r)
        return false;
    r->Id = id;
    r->GroupId = groupId;
    r->FullName = CutChars(fullName);
    r->IsMale = isMale;
    r->BirthDate = birthDate;
    Touch();
    return true;
}

bool TClientTable::Find(int32_t id, int32_t groupId)
{
    return FindFirst(*this, [id, groupId](const TAClient& r) { return r.Id == id && r.GroupId == groupId; });
}

bool TClientTable::SetDescription(std::string_view text)
{
    TAClient* r = CurrentPtr();
    if (!r)
        return false;
    r->Description = text;
    Touch();
    return true;
}

// Investigations

void TInvestTable::Add(int32_t id, int32_t clientGroupId, int32_t criterionId, int32_t criteriaGroupId,
                       std::string_view name, double date, bool allowAgainst, int32_t maxChoices)
{
    TAnInvest r;
    r.Id = id;
    r.ClientGroupId = clientGroupId;
    r.CriterionId = criterionId;
    r.CriteriaGroupId = criteriaGroupId;
    r.Name = CutChars(name);
    r.Date = date;
    r.AllowAgainst = allowAgainst;
    r.MaxChoices = maxChoices;
    AddRecord(std::move(r));
}

bool TInvestTable::Change(int32_t id, int32_t clientGroupId, int32_t criterionId, int32_t criteriaGroupId,
                          std::string_view name, double date, bool allowAgainst, int32_t maxChoices)
{
    TAnInvest* r = CurrentPtr();
    if (!r)
        return false;
    r->Id = id;
    r->ClientGroupId = clientGroupId;
    r->CriterionId = criterionId;
    r->CriteriaGroupId = criteriaGroupId;
    r->Name = CutChars(name);
    r->Date = date;
    r->AllowAgainst = allowAgainst;
    r->MaxChoices = maxChoices;
    Touch();
    return true;
}

bool TInvestTable::FindById(int32_t id)
{
    return FindFirst(*this, [id](const TAnInvest& r) { return r.Id == id; });
}

bool TInvestTable::SetDescription(std::string_view text)
{
    TAnInvest* r = CurrentPtr();
    if (!r)
        return false;
    r->Description = text;
    Touch();
    return true;
}

// Users

void TUserTable::Add(int32_t id, std::string_view name, std::string_view password)
{
    TAUser r;
    r.Id = id;
    r.Name = CutChars(name);
    r.Password = CutChars(password);
    AddRecord(std::move(r));
}

bool TUserTable::FindById(int32_t id)
{
    return FindFirst(*this, [id](const TAUser& r) { return r.Id == id; });
}

bool TUserTable::SetDescription(std::string_view text)
{
    TAUser* r = CurrentPtr();
    if (!r)
        return false;
    r->Description = text;
    Touch();
    return true;
}

bool TUserTable::DeleteAll()
{
    bool ok = true;
    if (Last()) {
        do {
            ok = Delete() && ok;
        } while (Prior());
    }
    Touch();
    return ok;
}

// Choices

void TChoiceTable::Add(int32_t investId, int32_t fromId, int32_t toId)
{
    AddRecord(TChoiceRow{investId, fromId, toId});
}

// Placements

void TGraphPlaceTable::Add(int32_t investId, int32_t clientId, int32_t clientGroupId, int16_t selType,
                           int32_t left, int32_t top, int32_t width, int32_t height, int16_t figType)
{
    AddRecord(TGraphPlace{investId, clientId, clientGroupId, selType, left, top, width, height, figType});
}

bool TGraphPlaceTable::Change(int32_t investId, int32_t clientId, int32_t clientGroupId, int16_t selType,
                              int32_t left, int32_t top, int32_t width, int32_t height, int16_t figType)
{
    return Change(TGraphPlace{investId, clientId, clientGroupId, selType, left, top, width, height, figType});
}

bool TGraphPlaceTable::Change(const TGraphPlace& place)
{
    TGraphPlace* r = CurrentPtr();
    if (!r)
        return false;
    *r = place;
    Touch();
    return true;
}

bool TGraphPlaceTable::Find(int32_t investId, int32_t clientGroupId, int32_t clientId, int16_t selType)
{
    return FindFirst(*this, [=](const TGraphPlace& r) {
        return r.InvestId == investId && r.ClientGroupId == clientGroupId && r.ClientId == clientId &&
               r.SelType == selType;
    });
}
