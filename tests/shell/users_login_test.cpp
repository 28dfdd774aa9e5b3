#include <gtest/gtest.h>

#include <string>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include "settings/regs.h"
#include "shell/socmain_f.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"

namespace {

template <typename T> T* Child(QDialog& dialog, const char* name)
{
    T* child = dialog.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

void TypeLogin(QDialog& login, const QString& name, const QString& password)
{
    Child<QLineEdit>(login, "PsychNameEdit")->setText(name);
    Child<QLineEdit>(login, "PasswordEdit")->setText(password);
    FindButton(login, "OKButton")->click();
}

void FillUser(QDialog& form, const QString& name, const QString& password, const QString& confirm)
{
    Child<QLineEdit>(form, "NameEdit")->setText(name);
    Child<QLineEdit>(form, "PasswordEdit")->setText(password);
    Child<QLineEdit>(form, "ConfirmEdit")->setText(confirm);
    FindButton(form, "OKButton")->click();
}

// The main window over a project saved with the login switched on.
class ShellLogin : public ::testing::Test {
protected:
    void SetUp() override
    {
        TScriptedModalSeam seam;
        window.MenuItemProjectCreateClick();
        ASSERT_TRUE(window.HasProject());
        window.Store()->Users().Add(2, "Olga", "secret");
        window.Store()->SetLoginRequired(true);
        window.Store()->SetFileName(path);
        ASSERT_TRUE(window.Session().Save());
        ASSERT_TRUE(window.MenuItemProjectCloseClick());
        Regs().WriteSocMainString("UserName", "");
    }

    void Open() { window.OpenProjectFile(QString::fromStdString(path)); }

    TShellSettings settings;
    TTempDir dir;
    std::string path = dir.File("login.soi");
    TRecordingProgress progress;
    TRecordingMessages messages;
    TSocMainForm window;
};

TEST_F(ShellLogin, WrongNamesAndPasswordsAreToldUntilTheRightOneOpensTheProject)
{
    TScriptedModalSeam seam;
    seam.ExpectDialog("InputForm", [](QDialog& login) {
        // "admin" has no password, so the name is not offered: Enter alone opens nothing.
        EXPECT_EQ(Child<QLineEdit>(login, "PsychNameEdit")->text(), "");
        EXPECT_EQ(Child<QLineEdit>(login, "PasswordEdit")->echoMode(), QLineEdit::Password);
        Child<QLineEdit>(login, "PsychNameEdit")->setText("   ");
        EXPECT_FALSE(FindButton(login, "OKButton")->isEnabled());

        TypeLogin(login, "Admin", "");
        EXPECT_TRUE(login.isVisible());
        TypeLogin(login, "Olga", "Secret");
        EXPECT_TRUE(login.isVisible());
        EXPECT_TRUE(Child<QLineEdit>(login, "PasswordEdit")->text().isEmpty());
        TypeLogin(login, "  admin ", "  ");
        EXPECT_FALSE(login.isVisible());
    });
    Open();
    ASSERT_TRUE(window.HasProject());
    EXPECT_EQ(seam.informations, QStringList({CatText("NO_THE_SAME_USER"), CatText("NOT_CORRECT_PASSWORD")}));
    EXPECT_EQ(Regs().ReadSocMainString("UserName"), "admin");
    EXPECT_FALSE(window.Store()->IsModified());
}

TEST_F(ShellLogin, TheLastNameTypedIsOfferedAndCancelLeavesTheProjectClosed)
{
    TScriptedModalSeam seam;
    seam.ExpectDialog("InputForm", [](QDialog& login) { TypeLogin(login, " Olga ", "wrong"); });
    Open();
    EXPECT_FALSE(window.HasProject());
    EXPECT_EQ(Regs().ReadSocMainString("UserName"), "Olga");

    seam.ExpectDialog("InputForm", [](QDialog& login) {
        EXPECT_EQ(Child<QLineEdit>(login, "PsychNameEdit")->text(), "Olga");
        TypeLogin(login, "Olga", " secret");
    });
    Open();
    EXPECT_TRUE(window.HasProject());
}

TEST_F(ShellLogin, UsersAreAddedChangedAndRemovedWithTheirRules)
{
    TScriptedModalSeam seam;
    seam.ExpectDialog("InputForm", [](QDialog& login) { TypeLogin(login, "admin", ""); });
    Open();
    ASSERT_TRUE(window.HasProject());

    seam.ExpectDialog("AllUsersForm", [](QDialog& users) {
        auto* list = Child<QListWidget>(users, "ClientsListBox");
        ASSERT_EQ(list->count(), 2);
        list->setCurrentRow(0);
        EXPECT_TRUE(FindButton(users, "RemoveButton")->isEnabled());
        FindButton(users, "AddButton")->click();
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->item(2)->text(), "Petr");

        // Change Olga's description only: her password stays.
        list->setCurrentRow(1);
        FindButton(users, "ChangeButton")->click();
        // Remove Olga and then admin; Petr, the last user, cannot be removed.
        FindButton(users, "RemoveButton")->click();
        list->setCurrentRow(0);
        FindButton(users, "RemoveButton")->click();
        ASSERT_EQ(list->count(), 1);
        list->setCurrentRow(0);
        EXPECT_FALSE(FindButton(users, "RemoveButton")->isEnabled());
        EXPECT_TRUE(FindButton(users, "ChangeButton")->isEnabled());
        FindButton(users, "ExitButton")->click();
    });
    seam.ExpectDialog("AddEditForm", [](QDialog& form) {
        EXPECT_EQ(form.windowTitle(), CatText("ADD_CLIENT_FORM_CAP"));
        EXPECT_EQ(FindButton(form, "OKButton")->text(), CatText("EDIT_CLIENT_ADD_BTN_CAP"));
        FillUser(form, "admin ", "a", "a");
    });
    seam.ExpectDialog("AddEditForm", [](QDialog& form) {
        EXPECT_EQ(Child<QLineEdit>(form, "NameEdit")->text(), "admin ");
        EXPECT_EQ(Child<QLineEdit>(form, "PasswordEdit")->text(), "a");
        FillUser(form, "Petr", "one", "two");
    });
    seam.ExpectDialog("AddEditForm", [](QDialog& form) {
        EXPECT_EQ(Child<QLineEdit>(form, "NameEdit")->text(), "Petr");
        EXPECT_TRUE(Child<QLineEdit>(form, "PasswordEdit")->text().isEmpty());
        EXPECT_TRUE(Child<QLineEdit>(form, "ConfirmEdit")->text().isEmpty());
        Child<QPlainTextEdit>(form, "InfoMemo")->setPlainText("first\nsecond");
        FillUser(form, "Petr", " pw", "pw ");
    });
    seam.ExpectDialog("AddEditForm", [](QDialog& form) {
        EXPECT_EQ(form.windowTitle(), CatText("EDIT_CLIENT_FORM_CAP"));
        EXPECT_EQ(Child<QLineEdit>(form, "NameEdit")->text(), "Olga");
        Child<QPlainTextEdit>(form, "InfoMemo")->setPlainText("teacher");
        FillUser(form, "Olga", "", "");
    });
    seam.ExpectDialogButton("ConfirmForm", "YesButton");
    seam.ExpectDialogButton("ConfirmForm", "YesButton");
    window.findChild<QAction*>("UsersMenuItem")->trigger();

    EXPECT_EQ(seam.informations, QStringList({CatText("DOUBLE_NAME"), CatText("UNEXPECTED_PASSWORD")}));
    TUserTable& users = window.Store()->Users();
    ASSERT_EQ(users.Count(), 1);
    EXPECT_EQ(users.At(0).Id, 3);
    EXPECT_EQ(users.At(0).Name, "Petr");
    EXPECT_EQ(users.At(0).Password, "pw");
    EXPECT_EQ(users.At(0).Description, "first\r\nsecond");
    EXPECT_TRUE(window.Store()->IsModified());
}

TEST_F(ShellLogin, AChangeThatKeepsEverythingLeavesTheProjectUnmodified)
{
    TScriptedModalSeam seam;
    seam.ExpectDialog("InputForm", [](QDialog& login) { TypeLogin(login, "Olga", "secret"); });
    Open();
    ASSERT_TRUE(window.HasProject());
    seam.ExpectDialog("AllUsersForm", [](QDialog& users) {
        Child<QListWidget>(users, "ClientsListBox")->setCurrentRow(1);
        FindButton(users, "ChangeButton")->click();
        FindButton(users, "ChangeButton")->click();
    });
    seam.ExpectDialog("AddEditForm", [](QDialog& form) { FillUser(form, "Olga", "", ""); });
    seam.ExpectDialog("AddEditForm", [](QDialog& form) {
        // Renaming to another user's name is refused like adding one; Cancel then leaves it.
        FillUser(form, "admin", "", "");
    });
    seam.ExpectDialog("AddEditForm", [](QDialog& form) { FindButton(form, "CancelButton")->click(); });
    window.UsersOperations();
    EXPECT_EQ(seam.informations, QStringList({CatText("DOUBLE_NAME")}));
    ASSERT_EQ(window.Store()->Users().Count(), 2);
    EXPECT_EQ(window.Store()->Users().At(1).Name, "Olga");
    EXPECT_EQ(window.Store()->Users().At(1).Password, "secret");
    EXPECT_FALSE(window.Session().IsModified());
}

TEST(ShellLoginSwitch, ANewProjectSwitchedToLoginAsksForItAfterReopening)
{
    TShellSettings settings;
    TTempDir dir;
    TRecordingProgress progress;
    TSocMainForm window;
    TScriptedModalSeam seam;
    window.MenuItemProjectCreateClick();
    // Switching the login on asks for the password "admin" lacks; cancelling leaves the login off.
    seam.ExpectDialog("AllUsersForm", [](QDialog& users) {
        auto* login = Child<QCheckBox>(users, "LoginCheckBox");
        EXPECT_FALSE(login->isChecked());
        login->setChecked(true);
        EXPECT_FALSE(login->isChecked());
        login->setChecked(true);
        EXPECT_TRUE(login->isChecked());
    });
    seam.ExpectDialog("AddEditForm", [](QDialog& form) { form.reject(); });
    seam.ExpectDialog("AddEditForm", [](QDialog& form) { FillUser(form, "admin", "", ""); });
    seam.ExpectDialog("AddEditForm", [](QDialog& form) { FillUser(form, "admin", "gate", "gate"); });
    window.UsersOperations();
    EXPECT_TRUE(seam.AllConsumed());
    EXPECT_EQ(seam.informations, QStringList{CatText("LOGIN_NEEDS_PASSWORD")});
    EXPECT_TRUE(window.Store()->LoginRequired());
    const std::string path = dir.File("new.soi");
    window.Store()->SetFileName(path);
    ASSERT_TRUE(window.Session().Save());
    ASSERT_TRUE(window.MenuItemProjectCloseClick());

    seam.ExpectDialog("InputForm", [](QDialog& login) { TypeLogin(login, "admin", "gate"); });
    window.OpenProjectFile(QString::fromStdString(path));
    EXPECT_TRUE(window.HasProject());
}

} // namespace
