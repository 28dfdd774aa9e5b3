#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "store/fileacc.h"

// Small projects in memory for the analysis tests: one call per record, ids chosen by the test.
class TProjectBuilder final {
public:
    TFileAccess store;

    TProjectBuilder& Group(int32_t id, const std::string& name)
    {
        store.ClientGroups().Add(id, name);
        return *this;
    }
    TProjectBuilder& Client(int32_t groupId, int32_t id, const std::string& name)
    {
        store.Clients().Add(id, groupId, name, true, 0);
        return *this;
    }
    TProjectBuilder& Invest(int32_t id, int32_t groupId, const std::string& name = "Invest")
    {
        store.Investigations().Add({.Id = id,
                                    .ClientGroupId = groupId,
                                    .CriterionId = -1,
                                    .CriteriaGroupId = -1,
                                    .Name = name,
                                    .Date = 40000,
                                    .AllowAgainst = true,
                                    .MaxChoices = 3});
        return *this;
    }
    TProjectBuilder& For(int32_t investId, int32_t fromId, int32_t toId)
    {
        store.ForChoices().Add(investId, fromId, toId);
        return *this;
    }
    TProjectBuilder& Against(int32_t investId, int32_t fromId, int32_t toId)
    {
        store.AgainstChoices().Add(investId, fromId, toId);
        return *this;
    }
    // Members named "M<id>" with the given ids in group groupId, and investigation investId on it.
    TProjectBuilder& Members(int32_t investId, int32_t groupId, const std::vector<int32_t>& ids)
    {
        Group(groupId, "Group " + std::to_string(groupId));
        for (int32_t id : ids)
            Client(groupId, id, "M" + std::to_string(id));
        return Invest(investId, groupId);
    }
};
