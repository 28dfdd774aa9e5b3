#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidgetItem>
#include <QtTest/QTest>

#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "shell/objectstree.h"
#include "shell/socmain_f.h"
#include "shell/splashform.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/ui/scriptedseam.h"
#include "views/choices/selectionform.h"
#include "views/target/targetform.h"

namespace {

// The main window with the sample project open.
class ShellMainWindowCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.OpenProjectFile(QString::fromStdString(SampleProjectPath()));
        ASSERT_TRUE(window.HasProject());
    }

    QAction* Action(const char* name)
    {
        QAction* action = window.findChild<QAction*>(name);
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    bool Enabled(const char* name) { return Action(name)->isEnabled(); }

    void Select(TNodeKind kind, const QString& name = {})
    {
        QTreeWidgetItem* node = NodeOf(window.Tree(), kind, name);
        ASSERT_NE(node, nullptr);
        window.Tree().setCurrentItem(node);
    }

    QString Status() { return window.findChild<QLabel*>("StatusPanel")->text(); }

    // The window on screen and active, with the sample's chess club investigation selected: keys
    // then reach it as they reach a user's window.
    bool ShowWithChessClubSelected()
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        Select(TNodeKind::Investigation, "Chess club: homework help");
        return true;
    }

    TShellSettings settings;
    TRecordingProgress progress;
    TSocMainForm window;
};

// Every tool button is enabled and pressed exactly as its menu item.
void ExpectButtonsFollowMenu(TSocMainForm& window)
{
    const auto buttons = window.findChildren<QToolButton*>();
    int checked = 0;
    for (QToolButton* button : buttons) {
        if (!button->objectName().startsWith("SpeedButton"))
            continue;
        ++checked;
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_FALSE(button->icon().isNull());
        QAction* command = nullptr;
        // The button runs the command whose shortcut-free twin is in a menu: compare by picture key.
        for (QAction* action : window.findChildren<QAction*>()) {
            if (!action->icon().isNull() && action->icon().cacheKey() == button->icon().cacheKey())
                command = action;
        }
        ASSERT_NE(command, nullptr);
        EXPECT_EQ(button->isEnabled(), command->isEnabled());
        if (button->isCheckable()) {
            EXPECT_EQ(button->isChecked(), command->isChecked());
        }
    }
    EXPECT_EQ(checked, 34);
}

TEST(ShellMainWindowNoProject, OnlyCreateAndOpenAreAvailable)
{
    TShellSettings settings;
    TSocMainForm window;
    for (QAction* action : window.findChildren<QAction*>()) {
        const QString name = action->objectName();
        if (!name.startsWith("MenuItemProject") && !name.endsWith("MenuItem") && !name.startsWith("MenuItem"))
            continue;
        const bool always = name == "MenuItemProjectCreate" || name == "MenuItemProjectOpen" ||
                            name == "ExitMenuItem" || name.startsWith("Toolbars") || name == "ParametersMenuItem" ||
                            name == "CascadeMenuItem" || name == "TileMenuItem" || name.startsWith("Help") ||
                            name == "MenuItemHomepage" || name == "MenuItemSupportPage" || name == "AboutMenuItem" ||
                            (name.startsWith("MenuItemProject") && name.size() <= 17);
        if (!always && name != "PositiveMenuItem") {
            EXPECT_FALSE(action->isEnabled()) << name.toStdString();
        }
    }
    EXPECT_TRUE(window.findChild<QAction*>("MenuItemProjectCreate")->isEnabled());
    EXPECT_TRUE(window.findChild<QAction*>("MenuItemProjectOpen")->isEnabled());
    EXPECT_EQ(window.windowTitle(), CatText("MAIN_WINDOW_CAPTION"));
    ExpectButtonsFollowMenu(window);
}

