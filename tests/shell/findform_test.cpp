#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "i18n/langconv.h"
#include "shell/entityflows.h"
#include "support/ui/scriptedseam.h"

namespace {

QLineEdit* TextEdit(QDialog& d)
{
    return d.findChild<QLineEdit*>("ObjectEdit");
}

TEST(ShellFindForm, OpensWithRememberedSearchAndAnswersFromCheckBoxes)
{
    TScriptedModalSeam seam;
    seam.ExpectDialog("FindForm", [](QDialog& d) {
        auto* type = d.findChild<QComboBox*>("ObjectTypeComboBox");
        auto* caseSens = d.findChild<QCheckBox*>("CaseSensCheckBox");
        auto* whole = d.findChild<QCheckBox*>("FullStringCheckBox");
        ASSERT_TRUE(type && caseSens && whole && TextEdit(d));
        const char* keys[] = {"ANY_NAME", "CLIENTGROUP_NAME", "CLIENT_NAME", "CRITERYGROUP_NAME",
                              "CRITERY_NAME", "INVESTIGATION_NAME"};
        ASSERT_EQ(type->count(), 6);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(type->itemText(i), QString::fromStdString(LangConv().GetText(keys[i])));
        EXPECT_EQ(TextEdit(d)->text(), "ann");
        EXPECT_EQ(type->currentIndex(), 2);
        EXPECT_TRUE(caseSens->isChecked());
        EXPECT_FALSE(whole->isChecked());
        // Unticking counts as it stands when Find is pressed.
        caseSens->click();
        whole->click();
        type->setCurrentIndex(5);
        TextEdit(d)->setText("  Spring ");
        FindButton(d, "FindButton")->click();
    });
    const TFindRequest answer =
        RunFindForm(nullptr, {false, "  ann ", TFindType::Clients, TFindFlags::CaseSensitive});
    EXPECT_TRUE(answer.Find);
    EXPECT_EQ(answer.Text, "Spring");
    EXPECT_EQ(answer.Type, TFindType::Investigations);
    EXPECT_EQ(answer.Flags, TFindFlags::WholeString);
}

TEST(ShellFindForm, FirstSearchStartsEmptyAndBlankTextCannotBeFound)
{
    TScriptedModalSeam seam;
    seam.ExpectDialog("FindForm", [](QDialog& d) {
        QAbstractButton* find = FindButton(d, "FindButton");
        EXPECT_EQ(TextEdit(d)->text(), "");
        EXPECT_FALSE(d.findChild<QCheckBox*>("CaseSensCheckBox")->isChecked());
        EXPECT_FALSE(d.findChild<QCheckBox*>("FullStringCheckBox")->isChecked());
        EXPECT_EQ(d.findChild<QComboBox*>("ObjectTypeComboBox")->currentIndex(), 0);
        EXPECT_FALSE(find->isEnabled());
        TextEdit(d)->setText("   ");
        EXPECT_FALSE(find->isEnabled());
        // Enter does nothing while Find is disabled.
        QTest::keyClick(TextEdit(d), Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        TextEdit(d)->setText(" x");
        EXPECT_TRUE(find->isEnabled());
        FindButton(d, "CloseButton")->click();
    });
    const TFindRequest answer = RunFindForm(nullptr, TFindRequest{});
    EXPECT_FALSE(answer.Find);
    EXPECT_EQ(answer.Text, "");
}

TEST(ShellFindForm, EnterFindsAndEscapeCloses)
{
    TScriptedModalSeam seam;
    seam.ExpectDialog("FindForm", [](QDialog& d) {
        TextEdit(d)->setText("Anna");
        QTest::keyClick(TextEdit(d), Qt::Key_Return);
    });
    const TFindRequest found = RunFindForm(nullptr, {});
    EXPECT_TRUE(found.Find);
    EXPECT_EQ(found.Text, "Anna");

    seam.ExpectDialog("FindForm", [](QDialog& d) {
        TextEdit(d)->setText("Other");
        QTest::keyClick(TextEdit(d), Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
    });
    // Closing keeps the remembered search for the caller.
    const TFindRequest closed = RunFindForm(nullptr, {true, "Anna", TFindType::ClientGroups,
                                                      TFindFlags::CaseSensitive | TFindFlags::WholeString});
    EXPECT_FALSE(closed.Find);
    EXPECT_EQ(closed.Text, "Anna");
    EXPECT_EQ(closed.Type, TFindType::ClientGroups);
    EXPECT_EQ(closed.Flags, TFindFlags::CaseSensitive | TFindFlags::WholeString);
}

} // namespace
