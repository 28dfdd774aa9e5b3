#include "store/dbinfo.h"

#include <algorithm>

#include "store/fileacc.h"
#include "util/text.h"

namespace {

void SortNoCase(std::vector<std::string>& names)
{
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
}

} // namespace

// ---- read functions ------------------------------------------------------------------------

void ReadClientGroup(TFileAccess& store, int32_t id, std::string& description, TClientGroupInfo& info)
{
    info = TClientGroupInfo{};
    description.clear();
    TClientGroupTable& table = store.ClientGroups();
    if (!table.FindById(id))
        return;
    info.Id = table.GetId();
    info.Name = table.GetName();
    description = table.GetDescription();
}

void ReadClient(TFileAccess& store, int32_t id, int32_t groupId, std::string& description, TClientInfo& info)
{
    info = TClientInfo{};
    description.clear();
    TClientTable& table = store.Clients();
    if (!table.Find(id, groupId))
        return;
    info.Id = table.GetId();
    info.GroupId = table.GetGroupId();
    info.FullName = table.GetFullName();
    info.BirthDate = table.GetBirthDate();
    info.IsMale = table.GetIsMale();
    description = table.GetDescription();
}

void ReadCriteriaGroup(TFileAccess& store, int32_t id, std::string& description, TCriteriaGroupInfo& info)
{
    info = TCriteriaGroupInfo{};
    description.clear();
    TCriteryGroupTable& table = store.CriteriaGroups();
    if (!table.FindById(id))
        return;
    info.Id = table.GetId();
    info.Name = table.GetName();
    description = table.GetDescription();
}

void ReadCriterion(TFileAccess& store, int32_t id, int32_t groupId, std::string& description,
                   TCriterionInfo& info)
{
    info = TCriterionInfo{};
    description.clear();
    TCriteryTable& table = store.Criteria();
    if (!table.Find(id, groupId))
        return;
    info.Id = table.GetId();
    info.GroupId = table.GetGroupId();
    info.Name = table.GetName();
    description = table.GetDescription();
}

void ReadInvestigation(TFileAccess& store, int32_t id, std::string& description, TInvestInfo& info)
{
    info = TInvestInfo{};
    description.clear();
    TInvestTable& table = store.Investigations();
    if (!table.FindById(id))
        return;
    info.Id = table.GetId();
    info.Name = table.GetName();
    info.MaxChoices = table.GetMaxChoices();
    info.AllowAgainst = table.GetAllowAgainst();
    info.ClientGroupId = table.GetClientGroupId();
    info.CriterionId = table.GetCriterionId();
    info.CriteriaGroupId = table.GetCriteriaGroupId();
    info.Date = table.GetDate();
    description = table.GetDescription();
}

// ---- lists ---------------------------------------------------------------------------------

void InvestigationsOfClientGroup(const TFileAccess& store, int32_t groupId, std::vector<std::string>& names)
{
    names.clear();
    const TInvestTable& table = store.Investigations();
    for (int32_t i = 0; i < table.Count(); ++i) {
        if (table.At(i).ClientGroupId == groupId)
            names.push_back(table.At(i).Name);
    }
    SortNoCase(names);
}

void InvestigationsOfCriterion(const TFileAccess& store, int32_t criterionId, int32_t criteriaGroupId,
                               std::vector<std::string>& names)
{
    names.clear();
    const TInvestTable& table = store.Investigations();
    for (int32_t i = 0; i < table.Count(); ++i) {
        const TAnInvest& r = table.At(i);
        if (r.CriterionId == criterionId && r.CriteriaGroupId == criteriaGroupId)
            names.push_back(r.Name);
    }
    SortNoCase(names);
}

void ClientNamesOfGroup(const TFileAccess& store, int32_t groupId, std::vector<std::string>& names)
{
    names.clear();
    const TClientTable& table = store.Clients();
    for (int32_t i = 0; i < table.Count(); ++i) {
        if (table.At(i).GroupId == groupId)
            names.push_back(table.At(i).FullName);
    }
}

void CriterionNamesOfGroup(const TFileAccess& store, int32_t groupId, std::vector<std::string>& names)
{
    names.clear();
    const TCriteryTable& table = store.Criteria();
    for (int32_t i = 0; i < table.Count(); ++i) {
        if (table.At(i).GroupId == groupId)
            names.push_back(table.At(i).Name);
    }
}

