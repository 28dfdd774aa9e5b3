// Class list import: column matching, refused rows, and the all-or-nothing creation of the group.
#include <gtest/gtest.h>

#include "exchange/exchangetext.h"
#include "exchange/rosterimport.h"
#include "store/fileacc.h"
#include "util/dates.h"

namespace {

double Date(int y, int m, int d)
{
    double date = 0;
    EncodeDate(y, m, d, date);
    return date;
}

TEST(RosterImport, ColumnsAreMatchedByNameIgnoringCaseAndOrder)
{
    const TRosterPlan plan = PlanRosterImport("Birth Date;SEX;First Name;Surname;Notes\n"
                                              "2010-05-04;f;Anna;Smith;\"likes\nchess\"\n"
                                              "04.06.2011;M;Bob;Brown;\n"
                                              ";female;Cleo;;\n",
                                              "Class 5A");
    ASSERT_TRUE(plan.CanApply()) << plan.Failure;
    ASSERT_EQ(plan.Clients.size(), 3u);
    EXPECT_EQ(plan.Clients[0].FullName, "Smith Anna");
    EXPECT_FALSE(plan.Clients[0].IsMale);
    EXPECT_EQ(plan.Clients[0].BirthDate, Date(2010, 5, 4));
    EXPECT_EQ(plan.Clients[0].Description, "likes\r\nchess");
    EXPECT_EQ(plan.Clients[1].FullName, "Brown Bob");
    EXPECT_TRUE(plan.Clients[1].IsMale);
    EXPECT_EQ(plan.Clients[1].BirthDate, Date(2011, 6, 4));
    EXPECT_EQ(plan.Clients[2].FullName, "Cleo");
    EXPECT_EQ(plan.Clients[2].BirthDate, 0); // unknown
    EXPECT_EQ(plan.Lines, (std::vector<int32_t>{2, 4, 5}));
}

TEST(RosterImport, DatesAreReadOnlyWhereTheyAreUnambiguous)
{
    const struct {
        const char* text;
        bool ok;
        double date;
    } cases[] = {
        {"2010-05-04", true, Date(2010, 5, 4)},   {"2010-05-04 00:00:00", true, Date(2010, 5, 4)},
        {"4.5.2010", true, Date(2010, 5, 4)},     {"25/12/2010", true, Date(2010, 12, 25)},
        {"12/25/2010", true, Date(2010, 12, 25)}, {"03/04/2010", false, 0},
        {"2010-02-30", false, 0},                 {"yesterday", false, 0},
        {"4.5.10", false, 0},                     {"2010-05", false, 0},
    };
    for (const auto& c : cases) {
        double date = 0;
        EXPECT_EQ(ParseImportedDate(c.text, date), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(date, c.date) << c.text;
        }
    }
}

TEST(RosterImport, AnyRefusedRowCreatesNothingAndEveryRowIsNamed)
{
    const TRosterPlan plan = PlanRosterImport("name,sex,birth date\n"
                                              "Anna,f,2010-01-01\n"
                                              ",m,2010-01-01\n"
                                              "Bob,x,2010-01-01\n"
                                              "Carl,m,03/04/2010\n"
                                              "Dan,m,2010-01-01,extra\n",
                                              "Class");
    EXPECT_FALSE(plan.CanApply());
    ASSERT_EQ(plan.Refused.size(), 4u);
    EXPECT_EQ(plan.Refused[0].Line, 3);
    EXPECT_EQ(plan.Refused[1].Line, 4);
    EXPECT_NE(plan.Refused[1].Reason.find("\"x\""), std::string::npos);
    EXPECT_EQ(plan.Refused[2].Line, 5);
    EXPECT_EQ(plan.Refused[3].Line, 6);

    // A row with several problems names them all, not only the first.
    const TRosterPlan twice = PlanRosterImport("name,sex,birth date\nBob,x,31/31/2010\n,,2010-01-01\n", "Class");
    ASSERT_EQ(twice.Refused.size(), 2u);
    EXPECT_NE(twice.Refused[0].Reason.find("\"x\""), std::string::npos) << twice.Refused[0].Reason;
    EXPECT_NE(twice.Refused[0].Reason.find("\"31/31/2010\""), std::string::npos) << twice.Refused[0].Reason;
    EXPECT_NE(twice.Refused[1].Reason, plan.Refused[0].Reason) << "no name and no sex are both named";

    TFileAccess store;
    store.ClientGroups().Add(1, "Existing");
    EXPECT_EQ(ApplyRosterImport(store, plan), -1);
    EXPECT_EQ(store.ClientGroups().Count(), 1);
    EXPECT_EQ(store.Clients().Count(), 0);
}

// "NULL" would read back empty from the project file: as a client's row it is refused and named,
// as the group's name the whole import fails.
TEST(RosterImport, NullNamesAreRefused)
{
    const TRosterPlan plan = PlanRosterImport("name\nAnna\n Null \n", "Class");
    ASSERT_EQ(plan.Refused.size(), 1u);
    EXPECT_EQ(plan.Refused[0].Line, 3);
    EXPECT_EQ(plan.Refused[0].Reason, ReservedNameText());
    EXPECT_EQ(PlanRosterImport("name\nAnna\n", "NULL").Failure, ReservedNameText());
}

TEST(RosterImport, FilesThatNameNoClientsFail)
{
    EXPECT_FALSE(PlanRosterImport("sex,birth date\nm,2010-01-01\n", "G").Failure.empty());
    EXPECT_FALSE(PlanRosterImport("name\n", "G").Failure.empty());
    EXPECT_FALSE(PlanRosterImport("name\nAnna\n", "  ").Failure.empty());
    EXPECT_FALSE(PlanRosterImport(std::string("name\nA\0na\n", 10), "G").Failure.empty());
}

TEST(RosterImport, TheGroupTakesAnIdNoGroupOrLeftoverClientUses)
{
    TFileAccess store;
    store.ClientGroups().Add(1, "One");
    store.ClientGroups().Add(3, "Three");
    store.Clients().Add(1, 2, "Leftover of a deleted group", true, 0);
    const TRosterPlan plan = PlanRosterImport("name\nAnna\nBob\n", "New");
    ASSERT_TRUE(plan.CanApply());
    store.SetModified(false);
    const int32_t groupId = ApplyRosterImport(store, plan);
    EXPECT_EQ(groupId, 4);
    EXPECT_TRUE(store.IsModified());
    ASSERT_TRUE(store.ClientGroups().FindById(4));
    EXPECT_EQ(store.ClientGroups().GetName(), "New");
    EXPECT_EQ(store.CountClientsInGroup(4), 2);
    EXPECT_EQ(store.Clients().At(1).Id, 1);
    EXPECT_EQ(store.Clients().At(1).FullName, "Anna");
    EXPECT_EQ(store.Clients().At(2).Id, 2);
    EXPECT_TRUE(store.Clients().At(1).IsMale); // no sex column: entered as male, and said so
    EXPECT_FALSE(plan.Notes.empty());
}

} // namespace
