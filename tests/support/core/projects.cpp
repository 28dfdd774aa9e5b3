#include "support/core/projects.h"

#include <gtest/gtest.h>

#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"

std::string SaveClassProject(const TTempDir& dir, const std::string& name, bool withChoices)
{
    TFileAccess store(dir.File(name));
    store.ClientGroups().Add(1, "Class");
    int32_t id = 1;
    for (const char* client : {"Anna", "Bob", "Cleo", "Dan"})
        store.Clients().Add(id++, 1, client, true, 40000);
    store.Investigations().Add({.Id = 3,
                                .ClientGroupId = 1,
                                .CriterionId = -1,
                                .CriteriaGroupId = -1,
                                .Name = "Friends",
                                .Date = 40000,
                                .AllowAgainst = true,
                                .MaxChoices = 2});
    if (withChoices) {
        store.ForChoices().Add(3, 1, 2);
        store.ForChoices().Add(3, 2, 1);
        store.ForChoices().Add(3, 3, 1);
        store.AgainstChoices().Add(3, 1, 3);
    }
    TRecordingMessages messages;
    EXPECT_TRUE(store.Save());
    return store.FileName();
}

