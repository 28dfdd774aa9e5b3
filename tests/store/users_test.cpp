#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/filtab.h"
#include "store/users.h"

namespace {

TUserTable Users()
{
    TUserTable table;
    table.Add(1, "admin", "");
    table.Add(2, "Olga", "secret");
    table.Add(4, "Olga", "second Olga never matches");
    return table;
}

TEST(Login, NamesAndPasswordsAreComparedExactlyAfterTrimming)
{
    const TUserTable users = Users();
    EXPECT_EQ(CheckLogin(users, "admin", ""), TLoginResult::Ok);
    EXPECT_EQ(CheckLogin(users, "  admin\t", "   "), TLoginResult::Ok);
    EXPECT_EQ(CheckLogin(users, "Admin", ""), TLoginResult::NoSuchUser);
    EXPECT_EQ(CheckLogin(users, "admin", "x"), TLoginResult::WrongPassword);
    EXPECT_EQ(CheckLogin(users, "Olga", " secret "), TLoginResult::Ok);
    EXPECT_EQ(CheckLogin(users, "Olga", "Secret"), TLoginResult::WrongPassword);
    EXPECT_EQ(CheckLogin(users, "Olga", "second Olga never matches"), TLoginResult::WrongPassword);
    EXPECT_EQ(CheckLogin(TUserTable(), "admin", ""), TLoginResult::NoSuchUser);
}

TEST(UserList, NewUsersGetTheSmallestFreeIdAndTrimmedFields)
{
    TUserList list;
    list.LoadFrom(Users());
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.NewId(), 3);
    EXPECT_EQ(list.Add("  Petr ", " pw ", "pw", "line one\r\nline two"), TUserEditResult::Ok);
    const TSomeUser& added = list.At(3);
    EXPECT_EQ(added.Id, 3);
    EXPECT_EQ(added.Name, "Petr");
    EXPECT_EQ(added.Password, "pw");
    EXPECT_EQ(added.Description, "line one\r\nline two");
    EXPECT_EQ(list.NewId(), 5);

    // Whatever is stored can be typed at the login.
    TUserTable table;
    list.StoreTo(table);
    EXPECT_EQ(CheckLogin(table, "Petr", "pw"), TLoginResult::Ok);
}

TEST(UserList, RefusedChangesLeaveTheListAsItWas)
{
    TUserList list;
    list.LoadFrom(Users());
    EXPECT_EQ(list.Add("admin", "", "", ""), TUserEditResult::DoubleName);
    EXPECT_EQ(list.Add("admin ", "", "", ""), TUserEditResult::DoubleName);
    EXPECT_EQ(list.Add("Admin", "a", "b", ""), TUserEditResult::PasswordMismatch);
    EXPECT_EQ(list.Add("   ", "", "", ""), TUserEditResult::EmptyName);
    // Renaming a user to another user's name, even with blanks around it, is refused as well.
    EXPECT_EQ(list.Change(1, " admin ", "", "", "", false), TUserEditResult::DoubleName);
    EXPECT_EQ(list.Change(0, "admin", "new", "other", "", false), TUserEditResult::PasswordMismatch);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.At(0).Password, "");
    EXPECT_EQ(list.At(1).Name, "Olga");
}

TEST(UserList, ChangingKeepsThePasswordUnlessANewOneOrNoneIsAskedFor)
{
    TUserList list;
    list.LoadFrom(Users());
    // Keeping its own name is fine even where an older file holds the name twice.
    EXPECT_EQ(list.Change(1, "Olga", "", "", "new description", false), TUserEditResult::Ok);
    EXPECT_EQ(list.At(1).Password, "secret");
    EXPECT_EQ(list.At(1).Description, "new description");
    EXPECT_EQ(list.Change(1, "Olga", "changed", "changed", "", false), TUserEditResult::Ok);
    EXPECT_EQ(list.At(1).Password, "changed");
    EXPECT_EQ(list.Change(1, "Olga K", "ignored", "also ignored", "", true), TUserEditResult::Ok);
    EXPECT_EQ(list.At(1).Password, "");
    EXPECT_EQ(list.At(1).Name, "Olga K");
    EXPECT_EQ(list.Change(1, "Olga", "", "", "", false), TUserEditResult::DoubleName);
    // Its own name is no duplicate.
    EXPECT_EQ(list.Change(0, "admin", "", "", "", false), TUserEditResult::Ok);
}

TEST(UserList, TheLastUserStaysAndTheTableIsRewrittenModified)
{
    TUserList list;
    list.LoadFrom(Users());
    EXPECT_TRUE(list.Remove(0));
    EXPECT_TRUE(list.Remove(1));
    EXPECT_FALSE(list.CanRemove());
    EXPECT_FALSE(list.Remove(0));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.At(0).Id, 2);

    TUserTable table = Users();
    table.SetModified(false);
    list.StoreTo(table);
    EXPECT_TRUE(table.Modified());
    ASSERT_EQ(table.Count(), 1);
    EXPECT_EQ(table.At(0).Name, "Olga");
    EXPECT_EQ(table.At(0).Password, "secret");

    // Even an unchanged list marks the project modified.
    TUserTable same = Users();
    same.SetModified(false);
    TUserList copy;
    copy.LoadFrom(same);
    copy.StoreTo(same);
    EXPECT_TRUE(same.Modified());
    EXPECT_EQ(same.Count(), 3);
    ASSERT_TRUE(copy.First());
    EXPECT_EQ(copy.Id(), 1);
    ASSERT_TRUE(copy.Next());
    ASSERT_TRUE(copy.Next());
    EXPECT_EQ(copy.Id(), 4);
    EXPECT_FALSE(copy.Next());
}

// "NULL" is what the file writes for an empty value: as a name or password it would come back
// empty, so it is refused in any letter case; switching the login on needs every password.
TEST(UserList, NullIsRefusedAndPasswordlessUsersAreNamed)
{
    TUserList list;
    list.LoadFrom(Users());
    EXPECT_EQ(list.Add("null", "x", "x", ""), TUserEditResult::ReservedNull);
    EXPECT_EQ(list.Add("Ivan", " NuLL ", " NuLL ", ""), TUserEditResult::ReservedNull);
    EXPECT_EQ(list.Change(1, "NULL", "", "", "", false), TUserEditResult::ReservedNull);
    EXPECT_EQ(list.Add("Nullah", "NULLS", "NULLS", ""), TUserEditResult::Ok);
    EXPECT_EQ(list.UsersWithoutPassword(), (std::vector<int32_t>{0}));
}

} // namespace
