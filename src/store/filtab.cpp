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

// The fields Add and Change set alike: all but the description.
void SetFields(TACritery& r, int32_t id, int32_t groupId, std::string_view name)
{
    r.Id = id;
    r.GroupId = groupId;
    r.Name = CutChars(name);
}

void SetFields(TAClient& r, int32_t id, int32_t groupId, std::string_view fullName, bool isMale,
               double birthDate)
{
    r.Id = id;
    r.GroupId = groupId;
    r.FullName = CutChars(fullName);
    r.IsMale = isMale;
    r.BirthDate = birthDate;
}

void SetFields(TAnInvest& r, const TInvestFields& fields)
{
    r.Id = fields.Id;
    r.ClientGroupId = fields.ClientGroupId;
    r.CriterionId = fields.CriterionId;
    r.CriteriaGroupId = fields.CriteriaGroupId;
    r.Name = CutChars(fields.Name);
    r.Date = fields.Date;
    r.AllowAgainst = fields.AllowAgainst;
    r.MaxChoices = fields.MaxChoices;
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

// Described tables

template <typename TRecord> bool TDescribedTable<TRecord>::SetDescription(std::string_view text)
{
    return this->ChangeCurrent([text](TRecord& r) { r.Description = text; });
}

template class TDescribedTable<TAClientGroup>;
template class TDescribedTable<TACriteryGroup>;
template class TDescribedTable<TACritery>;
template class TDescribedTable<TAClient>;
template class TDescribedTable<TAnInvest>;
template class TDescribedTable<TAUser>;

// Client groups and criteria groups

template <typename TRecord> void TGroupTable<TRecord>::Add(int32_t id, std::string_view name)
{
    TRecord r;
    r.Id = id;
    r.Name = CutChars(name);
    this->AddRecord(std::move(r));
}

template <typename TRecord> bool TGroupTable<TRecord>::Change(int32_t id, std::string_view name)
{
    return this->ChangeCurrent([id, name](TRecord& r) {
        r.Id = id;
        r.Name = CutChars(name);
    });
}

template <typename TRecord> bool TGroupTable<TRecord>::FindById(int32_t id)
{
    return FindFirst(*this, [id](const TRecord& r) { return r.Id == id; });
}

template class TGroupTable<TAClientGroup>;
template class TGroupTable<TACriteryGroup>;

// Criteria

void TCriteryTable::Add(int32_t id, int32_t groupId, std::string_view name)
{
    TACritery r;
    SetFields(r, id, groupId, name);
    AddRecord(std::move(r));
}

bool TCriteryTable::Change(int32_t id, int32_t groupId, std::string_view name)
{
    return ChangeCurrent([&](TACritery& r) { SetFields(r, id, groupId, name); });
}

bool TCriteryTable::Find(int32_t id, int32_t groupId)
{
    return FindFirst(*this, [id, groupId](const TACritery& r) { return r.Id == id && r.GroupId == groupId; });
}

// Clients

void TClientTable::Add(int32_t id, int32_t groupId, std::string_view fullName, bool isMale, double birthDate)
{
    TAClient r;
    SetFields(r, id, groupId, fullName, isMale, birthDate);
    AddRecord(std::move(r));
}

bool TClientTable::Change(int32_t id, int32_t groupId, std::string_view fullName, bool isMale,
                          double birthDate)
{
    return ChangeCurrent([&](TAClient& r) { SetFields(r, id, groupId, fullName, isMale, birthDate); });
}

bool TClientTable::Find(int32_t id, int32_t groupId)
{
    return FindFirst(*this, [id, groupId](const TAClient& r) { return r.Id == id && r.GroupId == groupId; });
}

// Investigations

void TInvestTable::Add(const TInvestFields& fields)
{
    TAnInvest r;
    SetFields(r, fields);
    AddRecord(std::move(r));
}

bool TInvestTable::Change(const TInvestFields& fields)
{
    return ChangeCurrent([&](TAnInvest& r) { SetFields(r, fields); });
}

bool TInvestTable::FindById(int32_t id)
{
    return FindFirst(*this, [id](const TAnInvest& r) { return r.Id == id; });
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

bool TGraphPlaceTable::Change(const TGraphPlace& place)
{
    return ChangeCurrent([&place](TGraphPlace& r) { r = place; });
}

bool TGraphPlaceTable::Find(const TGraphPlaceKey& key)
{
    return FindFirst(*this, [&key](const TGraphPlace& r) {
        return r.InvestId == key.InvestId && r.ClientId == key.ClientId &&
               r.ClientGroupId == key.ClientGroupId && r.SelType == key.SelType;
    });
}
