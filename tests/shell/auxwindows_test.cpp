#include <gtest/gtest.h>

#include <cstdlib>

#include <QAbstractButton>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>

#include "platform/langcontroller.h"
#include "shell/formabout.h"
#include "shell/formstarting.h"
#include "shell/selobjectform.h"
#include "shell/toolbarform.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/ui/scriptedseam.h"

namespace {

// No caption or hint of the window reads as missing; a picture goes to TREMLOW_SHOT_DIR when set.
void ExpectTranslatedAndShoot(QWidget& window, const char* file)
{
    const QString missing = TLanguageController::NotDefinedText();
    EXPECT_FALSE(window.windowTitle().contains(missing));
    for (QWidget* child : window.findChildren<QWidget*>()) {
        EXPECT_FALSE(child->toolTip().contains(missing)) << child->objectName().toStdString();
        if (auto* label = qobject_cast<QLabel*>(child)) {
            EXPECT_FALSE(label->text().contains(missing)) << child->objectName().toStdString();
        }
        if (auto* button = qobject_cast<QAbstractButton*>(child)) {
            EXPECT_FALSE(button->text().contains(missing)) << child->objectName().toStdString();
        }
    }
    window.adjustSize();
    const QImage picture = window.grab().toImage();
    EXPECT_FALSE(picture.isNull());
    if (const char* folder = std::getenv("TREMLOW_SHOT_DIR"))
        picture.save(QString::fromLocal8Bit(folder) + "/" + file);
}

TEST(ShellAuxWindows, ObjectPickListsObjectsOfItsKindWithTheirGroups)
{
    TRecordingProgress progress;
    TFileAccess sample(SampleProjectPath());
    ASSERT_TRUE(sample.Load());
    TRepSelObjectForm criteria(nullptr, sample, TSelObjectForm::KindCriterion);
    ASSERT_EQ(criteria.Entries().size(), 6U);
    EXPECT_EQ(criteria.ChosenId(), 1);
    EXPECT_EQ(criteria.ChosenGroupId(), 1);
    auto* combo = criteria.findChild<QComboBox*>("ComboBox");
    ASSERT_EQ(combo->count(), 6);
    combo->setCurrentIndex(4);
    EXPECT_EQ(criteria.ChosenId(), 2);
    EXPECT_EQ(criteria.ChosenGroupId(), 2);
    EXPECT_EQ(criteria.ChosenName(), "Whom would you invite to your birthday party?");
    EXPECT_TRUE(criteria.findChild<QAbstractButton*>("OKButton")->isEnabled());
    ExpectTranslatedAndShoot(criteria, "selobject.png");

    TSelObjectForm groups(nullptr, sample, TSelObjectForm::KindClientGroup);
    ASSERT_EQ(groups.Entries().size(), 2U);
    EXPECT_EQ(groups.Entries()[1].Name, "Chess club");
    EXPECT_EQ(groups.Entries()[1].GroupId, -1);

    TScriptedModalSeam seam;
    seam.ExpectDialogButton("SelObjectForm", "OKButton");
    EXPECT_EQ(Modal().Exec(groups), QDialog::Accepted);
    EXPECT_TRUE(groups.Confirmed());
    EXPECT_EQ(groups.ChosenId(), 1);

    // Two clients of the same name in two groups are told apart by their group in the list.
    TRepSelObjectForm pupils(nullptr, sample, TSelObjectForm::KindClient);
    auto* pupilCombo = pupils.findChild<QComboBox*>("ComboBox");
    ASSERT_EQ(pupilCombo->count(), static_cast<int>(pupils.Entries().size()));
    EXPECT_EQ(pupilCombo->itemText(0), "Alice Brown");
    QStringList kellys;
    for (int i = 0; i < pupilCombo->count(); ++i) {
        if (pupils.Entries()[static_cast<std::size_t>(i)].Name == "Jack Kelly")
            kellys << pupilCombo->itemText(i);
    }
    EXPECT_EQ(kellys, (QStringList{"Jack Kelly (Class 7B, Riverside School)", "Jack Kelly (Chess club)"}));
    pupilCombo->setCurrentIndex(pupilCombo->findText("Jack Kelly (Chess club)"));
    EXPECT_EQ(pupils.ChosenName(), "Jack Kelly");
    EXPECT_EQ(pupils.ChosenGroupId(), 2);

    // A project without clients: an empty list, OK disabled, nothing chosen.
    TFileAccess empty;
    TRepSelObjectForm clients(nullptr, empty, TSelObjectForm::KindClient);
    EXPECT_TRUE(clients.Entries().empty());
    EXPECT_FALSE(clients.findChild<QAbstractButton*>("OKButton")->isEnabled());
    EXPECT_EQ(clients.ChosenId(), -1);
    EXPECT_EQ(clients.ChosenGroupId(), -1);
    EXPECT_TRUE(clients.ChosenName().isEmpty());
    seam.ExpectDialogButton("SelObjectForm", "ExitButton");
    Modal().Exec(clients);
    EXPECT_FALSE(clients.Confirmed());
}

TEST(ShellAuxWindows, SmallWindowsAreTranslated)
{
    TFormStarting starting(nullptr, true);
    EXPECT_TRUE(starting.findChild<QRadioButton*>("RadioButtonOpenLast")->isChecked());
    ExpectTranslatedAndShoot(starting, "formstarting.png");

    TToolbarForm toolbars(nullptr, {"Project", "File", "Edit", "View", "Object", "Report"},
                          {true, true, false, true, true, true});
    EXPECT_EQ(toolbars.findChild<QListWidget*>("ToolbarCheckListBox")->item(2)->checkState(), Qt::Unchecked);
    ExpectTranslatedAndShoot(toolbars, "toolbarform.png");

    TFormAbout about(nullptr);
    ExpectTranslatedAndShoot(about, "about.png");
    TFormAcknowledgments thanks(nullptr);
    ExpectTranslatedAndShoot(thanks, "acknowledgments.png");
}

} // namespace
