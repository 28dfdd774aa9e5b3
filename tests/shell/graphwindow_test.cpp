#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidgetItem>

#include "shell/objectstree.h"
#include "shell/socmain_f.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "views/sociogram/graphform.h"

namespace {

class ShellGraphWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.OpenProjectFile(QString::fromStdString(SampleProjectPath()));
        ASSERT_TRUE(window.HasProject());
        QTreeWidgetItem* node = NodeOf(window.Tree(), TNodeKind::Investigation, "Desk neighbours, September");
        ASSERT_NE(node, nullptr);
        window.Tree().setCurrentItem(node);
    }
    QAction* Action(const char* name) { return window.findChild<QAction*>(name); }
    TGraphForm* Graph()
    {
        QMdiSubWindow* child = window.MdiArea().currentSubWindow();
        return child ? qobject_cast<TGraphForm*>(child->widget()) : nullptr;
    }
    TShellSettings settings;
    TRecordingProgress progress;
    TSocMainForm window;
};

} // namespace

TEST_F(ShellGraphWindow, OpensFromTheMenuAndFollowsTheKindCommands)
{
    TScriptedModalSeam seam;
    Action("GraphMenuItem")->trigger();
    ASSERT_TRUE(seam.informations.isEmpty()) << seam.informations.join("\n").toStdString();
    TGraphForm* graph = Graph();
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(window.ActiveViewKind(), TViewKind::Graph);
    QAction* entry = window.findChild<QAction*>("ChildWindowMenu1");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), CatText("GRAPH_MENU_ADD") + " (Desk neighbours, September)");
    for (const char* name : {"PositiveMenuItem", "NegativeMenuItem", "AnyChoicesMenuItem", "PrintMenuItem"})
        EXPECT_TRUE(Action(name)->isEnabled()) << name;

    Action("NegativeMenuItem")->trigger();
    EXPECT_EQ(graph->ChoiceKind(), 2);
    // The view's own menu asks the main window, which switches the view and its commands.
    graph->PanelMenu().findChild<QAction*>("PopupItemAny2")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(graph->ChoiceKind(), 3);
    EXPECT_TRUE(Action("AnyChoicesMenuItem")->isChecked());

    // The tree's pop-up opens another one of the same investigation.
    SendNotify(TNotifyCode::OpenGraph, &window.Tree());
    EXPECT_EQ(window.MdiArea().subWindowList().size(), 2);
}

TEST_F(ShellGraphWindow, PrintsTheActiveViewAndStoresPlacesOnClosing)
{
    TScriptedModalSeam seam;
    Action("GraphMenuItem")->trigger();
    ASSERT_NE(Graph(), nullptr);
    ASSERT_FALSE(window.Store()->IsModified());

    TTempDir dir;
    const QString pdf = QString::fromStdString(dir.Path().string()) + "/graph.pdf";
    seam.ExpectDialog("FormPrintTuning", [](QDialog& form) {
        auto* printers = form.findChild<QComboBox*>("ComboBoxPrinterDriver");
        printers->setCurrentIndex(printers->count() - 1);
        form.findChild<QPushButton*>("ButtonOK")->click();
    });
    seam.ExpectSaveFile(pdf);
    Action("PrintMenuItem")->trigger();
    EXPECT_TRUE(seam.informations.isEmpty()) << seam.informations.join("\n").toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF-"));

    const int before = window.Store()->Placements().Count();
    window.MdiArea().currentSubWindow()->close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.MdiArea().subWindowList().isEmpty());
    EXPECT_EQ(window.findChild<QAction*>("ChildWindowMenu1"), nullptr);
    // The places the window arranged by itself are kept for the next opening without asking for a save.
    EXPECT_GT(window.Store()->Placements().Count(), before);
    EXPECT_FALSE(window.Session().IsModified());
    EXPECT_TRUE(seam.AllConsumed());
}

// A second view of the same investigation opens inside the workspace, not partly past its edges.
TEST_F(ShellGraphWindow, SecondWindowOpensInsideTheWorkspace)
{
    TScriptedModalSeam seam;
    window.resize(1040, 700);
    window.show();
    Action("GraphMenuItem")->trigger();
    Action("GraphMenuItem")->trigger();
    const QList<QMdiSubWindow*> children = window.MdiArea().subWindowList();
    ASSERT_EQ(children.size(), 2);
    const QRect area(QPoint(0, 0), window.MdiArea().viewport()->size());
    for (const QMdiSubWindow* child : children)
        EXPECT_TRUE(area.contains(child->geometry())) << child->geometry().x() << "," << child->geometry().y();
}

// The sociogram's pop-up menus (with Arrange and Arrows) give each access key one entry.
TEST_F(ShellGraphWindow, PopUpMenusGiveEachAccessKeyOneEntry)
{
    window.show();
    Action("GraphMenuItem")->trigger();
    ASSERT_EQ(window.MdiArea().subWindowList().size(), 1);
    EXPECT_EQ(MenusWithDuplicateMnemonics(window), "");
}
