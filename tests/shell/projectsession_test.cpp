#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTreeWidgetItem>
#include <QTreeWidgetItemIterator>
#include <QUndoCommand>
#include <QUndoStack>

#include "shell/objectstree.h"
#include "shell/socmain_f.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "views/notify.h"

namespace {

// An undoable change through the store's own setter, telling the windows as it goes.
class TLoginCommand final : public QUndoCommand {
public:
    TLoginCommand(TFileAccess& store, TSocMainForm& window)
        : QUndoCommand("require login"), m_store(store), m_window(window)
    {
    }
    void redo() override { Set(true); }
    void undo() override { Set(false); }

private:
    void Set(bool value)
    {
        m_store.SetLoginRequired(value);
        m_window.UpdateCommands();
    }
    TFileAccess& m_store;
    TSocMainForm& m_window;
};

// The main window on a copy of the sample project in a private folder.
class ShellProjectSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy_file(SampleProjectPath(), path);
        window.OpenProjectFile(QString::fromStdString(path));
        ASSERT_TRUE(window.HasProject());
    }
    QAction* Action(const char* name) { return window.findChild<QAction*>(name); }
    bool Modified() { return window.Session().IsModified(); }
    void OpenGraph()
    {
        window.Tree().setCurrentItem(NodeOf(window.Tree(), TNodeKind::Investigation, "Desk neighbours, September"));
        Action("GraphMenuItem")->trigger();
        ASSERT_EQ(window.MdiArea().subWindowList().size(), 1);
    }
    void CloseViews()
    {
        for (QMdiSubWindow* child : window.MdiArea().subWindowList())
            child->close();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    TShellSettings settings;
    TTempDir dir;
    std::string path = dir.File("class.soi");
    TRecordingProgress progress;
    TRecordingMessages messages;
    TSocMainForm window;
};

} // namespace

TEST_F(ShellProjectSession, UnmodifiedExactlyAtTheCleanIndexUnlessChangedBesideTheStack)
{
    TScriptedModalSeam seam;
    TProjectSession& session = window.Session();
    QUndoStack* stack = session.UndoStack();
    ASSERT_TRUE(stack->isClean());
    EXPECT_FALSE(Modified());
    EXPECT_FALSE(Action("UndoMenuItem")->isEnabled());

    session.Push(new TLoginCommand(*window.Store(), window));
    EXPECT_TRUE(Modified());
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_TRUE(Action("MenuItemProjectSave")->isEnabled());
    EXPECT_EQ(Action("UndoMenuItem")->text(), CatText("EDIT_UNDO").arg("require login"));
    Action("UndoMenuItem")->trigger();
    EXPECT_FALSE(Modified()) << "back at the saved state";
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(Action("RedoMenuItem")->text(), CatText("EDIT_REDO").arg("require login"));

    // Undo after a save makes the project modified again; redo returns to the saved state.
    session.Redo();
    Action("MenuItemProjectSave")->trigger();
    EXPECT_FALSE(Modified());
    session.Undo();
    EXPECT_TRUE(Modified());
    session.Redo();
    EXPECT_FALSE(Modified());

    // A change beside the stack stays until the next save, whatever the stack does.
    window.Tree().AddClientGroup("Drama club", "");
    window.UpdateCommands();
    session.Undo();
    session.Redo();
    EXPECT_TRUE(Modified());
    Action("MenuItemProjectSave")->trigger();
    EXPECT_FALSE(Modified());

    seam.ExpectDialogButton("DialogForm", "Button1");
    session.Undo();
    ASSERT_TRUE(window.MenuItemProjectCloseClick());
    EXPECT_EQ(stack->count(), 0);
    EXPECT_TRUE(seam.AllConsumed());
}

