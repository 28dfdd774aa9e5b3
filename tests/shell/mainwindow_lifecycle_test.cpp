#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QRadioButton>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidgetItem>

#include "platform/helpviewer.h"
#include "settings/regstore.h"
#include "shell/objectstree.h"
#include "shell/socmain_f.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "views/choices/selectionform.h"

namespace {

// The real main window with quiet settings and a private folder for project files.
class ShellMainWindowLifecycle : public ::testing::Test {
protected:
    QAction* Action(const char* name) { return window.findChild<QAction*>(name); }

    void Trigger(const char* name)
    {
        QAction* action = Action(name);
        ASSERT_NE(action, nullptr) << name;
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
    }

    // Makes the project modified the way a user does: a new client group through the import API.
    void Modify() { window.Tree().AddClientGroup("Group " + QString::number(++m_groups), ""); }

    TShellSettings settings;
    TTempDir dir;
    TRecordingProgress progress;
    TRecordingMessages messages;
    TSocMainForm window;

private:
    int m_groups = 0;
};

TEST_F(ShellMainWindowLifecycle, CreateSaveAsCloseAndReopenFromRecentList)
{
    TScriptedModalSeam seam;
    EXPECT_FALSE(window.HasProject());
    EXPECT_FALSE(Action("MenuItemProjectSave")->isEnabled());
    EXPECT_FALSE(Action("MenuItemProjectClose")->isEnabled());

    Trigger("MenuItemProjectCreate");
    ASSERT_TRUE(window.HasProject());
    ASSERT_TRUE(window.Store()->Users().FindById(1));
    EXPECT_EQ(window.Store()->Users().GetName(), "admin");
    EXPECT_EQ(window.Store()->Users().GetPassword(), "");
    EXPECT_EQ(window.Tree().topLevelItemCount(), 1);
    EXPECT_EQ(window.windowTitle(), CatText("MAIN_WINDOW_CAPTION") + "[*]");
    Modify();

    // No extension: ".soi" is appended.
    const std::string base = dir.File("class");
    seam.ExpectSaveFile(QString::fromStdString(base));
    Trigger("MenuItemProjectSave");
    const std::string saved = base + ".soi";
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(window.Store()->FileName(), saved);
    EXPECT_FALSE(window.Store()->IsModified());
    EXPECT_FALSE(Action("MenuItemProjectSave")->isEnabled());
    EXPECT_EQ(window.windowTitle(), CatText("MAIN_WINDOW_CAPTION") + " (" + QString::fromStdString(saved) + ")[*]");
    EXPECT_EQ(TShellSettings::Recent().front(), saved);

    Trigger("MenuItemProjectClose");
    EXPECT_FALSE(window.HasProject());
    EXPECT_EQ(window.Tree().topLevelItemCount(), 0);

    QAction* first = Action("MenuItemProject1");
    ASSERT_TRUE(first->isVisible());
    EXPECT_EQ(first->data().toString(), QString::fromStdString(saved));
    first->trigger();
    ASSERT_TRUE(window.HasProject());
    EXPECT_NE(NodeOf(window.Tree(), TNodeKind::ClientGroup, "Group 1"), nullptr);
    EXPECT_TRUE(seam.informations.isEmpty());
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(ShellMainWindowLifecycle, SaveAsAppendsLowerCaseExtensionUnlessExactlyPresent)
{
    TScriptedModalSeam seam;
    Trigger("MenuItemProjectCreate");
    seam.ExpectSaveFile(QString::fromStdString(dir.File("UPPER.SOI")));
    Trigger("MenuItemProjectSaveAs");
    EXPECT_TRUE(std::filesystem::exists(dir.File("UPPER.SOI.soi")));
    seam.ExpectSaveFile(QString::fromStdString(dir.File("plain.soi")));
    Trigger("MenuItemProjectSaveAs");
    EXPECT_TRUE(std::filesystem::exists(dir.File("plain.soi")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("plain.soi.soi")));
    const auto recent = TShellSettings::Recent();
    ASSERT_GE(recent.size(), 2U);
    EXPECT_EQ(recent[0], dir.File("plain.soi"));
    EXPECT_EQ(recent[1], dir.File("UPPER.SOI.soi"));
}

TEST_F(ShellMainWindowLifecycle, FailedSaveIsNotReportedAsSuccessAndKeepsTheProject)
{
    TScriptedModalSeam seam;
    Trigger("MenuItemProjectCreate");
    Modify();
    seam.ExpectSaveFile(QString::fromStdString(dir.File("missing-folder/p.soi")));
    Trigger("MenuItemProjectSaveAs");
    ASSERT_EQ(messages.texts.size(), 1U) << "the store reports its failure once";
    // It names the file and the system's reason, not a damaged project.
    EXPECT_NE(messages.texts[0].find(dir.File("missing-folder/p.soi")), std::string::npos) << messages.texts[0];
    EXPECT_NE(messages.texts[0].find(std::strerror(ENOENT)), std::string::npos) << messages.texts[0];
    EXPECT_EQ(messages.texts[0].find(CatText("FILE_VIOLATED_MSG").toStdString()), std::string::npos);
    EXPECT_EQ(window.Store()->FileName(), "") << "the project keeps its old name";
    EXPECT_TRUE(window.Store()->IsModified());
    EXPECT_TRUE(TShellSettings::Recent().empty());

    // Closing asks; Yes with a failing save keeps the project open.
    seam.ExpectDialogButton("DialogForm", "Button0");
    seam.ExpectSaveFile(QString::fromStdString(dir.File("missing-folder/q.soi")));
    EXPECT_FALSE(window.MenuItemProjectCloseClick());
    EXPECT_TRUE(window.HasProject());
}

TEST_F(ShellMainWindowLifecycle, CloseAsksToSaveModifiedProject)
{
    TScriptedModalSeam seam;
    Trigger("MenuItemProjectCreate");
    seam.ExpectSaveFile(QString::fromStdString(dir.File("p.soi")));
    Trigger("MenuItemProjectSaveAs");
    const std::string before = ReadFileBytes(dir.File("p.soi"));

    // No: closed without saving.
    Modify();
    seam.ExpectDialog("DialogForm", [](QDialog& box) {
        EXPECT_EQ(box.windowTitle(), CatText("PROJECT_CONFIRMSAVEDIALOG_TITLE"));
        FindButton(box, "Button1")->click();
    });
    Trigger("MenuItemProjectClose");
    EXPECT_FALSE(window.HasProject());
    EXPECT_EQ(ReadFileBytes(dir.File("p.soi")), before);

    // Yes: saved under its name, no file dialog.
    window.OpenProjectFile(QString::fromStdString(dir.File("p.soi")));
    Modify();
    seam.ExpectDialogButton("DialogForm", "Button0");
    Trigger("MenuItemProjectClose");
    EXPECT_FALSE(window.HasProject());
    EXPECT_NE(ReadFileBytes(dir.File("p.soi")), before);

    // Yes on a project without a name asks for one; cancelling it keeps the project open.
    Trigger("MenuItemProjectCreate");
    Modify();
    seam.ExpectDialogButton("DialogForm", "Button0");
    seam.ExpectSaveFile(QString());
    Trigger("MenuItemProjectClose");
    EXPECT_TRUE(window.HasProject());
}

TEST_F(ShellMainWindowLifecycle, OpeningAnotherProjectClosesTheOpenOneFirst)
{
    TScriptedModalSeam seam;
    Trigger("MenuItemProjectCreate");
    Modify();
    seam.ExpectDialogButton("DialogForm", "Button1"); // do not save
    seam.ExpectOpenFile(QString::fromStdString(SampleProjectPath()));
    Trigger("MenuItemProjectOpen");
    ASSERT_TRUE(window.HasProject());
    EXPECT_EQ(NodeOf(window.Tree(), TNodeKind::ClientGroup, "Group 1"), nullptr);
    EXPECT_NE(NodeOf(window.Tree(), TNodeKind::ClientGroup, "Chess club"), nullptr);
    EXPECT_EQ(TShellSettings::Recent().front(),
              std::filesystem::absolute(SampleProjectPath()).lexically_normal().string());
}

TEST_F(ShellMainWindowLifecycle, RecentEntryOfMissingFileIsRemovedWithMessage)
{
    Regs().AddRecentProject(SampleProjectPath());
    Regs().AddRecentProject(dir.File("gone.soi"));
    window.RefreshRecentMenu();
    TScriptedModalSeam seam;
    Action("MenuItemProject1")->trigger();
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_EQ(seam.informations[0],
              CatText("PROJECT_NO_FILE") + "\n" + QDir::toNativeSeparators(QString::fromStdString(dir.File("gone.soi"))));
    EXPECT_FALSE(window.HasProject());
    ASSERT_EQ(TShellSettings::Recent().size(), 1U);
    EXPECT_EQ(Action("MenuItemProject1")->data().toString(), QString::fromStdString(SampleProjectPath()));
    EXPECT_FALSE(Action("MenuItemProject2")->isVisible());
}

TEST_F(ShellMainWindowLifecycle, RecentMenuIsTrimmedToTheSetting)
{
    for (int i = 1; i <= 5; ++i)
        Regs().AddRecentProject(dir.File("p" + std::to_string(i) + ".soi"));
    QMenu* openAgain = window.findChild<QMenu*>("MenuItemOpenAgain");
    ASSERT_NE(openAgain, nullptr);

    Regs().Root.NumOfLastOpenedProjects = 2;
    window.RefreshRecentMenu();
    EXPECT_TRUE(openAgain->menuAction()->isVisible());
    EXPECT_TRUE(Action("MenuItemProject1")->isVisible());
    EXPECT_TRUE(Action("MenuItemProject2")->isVisible());
    EXPECT_FALSE(Action("MenuItemProject3")->isVisible());
    EXPECT_EQ(Action("MenuItemProject1")->data().toString(), QString::fromStdString(dir.File("p5.soi")));

    Regs().Root.NumOfLastOpenedProjects = 10;
    window.RefreshRecentMenu();
    EXPECT_TRUE(Action("MenuItemProject5")->isVisible());
    EXPECT_FALSE(Action("MenuItemProject6")->isVisible());

    Regs().Root.NumOfLastOpenedProjects = 0;
    window.RefreshRecentMenu();
    EXPECT_FALSE(openAgain->menuAction()->isVisible());
}

TEST_F(ShellMainWindowLifecycle, ExitWithConfirmationAnsweredNoKeepsEverythingOpen)
{
    Regs().Root.ShowExitConfirmation = true;
    TScriptedModalSeam seam;
    Trigger("MenuItemProjectCreate");
    seam.ExpectDialog("DialogForm", [](QDialog& box) {
        EXPECT_EQ(box.windowTitle(), CatText("MESSAGE_DLG_TITLE"));
        FindButton(box, "Button1")->click();
    });
    EXPECT_FALSE(window.FormClose());
    EXPECT_TRUE(window.HasProject());

    // Yes, then the save question of the new project, answered No.
    seam.ExpectDialogButton("DialogForm", "Button0");
    seam.ExpectDialogButton("DialogForm", "Button1");
    EXPECT_TRUE(window.FormClose());
    EXPECT_FALSE(window.HasProject());
}

TEST_F(ShellMainWindowLifecycle, SaveWritesTheChoicesOfAnOpenChoicesWindowToo)
{
    const std::string copy = dir.File("class.soi");
    std::filesystem::copy_file(SampleProjectPath(), copy);
    TScriptedModalSeam seam;
    window.OpenProjectFile(QString::fromStdString(copy));
    ASSERT_TRUE(window.HasProject());
    window.Tree().setCurrentItem(
        NodeOf(window.Tree(), TNodeKind::Investigation, "Desk neighbours, September"));
    Trigger("ChoicesMenuItem");
    auto* choices = window.MdiArea().findChild<TSelectionForm*>();
    ASSERT_NE(choices, nullptr);
    seam.ExpectDialogButton("DialogForm", "Button0"); // Yes, clear them
    choices->ClearAll();
    ASSERT_FALSE(window.Store()->IsModified());
    Trigger("MenuItemProjectSave");
    EXPECT_FALSE(choices->IsModified());
    EXPECT_FALSE(window.Store()->IsModified());
    TFileAccess reread(copy);
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.CountForChoices(1), 0);
    EXPECT_GT(reread.CountForChoices(2), 0) << "other investigations keep theirs";
    EXPECT_TRUE(seam.informations.isEmpty());
}

TEST_F(ShellMainWindowLifecycle, KeepingChangedChoicesOnCloseKeepsEveryViewOpen)
{
    const std::string copy = dir.File("class.soi");
    std::filesystem::copy_file(SampleProjectPath(), copy);
    TScriptedModalSeam seam;
    window.OpenProjectFile(QString::fromStdString(copy));
    ASSERT_TRUE(window.HasProject());
    window.Tree().setCurrentItem(NodeOf(window.Tree(), TNodeKind::Investigation, "Desk neighbours, September"));
    Trigger("ChoicesMenuItem");
    window.Tree().setCurrentItem(NodeOf(window.Tree(), TNodeKind::Investigation, "Desk neighbours, September"));
    Trigger("GraphMenuItem");
    ASSERT_EQ(window.MdiArea().subWindowList().size(), 2);
    auto* choices = window.MdiArea().findChild<TSelectionForm*>();
    ASSERT_NE(choices, nullptr);
    seam.ExpectDialogButton("DialogForm", "Button0");
    choices->ClearAll();

    // Escape on the choices window's question: the project and both of its windows stay.
    seam.ExpectDialog("DialogForm", [](QDialog& box) { box.reject(); });
    EXPECT_FALSE(window.MenuItemProjectCloseClick());
    EXPECT_TRUE(window.HasProject());
    EXPECT_EQ(window.MdiArea().subWindowList().size(), 2);
    EXPECT_TRUE(choices->IsModified());

    // No to the choices, No to the project: everything closes.
    seam.ExpectDialogButton("DialogForm", "Button1");
    seam.ExpectDialogButton("DialogForm", "Button1");
    EXPECT_TRUE(window.MenuItemProjectCloseClick());
    EXPECT_FALSE(window.HasProject());
    EXPECT_TRUE(seam.AllConsumed());
}

TEST_F(ShellMainWindowLifecycle, TreePaneWidthComesBackFromTheSettings)
{
    TScriptedModalSeam seam;
    Regs().SocMain.ObjectsTreeWidth = 345;
    {
        TSocMainForm second;
        second.show();
        QCoreApplication::processEvents();
        auto* splitter = second.findChild<QSplitter*>("SocTreeSplitter");
        ASSERT_NE(splitter, nullptr);
        EXPECT_EQ(splitter->sizes().front(), 345);
        splitter->setSizes({410, 600});
        ASSERT_TRUE(second.FormClose());
    }
    EXPECT_EQ(Regs().SocMain.ObjectsTreeWidth, 410);
}

TEST_F(ShellMainWindowLifecycle, TutorialOpensAtTheFirstStartOnly)
{
    TScriptedModalSeam seam;
    Regs().Root.ShowTutorial = true;
    Regs().Root.IsStartingForm = false;
    if (HelpWindow())
        HelpWindow()->close();
    QCoreApplication::processEvents();
    window.RunStartupAction();
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    EXPECT_FALSE(Regs().Root.ShowTutorial) << "the next start opens no help by itself";
    HelpWindow()->close();
    QCoreApplication::processEvents();
    TSocMainForm second;
    second.RunStartupAction();
    EXPECT_TRUE(HelpWindow() == nullptr || !HelpWindow()->isVisible());
}

TEST_F(ShellMainWindowLifecycle, SaveAndOpenHaveTheirUsualKeysAndNoKeyIsTakenTwice)
{
    EXPECT_EQ(Action("MenuItemProjectSave")->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(Action("MenuItemProjectOpen")->shortcut(), QKeySequence(QKeySequence::Open));
    std::map<QString, QString> owners;
    for (QAction* action : window.findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts()) {
            const auto [it, fresh] = owners.emplace(key.toString(), action->objectName());
            EXPECT_TRUE(fresh) << key.toString().toStdString() << " on " << it->second.toStdString() << " and "
                               << action->objectName().toStdString();
        }
    }
}

TEST_F(ShellMainWindowLifecycle, ExitWithoutConfirmationStoresWindowStateAndToolBars)
{
    TScriptedModalSeam seam; // no dialog expected: no project, no question
    window.setGeometry(120, 90, 900, 650);
    window.ToolBars()[3]->setVisible(false); // View
    Action("ExitMenuItem")->trigger();
    const TSocMainRegs& regs = Regs().SocMain;
    EXPECT_EQ(regs.Left, 120);
    EXPECT_EQ(regs.Top, 90);
    EXPECT_EQ(regs.Width, 900);
    EXPECT_EQ(regs.Height, 650);
    EXPECT_FALSE(regs.IsMaxim);
    EXPECT_FALSE(regs.IsToolbarView);
    EXPECT_TRUE(regs.IsToolbarProject);
    EXPECT_GT(regs.ObjectsTreeWidth, 0);

    // Through the settings file, as across a restart.
    TRegStore file(dir.File("settings.json"));
    ASSERT_TRUE(Regs().Save(file));
    TRegStore reread(dir.File("settings.json"));
    TRegs restarted;
    restarted.Load(reread);
    EXPECT_EQ(restarted.SocMain, Regs().SocMain);

    // A new window takes them back.
    TSocMainForm again;
    EXPECT_EQ(again.geometry(), QRect(120, 90, 900, 650));
    EXPECT_TRUE(again.ToolBars()[3]->isHidden());
    EXPECT_FALSE(again.findChild<QAction*>("ToolbarsViewMenuItem")->isChecked());
    EXPECT_TRUE(again.findChild<QAction*>("ToolbarsFileMenuItem")->isChecked());
}

TEST_F(ShellMainWindowLifecycle, FileThatIsNoProjectLeavesTremlowRunningWithoutAProject)
{
    TScriptedModalSeam seam;
    WriteFileBytes(dir.File("bad.soi"), "[CLIENT_GROUPS]\r\nFIELD_NUMS=x\r\n");
    window.OpenProjectFile(QString::fromStdString(dir.File("bad.soi")));
    // One error box saying which file and where: the line, and what was expected there.
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_TRUE(messages.texts.empty());
    for (const QString& part : {QString::fromStdString(dir.File("bad.soi")), CatText("ERROR_PLACE_LINE") + ": 2",
                                CatText("PROJECT_EXPECTED_COLUMNS")})
        EXPECT_TRUE(seam.informations[0].contains(part)) << part.toStdString();
    EXPECT_FALSE(window.HasProject());
    EXPECT_EQ(window.Tree().topLevelItemCount(), 0);
    EXPECT_TRUE(TShellSettings::Recent().empty());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(Action("MenuItemProjectOpen")->isEnabled());
    EXPECT_FALSE(Action("MenuItemProjectClose")->isEnabled());
    EXPECT_TRUE(seam.AllConsumed());

    // Tremlow goes on: the next project opens as usual.
    seam.ExpectSaveFile(QString::fromStdString(dir.File("good")));
    Trigger("MenuItemProjectCreate");
    Trigger("MenuItemProjectSaveAs");
    ASSERT_TRUE(window.MenuItemProjectCloseClick());
    window.OpenProjectFile(QString::fromStdString(dir.File("good.soi")));
    EXPECT_TRUE(window.HasProject());
}

TEST_F(ShellMainWindowLifecycle, SaveAsAsksBeforeReplacingTheFileTheExtensionNames)
{
    TScriptedModalSeam seam;
    const std::string victim = dir.File("victim.soi");
    WriteFileBytes(victim, "precious");
    Trigger("MenuItemProjectCreate");
    Modify();

    // No, and closing the question, keep the file; the project stays unnamed and modified.
    for (const bool closeIt : {false, true}) {
        seam.ExpectSaveFile(QString::fromStdString(dir.File("victim")));
        seam.ExpectDialog("DialogForm", [closeIt](QDialog& box) {
            auto* caption = box.findChild<QLabel*>("cap");
            ASSERT_NE(caption, nullptr);
            EXPECT_TRUE(caption->text().startsWith("victim.soi: ")) << caption->text().toStdString();
            if (!closeIt)
                FindButton(box, "Button1")->click();
        });
        Trigger("MenuItemProjectSaveAs");
        EXPECT_EQ(ReadFileBytes(victim), "precious");
        EXPECT_EQ(window.Store()->FileName(), "");
        EXPECT_TRUE(window.Store()->IsModified());
    }

    // Yes replaces it.
    seam.ExpectSaveFile(QString::fromStdString(dir.File("victim")));
    seam.ExpectDialogButton("DialogForm", "Button0");
    Trigger("MenuItemProjectSaveAs");
    EXPECT_NE(ReadFileBytes(victim), "precious");
    EXPECT_EQ(window.Store()->FileName(), victim);

    // A name the dialog already checked is not asked about again.
    seam.ExpectSaveFile(QString::fromStdString(victim));
    Trigger("MenuItemProjectSaveAs");
    EXPECT_TRUE(seam.AllConsumed());
    EXPECT_TRUE(seam.dialogsShown.count("DialogForm") == 3);
}

TEST_F(ShellMainWindowLifecycle, SaveQuestionClosedWithoutAnAnswerKeepsTheProject)
{
    TScriptedModalSeam seam;
    Trigger("MenuItemProjectCreate");
    seam.ExpectSaveFile(QString::fromStdString(dir.File("p.soi")));
    Trigger("MenuItemProjectSaveAs");
    Modify();
    const std::string before = ReadFileBytes(dir.File("p.soi"));

    // The box closed by its close button or Escape: nothing is saved and nothing is lost.
    seam.ExpectDialog("DialogForm", [](QDialog&) {});
    Trigger("MenuItemProjectClose");
    EXPECT_TRUE(window.HasProject());
    EXPECT_TRUE(window.Store()->IsModified());
    EXPECT_EQ(ReadFileBytes(dir.File("p.soi")), before);

    seam.ExpectDialog("DialogForm", [](QDialog& box) {
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.HasProject());
    EXPECT_TRUE(window.Store()->IsModified());
}

TEST_F(ShellMainWindowLifecycle, ProjectAskingForLoginStaysClosed)
{
    std::string text = ReadFileBytes(SampleProjectPath());
    const std::string flag = "IS_AUTHOR=0";
    text.replace(text.find(flag), flag.size(), "IS_AUTHOR=1");
    WriteFileBytes(dir.File("guarded.soi"), text);
    TScriptedModalSeam seam;
    seam.ExpectDialogButton("InputForm", "CancelButton");
    window.OpenProjectFile(QString::fromStdString(dir.File("guarded.soi")));
    EXPECT_FALSE(window.HasProject());
    EXPECT_EQ(window.Tree().topLevelItemCount(), 0);
    EXPECT_TRUE(seam.informations.isEmpty());
    EXPECT_TRUE(TShellSettings::Recent().empty());
}

TEST(ShellMainWindowChildren, ChildClosedButNotYetDeletedGoesWhileTheMainWindowIsWhole)
{
    TShellSettings settings;
    TRecordingProgress progress;
    TScriptedModalSeam seam;
    auto window = std::make_unique<TSocMainForm>();
    window->OpenProjectFile(QString::fromStdString(SampleProjectPath()));
    window->Tree().setCurrentItem(NodeOf(window->Tree(), TNodeKind::Investigation));
    window->findChild<QAction*>("ChoicesMenuItem")->trigger();
    ASSERT_EQ(window->MdiArea().subWindowList().size(), 1);
    QPointer<QMdiSubWindow> child = window->MdiArea().subWindowList().front();
    // Closed, its deletion left to an event loop that does not run before the main window goes.
    child->close();
    ASSERT_FALSE(child.isNull());

    // Its Window-menu bookkeeping runs when it is deleted, so that must happen before the main
    // window's own parts are gone.
    TSocMainForm* raw = window.get();
    bool whole = false;
    QObject::connect(child, &QObject::destroyed, [raw, &whole] { whole = qobject_cast<TSocMainForm*>(raw) != nullptr; });
    window.reset();
    EXPECT_TRUE(child.isNull());
    EXPECT_TRUE(whole);
}

TEST_F(ShellMainWindowLifecycle, StartupActionOpensCommandLineProjectOrSaysItIsMissing)
{
    TScriptedModalSeam seam;
    Regs().Root.IsStartingForm = true; // a command-line argument wins over the start-up window
    const QString missing = QString::fromStdString(dir.File("nothing.soi"));
    window.SetCommandLineProject("  " + missing + " ");
    window.RunStartupAction();
    EXPECT_FALSE(window.HasProject());
    // Never in the recent list, so the message does not claim it was taken out of it.
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_EQ(seam.informations[0], CatText("PROJECT_FILE_NOT_FOUND") + "\n" + QDir::toNativeSeparators(missing));
    EXPECT_TRUE(seam.dialogsShown.isEmpty()) << "no start-up window after a command-line argument";
    EXPECT_FALSE(window.IsStarting());

    // A folder is called a folder, not a missing file.
    seam.informations.clear();
    const QString folder = QString::fromStdString(dir.File("folder"));
    std::filesystem::create_directory(folder.toStdString());
    TSocMainForm third;
    third.SetCommandLineProject(folder);
    third.RunStartupAction();
    EXPECT_FALSE(third.HasProject());
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_EQ(seam.informations[0], CatText("PROJECT_IS_FOLDER") + "\n" + QDir::toNativeSeparators(folder));

    TSocMainForm second;
    second.SetCommandLineProject(QString::fromStdString(SampleProjectPath()));
    second.RunStartupAction();
    EXPECT_TRUE(second.HasProject());
    second.RunStartupAction(); // only once
}

TEST_F(ShellMainWindowLifecycle, StartupWindowOffersTheRightActions)
{
    Regs().Root.IsStartingForm = true;
    TScriptedModalSeam seam;
    // No recent project: "Open last" is disabled and "Create new" chosen; OK without the check.
    seam.ExpectDialog("FormStarting", [](QDialog& form) {
        EXPECT_FALSE(form.findChild<QRadioButton*>("RadioButtonOpenLast")->isEnabled());
        EXPECT_TRUE(form.findChild<QRadioButton*>("RadioButtonCreateNew")->isChecked());
        EXPECT_FALSE(form.findChild<QLineEdit*>("EditFile")->isEnabled());
        form.findChild<QCheckBox*>("CheckBoxShowAtStartUp")->setChecked(false);
        FindButton(form, "ButtonOK")->click();
    });
    window.RunStartupAction();
    EXPECT_TRUE(window.HasProject());
    EXPECT_FALSE(Regs().Root.IsStartingForm);

    // A path typed into the file box opens that file; Cancel leaves the setting alone.
    Regs().Root.IsStartingForm = true;
    TSocMainForm second;
    seam.ExpectDialog("FormStarting", [](QDialog& form) {
        form.findChild<QRadioButton*>("RadioButtonOpenExisting")->setChecked(true);
        QAbstractButton* ok = FindButton(form, "ButtonOK");
        EXPECT_FALSE(ok->isEnabled());
        form.findChild<QLineEdit*>("EditFile")->setText(QString::fromStdString(SampleProjectPath()));
        EXPECT_TRUE(ok->isEnabled());
        ok->click();
    });
    second.RunStartupAction();
    EXPECT_TRUE(second.HasProject());

    TSocMainForm third;
    seam.ExpectDialog("FormStarting", [](QDialog& form) {
        EXPECT_TRUE(form.findChild<QRadioButton*>("RadioButtonOpenLast")->isChecked());
        FindButton(form, "ButtonCancel")->click();
    });
    third.RunStartupAction();
    EXPECT_FALSE(third.HasProject());
    EXPECT_TRUE(Regs().Root.IsStartingForm);
}

} // namespace
