#include <gtest/gtest.h>

#include <string>

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QTextBrowser>
#include <QTreeWidgetItem>
#include <QtTest/QTest>

#include "platform/helpviewer.h"
#include "shell/objectstree.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"

namespace {

// A tree over the sample project, loaded fresh for each test.
class ShellObjectsTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TRecordingProgress progress;
        ASSERT_TRUE(store.Load());
        tree = new TObjectsTree(&owner);
        tree->SetStore(&store);
        tree->Rebuild();
    }

    void Select(TNodeKind kind, const QString& name = {})
    {
        QTreeWidgetItem* node = NodeOf(*tree, kind, name);
        ASSERT_NE(node, nullptr) << "no node " << name.toStdString();
        tree->setCurrentItem(node);
    }

    TFileAccess store{SampleProjectPath()};
    QWidget owner;
    TObjectsTree* tree = nullptr;
};

TEST(ShellObjectsTree, NewProjectShowsExpandedProjectWithThreeEmptyBranches)
{
    TFileAccess store;
    QWidget owner;
    TObjectsTree tree(&owner);
    tree.Rebuild();
    EXPECT_EQ(tree.topLevelItemCount(), 0) << "no project: empty tree";
    tree.SetStore(&store);
    tree.Rebuild();
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* project = tree.topLevelItem(0);
    EXPECT_TRUE(project->isExpanded());
    EXPECT_EQ(project->text(0), CatText("MAIN_NODE_TITLE"));
    ASSERT_EQ(project->childCount(), 3);
    const TNodeKind kinds[3] = {TNodeKind::ClientGroups, TNodeKind::Criteria, TNodeKind::Investigations};
    const int ids[3] = {-2, -3, -4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(TObjectsTree::NodeKind(project->child(i)), kinds[i]);
        EXPECT_EQ(TObjectsTree::NodeIds(project->child(i)).Id, ids[i]);
        EXPECT_EQ(TObjectsTree::NodeIds(project->child(i)).ParentId, -1);
        EXPECT_EQ(project->child(i)->childCount(), 0);
    }
    EXPECT_FALSE(tree.HasSelection());
    EXPECT_EQ(tree.CurrentKind(), TNodeKind::None);
    EXPECT_EQ(tree.CurrentIds().Id, -99999);
    EXPECT_EQ(tree.CurrentIds().ParentId, -99999);
    EXPECT_TRUE(tree.CurrentName().isEmpty());
}

TEST_F(ShellObjectsTreeTest, RebuildMirrorsTablesAndNodesCarryTheirIdentifiers)
{
    QTreeWidgetItem* groups = NodeOf(*tree, TNodeKind::ClientGroups);
    ASSERT_EQ(groups->childCount(), store.ClientGroups().Count());
    QTreeWidgetItem* chess = NodeOf(*tree, TNodeKind::ClientGroup, "Chess club");
    ASSERT_NE(chess, nullptr);
    EXPECT_EQ(chess->childCount(), store.CountClientsInGroup(2));
    // Two clients of different groups may share an Id; the parent tells them apart.
    QTreeWidgetItem* jackInClass = NodeOf(*tree, TNodeKind::Client, "Jack Kelly");
    const TNodeIds inClass = TObjectsTree::NodeIds(jackInClass);
    const TNodeIds inChess = TObjectsTree::NodeIds(chess->child(0));
    EXPECT_EQ(chess->child(0)->text(0), "Jack Kelly");
    EXPECT_EQ(inClass.ParentId, 1);
    EXPECT_EQ(inChess.ParentId, 2);
    EXPECT_EQ(inChess.Id, 1);
    EXPECT_EQ(NodeOf(*tree, TNodeKind::Investigations)->childCount(), 4);
    EXPECT_EQ(NodeOf(*tree, TNodeKind::Criterion, "Whom would you invite to your birthday party?")
                  ->parent()
                  ->text(0),
              "Leisure");
}

