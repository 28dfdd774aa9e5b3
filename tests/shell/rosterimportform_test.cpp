// The class list preview: what will be created, every refused row, and OK only when nothing is refused.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "shell/rosterimportform.h"

namespace {

TEST(RosterImportForm, ShowsClientsAndRefusalsAndOffersOkOnlyForACleanList)
{
    TRosterImportForm clean("name,sex\nAnna,f\nBob,m\n", QStringLiteral("5a.csv"), QStringLiteral("5a"));
    EXPECT_EQ(clean.findChild<QListWidget*>(QStringLiteral("ClientsList"))->count(), 2);
    EXPECT_EQ(clean.findChild<QListWidget*>(QStringLiteral("RefusedList"))->count(), 0);
    QPushButton* ok = clean.findChild<QPushButton*>(QStringLiteral("OKButton"));
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(clean.Plan().GroupName, "5a");
    // The group name is required, and a changed one goes into the plan.
    auto* group = clean.findChild<QLineEdit*>(QStringLiteral("GroupNameEdit"));
    group->setText(QString());
    EXPECT_FALSE(ok->isEnabled());
    group->setText(QStringLiteral("Class 5A"));
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(clean.Plan().GroupName, "Class 5A");

    TRosterImportForm refused("name,sex\nAnna,f\nBob,?\n,m\n", QStringLiteral("x.csv"), QStringLiteral("x"));
    auto* list = refused.findChild<QListWidget*>(QStringLiteral("RefusedList"));
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(0)->text().contains(QStringLiteral("3")));
    EXPECT_FALSE(refused.findChild<QPushButton*>(QStringLiteral("OKButton"))->isEnabled());
}

} // namespace
