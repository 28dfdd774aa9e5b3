#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/dates.h"

class TFileAccess;

// Copies of project objects returned by the read functions; the defaults stand for "not found".
struct TClientGroupInfo {
    int32_t Id = -1;
    std::string Name;
};

struct TCriteriaGroupInfo {
    int32_t Id = -1;
    std::string Name;
};

struct TClientInfo {
    int32_t Id = -1;
    int32_t GroupId = -1;
    std::string FullName;
    double BirthDate = 0;
    bool IsMale = true;
};

struct TCriterionInfo {
    int32_t Id = -1;
    int32_t GroupId = -1;
    std::string Name;
};

// An investigation's header; also the header of the investigation model.
struct TInvestInfo {
    int32_t Id = -1;
    std::string Name;
    int32_t MaxChoices = 0;
    bool AllowAgainst = true;
    int32_t ClientGroupId = -1;
    int32_t CriterionId = -1;
    int32_t CriteriaGroupId = -1;
    double Date = TodayDate();
};

// Queries over a project's tables. They change no data but move the cursors of the tables they
// search.

// Read one object: info and description are reset to the defaults, then filled when found.
void ReadClientGroup(TFileAccess& store, int32_t id, std::string& description, TClientGroupInfo& info);
void ReadClient(TFileAccess& store, int32_t id, int32_t groupId, std::string& description, TClientInfo& info);
void ReadCriteriaGroup(TFileAccess& store, int32_t id, std::string& description, TCriteriaGroupInfo& info);
void ReadCriterion(TFileAccess& store, int32_t id, int32_t groupId, std::string& description,
                   TCriterionInfo& info);
void ReadInvestigation(TFileAccess& store, int32_t id, std::string& description, TInvestInfo& info);

// Name lists; each empties names first. The investigation lists are sorted ignoring letter
// case (equal names kept); the member lists are in table order.
void InvestigationsOfClientGroup(const TFileAccess& store, int32_t groupId, std::vector<std::string>& names);
void InvestigationsOfCriterion(const TFileAccess& store, int32_t criterionId, int32_t criteriaGroupId,
                               std::vector<std::string>& names);
void ClientNamesOfGroup(const TFileAccess& store, int32_t groupId, std::vector<std::string>& names);
void CriterionNamesOfGroup(const TFileAccess& store, int32_t groupId, std::vector<std::string>& names);