TEST_F(ShellMainWindowCommands, ObjectCommandsFollowTheNodeKind)
{
    struct TCase {
        TNodeKind kind;
        bool exportOn, create, change, views;
    };
    const TCase cases[] = {
        {TNodeKind::Project, false, false, false, false},
        {TNodeKind::ClientGroups, false, true, false, false},
        {TNodeKind::ClientGroup, true, true, true, false},
        {TNodeKind::Client, false, false, true, false},
        {TNodeKind::Criteria, false, true, false, false},
        {TNodeKind::CriteriaGroup, false, true, true, false},
        {TNodeKind::Criterion, false, false, true, false},
        {TNodeKind::Investigations, false, true, false, false},
        {TNodeKind::Investigation, false, false, true, true},
    };
    for (const TCase& c : cases) {
        Select(c.kind);
        SCOPED_TRACE(static_cast<int>(c.kind));
        const TObjectCaptionKeys keys = ObjectCaptionKeys(c.kind);
        EXPECT_EQ(Action("CreateObjectMenuItem")->text(), CatText(keys.Create));
        EXPECT_EQ(Action("ChangeObjectMenuItem")->text(), CatText(keys.Change));
        EXPECT_EQ(Action("DeleteObjectMenuItem")->text(), CatText(keys.Remove));
        EXPECT_EQ(window.findChild<QToolButton*>("SpeedButtonCreateNode")->toolTip(),
                  CatText(keys.Create).remove('&'));
        EXPECT_TRUE(Enabled("ImportClientGroupMenuItem"));
        EXPECT_EQ(Enabled("ExportClientGroupMenuItem"), c.exportOn);
        EXPECT_EQ(Enabled("CreateObjectMenuItem"), c.create);
        EXPECT_EQ(Enabled("ChangeObjectMenuItem"), c.change);
        EXPECT_EQ(Enabled("DeleteObjectMenuItem"), c.change);
        EXPECT_EQ(Enabled("ReportNodeMenuItem"), c.change);
        for (const char* name : {"ChoicesMenuItem", "IndexMenuItem", "GraphMenuItem", "TargetMenuItem",
                                 "MenuItemCard", "MenuItemMatrix"})
            EXPECT_EQ(Enabled(name), c.views) << name;
        for (const char* name : {"MenuItemProjectSaveAs", "MenuItemProjectClose", "UsersMenuItem", "FindMenuItem",
                                 "ReportClientGroupMenuItem", "ReportClientMenuItem", "ReportCriteryGroupMenuItem",
                                 "ReportCriteryMenuItem", "ReportInvestigationMenuItem"})
            EXPECT_TRUE(Enabled(name)) << name;
        // No view is open: the view commands stay off.
        for (const char* name : {"PositiveMenuItem", "NegativeMenuItem", "AnyChoicesMenuItem", "SaveChoicesMenuItem",
                                 "ClearAllChoicesMenuItem", "PrintMenuItem"})
            EXPECT_FALSE(Enabled(name)) << name;
        EXPECT_FALSE(Enabled("MenuItemProjectSave"));
        EXPECT_FALSE(Enabled("FindNextItem"));
        ExpectButtonsFollowMenu(window);
    }
}

TEST_F(ShellMainWindowCommands, StatusBarDescribesTheCurrentNode)
{
    Select(TNodeKind::Project);
    EXPECT_EQ(Status(), CatText("MAIN_NODE_TITLE"));
    Select(TNodeKind::ClientGroup, "Class 7B, Riverside School");
    EXPECT_EQ(Status(), CatText("CLIENTGROUP_NAME") + ": Class 7B, Riverside School   " +
                            CatText("NUM_CLIENTS_IN_GROUP") + ": 16   " + CatText("NUM_INVESTIGATIONS") + ": 3");
    Select(TNodeKind::Client, "Aaron Patel");
    EXPECT_EQ(Status(), CatText("CLIENT_NAME") + ": Aaron Patel   " + CatText("NUM_INVESTIGATIONS") + ": 1");
    Select(TNodeKind::CriteriaGroup, "Leisure");
    EXPECT_EQ(Status(), CatText("CRITERYGROUP_NAME") + ": Leisure   " + CatText("NUM_CRITERIONS_IN_GROUP") + ": 3");
    Select(TNodeKind::Criterion, "With whom would you like to go to the cinema?");
    EXPECT_TRUE(Status().endsWith(CatText("NUM_INVESTIGATIONS") + ": 0"));
    Select(TNodeKind::Investigation, "Desk neighbours, September");
    EXPECT_EQ(Status(), CatText("INVESTIGATION_NAME") + ": Desk neighbours, September   " +
                            CatText("INVEST_MAX_CHOICES") + ": 3   " + CatText("INVEST_ENABLE_AGAINST") + ": " +
                            CatText("POS_CONFIRM"));
    Select(TNodeKind::Investigation, "Chess club: homework help");
    EXPECT_TRUE(Status().endsWith(": " + CatText("NEG_CONFIRM")));
}