TEST_F(ShellObjectsTreeTest, NewIdIsSmallestFreeIdAndIsReusedAfterRemoval)
{
    TFileAccess empty;
    tree->SetStore(&empty);
    tree->Rebuild();
    EXPECT_EQ(tree->AddClientGroup("A", ""), 1);
    EXPECT_EQ(tree->AddClientGroup("B", "second"), 2);
    EXPECT_EQ(tree->AddClientGroup("C", ""), 3);
    ASSERT_TRUE(empty.ClientGroups().FindById(2));
    EXPECT_EQ(empty.ClientGroups().GetDescription(), "second");

    Select(TNodeKind::ClientGroup, "B");
    TScriptedModalSeam seam;
    seam.ExpectDialogButton("DialogForm", "Button0"); // Yes
    tree->RemoveObject();
    EXPECT_FALSE(empty.ClientGroups().FindById(2));
    EXPECT_EQ(tree->AddClientGroup("D", ""), 2);
    EXPECT_EQ(TObjectsTree::NewId(nullptr), 1);

    // Clients are numbered within their group.
    EXPECT_EQ(tree->AddClient(1, "First", true, 40000, ""), 1);
    EXPECT_EQ(tree->AddClient(3, "Other", false, 40000, "note"), 1);
    EXPECT_EQ(tree->AddClient(1, "Second", true, 40000, ""), 2);
    EXPECT_EQ(NodeOf(*tree, TNodeKind::ClientGroup, "C")->childCount(), 1);
}

TEST_F(ShellObjectsTreeTest, RemovalAnsweredNoChangesNothingAndStillNotifies)
{
    Select(TNodeKind::Investigation, "Chess club: homework help");
    TNotifyRecorder notes;
    TScriptedModalSeam seam;
    seam.ExpectDialog("DialogForm", [](QDialog& box) {
        EXPECT_EQ(box.findChild<QObject*>("cap") ? box.windowTitle() : QString(), CatText("APPLICATION_NAME"));
        FindButton(box, "Button1")->click(); // No
    });
    tree->RemoveObject();
    EXPECT_TRUE(store.Investigations().FindById(3));
    EXPECT_NE(NodeOf(*tree, TNodeKind::Investigation, "Chess club: homework help"), nullptr);
    ASSERT_FALSE(notes.codes.empty());
    EXPECT_EQ(notes.codes.back(), TNotifyCode::ObjectRemoved);
}

TEST_F(ShellObjectsTreeTest, RemovingInvestigationDeletesItsChoicesAndPlacements)
{
    Select(TNodeKind::Investigation, "Desk neighbours, September");
    ASSERT_GT(store.CountForChoices(1), 0);
    TScriptedModalSeam seam;
    seam.ExpectDialogButton("DialogForm", "Button0");
    tree->RemoveObject();
    EXPECT_FALSE(store.Investigations().FindById(1));
    EXPECT_EQ(store.CountForChoices(1), 0);
    EXPECT_EQ(store.CountAgainstChoices(1), 0);
    for (int32_t i = 0; i < store.Placements().Count(); ++i)
        EXPECT_NE(store.Placements().At(i).InvestId, 1);
    EXPECT_EQ(NodeOf(*tree, TNodeKind::Investigation, "Desk neighbours, September"), nullptr);
    EXPECT_TRUE(store.IsModified());
}

TEST_F(ShellObjectsTreeTest, ObjectsInUseAreRefusedNamingSortedInvestigations)
{
    // A client of a group that investigations use, even one who chose nobody. The refusal
    // comes before any question.
    Select(TNodeKind::Client, "Emily Foster");
    TScriptedModalSeam seam;
    tree->RemoveObject();
    EXPECT_TRUE(seam.dialogsShown.isEmpty());
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_EQ(seam.informations[0], CatText("CLIENT_IS_IN_INVESTS") +
                                        ": \"Birthday party, December\", \"Desk neighbours, May\", \"Desk neighbours, September\".");
    EXPECT_TRUE(store.Clients().Find(5, 1));

    Select(TNodeKind::ClientGroup, "Chess club");
    tree->RemoveObject();
    ASSERT_EQ(seam.informations.size(), 2);
    EXPECT_EQ(seam.informations[1], CatText("CLIENTGROUP_IS_IN_INVESTS") + ": \"Chess club: homework help\".");
    EXPECT_EQ(store.CountClientsInGroup(2), 8);

    // Only the second and third criteria of "Leisure" are unused; the second one is asked.
    Select(TNodeKind::CriteriaGroup, "Leisure");
    tree->RemoveObject();
    ASSERT_EQ(seam.informations.size(), 4);
    EXPECT_TRUE(seam.informations[2].startsWith("[Whom would you invite to your birthday party?] " +
                                                CatText("CRITERION_IS_IN_INVESTS")));
    EXPECT_EQ(seam.informations[3], CatText("CANT_REMOVE_CRITGRP_FROM_CRITERIES"));
    EXPECT_EQ(store.CountCriteriaInGroup(2), 3);
    EXPECT_TRUE(seam.dialogsShown.isEmpty());
}

