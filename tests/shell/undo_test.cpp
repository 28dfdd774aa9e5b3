#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QTreeWidgetItem>
#include <QUndoStack>

#include "shell/objectstree.h"
#include "shell/socmain_f.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "views/choices/selectionform.h"
#include "views/choices/selections.h"
#include "views/undostack.h"

namespace {

// The main window on a copy of the sample project; every edit goes on its undo stack.
class ShellUndo : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string copy = dir.File("class.soi");
        std::filesystem::copy_file(SampleProjectPath(), copy);
        window.OpenProjectFile(QString::fromStdString(copy));
        ASSERT_TRUE(window.HasProject());
        ASSERT_NE(ProjectUndoStack(), nullptr);
    }

    std::string FileText()
    {
        std::string text;
        EXPECT_TRUE(window.Store()->BuildFileText(text));
        return text;
    }

    void Select(TNodeKind kind, const QString& name = {})
    {
        QTreeWidgetItem* node = NodeOf(window.Tree(), kind, name);
        ASSERT_NE(node, nullptr) << name.toStdString();
        window.Tree().setCurrentItem(node);
    }

    // Opens the dialog of the selected node's create or change command and confirms it with a name.
    void Named(TNodeKind kind, const QString& node, const char* form, const char* edit, const QString& name,
               bool create)
    {
        Select(kind, node);
        seam.ExpectDialog(form, [edit, name](QDialog& d) {
            d.findChild<QLineEdit*>(edit)->setText(name);
            FindButton(d, "OKButton")->click();
        });
        create ? window.Tree().CreateObject() : window.Tree().ChangeObject();
    }

    void Remove(TNodeKind kind, const QString& node)
    {
        Select(kind, node);
        seam.ExpectDialogButton("DialogForm", "Button0");
        window.Tree().RemoveObject();
    }

    TShellSettings settings;
    TTempDir dir;
    TRecordingMessages messages;
    TSocMainForm window;
    TScriptedModalSeam seam;
};

} // namespace

// Every create, change and remove of the tree is one step: undone, the project writes the file it
// wrote before, byte for byte (a removal brings back the object with its id, choices and
// placements); redone, the file it wrote after.
TEST_F(ShellUndo, TreeEditsUndoAndRedoByteForByte)
{
    using TStep = std::function<void()>;
    const std::vector<std::pair<const char*, std::vector<TStep>>> cases = {
        {"create and change a client group",
         {[&] { Named(TNodeKind::ClientGroups, {}, "AddClientsGroupForm", "ClientsGroupEdit", "Drama", true); },
          [&] { Named(TNodeKind::ClientGroup, "Drama", "AddClientsGroupForm", "ClientsGroupEdit", "Choir", false); }}},
        {"change a client", {[&] {
             Named(TNodeKind::Client, "Ben Carter", "AddClientForm", "FullNameEdit", "Benjamin Carter", false);
         }}},
        {"criteria group and criterion made, changed, removed",
         {[&] { Named(TNodeKind::Criteria, {}, "AddCriteriesGroupForm", "CriteriesGroupEdit", "Sport", true); },
          [&] { Named(TNodeKind::CriteriaGroup, "Sport", "AddCriteryForm", "CriteryEdit", "Team mate?", true); },
          [&] { Named(TNodeKind::Criterion, "Team mate?", "AddCriteryForm", "CriteryEdit", "Partner?", false); },
          [&] { Remove(TNodeKind::Criterion, "Partner?"); }}},
        {"remove an investigation and the criteria group it asked",
         {[&] { Remove(TNodeKind::Investigation, "Birthday party, December"); },
          [&] { Remove(TNodeKind::CriteriaGroup, "Leisure"); }}},
        {"create and change an investigation",
         {[&] { Named(TNodeKind::Investigations, {}, "AddInvestForm", "InvestEdit", "Lunch table", true); },
          [&] { Named(TNodeKind::Investigation, "Lunch table", "AddInvestForm", "InvestEdit", "Lunch", false); }}},
        {"remove an investigation, a client and their client group",
         {[&] { Remove(TNodeKind::Investigation, "Chess club: homework help"); },
          [&] { Remove(TNodeKind::Client, "Aaron Patel"); },
          [&] { Remove(TNodeKind::ClientGroup, "Chess club"); }}},
    };
    QUndoStack& stack = *ProjectUndoStack();
    for (const auto& [name, steps] : cases) {
        SCOPED_TRACE(name);
        const std::string before = FileText();
        const int start = stack.index();
        for (const TStep& step : steps)
            step();
        ASSERT_TRUE(seam.AllConsumed());
        ASSERT_EQ(stack.index() - start, static_cast<int>(steps.size()));
        const std::string after = FileText();
        ASSERT_TRUE(after != before);
        while (stack.index() > start)
            stack.undo();
        EXPECT_TRUE(FileText() == before);
        while (stack.canRedo())
            stack.redo();
        EXPECT_TRUE(FileText() == after);
        while (stack.index() > start)
            stack.undo();
    }
    EXPECT_EQ(stack.undoText(), QString());
}

// The texts name what a step takes back.
TEST_F(ShellUndo, StepTextsNameTheObject)
{
    Remove(TNodeKind::Investigation, "Chess club: homework help");
    EXPECT_EQ(ProjectUndoStack()->undoText(),
              UndoText("UNDO_REMOVE", {UndoText("UNDO_OBJECT_INVESTIGATION", {"Chess club: homework help"})}));
}

// An open choices window takes a client's new name at once, and the old one back on undo.
TEST_F(ShellUndo, OpenChoicesWindowFollowsARenamedClient)
{
    Select(TNodeKind::Investigation, "Desk neighbours, September");
    SendNotify(TNotifyCode::OpenChoices, &window.Tree());
    auto* choices = window.MdiArea().findChild<TSelectionForm*>();
    ASSERT_NE(choices, nullptr);
    Named(TNodeKind::Client, "Ben Carter", "AddClientForm", "FullNameEdit", "Benjamin Carter", false);
    EXPECT_TRUE(choices->Selects().Captions().contains("Benjamin Carter"));
    EXPECT_FALSE(choices->Selects().Captions().contains("Ben Carter"));
    ProjectUndoStack()->undo();
    EXPECT_TRUE(choices->Selects().Captions().contains("Ben Carter"));
}

// A name the file would read back empty is refused with the reason, and nothing is written.
TEST_F(ShellUndo, ObjectNamedNullIsRefused)
{
    const std::string before = FileText();
    Named(TNodeKind::Client, "Ben Carter", "AddClientForm", "FullNameEdit", " nULL", false);
    EXPECT_EQ(seam.informations, QStringList{CatText("NULL_NAME_REFUSED")});
    EXPECT_TRUE(FileText() == before);
    EXPECT_EQ(ProjectUndoStack()->count(), 0);
}