TEST_F(ShellMainWindowCommands, RemovalThroughMenuIsRefusedForObjectsInUse)
{
    Select(TNodeKind::ClientGroup, "Chess club");
    TScriptedModalSeam seam;
    Action("DeleteObjectMenuItem")->trigger();
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_TRUE(seam.informations[0].startsWith(CatText("CLIENTGROUP_IS_IN_INVESTS")));
    EXPECT_FALSE(Enabled("MenuItemProjectSave"));

    Select(TNodeKind::Investigation, "Chess club: homework help");
    seam.ExpectDialogButton("DialogForm", "Button0");
    Action("DeleteObjectMenuItem")->trigger();
    EXPECT_EQ(NodeOf(window.Tree(), TNodeKind::Investigation, "Chess club: homework help"), nullptr);
    EXPECT_TRUE(Enabled("MenuItemProjectSave")) << "a removal marks the project modified";

    // Now the group is free.
    Select(TNodeKind::ClientGroup, "Chess club");
    seam.ExpectDialogButton("DialogForm", "Button0");
    Action("DeleteObjectMenuItem")->trigger();
    EXPECT_EQ(NodeOf(window.Tree(), TNodeKind::ClientGroup, "Chess club"), nullptr);
    EXPECT_EQ(seam.informations.size(), 1);
}

TEST_F(ShellMainWindowCommands, FindAndFindNextUseTheRememberedSearch)
{
    TScriptedModalSeam seam;
    EXPECT_FALSE(Enabled("FindNextItem"));
    seam.ExpectDialog("FindForm", [](QDialog& form) {
        auto* edit = form.findChild<QWidget*>("ObjectEdit");
        ASSERT_NE(edit, nullptr);
        edit->setProperty("text", "  jack kelly ");
        FindButton(form, "FindButton")->click();
    });
    Action("FindMenuItem")->trigger();
    ASSERT_EQ(window.Tree().CurrentKind(), TNodeKind::Client);
    EXPECT_EQ(window.Tree().CurrentIds().ParentId, 1);
    EXPECT_EQ(window.FindState().Text, "jack kelly");
    EXPECT_TRUE(Enabled("FindNextItem"));

    Action("FindNextItem")->trigger();
    EXPECT_EQ(window.Tree().CurrentName(), "Jack Kelly");
    EXPECT_EQ(window.Tree().CurrentIds().ParentId, 2);
    EXPECT_TRUE(seam.informations.isEmpty());

    Action("FindNextItem")->trigger();
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_EQ(seam.informations[0], CatText("FIND_NO_OBJECT"));
    EXPECT_EQ(window.Tree().CurrentIds().ParentId, 2);

    // A project opened from the recent list starts without the old search.
    const QString path = QString::fromStdString(window.Store()->FileName());
    ASSERT_TRUE(window.MenuItemProjectCloseClick());
    window.OpenProjectFile(path);
    ASSERT_TRUE(window.HasProject());
    EXPECT_EQ(window.FindState().Text, "");
    EXPECT_FALSE(Enabled("FindNextItem"));
}

TEST_F(ShellMainWindowCommands, ChoicesWindowOpensOnceAndIsListedInWindowMenu)
{
    TScriptedModalSeam seam;
    Select(TNodeKind::Investigation, "Desk neighbours, September");
    Action("ChoicesMenuItem")->trigger();
    ASSERT_TRUE(seam.informations.isEmpty()) << seam.informations.join("\n").toStdString();
    ASSERT_EQ(window.MdiArea().subWindowList().size(), 1);
    EXPECT_EQ(window.ActiveViewKind(), TViewKind::Choices);
    EXPECT_TRUE(Enabled("SaveChoicesMenuItem"));
    EXPECT_TRUE(Enabled("ClearAllChoicesMenuItem"));
    EXPECT_TRUE(Enabled("PrintMenuItem"));
    EXPECT_FALSE(Enabled("PositiveMenuItem"));
    QAction* entry = window.findChild<QAction*>("ChildWindowMenu1");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), CatText("SELECTS_MENU_ADD") + " (Desk neighbours, September)");
    EXPECT_TRUE(entry->isChecked());

    // The second one for the same investigation is refused; the tree's pop-up takes the same way.
    SendNotify(TNotifyCode::OpenChoices, &window.Tree());
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_EQ(seam.informations[0], CatText("INVESTIGATION_NAME") + " \"Desk neighbours, September\". " +
                                        CatText("IS_EXIST_SELECT_FORM"));
    EXPECT_EQ(window.MdiArea().subWindowList().size(), 1);

    // Clear all, then closing the project asks about the choices first and then about the project.
    seam.ExpectDialogButton("DialogForm", "Button0");
    Action("ClearAllChoicesMenuItem")->trigger();
    auto* choices = qobject_cast<TSelectionForm*>(window.MdiArea().subWindowList().front()->widget());
    ASSERT_NE(choices, nullptr);
    EXPECT_TRUE(choices->IsModified());
    const int before = window.Store()->CountForChoices(1);
    seam.ExpectDialog("", [](QDialog& box) { FindButton(box, "Button1")->click(); }); // discard choices
    // Clear all is a step on the project's undo stack, so the project asks as well.
    seam.ExpectDialog("", [](QDialog& box) { FindButton(box, "Button1")->click(); });
    Action("MenuItemProjectClose")->trigger();
    EXPECT_FALSE(window.HasProject());
    EXPECT_EQ(window.findChild<QAction*>("ChildWindowMenu1"), nullptr);
    EXPECT_GT(before, 0);
}

