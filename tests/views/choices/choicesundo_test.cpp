#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPoint>
#include <QTest>
#include <QUndoStack>

#include "i18n/langconv.h"
#include "settings/regs.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "util/service.h"
#include "views/choices/selectionform.h"
#include "views/choices/selections.h"
#include "views/undostack.h"

namespace {

// The choices window of the sample's first investigation (16 members, 3 choices of each kind),
// with the project's undo stack.
class ChoicesUndo : public ::testing::Test {
protected:
    void SetUp() override
    {
        Regs().Load();
        Regs().Choices.ArrowDirection = true;
        Regs().Choices.IsGraphic = true;
        ASSERT_TRUE(store.Load());
        form = std::make_unique<TSelectionForm>(store, 1, QStringLiteral("Desk neighbours"));
        form->show();
    }

    // The project file after the window saved what it shows; the save itself is no step.
    std::string Resaved()
    {
        {
            const TScopedService<QUndoStack> none(SetProjectUndoStack, nullptr);
            EXPECT_TRUE(form->Save());
        }
        std::string text;
        EXPECT_TRUE(store.BuildFileText(text));
        return text;
    }

    void Click(int chooser, int chosen)
    {
        TSelections& grid = form->Selects();
        QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.Geometry().Cell(chosen + 1, chooser + 1).center());
    }

    QAction* Item(const char* name) { return form->ChoicesPopupMenu().findChild<QAction*>(name); }

    // The n-th marked cell, row by row, as (chosen column, chooser row) of the matrix; a click
    // or a clear there always changes a mark.
    QPoint Marked(int n) const
    {
        for (int r = 0; r < 16; ++r) {
            for (int c = 0; c < 16; ++c) {
                if (form->Selects().Cell(c, r) != stNone && n-- == 0)
                    return {c + 1, r + 1};
            }
        }
        return {};
    }

    TTempDir dir;
    TFileAccess store{TREMLOW_SOURCE_DATA_DIR "/examples/school-class.soi"};
    TRecordingMessages messages;
    TScriptedModalSeam seam;
    QUndoStack stack;
    TScopedService<QUndoStack> installed{SetProjectUndoStack, &stack};
    std::unique_ptr<TSelectionForm> form;
};

} // namespace

// Each way of changing marks is one step: undone, saving writes the file as it was; redone, as
// it was after the change.
TEST_F(ChoicesUndo, EveryMarkChangeUndoesAndRedoesByteForByte)
{
    const std::string csv = dir.File("choices.csv");
    const std::vector<std::pair<const char*, std::function<void()>>> actions = {
        {"click", [&] { Click(Marked(0).y() - 1, Marked(0).x() - 1); }},
        {"keys",
         [&] {
             form->Selects().SetActiveCell(Marked(1).x(), Marked(1).y());
             QTest::keyClick(&form->Selects(), Qt::Key_Delete);
         }},
        {"menu",
         [&] {
             form->Selects().SetActiveCell(Marked(2).x(), Marked(2).y());
             Item("SetClearPopupItem")->trigger();
         }},
        {"text mode",
         [&] {
             form->SetGraphic(false);
             auto* positive = form->findChild<QListWidget*>("CheckListBoxPositiveClients");
             for (int j = 0; j < positive->count(); ++j) {
                 if (positive->item(j)->checkState() == Qt::Checked) {
                     positive->item(j)->setCheckState(Qt::Unchecked);
                     break;
                 }
             }
             form->SetGraphic(true);
         }},
        {"clear all",
         [&] {
             seam.ExpectDialogButton("DialogForm", "Button0");
             form->ClearAll();
         }},
        {"import",
         [&] {
             WriteFileBytes(csv, "chooser,chosen,sign\nAlice Brown,Ben Carter,+\nBen Carter,Alice Brown,-\n");
             seam.ExpectOpenFile(QString::fromStdString(csv));
             form->ImportChoicesFile();
         }},
    };
    for (const auto& [name, action] : actions) {
        SCOPED_TRACE(name);
        const std::string before = Resaved();
        action();
        ASSERT_TRUE(seam.AllConsumed());
        ASSERT_EQ(stack.count(), 1);
        EXPECT_TRUE(form->isWindowModified());
        const std::string after = Resaved();
        ASSERT_NE(after, before);
        stack.undo();
        EXPECT_EQ(Resaved(), before);
        stack.redo();
        EXPECT_EQ(Resaved(), after);
        stack.undo();
        stack.clear();
    }
}

// Clear all asks first, naming the number of marks; No keeps them.
TEST_F(ChoicesUndo, ClearAllAsksWithTheCountFirst)
{
    const std::string before = Resaved();
    QString question;
    seam.ExpectDialog("DialogForm", [&](QDialog& box) {
        question = box.findChild<QLabel*>("cap")->text();
        FindButton(box, "Button1")->click();
    });
    form->ClearAll();
    EXPECT_EQ(question, UndoText("CLEAR_ALL_CHOICES_QUESTION", {QString::number(store.CountForChoices(1) +
                                                                                  store.CountAgainstChoices(1))}));
    EXPECT_EQ(stack.count(), 0);
    EXPECT_FALSE(form->IsModified());
    EXPECT_EQ(Resaved(), before);
}

// A long run of clicks undone to the start gives the sample's choices back byte for byte; the
// window is unmodified again there.
TEST_F(ChoicesUndo, FiveHundredClicksUndoneToTheStart)
{
    const std::string original = Resaved();
    std::mt19937 random(27);
    for (int i = 0; i < 500; ++i)
        Click(static_cast<int>(random() % 16), static_cast<int>(random() % 16));
    ASSERT_GT(stack.count(), 100);
    auto grid = [&] {
        std::string cells;
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c)
                cells += static_cast<char>('0' + form->Selects().Cell(c, r));
        return cells;
    };
    const std::string last = grid();
    while (stack.canUndo())
        stack.undo();
    EXPECT_FALSE(form->IsModified());
    EXPECT_EQ(Resaved(), original);
    while (stack.canRedo())
        stack.redo();
    EXPECT_EQ(grid(), last);
}

// Once the window is closed its unsaved marks have nothing to go back to: the Edit menu's undo
// passes over them to the step before, here the choices the window saved into the project.
TEST_F(ChoicesUndo, UndoPassesOverTheStepsOfAClosedWindow)
{
    const std::string original = Resaved();
    Click(Marked(0).y() - 1, Marked(0).x() - 1);
    ASSERT_TRUE(form->Save());
    Click(Marked(0).y() - 1, Marked(0).x() - 1);
    ASSERT_EQ(stack.count(), 3);
    form.reset();
    UndoStep(stack);
    EXPECT_EQ(stack.count(), 2);
    EXPECT_EQ(stack.index(), 1);
    std::string text;
    ASSERT_TRUE(store.BuildFileText(text));
    EXPECT_TRUE(text == original);
}