TEST_F(ShellObjectsTreeTest, RemovalQuestionNamesTheObject)
{
    Select(TNodeKind::Criterion, "With whom would you like to go to the cinema?");
    TScriptedModalSeam seam;
    QString question;
    seam.ExpectDialog("DialogForm", [&](QDialog& box) {
        if (auto* label = box.findChild<QLabel*>("cap"))
            question = label->text();
        FindButton(box, "Button1")->click(); // No
    });
    tree->RemoveObject();
    EXPECT_EQ(question, CatText("CAN_REMOVE_CRITERY_MSG")
                            .replace("%1", "With whom would you like to go to the cinema?"));
    EXPECT_TRUE(question.contains("\"With whom would you like to go to the cinema?\""));
    EXPECT_TRUE(store.Criteria().Find(3, 2));
}

TEST_F(ShellObjectsTreeTest, UnusedObjectsAreRemovedWithTheirMembers)
{
    Select(TNodeKind::Criterion, "With whom would you like to go to the cinema?");
    TScriptedModalSeam seam;
    seam.ExpectDialogButton("DialogForm", "Button0");
    tree->RemoveObject();
    EXPECT_FALSE(store.Criteria().Find(3, 2));

    // A client group that no investigation uses goes with its clients.
    const int id = tree->AddClientGroup("Drama club", "");
    tree->AddClient(id, "Pat Quill", true, 40000, "");
    tree->AddClient(id, "Rae Stone", false, 40000, "");
    Select(TNodeKind::ClientGroup, "Drama club");
    seam.ExpectDialogButton("DialogForm", "Button0");
    tree->RemoveObject();
    EXPECT_FALSE(store.ClientGroups().FindById(id));
    EXPECT_EQ(store.CountClientsInGroup(id), 0);
    EXPECT_EQ(NodeOf(*tree, TNodeKind::Client, "Pat Quill"), nullptr);
    EXPECT_TRUE(seam.informations.isEmpty());
}

TEST_F(ShellObjectsTreeTest, InUseMessageIsCutToShortTextLength)
{
    for (int i = 0; i < 12; ++i)
        store.Investigations().Add({.Id = 10 + i,
                                    .ClientGroupId = 2,
                                    .CriterionId = 1,
                                    .CriteriaGroupId = 1,
                                    .Name = "A rather long investigation name number " + std::to_string(i),
                                    .Date = 45000,
                                    .AllowAgainst = true,
                                    .MaxChoices = 2});
    Select(TNodeKind::Client, "Aaron Patel");
    TScriptedModalSeam seam;
    tree->RemoveObject();
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_EQ(seam.informations[0].size(), 255);
}

TEST_F(ShellObjectsTreeTest, FindHonoursTypeCaseAndWholeStringWithoutWrapping)
{
    TScriptedModalSeam seam;
    // Clients only, any letter case, part of the name.
    QTreeWidgetItem* found = tree->FindObject(nullptr, "own", TFindType::Clients, TFindFlags::None);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->text(0), "Alice Brown");
    EXPECT_EQ(tree->CurrentNode(), found);
    // Whole string in any case, then exact case.
    found = tree->FindObject(nullptr, "mia nowak", TFindType::Clients, TFindFlags::WholeString);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->text(0), "Mia Nowak");
    EXPECT_EQ(tree->FindObject(nullptr, "mia nowak", TFindType::Clients,
                               TFindFlags::CaseSensitive | TFindFlags::WholeString),
              nullptr);
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_EQ(seam.informations[0], CatText("FIND_NO_OBJECT"));
    EXPECT_EQ(tree->CurrentNode()->text(0), "Mia Nowak") << "a failed search keeps the selection";
    // Type narrows: the word "club" is in a client group name, never in a client's.
    EXPECT_EQ(tree->FindObject(nullptr, "club", TFindType::ClientGroups, TFindFlags::None)->text(0),
              "Chess club");
    EXPECT_EQ(tree->FindObject(nullptr, "club", TFindType::Clients, TFindFlags::None), nullptr);
    // Branch nodes never match, whatever the type.
    EXPECT_EQ(
        tree->FindObject(nullptr, CatText("MAIN_NODE_TITLE"), TFindType::AnyObject, TFindFlags::WholeString),
        nullptr);

    // Find next walks on after the current node and stops at the end.
    QTreeWidgetItem* first =
        tree->FindObject(nullptr, "Jack Kelly", TFindType::Clients, TFindFlags::WholeString);
    QTreeWidgetItem* second =
        tree->FindObject(first, "Jack Kelly", TFindType::Clients, TFindFlags::WholeString);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(TObjectsTree::NodeIds(second).ParentId, 2);
    EXPECT_EQ(tree->FindObject(second, "Jack Kelly", TFindType::Clients, TFindFlags::WholeString), nullptr);
    EXPECT_EQ(tree->CurrentNode(), second);
}