TEST_F(ShellMainWindowCommands, InvestigationWithAnOpenChoicesWindowCanBeNeitherChangedNorRemoved)
{
    TScriptedModalSeam seam;
    const QString name = "Desk neighbours, September";
    Select(TNodeKind::Investigation, name);
    const int id = window.Tree().CurrentIds().Id;
    Action("ChoicesMenuItem")->trigger();
    ASSERT_EQ(window.MdiArea().subWindowList().size(), 1);
    // The title as it reads, without the placeholder of the modified mark.
    const QString caption = window.MdiArea().subWindowList().front()->windowTitle().remove("[*]");
    ASSERT_TRUE(caption.contains(name));

    // Changing opens no dialog; removing asks nothing; both say which window is in the way.
    window.Tree().ChangeObject();
    window.Tree().RemoveObject();
    ASSERT_EQ(seam.informations.size(), 2);
    for (const QString& text : seam.informations) {
        EXPECT_TRUE(text.startsWith(CatText("INVEST_WINDOW_OPEN_MSG"))) << text.toStdString();
        EXPECT_TRUE(text.contains(caption)) << text.toStdString();
    }
    EXPECT_TRUE(seam.dialogsShown.isEmpty());
    EXPECT_TRUE(window.Store()->Investigations().FindById(id));
    EXPECT_NE(NodeOf(window.Tree(), TNodeKind::Investigation, name), nullptr);

    // Once the window is closed, the investigation can be removed.
    window.MdiArea().subWindowList().front()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Select(TNodeKind::Investigation, name);
    seam.ExpectDialogButton("DialogForm", "Button0");
    window.Tree().RemoveObject();
    EXPECT_FALSE(window.Store()->Investigations().FindById(id));
}

TEST_F(ShellMainWindowCommands, SaveChoicesWritesTheActiveChoicesWindowIntoTheProject)
{
    TScriptedModalSeam seam;
    Select(TNodeKind::Investigation, "Desk neighbours, September");
    SendNotify(TNotifyCode::OpenChoices, &window.Tree());
    ASSERT_EQ(window.ActiveViewKind(), TViewKind::Choices);
    const int others = window.Store()->CountForChoices(2);
    seam.ExpectDialogButton("DialogForm", "Button0");
    Action("ClearAllChoicesMenuItem")->trigger();
    EXPECT_FALSE(window.Store()->IsModified()) << "nothing reaches the project before Save choices";
    Action("SaveChoicesMenuItem")->trigger();
    EXPECT_EQ(window.Store()->CountForChoices(1), 0);
    EXPECT_EQ(window.Store()->CountAgainstChoices(1), 0);
    EXPECT_EQ(window.Store()->CountForChoices(2), others);
    EXPECT_TRUE(Enabled("MenuItemProjectSave"));

    // Closing the window through its sub-window removes its Window-menu entry.
    window.MdiArea().subWindowList().front()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.MdiArea().subWindowList().isEmpty());
    EXPECT_EQ(window.findChild<QAction*>("ChildWindowMenu1"), nullptr);
    EXPECT_EQ(window.ActiveViewKind(), TViewKind::None);
    EXPECT_FALSE(Enabled("SaveChoicesMenuItem"));
}

TEST_F(ShellMainWindowCommands, OptionsOpensTheParametersDialogAndCancelChangesNothing)
{
    TScriptedModalSeam seam;
    Select(TNodeKind::Investigation, "Desk neighbours, September");
    const TRegs before = Regs();
    const bool modified = window.Store()->IsModified();
    seam.ExpectDialogButton("ParamsForm", "CancelBitBtn");
    Action("ParametersMenuItem")->trigger();
    EXPECT_TRUE(seam.AllConsumed());
    EXPECT_TRUE(seam.informations.empty());
    EXPECT_TRUE(Regs() == before);
    EXPECT_EQ(window.Store()->IsModified(), modified);
    EXPECT_TRUE(window.MdiArea().subWindowList().isEmpty());
}

