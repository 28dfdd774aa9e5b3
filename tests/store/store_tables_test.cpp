#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/filtab.h"

namespace {

std::string Repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(StoreTypeList, GridIsStoredRowByRowAndBoundsGiveNull)
{
    TTypeList<int> grid;
    ASSERT_TRUE(grid.SetSize(3, 2));
    EXPECT_EQ(grid.Columns(), 3);
    EXPECT_EQ(grid.Rows(), 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            ASSERT_TRUE(grid.SetCell(c, r, 10 * r + c));
    EXPECT_EQ(*grid.Item(4), 11); // cell (1, 1) = item 1 + 1 * 3
    EXPECT_EQ(grid.Cell(3, 0), nullptr);
    EXPECT_EQ(grid.Cell(0, 2), nullptr);
    EXPECT_FALSE(grid.SetCell(-1, 0, 5));
    EXPECT_EQ(grid.Item(6), nullptr);

    ASSERT_TRUE(grid.SetCount(2));
    EXPECT_EQ(grid.Columns(), 2);
    EXPECT_EQ(grid.Rows(), 0);
    EXPECT_EQ(*grid.Item(1), 1);
    grid.Delete(0);
    EXPECT_EQ(*grid.Item(0), 1);
    EXPECT_EQ(grid.Columns(), 2) << "Delete leaves the counts alone";
    EXPECT_FALSE(grid.SetCount(-1));
    EXPECT_EQ(grid.ItemCount(), 0);
}

TEST(StoreTable, CursorMovesStopAtTheEnds)
{
    TClientGroupTable table;
    EXPECT_FALSE(table.First());
    EXPECT_FALSE(table.Last());
    EXPECT_FALSE(table.FindById(1));
    EXPECT_EQ(table.Cursor(), 0);
    EXPECT_EQ(table.GetId(), -1) << "getters off the table give the default record";

    table.Add(1, "a");
    table.Add(2, "b");
    table.Add(3, "c");
    EXPECT_EQ(table.Cursor(), 0) << "adding does not move the cursor";
    ASSERT_TRUE(table.Last());
    EXPECT_FALSE(table.Next());
    EXPECT_EQ(table.GetId(), 3);
    ASSERT_TRUE(table.Prior());
    ASSERT_TRUE(table.Prior());
    EXPECT_FALSE(table.Prior());
    EXPECT_EQ(table.GetId(), 1);
}

TEST(StoreTable, FindTakesTheFirstOfDuplicatesAndLeavesTheCursorOnTheLastOnAMiss)
{
    TClientTable clients;
    clients.Add(7, 1, "first", true, 0);
    clients.Add(7, 2, "other group", false, 0);
    clients.Add(7, 1, "duplicate", true, 0);
    ASSERT_TRUE(clients.Find(7, 1));
    EXPECT_EQ(clients.GetFullName(), "first");
    ASSERT_TRUE(clients.Find(7, 2));
    EXPECT_EQ(clients.GetFullName(), "other group");
    EXPECT_FALSE(clients.Find(8, 1));
    EXPECT_EQ(clients.Cursor(), 2);

    TGraphPlaceTable places;
    places.Add({.InvestId = 1,
                .ClientId = 5,
                .ClientGroupId = 2,
                .SelType = 1,
                .Left = 10,
                .Top = 20,
                .Width = 30,
                .Height = 40,
                .FigType = 3});
    places.Add({.InvestId = 1,
                .ClientId = 5,
                .ClientGroupId = 2,
                .SelType = 0,
                .Left = 11,
                .Top = 21,
                .Width = 31,
                .Height = 41,
                .FigType = 4});
    ASSERT_TRUE(places.Find({.InvestId = 1, .ClientId = 5, .ClientGroupId = 2, .SelType = 0}))
        << "found by investigation, client, group and kind";
    EXPECT_EQ(places.GetLeft(), 11);
    EXPECT_FALSE(places.Find({.InvestId = 1, .ClientId = 2, .ClientGroupId = 5, .SelType = 0}));
}

TEST(StoreTable, BackwardDeleteWalkVisitsEveryRecordOnce)
{
    TForTable table;
    for (int i = 0; i < 6; ++i)
        table.Add(i % 2, i, i + 100);
    std::vector<int> visited;
    ASSERT_TRUE(table.Last());
    do {
        visited.push_back(table.GetFromId());
        if (table.GetInvestId() == 1)
            table.Delete();
    } while (table.Prior());
    EXPECT_EQ(visited, (std::vector<int>{5, 4, 3, 2, 1, 0}));
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(table.At(0).FromId, 0);
    EXPECT_EQ(table.At(1).FromId, 2);
    EXPECT_EQ(table.At(2).FromId, 4);
    EXPECT_TRUE(table.Modified());

    // Deleting the last record leaves the cursor past the end until First or Last.
    ASSERT_TRUE(table.Last());
    table.Delete();
    EXPECT_FALSE(table.CursorValid());
    ASSERT_TRUE(table.First());
    EXPECT_EQ(table.GetFromId(), 0);
}

TEST(StoreTable, ShortTextsAreCutTo255CharactersWithoutSplittingOne)
{
    TClientGroupTable groups;
    groups.Add(1, Repeat("x", 300));
    ASSERT_TRUE(groups.First());
    EXPECT_EQ(groups.GetName(), Repeat("x", 255));

    TUserTable users;
    const std::string cyrillic = Repeat("\xD0\x96", 300); // 300 two-byte letters
    users.Add(1, cyrillic, cyrillic);
    ASSERT_TRUE(users.First());
    EXPECT_EQ(users.GetName(), Repeat("\xD0\x96", 255));
    EXPECT_EQ(users.GetPassword(), Repeat("\xD0\x96", 255));

    TClientTable clients;
    clients.Add(1, 1, "a", true, 0);
    ASSERT_TRUE(clients.First());
    ASSERT_TRUE(clients.Change(1, 1, Repeat("y", 256), false, 5));
    EXPECT_EQ(clients.GetFullName().size(), 255u);
    const std::string longDescription = Repeat("d", 1000);
    ASSERT_TRUE(clients.SetDescription(longDescription));
    EXPECT_EQ(clients.GetDescription(), longDescription) << "descriptions have no limit";
}

TEST(StoreTable, ModifiedFollowsEveryChange)
{
    TInvestTable table;
    EXPECT_FALSE(table.Modified());
    table.Add({.Id = 1,
               .ClientGroupId = 2,
               .CriterionId = 3,
               .CriteriaGroupId = 4,
               .Name = "inv",
               .Date = 100,
               .AllowAgainst = true,
               .MaxChoices = 5});
    EXPECT_TRUE(table.Modified());
    table.SetModified(false);
    ASSERT_TRUE(table.FindById(1));
    EXPECT_FALSE(table.Modified()) << "finding changes nothing";
    ASSERT_TRUE(table.SetDescription("x"));
    EXPECT_TRUE(table.Modified());
    table.SetModified(false);
    ASSERT_TRUE(table.Change({.Id = 1,
                              .ClientGroupId = 2,
                              .CriterionId = 3,
                              .CriteriaGroupId = 4,
                              .Name = "inv2",
                              .Date = 101,
                              .AllowAgainst = false,
                              .MaxChoices = 6}));
    EXPECT_TRUE(table.Modified());
    EXPECT_EQ(table.GetName(), "inv2");
    EXPECT_FALSE(table.GetAllowAgainst());

    TUserTable users;
    users.Add(1, "admin", "");
    users.Add(2, "b", "p");
    users.SetModified(false);
    EXPECT_TRUE(users.DeleteAll());
    EXPECT_EQ(users.Count(), 0);
    EXPECT_TRUE(users.Modified());
}

TEST(StoreTable, SettersOffTheTableDoNothing)
{
    TCriteryTable table;
    EXPECT_FALSE(table.Change(1, 1, "x"));
    EXPECT_FALSE(table.SetDescription("x"));
    EXPECT_TRUE(table.Delete());
    EXPECT_EQ(table.Count(), 0);
    EXPECT_FALSE(table.Modified());
}

} // namespace
