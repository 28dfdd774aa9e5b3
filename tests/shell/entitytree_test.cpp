#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTreeWidgetItem>

#include "i18n/langconv.h"
#include "views/notify.h"
#include "shell/objectstree.h"
#include "store/fileacc.h"
#include "support/core/tempdir.h"
#include "support/ui/notifyrecorder.h"
#include "support/ui/scriptedseam.h"

namespace {

void NameAndConfirm(QDialog& d, const char* edit, const QString& name)
{
    d.findChild<QLineEdit*>(edit)->setText(name);
    FindButton(d, "OKButton")->click();
}

QStringList ChildTexts(const QTreeWidgetItem* node)
{
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts << node->child(i)->text(0);
    return texts;
}

// The tree's create and change commands open the entity dialogs and keep nodes and tables in step.
TEST(EntityDialogsTree, CreateAndChangeThroughTreeCommands)
{
    TTempDir dir;
    TFileAccess store(dir.File("p.soi"));
    QWidget owner;
    auto* tree = new TObjectsTree(&owner);
    tree->SetStore(&store);
    tree->Rebuild();
    QTreeWidgetItem* project = tree->topLevelItem(0);
    ASSERT_NE(project, nullptr);
    QTreeWidgetItem* groups = project->child(0);
    QTreeWidgetItem* criteria = project->child(1);
    QTreeWidgetItem* invests = project->child(2);

    TNotifyRecorder notes;
    TScriptedModalSeam seam;
    tree->setCurrentItem(groups);
    seam.ExpectDialog("AddClientsGroupForm", [](QDialog& d) { NameAndConfirm(d, "ClientsGroupEdit", "Pair"); });
    tree->CreateObject();
    seam.ExpectDialog("AddClientsGroupForm", [](QDialog& d) { NameAndConfirm(d, "ClientsGroupEdit", "Solo"); });
    tree->CreateObject();
    ASSERT_EQ(ChildTexts(groups), (QStringList{"Pair", "Solo"}));
    EXPECT_EQ(TObjectsTree::NodeId(groups->child(1)), 2);

    tree->setCurrentItem(groups->child(0));
    for (const char* name : {"Ann", "Bob"}) {
        seam.ExpectDialog("AddClientForm", [name](QDialog& d) { NameAndConfirm(d, "FullNameEdit", name); });
        tree->CreateObject();
    }
    tree->setCurrentItem(groups->child(1));
    seam.ExpectDialog("AddClientForm", [](QDialog& d) { NameAndConfirm(d, "FullNameEdit", "Cid"); });
    tree->CreateObject();
    EXPECT_EQ(ChildTexts(groups->child(0)), (QStringList{"Ann", "Bob"}));
    EXPECT_EQ(store.CountClientsInGroup(1), 2);
    EXPECT_EQ(store.CountClientsInGroup(2), 1);

    tree->setCurrentItem(criteria);
    seam.ExpectDialog("AddCriteriesGroupForm", [](QDialog& d) {
        NameAndConfirm(d, "CriteriesGroupEdit", "Leisure");
    });
    tree->CreateObject();
    tree->setCurrentItem(criteria->child(0));
    seam.ExpectDialog("AddCriteryForm", [](QDialog& d) { NameAndConfirm(d, "CriteryEdit", "Cinema?"); });
    tree->CreateObject();
    EXPECT_EQ(ChildTexts(criteria->child(0)), QStringList{"Cinema?"});

    // The one-client group is refused at OK; the dialog comes back, and after Cancel no node and
    // no record appear.
    tree->setCurrentItem(invests);
    seam.ExpectDialog("AddInvestForm", [](QDialog& d) {
        d.findChild<QComboBox*>("ClientsGroupComboBox")->setCurrentIndex(1);
        NameAndConfirm(d, "InvestEdit", "Refused");
    });
    seam.ExpectDialog("AddInvestForm", [](QDialog& d) { d.reject(); });
    tree->CreateObject();
    EXPECT_EQ(invests->childCount(), 0);
    EXPECT_EQ(seam.informations,
              QStringList{QString::fromStdString(LangConv().GetText("NOT_ENOUGH_CLIENTS_IN_GROUP"))});
    seam.ExpectDialog("AddInvestForm", [](QDialog& d) { NameAndConfirm(d, "InvestEdit", "Spring"); });
    tree->CreateObject();
    ASSERT_EQ(ChildTexts(invests), QStringList{"Spring"});

    // Changing renames the node; adding a client to the investigated group is now refused.
    tree->setCurrentItem(groups->child(0)->child(1));
    seam.ExpectDialog("AddClientForm", [](QDialog& d) { NameAndConfirm(d, "FullNameEdit", "Robert"); });
    tree->ChangeObject();
    EXPECT_EQ(ChildTexts(groups->child(0)), (QStringList{"Ann", "Robert"}));
    ASSERT_TRUE(store.Clients().Find(2, 1));
    EXPECT_EQ(store.Clients().GetFullName(), "Robert");
    tree->setCurrentItem(groups->child(0));
    tree->CreateObject();
    EXPECT_EQ(groups->child(0)->childCount(), 2);
    EXPECT_EQ(seam.informations.size(), 2);
    EXPECT_TRUE(seam.informations.last().endsWith(": \"Spring\"."));

    EXPECT_EQ(std::count(notes.codes.begin(), notes.codes.end(), TNotifyCode::ObjectCreated), 10);
    EXPECT_EQ(std::count(notes.codes.begin(), notes.codes.end(), TNotifyCode::ObjectChanged), 1);
}

} // namespace