TEST_F(ShellMainWindowCommands, TargetWindowsOpenFromTheCommandAndTheTreeAndFollowTheKindCommands)
{
    TScriptedModalSeam seam;
    Select(TNodeKind::Investigation, "Desk neighbours, September");
    EXPECT_EQ(Action("TargetMenuItem")->shortcut(), QKeySequence(QStringLiteral("Ctrl+T")));
    Action("TargetMenuItem")->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(window.MdiArea().subWindowList().size(), 1);
    auto* target = qobject_cast<TTargetForm*>(window.MdiArea().subWindowList()[0]->widget());
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(window.ActiveViewKind(), TViewKind::Target);
    EXPECT_TRUE(target->windowTitle().startsWith(CatText("TARGET_FORM_CAPTION") + " ("));
    QAction* entry = window.findChild<QAction*>("ChildWindowMenu1");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->text().startsWith(CatText("TARGET_MENU_ADD")));

    // The View menu switches the active target; "Any choices" is for the sociogram only.
    EXPECT_FALSE(Enabled("AnyChoicesMenuItem"));
    Action("NegativeMenuItem")->trigger();
    EXPECT_EQ(target->ChoiceKind(), 2);
    // The target's own pop-up item asks the main window, which switches back and checks its item.
    target->findChild<QAction*>("PopupItemPositive")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(target->ChoiceKind(), 1);
    EXPECT_TRUE(Action("PositiveMenuItem")->isChecked());

    // The tree's pop-up item opens another target of the same investigation.
    window.HandleNotify(TNotifyCode::OpenTarget, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.MdiArea().subWindowList().size(), 2);
    EXPECT_TRUE(seam.informations.isEmpty());
}

TEST_F(ShellMainWindowCommands, HelpAddressesOpenInBrowserOrSayWhy)
{
    TScriptedModalSeam seam;
    Action("MenuItemHomepage")->trigger();
    Action("MenuItemSupportPage")->trigger();
    ASSERT_EQ(seam.openedUrls.size(), 2);
    EXPECT_EQ(seam.openedUrls[0], CatText("HOME_PAGE_URL"));
    EXPECT_EQ(seam.openedUrls[1], CatText("SUPPORT_URL"));
    seam.urlOpens = false;
    Action("MenuItemHomepage")->trigger();
    ASSERT_EQ(seam.informations.size(), 1);
    // The message gives the address to open by hand.
    EXPECT_EQ(seam.informations[0], CatText("NO_IEXPLORER_MSG") + "\n" + CatText("HOME_PAGE_URL"));

    seam.ExpectDialog("FormAbout", [](QDialog& about) {
        EXPECT_TRUE(about.findChild<QLabel*>("EditVersion")->text().contains(TREMLOW_VERSION));
        EXPECT_EQ(about.findChild<QLabel*>("LabelRights")->text(), RightsNotice());
        FindButton(about, "ButtonAcknowledgments")->click();
        FindButton(about, "OKButton")->click();
    });
    seam.ExpectDialog("FormAcknowledgments", [](QDialog& thanks) {
        EXPECT_TRUE(thanks.findChild<QLabel*>("LabelLibraries")->text().contains("Qt 6"));
    });
    Action("AboutMenuItem")->trigger();

    // F1 where no part of the window has a page of its own opens the main window's page.
    QTest::keyClick(&window.MdiArea(), Qt::Key_F1);
    ASSERT_NE(HelpWindow(), nullptr);
    auto* browser = HelpWindow()->findChild<QTextBrowser*>("HelpBrowser");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->source().toLocalFile().endsWith("/help/51.html"));
    HelpWindow()->close();
}

