#include "store/dbinfo.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "store/fileacc.h"
#include "util/text.h"

namespace {

// Days from 1 January 1970 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

// Day 0 of the day count is 30 December 1899.
const int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);
const int64_t kFirstDay = DaysFromCivil(1, 1, 1) - kEpochOffset;
const int64_t kLastDay = DaysFromCivil(9999, 12, 31) - kEpochOffset;

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

int TodayYear(double today)
{
    int y = 0, m = 0, d = 0;
    return DecodeDate(today, y, m, d) ? y : 0;
}

TFileAccess* Store()
{
    return CurrentProject();
}

void SortNoCase(std::vector<std::string>& names)
{
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
}

} // namespace

double TodayDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    double date = 0;
    EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
    return date;
}

bool EncodeDate(int year, int month, int day, double& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    date = static_cast<double>(DaysFromCivil(year, month, day) - kEpochOffset);
    return true;
}

bool DecodeDate(double date, int& year, int& month, int& day)
{
    if (!std::isfinite(date))
        return false;
    const double whole = std::trunc(date);
    if (whole < static_cast<double>(kFirstDay) || whole > static_cast<double>(kLastDay))
        return false;
    CivilFromDays(static_cast<int64_t>(whole) + kEpochOffset, year, month, day);
    return true;
}

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

void ReadClientGroup(int32_t id, std::string& description, TClientGroupInfo& info)
{
    if (TFileAccess* store = Store()) {
        ReadClientGroup(*store, id, description, info);
    } else {
        info = TClientGroupInfo{};
        description.clear();
    }
}

void ReadClient(int32_t id, int32_t groupId, std::string& description, TClientInfo& info)
{
    if (TFileAccess* store = Store()) {
        ReadClient(*store, id, groupId, description, info);
    } else {
        info = TClientInfo{};
        description.clear();
    }
}

void ReadCriteriaGroup(int32_t id, std::string& description, TCriteriaGroupInfo& info)
{
    if (TFileAccess* store = Store()) {
        ReadCriteriaGroup(*store, id, description, info);
    } else {
        info = TCriteriaGroupInfo{};
        description.clear();
    }
}

void ReadCriterion(int32_t id, int32_t groupId, std::string& description, TCriterionInfo& info)
{
    if (TFileAccess* store = Store()) {
        ReadCriterion(*store, id, groupId, description, info);
    } else {
        info = TCriterionInfo{};
        description.clear();
    }
}

void ReadInvestigation(int32_t id, std::string& description, TInvestInfo& info)
{
    if (TFileAccess* store = Store()) {
        ReadInvestigation(*store, id, description, info);
    } else {
        info = TInvestInfo{};
        description.clear();
    }
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

void InvestigationsOfClientGroup(int32_t groupId, std::vector<std::string>& names)
{
    names.clear();
    if (const TFileAccess* store = Store())
        InvestigationsOfClientGroup(*store, groupId, names);
}

void InvestigationsOfCriterion(int32_t criterionId, int32_t criteriaGroupId, std::vector<std::string>& names)
{
    names.clear();
    if (const TFileAccess* store = Store())
        InvestigationsOfCriterion(*store, criterionId, criteriaGroupId, names);
}

void ClientNamesOfGroup(int32_t groupId, std::vector<std::string>& names)
{
    names.clear();
    if (const TFileAccess* store = Store())
        ClientNamesOfGroup(*store, groupId, names);
}

void CriterionNamesOfGroup(int32_t groupId, std::vector<std::string>& names)
{
    names.clear();
    if (const TFileAccess* store = Store())
        CriterionNamesOfGroup(*store, groupId, names);
}

int32_t CountClientsOfGroup(int32_t groupId)
{
    const TFileAccess* store = Store();
    return store ? store->CountClientsInGroup(groupId) : 0;
}

int32_t CountCriteriaOfGroup(int32_t groupId)
{
    const TFileAccess* store = Store();
    return store ? store->CountCriteriaInGroup(groupId) : 0;
}

// ---- age and birthday ----------------------------------------------------------------------

int AgeFromBirthDate(double date)
{
    return AgeFromBirthDate(date, TodayDate());
}

int AgeFromBirthDate(double date, double today)
{
    int y = 0, m = 0, d = 0;
    if (!DecodeDate(date, y, m, d))
        return 0;
    const int age = TodayYear(today) - y;
    return age > 0 ? age : 0;
}

double BirthDateFromAge(int16_t age, double date)
{
    return BirthDateFromAge(age, date, TodayDate());
}

double BirthDateFromAge(int16_t age, double date, double today)
{
    int y = 0, m = 0, d = 0;
    if (!DecodeDate(date, y, m, d))
        return date;
    const int year = TodayYear(today) - age;
    if (year < 1 || year > 9999)
        return date;
    d = std::min(d, DaysInMonth(year, m));
    double result = date;
    EncodeDate(year, m, d, result);
    return result;
}