TEST_F(ShellObjectsTreeTest, PopupMenuFollowsNodeKind)
{
    struct TCase {
        TNodeKind kind;
        bool create, change, views;
    };
    const TCase cases[] = {
        {TNodeKind::Project, false, false, false},    {TNodeKind::ClientGroups, true, false, false},
        {TNodeKind::ClientGroup, true, true, false},  {TNodeKind::Client, false, true, false},
        {TNodeKind::Criteria, true, false, false},    {TNodeKind::CriteriaGroup, true, true, false},
        {TNodeKind::Criterion, false, true, false},   {TNodeKind::Investigations, true, false, false},
        {TNodeKind::Investigation, false, true, true}};
    for (const TCase& c : cases) {
        Select(c.kind);
        const QList<QAction*> items = tree->PopupMenu().actions();
        ASSERT_EQ(items.size(), 11);
        const TObjectCaptionKeys keys = ObjectCaptionKeys(c.kind);
        SCOPED_TRACE(static_cast<int>(c.kind));
        EXPECT_EQ(items[0]->text(), CatText(keys.Create));
        EXPECT_EQ(items[1]->text(), CatText(keys.Change));
        EXPECT_EQ(items[2]->text(), CatText(keys.Remove));
        EXPECT_TRUE(items[3]->isSeparator());
        EXPECT_EQ(items[0]->isEnabled(), c.create);
        EXPECT_EQ(items[1]->isEnabled(), c.change);
        EXPECT_EQ(items[2]->isEnabled(), c.change);
        for (int i : {4, 6, 7, 8, 9, 10})
            EXPECT_EQ(items[i]->isEnabled(), c.views);
    }
}

TEST_F(ShellObjectsTreeTest, DoubleClickOnBranchExpandsWithoutDialogAndRightClickSelects)
{
    owner.resize(400, 600);
    tree->resize(400, 600);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    QTreeWidgetItem* criteria = NodeOf(*tree, TNodeKind::Criteria);
    ASSERT_FALSE(criteria->isExpanded());
    TNotifyRecorder notes;
    TScriptedModalSeam seam; // any dialog would fail the test
    const QPoint at = tree->visualItemRect(criteria).center();
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(criteria->isExpanded());
    EXPECT_NE(std::find(notes.codes.begin(), notes.codes.end(), TNotifyCode::ObjectChanged), notes.codes.end());

    QTreeWidgetItem* invests = NodeOf(*tree, TNodeKind::Investigations);
    QTest::mousePress(tree->viewport(), Qt::RightButton, {}, tree->visualItemRect(invests).center());
    EXPECT_EQ(tree->CurrentNode(), invests);
    EXPECT_NE(std::find(notes.codes.begin(), notes.codes.end(), TNotifyCode::TreeSelectionChanged),
              notes.codes.end());
    EXPECT_EQ(tree->editTriggers(), QAbstractItemView::NoEditTriggers);

    // F1 opens the tree's own help page.
    owner.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_F1);
    ASSERT_NE(HelpWindow(), nullptr);
    auto* browser = HelpWindow()->findChild<QTextBrowser*>("HelpBrowser");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->source().toLocalFile().endsWith("/help/51.html"));
    HelpWindow()->close();
}

} // namespace
