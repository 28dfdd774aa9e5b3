#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "store/dbinfo.h"
#include "store/fileacc.h"

namespace {

double Date(int y, int m, int d)
{
    double date = 0;
    EXPECT_TRUE(EncodeDate(y, m, d, date)) << y << '-' << m << '-' << d;
    return date;
}

class StoreQueries : public ::testing::Test {
protected:
    TFileAccess store;
};

TEST(StoreDates, DayCountsMatchTheCalendar)
{
    EXPECT_EQ(Date(1899, 12, 30), 0);
    EXPECT_EQ(Date(1900, 1, 1), 2);
    EXPECT_EQ(Date(2000, 1, 1), 36526);
    EXPECT_EQ(Date(1800, 1, 1), -36522);
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(DecodeDate(38051.75, y, m, d)) << "the time of day is dropped";
    EXPECT_EQ(y * 10000 + m * 100 + d, 20040305);
    ASSERT_TRUE(DecodeDate(Date(1, 1, 1), y, m, d));
    EXPECT_EQ(y, 1);
    double date = 0;
    EXPECT_FALSE(EncodeDate(1999, 2, 29, date));
    EXPECT_TRUE(EncodeDate(2000, 2, 29, date));
    EXPECT_FALSE(EncodeDate(1900, 2, 29, date));
    EXPECT_FALSE(EncodeDate(0, 1, 1, date));
    EXPECT_FALSE(EncodeDate(10000, 1, 1, date));
    EXPECT_FALSE(EncodeDate(2000, 13, 1, date));
    EXPECT_FALSE(DecodeDate(1e12, y, m, d));
    EXPECT_FALSE(DecodeDate(std::numeric_limits<double>::quiet_NaN(), y, m, d));
}

TEST_F(StoreQueries, ReadFunctionsGiveDefaultsWhenNotFound)
{
    std::string description = "stale";
    TInvestInfo invest;
    invest.Name = "stale";
    ReadInvestigation(store, 3, description, invest);
    EXPECT_EQ(invest.Id, -1);
    EXPECT_EQ(invest.Name, "");
    EXPECT_EQ(invest.MaxChoices, 0);
    EXPECT_TRUE(invest.AllowAgainst);
    EXPECT_EQ(invest.ClientGroupId, -1);
    EXPECT_EQ(invest.CriterionId, -1);
    EXPECT_EQ(invest.CriteriaGroupId, -1);
    EXPECT_EQ(invest.Date, TodayDate());
    EXPECT_EQ(description, "");

    TClientInfo client;
    ReadClient(store, 1, 1, description, client);
    EXPECT_EQ(client.Id, -1);
    EXPECT_TRUE(client.IsMale);
    EXPECT_EQ(client.BirthDate, 0);

    TClientGroupInfo group;
    ReadClientGroup(store, 1, description, group);
    EXPECT_EQ(group.Id, -1);
}

TEST_F(StoreQueries, ReadFunctionsCopyTheRecordAndItsDescription)
{
    store.Clients().Add(5, 1, "In group one", false, Date(1990, 5, 6));
    store.Clients().Add(5, 2, "In group two", true, Date(1991, 7, 8));
    store.Clients().Find(5, 2);
    store.Clients().SetDescription("second");
    store.Investigations().Add({.Id = 9,
                                .ClientGroupId = 2,
                                .CriterionId = 3,
                                .CriteriaGroupId = 4,
                                .Name = "Inv",
                                .Date = Date(2004, 3, 5),
                                .AllowAgainst = false,
                                .MaxChoices = 4});
    store.Investigations().FindById(9);
    store.Investigations().SetDescription("about");
    store.Criteria().Add(3, 4, "Q");
    store.CriteriaGroups().Add(4, "G");

    std::string description;
    TClientInfo client;
    ReadClient(store, 5, 2, description, client);
    EXPECT_EQ(client.FullName, "In group two");
    EXPECT_EQ(client.GroupId, 2);
    EXPECT_TRUE(client.IsMale);
    EXPECT_EQ(description, "second");
    ReadClient(store, 5, 1, description, client);
    EXPECT_EQ(client.FullName, "In group one");
    EXPECT_EQ(description, "");

    TInvestInfo invest;
    ReadInvestigation(store, 9, description, invest);
    EXPECT_EQ(invest.Name, "Inv");
    EXPECT_EQ(invest.ClientGroupId, 2);
    EXPECT_EQ(invest.CriterionId, 3);
    EXPECT_EQ(invest.CriteriaGroupId, 4);
    EXPECT_FALSE(invest.AllowAgainst);
    EXPECT_EQ(invest.MaxChoices, 4);
    EXPECT_EQ(invest.Date, Date(2004, 3, 5));
    EXPECT_EQ(description, "about");

    TCriterionInfo criterion;
    ReadCriterion(store, 3, 4, description, criterion);
    EXPECT_EQ(criterion.Name, "Q");
    TCriteriaGroupInfo criteriaGroup;
    ReadCriteriaGroup(store, 4, description, criteriaGroup);
    EXPECT_EQ(criteriaGroup.Name, "G");
}

TEST_F(StoreQueries, ListsAreFilteredAndInvestigationsSortedIgnoringCase)
{
    store.Investigations().Add({.Id = 1,
                                .ClientGroupId = 1,
                                .CriterionId = 1,
                                .CriteriaGroupId = 1,
                                .Name = "beta",
                                .Date = 0,
                                .AllowAgainst = true,
                                .MaxChoices = 3});
    store.Investigations().Add({.Id = 2,
                                .ClientGroupId = 1,
                                .CriterionId = 2,
                                .CriteriaGroupId = 1,
                                .Name = "Alpha",
                                .Date = 0,
                                .AllowAgainst = true,
                                .MaxChoices = 3});
    store.Investigations().Add({.Id = 3,
                                .ClientGroupId = 2,
                                .CriterionId = 1,
                                .CriteriaGroupId = 1,
                                .Name = "other group",
                                .Date = 0,
                                .AllowAgainst = true,
                                .MaxChoices = 3});
    store.Investigations().Add({.Id = 4,
                                .ClientGroupId = 1,
                                .CriterionId = 1,
                                .CriteriaGroupId = 2,
                                .Name = "\xD0\xB1",
                                .Date = 0,
                                .AllowAgainst = true,
                                .MaxChoices = 3}); // Cyrillic small be
    store.Investigations().Add({.Id = 5,
                                .ClientGroupId = 1,
                                .CriterionId = 1,
                                .CriteriaGroupId = 1,
                                .Name = "BETA",
                                .Date = 0,
                                .AllowAgainst = true,
                                .MaxChoices = 3});
    store.Investigations().Add({.Id = 6,
                                .ClientGroupId = 1,
                                .CriterionId = 1,
                                .CriteriaGroupId = 1,
                                .Name = "\xD0\x90",
                                .Date = 0,
                                .AllowAgainst = true,
                                .MaxChoices = 3}); // Cyrillic capital a

    std::vector<std::string> names = {"stale"};
    InvestigationsOfClientGroup(store, 1, names);
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names[0], "Alpha");
    EXPECT_EQ(names[1], "beta");
    EXPECT_EQ(names[2], "BETA") << "names equal but for case are both kept";
    EXPECT_EQ(names[3], "\xD0\x90");
    EXPECT_EQ(names[4], "\xD0\xB1");

