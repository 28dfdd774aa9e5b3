#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidgetItem>

#include "shell/objectstree.h"
#include "shell/socmain_f.h"
#include "shellfixture.h"
#include "support/core/recorders.h"
#include "support/ui/scriptedseam.h"
#include "analysis/investigationobj.h"
#include "views/indexes/graphicchart.h"
#include "views/indexes/indexesform.h"

namespace {

class ShellIndexesWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.OpenProjectFile(QString::fromStdString(SampleProjectPath()));
        ASSERT_TRUE(window.HasProject());
        QTreeWidgetItem* node = NodeOf(window.Tree(), TNodeKind::Investigation, "Birthday party, December");
        ASSERT_NE(node, nullptr);
        window.Tree().setCurrentItem(node);
    }

    QAction* Action(const char* name) { return window.findChild<QAction*>(name); }

    TIndexesForm* ActiveIndexes()
    {
        QMdiSubWindow* child = window.MdiArea().activeSubWindow();
        return child ? qobject_cast<TIndexesForm*>(child->widget()) : nullptr;
    }

    TShellSettings settings;
    TRecordingProgress progress;
    TSocMainForm window;
};

} // namespace

TEST_F(ShellIndexesWindow, OpensFromMenuAndTreeAndFollowsTheKindCommands)
{
    TScriptedModalSeam seam;
    Action("IndexMenuItem")->trigger();
    ASSERT_TRUE(seam.informations.isEmpty()) << seam.informations.join("\n").toStdString();
    TIndexesForm* first = ActiveIndexes();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Action("IndexMenuItem")->shortcut(), QKeySequence("Ctrl+I"));
    EXPECT_EQ(window.ActiveViewKind(), TViewKind::Indexes);
    EXPECT_EQ(first->windowTitle(), CatText("INDEXES_MENU_ADD") + " (Birthday party, December)");
    QAction* entry = window.findChild<QAction*>("ChildWindowMenu1");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), CatText("INDEXES_MENU_ADD") + " (Birthday party, December)");
    EXPECT_TRUE(Action("PositiveMenuItem")->isEnabled());
    EXPECT_TRUE(Action("NegativeMenuItem")->isEnabled());
    EXPECT_TRUE(Action("PrintMenuItem")->isEnabled());

    Action("NegativeMenuItem")->trigger();
    EXPECT_EQ(first->ChoiceKind(), 2);
    const double negativeP = first->GroupChart().Series().At(0).Points[0].Y;
    EXPECT_EQ(negativeP, first->Model().IndexP(TChoiceKind::Negative));

    // The window's own menu asks the main window, which switches the view.
    first->PopupItemChoicesClick(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(first->ChoiceKind(), 1);
    EXPECT_TRUE(Action("PositiveMenuItem")->isChecked());

    // The tree's pop-up opens another window on the same investigation.
    SendNotify(TNotifyCode::OpenIndexes, &window.Tree());
    EXPECT_EQ(window.MdiArea().subWindowList().size(), 2);
    EXPECT_NE(ActiveIndexes(), first);
    EXPECT_TRUE(seam.informations.isEmpty());
}