TEST_F(ShellMainWindowCommands, ToolbarTuningAppliesEachCheckAtOnce)
{
    TScriptedModalSeam seam;
    QToolBar* view = window.ToolBars()[3];
    seam.ExpectDialog("ToolbarForm", [view](QDialog& form) {
        auto* list = form.findChild<QListWidget*>("ToolbarCheckListBox");
        ASSERT_EQ(list->count(), 6);
        EXPECT_EQ(list->item(3)->text(), view->windowTitle());
        EXPECT_EQ(list->item(3)->checkState(), Qt::Checked);
        list->item(3)->setCheckState(Qt::Unchecked);
        EXPECT_TRUE(view->isHidden()) << "hidden before the window closes";
        FindButton(form, "CloseBitBtn")->click();
    });
    Action("ToolbarsTuningMenuItem")->trigger();
    EXPECT_TRUE(view->isHidden());
    EXPECT_FALSE(Action("ToolbarsViewMenuItem")->isChecked());
    Action("ToolbarsViewMenuItem")->trigger();
    EXPECT_FALSE(view->isHidden());
}

TEST_F(ShellMainWindowCommands, ObjectKeysActOnTheTreeOnly)
{
    ASSERT_TRUE(ShowWithChessClubSelected());
    TScriptedModalSeam seam;

    // In another widget the key keeps its own meaning.
    auto* edit = new QLineEdit("text", window.findChild<QWidget*>("SocTreePanel"));
    edit->show();
    edit->setFocus();
    bool returned = false;
    QObject::connect(edit, &QLineEdit::returnPressed, [&returned] { returned = true; });
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "ext");
    EXPECT_TRUE(returned);
    EXPECT_TRUE(seam.dialogsShown.isEmpty());

    window.Tree().setFocus();
    seam.ExpectDialogButton("DialogForm", "Button1"); // No
    QTest::keyClick(&window.Tree(), Qt::Key_Delete);
    EXPECT_EQ(seam.dialogsShown.size(), 1);
    delete edit;
}

TEST_F(ShellMainWindowCommands, CtrlCCopiesInTablesAndTextButOpensChoicesInTheTree)
{
    ASSERT_TRUE(ShowWithChessClubSelected());
    TScriptedModalSeam seam;
    QWidget* panel = window.findChild<QWidget*>("SocTreePanel");
    auto* table = new QTableWidget(1, 1, panel);
    table->setItem(0, 0, new QTableWidgetItem("cell text"));
    table->setCurrentCell(0, 0);
    auto* text = new QTextBrowser(panel);
    text->setPlainText("read-only text");
    text->selectAll();
    const std::pair<QWidget*, QString> copiers[] = {{table, "cell text"}, {text, "read-only text"}};
    for (const auto& [widget, copied] : copiers) {
        widget->show();
        widget->setFocus();
        QApplication::clipboard()->clear();
        QTest::keyClick(widget, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), copied);
    }
    EXPECT_TRUE(window.MdiArea().subWindowList().isEmpty());

    window.Tree().setFocus();
    QTest::keyClick(&window.Tree(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(window.MdiArea().subWindowList().size(), 1);
    EXPECT_NE(qobject_cast<TSelectionForm*>(window.MdiArea().subWindowList().front()->widget()), nullptr);
    EXPECT_TRUE(seam.informations.isEmpty());
    delete table;
    delete text;
}

TEST_F(ShellMainWindowCommands, EveryTextIsTranslated)
{
    const QString missing = TLanguageController::NotDefinedText();
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        EXPECT_FALSE(widget->toolTip().contains(missing)) << widget->objectName().toStdString();
        EXPECT_FALSE(widget->windowTitle().contains(missing)) << widget->objectName().toStdString();
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_FALSE(label->text().contains(missing)) << widget->objectName().toStdString();
        }
        if (auto* menu = qobject_cast<QMenu*>(widget)) {
            EXPECT_FALSE(menu->title().contains(missing)) << widget->objectName().toStdString();
        }
    }
    for (QAction* action : window.findChildren<QAction*>())
        EXPECT_FALSE(action->text().contains(missing)) << action->objectName().toStdString();
    EXPECT_FALSE(window.windowTitle().contains(missing));

    // In the menu bar and within each menu, every access key chooses one entry.
    QStringList titles;
    for (QAction* top : window.menuBar()->actions())
        titles << top->text();
    EXPECT_EQ(DuplicateMnemonics(titles).toStdString(), "");
    EXPECT_EQ(MenusWithDuplicateMnemonics(window), "");

    // A picture of the window, for looking at it (TREMLOW_SHOT_DIR names a folder).
    window.resize(1200, 760);
    Select(TNodeKind::Investigation, "Desk neighbours, September");
    const QImage picture = window.grab().toImage();
    EXPECT_FALSE(picture.isNull());
    if (const char* folder = std::getenv("TREMLOW_SHOT_DIR"))
        picture.save(QString::fromLocal8Bit(folder) + "/mainwindow.png");
}

} // namespace