    InvestigationsOfCriterion(store, 1, 1, names);
    EXPECT_EQ(names.size(), 4u) << "both the criterion and its group must match";
    InvestigationsOfClientGroup(store, 7, names);
    EXPECT_TRUE(names.empty());

    store.Clients().Add(2, 1, "Zed", true, 0);
    store.Clients().Add(1, 2, "Elsewhere", true, 0);
    store.Clients().Add(1, 1, "Abe", true, 0);
    ClientNamesOfGroup(store, 1, names);
    EXPECT_EQ(names, (std::vector<std::string>{"Zed", "Abe"})) << "table order";
    EXPECT_EQ(store.CountClientsInGroup(1), 2);
    store.Criteria().Add(1, 3, "q1");
    store.Criteria().Add(2, 3, "q2");
    CriterionNamesOfGroup(store, 3, names);
    EXPECT_EQ(names, (std::vector<std::string>{"q1", "q2"}));
    EXPECT_EQ(store.CountCriteriaInGroup(3), 2);
}

TEST(StoreAge, AgeCountsBirthdaysReached)
{
    const double today = Date(2024, 3, 10);
    EXPECT_EQ(AgeFromBirthDate(Date(2010, 12, 31), today), 13) << "a birthday later this year does not count yet";
    EXPECT_EQ(AgeFromBirthDate(Date(2010, 3, 11), today), 13) << "tomorrow's birthday";
    EXPECT_EQ(AgeFromBirthDate(Date(2010, 3, 10), today), 14) << "today's birthday";
    EXPECT_EQ(AgeFromBirthDate(Date(2010, 1, 1), today), 14);
    EXPECT_EQ(AgeFromBirthDate(Date(2008, 2, 29), Date(2025, 2, 28)), 16);
    EXPECT_EQ(AgeFromBirthDate(Date(2008, 2, 29), Date(2025, 3, 1)), 17);
    EXPECT_EQ(AgeFromBirthDate(Date(2024, 1, 1), today), 0);
    EXPECT_EQ(AgeFromBirthDate(Date(2030, 1, 1), today), 0) << "a future date";
    EXPECT_EQ(AgeFromBirthDate(1e12, today), 0) << "an undecodable date";

    EXPECT_EQ(BirthDateFromAge(0, Date(1990, 6, 15), today), Date(2023, 6, 15))
        << "a birthday still ahead this year goes a year back";
    EXPECT_EQ(BirthDateFromAge(14, Date(1990, 6, 15), today), Date(2009, 6, 15));
    EXPECT_EQ(BirthDateFromAge(14, Date(1990, 1, 15), today), Date(2010, 1, 15));
    EXPECT_EQ(BirthDateFromAge(14, Date(2000, 2, 29), today), Date(2010, 2, 28))
        << "29 February in a year without it becomes 28 February";
    EXPECT_EQ(BirthDateFromAge(16, Date(2000, 2, 29), today), Date(2008, 2, 29));
    EXPECT_EQ(BirthDateFromAge(3000, Date(2000, 2, 29), today), Date(2000, 2, 29))
        << "year before 1 keeps the date";
    EXPECT_EQ(AgeFromBirthDate(BirthDateFromAge(37, Date(1999, 1, 2), today), today), 37);
}

} // namespace
