#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/lineeditor.h"
#include "support/core/tempdir.h"

namespace {

using TLines = std::vector<std::string>;

// A file image of an old client layout with three name columns.
TLines OldClients()
{
    return {"[CLIENT_GROUPS]",
            "FIELD_NUMS=3",
            "[CLIENTS]",
            "FIELD_NUMS=8",
            "CLIENT_ID=0",
            "CLIENT_FAM=0",
            "CLIENT_NAM=0",
            "CLIENT_PAT=0",
            "CLIENT_ID_1=1",
            "CLIENT_FAM_1=Smith",
            "CLIENT_NAM_1=John",
            "CLIENT_PAT_1=NULL",
            "CLIENT_ID_2=2",
            "CLIENT_FAM_2=NULL",
            "CLIENT_NAM_2=Ann",
            "CLIENT_PAT_2=Lee",
            "CLIENT_FAMILY_1=untouched",
            "no key line",
            "[USERS]",
            "USER_ID=0"};
}

TEST(StoreLineEditor, SectionsAndKeysAreFoundExactly)
{
    TLineEditor store;
    store.Lines() = OldClients();
    EXPECT_TRUE(store.SectionExists("CLIENTS"));
    EXPECT_FALSE(store.SectionExists("clients"));
    EXPECT_FALSE(store.SectionExists("ADDITIONAL"));
    const auto range = store.SectionRange("CLIENTS");
    ASSERT_TRUE(range);
    EXPECT_EQ(range->First, 3);
    EXPECT_EQ(range->Last, 17);
    store.Lines().push_back("[EMPTY]");
    EXPECT_TRUE(store.SectionExists("EMPTY"));
    EXPECT_FALSE(store.SectionRange("EMPTY")) << "a section without body has no range";

    EXPECT_TRUE(store.KeyExists("CLIENTS", "CLIENT_FAM"));
    EXPECT_FALSE(store.KeyExists("CLIENTS", "client_fam"));
    EXPECT_FALSE(store.KeyExists("CLIENTS", "USER_ID")) << "keys of other sections do not count";
    EXPECT_EQ(store.ReadValue("CLIENTS", "CLIENT_NAM_2"), "Ann");
    EXPECT_EQ(store.ReadValue("CLIENTS", "CLIENT_PAT_1"), "NULL");
    EXPECT_EQ(store.ReadValue("CLIENTS", "missing"), "");
}

TEST(StoreLineEditor, OldClientNamesAreMergedIntoOneColumn)
{
    TLineEditor store;
    store.Lines() = OldClients();
    store.RenameColumn("CLIENTS", "CLIENT_FAM", "CLIENT_FULLNAM");
    store.MergeColumn("CLIENTS", "CLIENT_NAM", "CLIENT_FULLNAM");
    store.MergeColumn("CLIENTS", "CLIENT_PAT", "CLIENT_FULLNAM");
    store.WriteValue("CLIENTS", "FIELD_NUMS", "6");
    store.DeleteKey("CLIENTS", "CLIENT_NAM");
    store.DeleteKey("CLIENTS", "CLIENT_PAT");
    const TLines expected = {"[CLIENT_GROUPS]",
                             "FIELD_NUMS=3",
                             "[CLIENTS]",
                             "FIELD_NUMS=6",
                             "CLIENT_ID=0",
                             "CLIENT_FULLNAM=0",
                             "CLIENT_ID_1=1",
                             "CLIENT_FULLNAM_1=Smith John",
                             "CLIENT_ID_2=2",
                             "CLIENT_FULLNAM_2=Ann Lee",
                             "CLIENT_FAMILY_1=untouched",
                             "no key line",
                             "[USERS]",
                             "USER_ID=0"};
    EXPECT_EQ(store.Lines(), expected);
}

TEST(StoreLineEditor, WriteValueReplacesInsertsOrAppends)
{
    TLineEditor store;
    store.Lines() = {"[A]", "X=1", "Y=2", "[B]", "[C]", "Z=3"};
    store.WriteValue("A", "Y", "20");
    store.WriteValue("A", "NEW", "n");
    store.WriteValue("B", "K", "v");
    store.WriteValue("ADDITIONAL", "IS_AUTHOR", "0");
    EXPECT_EQ(store.Lines(), (TLines{"[A]", "X=1", "NEW=n", "Y=20", "[B]", "K=v", "[C]", "Z=3",
                                     "[ADDITIONAL]", "IS_AUTHOR=0"}));
}

TEST(StoreLineEditor, ImageIsReadAndWrittenWithCrLf)
{
    TTempDir dir;
    const std::string path = dir.File("old.soi");
    WriteFileBytes(path, "[CLIENTS]\nCLIENT_FAM_1=\xD0\xA1\rX=1\r\n");
    TLineEditor store(path);
    ASSERT_TRUE(store.ReadLines());
    EXPECT_EQ(store.Lines(), (TLines{"[CLIENTS]", "CLIENT_FAM_1=\xD0\xA1", "X=1"}));
    store.WriteValue("ADDITIONAL", "IS_AUTHOR", "0");
    ASSERT_TRUE(store.WriteLines());
    EXPECT_EQ(ReadFileBytes(path),
              "[CLIENTS]\r\nCLIENT_FAM_1=\xD0\xA1\r\nX=1\r\n[ADDITIONAL]\r\nIS_AUTHOR=0\r\n");

    TLineEditor missing(dir.File("none.soi"));
    EXPECT_FALSE(missing.ReadLines());
    EXPECT_TRUE(missing.Lines().empty());
}

} // namespace