TEST_F(ShellProjectSession, ExitAsksBeforeAnyWindowClosesAndEscapeKeepsAll)
{
    TScriptedModalSeam seam;
    OpenGraph();
    window.Tree().AddClientGroup("Drama club", "");
    seam.ExpectDialog("DialogForm", [](QDialog& box) {
        EXPECT_NE(FindButton(box, CatText("CANCEL_BUTTON")), nullptr);
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    EXPECT_FALSE(window.FormClose());
    EXPECT_TRUE(window.HasProject());
    EXPECT_EQ(window.MdiArea().subWindowList().size(), 1) << "the sociogram is still open";
}

TEST_F(ShellProjectSession, ClosingAnUnmovedSociogramMarksNothing)
{
    TScriptedModalSeam seam;
    // Saving writes the places on show; closing the window afterwards changes nothing.
    OpenGraph();
    window.Tree().AddClientGroup("Drama club", "");
    window.UpdateCommands();
    Action("MenuItemProjectSave")->trigger();
    ASSERT_FALSE(Modified());
    CloseViews();
    EXPECT_FALSE(Modified());
    // Nor does a window whose stored places were only shown again.
    OpenGraph();
    CloseViews();
    EXPECT_FALSE(Modified());
    EXPECT_FALSE(Action("MenuItemProjectSave")->isEnabled());
}

// Looking at the project changes nothing in it: selecting, opening every view and closing it, the
// options and the users manager left as they were, and the edit dialogs confirmed unchanged.
TEST_F(ShellProjectSession, LookingAndUnchangedDialogsLeaveTheProjectUnmodified)
{
    TScriptedModalSeam seam;
    for (QTreeWidgetItemIterator it(&window.Tree()); *it; ++it)
        window.Tree().setCurrentItem(*it);
    QTreeWidgetItem* invest = NodeOf(window.Tree(), TNodeKind::Investigation, "Birthday party, December");
    for (const char* view :
         {"ChoicesMenuItem", "IndexMenuItem", "GraphMenuItem", "TargetMenuItem", "StatusMenuItem"}) {
        SCOPED_TRACE(view);
        window.Tree().setCurrentItem(invest);
        Action(view)->trigger();
        ASSERT_EQ(window.MdiArea().subWindowList().size(), 1);
        EXPECT_FALSE(Action("MenuItemProjectSave")->isEnabled());
        CloseViews();
        EXPECT_FALSE(Modified());
    }
    seam.ExpectDialog("ComparePickForm", [](QDialog& pick) {
        pick.findChild<QListWidget*>("CompareList")->item(0)->setCheckState(Qt::Checked);
        FindButton(pick, "OKButton")->click();
    });
    Action("CompareMenuItem")->trigger();
    ASSERT_EQ(window.MdiArea().subWindowList().size(), 1);
    CloseViews();
    seam.ExpectDialogButton("ParamsForm", "OkBitBtn");
    Action("ParametersMenuItem")->trigger();
    seam.ExpectDialog("AllUsersForm", [](QDialog&) {});
    Action("UsersMenuItem")->trigger();
    for (TNodeKind kind : {TNodeKind::ClientGroup, TNodeKind::Client, TNodeKind::CriteriaGroup,
                           TNodeKind::Criterion, TNodeKind::Investigation}) {
        window.Tree().setCurrentItem(NodeOf(window.Tree(), kind, {}));
        seam.ExpectDialogButton("Add", "OKButton");
        Action("ChangeObjectMenuItem")->trigger();
    }
    EXPECT_TRUE(seam.AllConsumed());
    EXPECT_FALSE(Modified());
    EXPECT_FALSE(Action("MenuItemProjectSave")->isEnabled());
    EXPECT_EQ(window.Session().UndoStack()->count(), 0);
}

TEST_F(ShellProjectSession, DamagedFileLeavesTheOpenProjectAndNamesLineAndBackup)
{
    TScriptedModalSeam seam;
    const std::string bad = dir.File("bad.soi");
    WriteFileBytes(bad, "[CLIENT_GROUPS]\r\nFIELD_NUMS=x\r\n");
    WriteFileBytes(bad + ".bak", "");
    window.OpenProjectFile(QString::fromStdString(bad));
    ASSERT_EQ(seam.informations.size(), 1) << "one box";
    EXPECT_TRUE(seam.dialogsShown.isEmpty());
    EXPECT_TRUE(messages.texts.empty());
    const QString text = seam.informations.front();
    for (const QString& part : {CatText("PROJECT_UNREADABLE_MSG"), CatText("ERROR_PLACE_LINE") + ": 2",
                                CatText("PROJECT_EXPECTED_COLUMNS"), QString::fromStdString(bad + ".bak")})
        EXPECT_TRUE(text.contains(part)) << part.toStdString() << " in " << text.toStdString();
    EXPECT_EQ(window.Store()->FileName(), std::filesystem::absolute(path).lexically_normal().string());
}

TEST_F(ShellProjectSession, ReadOnlyProjectIsToldToUseSaveAs)
{
    TScriptedModalSeam seam;
    std::filesystem::permissions(path, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                           std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    window.Tree().AddClientGroup("Drama club", "");
    window.UpdateCommands();
    Action("MenuItemProjectSave")->trigger();
    ASSERT_EQ(messages.texts.size(), 1U);
    EXPECT_NE(messages.texts[0].find(CatText("PROJECT_USE_SAVE_AS_MSG").toStdString()), std::string::npos);
    EXPECT_TRUE(Modified());
}

TEST_F(ShellProjectSession, TreeOpensWithListsInViewAndKeepsWhatWasExpanded)
{
    TObjectsTree& tree = window.Tree();
    EXPECT_TRUE(NodeOf(tree, TNodeKind::ClientGroups)->isExpanded());
    EXPECT_TRUE(NodeOf(tree, TNodeKind::Investigations)->isExpanded());
    NodeOf(tree, TNodeKind::ClientGroup, "Chess club")->setExpanded(true);
    NodeOf(tree, TNodeKind::Investigations)->setExpanded(false);
    tree.AddClientGroup("Drama club", "");
    tree.Rebuild();
    EXPECT_TRUE(NodeOf(tree, TNodeKind::ClientGroup, "Chess club")->isExpanded());
    EXPECT_FALSE(NodeOf(tree, TNodeKind::Investigations)->isExpanded());
}

TEST_F(ShellProjectSession, FileDialogsStartAtTheProjectAndProposeTheGroupsName)
{
    TScriptedModalSeam seam;
    seam.ExpectOpenFile(QString());
    Action("ImportClassListMenuItem")->trigger();
    ASSERT_EQ(seam.openFolders.size(), 1);
    EXPECT_EQ(QDir(seam.openFolders[0]), QDir(QString::fromStdString(dir.Path().string())));

    window.Tree().setCurrentItem(NodeOf(window.Tree(), TNodeKind::ClientGroup, "Chess club"));
    window.UpdateCommands();
    seam.ExpectSaveFile(QString());
    Action("ExportClientGroupMenuItem")->trigger();
    ASSERT_EQ(seam.saveFolders.size(), 1);
    EXPECT_EQ(QFileInfo(seam.saveFolders[0]).fileName(), "Chess club.sgr");
    EXPECT_EQ(QDir(QFileInfo(seam.saveFolders[0]).absolutePath()), QDir(QString::fromStdString(dir.Path().string())));
}

TEST_F(ShellProjectSession, ViewMenuFollowsTheActivatedWindowsChoiceKind)
{
    TScriptedModalSeam seam;
    OpenGraph();
    QMdiSubWindow* first = window.MdiArea().currentSubWindow();
    Action("NegativeMenuItem")->trigger();
    SendNotify(TNotifyCode::OpenGraph, &window.Tree());
    QMdiSubWindow* second = window.MdiArea().currentSubWindow();
    ASSERT_NE(first, second);
    EXPECT_TRUE(Action("PositiveMenuItem")->isChecked());
    window.MdiArea().setActiveSubWindow(first);
    SendNotify(TNotifyCode::ViewActivated, first->widget());
    EXPECT_TRUE(Action("NegativeMenuItem")->isChecked());
    window.MdiArea().setActiveSubWindow(second);
    SendNotify(TNotifyCode::ViewActivated, second->widget());
    EXPECT_TRUE(Action("PositiveMenuItem")->isChecked());
}
