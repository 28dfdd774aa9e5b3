#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QTreeWidgetItem>

#include "shell/objectstree.h"
#include "i18n/storemessages.h"
#include "shell/socmain_f.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "store/updatefile.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"

namespace {

const std::string kUpgradeData = std::string(TREMLOW_TEST_DATA_DIR) + "/upgrade/";

class ShellExchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.OpenProjectFile(QString::fromStdString(SampleProjectPath()));
        ASSERT_TRUE(window.HasProject());
    }

    void SelectGroup(const QString& name)
    {
        QTreeWidgetItem* node = NodeOf(window.Tree(), TNodeKind::ClientGroup, name);
        ASSERT_NE(node, nullptr);
        window.Tree().setCurrentItem(node);
    }

    int GroupNodes()
    {
        QTreeWidgetItem* branch = NodeOf(window.Tree(), TNodeKind::ClientGroups);
        return branch ? branch->childCount() : -1;
    }

    TShellSettings settings;
    TTempDir dir;
    TRecordingProgress progress;
    TRecordingMessages messages;
    TSocMainForm window;
};

TEST_F(ShellExchange, AnExportedGroupComesBackAsANewGroupEachTimeItIsImported)
{
    TScriptedModalSeam seam;
    SelectGroup("Chess club");
    const int clients = window.Store()->CountClientsInGroup(window.Tree().CurrentIds().Id);
    ASSERT_GT(clients, 0);
    ASSERT_TRUE(window.findChild<QAction*>("ExportClientGroupMenuItem")->isEnabled());

    seam.ExpectSaveFile(QString::fromStdString(dir.File("chess")));
    window.findChild<QAction*>("ExportClientGroupMenuItem")->trigger();
    const std::string file = dir.File("chess.sgr");
    ASSERT_TRUE(std::filesystem::exists(file));
    const std::string written = ReadFileBytes(file);
    EXPECT_TRUE(written.starts_with("CLIENT_GROUP\r\nChess club\r\n"));

    // A second export under the same name is refused and leaves the file as it was.
    seam.ExpectSaveFile(QString::fromStdString(file));
    window.findChild<QAction*>("ExportClientGroupMenuItem")->trigger();
    EXPECT_EQ(ReadFileBytes(file), written);
    EXPECT_EQ(seam.informations, QStringList({CatText("CLIENT_GROUP_EXPORT_OK"), CatText("CLN_GROUP_FILE_EXIST")}));

    const int groupsBefore = GroupNodes();
    window.Store()->SetModified(false);
    seam.ExpectOpenFile(QString::fromStdString(file));
    seam.ExpectOpenFile(QString::fromStdString(file));
    window.findChild<QAction*>("ImportClientGroupMenuItem")->trigger();
    window.findChild<QAction*>("ImportClientGroupMenuItem")->trigger();
    EXPECT_EQ(GroupNodes(), groupsBefore + 2);
    // Each import is a step of the undo stack, which makes the project modified.
    EXPECT_TRUE(window.isWindowModified());
    QTreeWidgetItem* branch = NodeOf(window.Tree(), TNodeKind::ClientGroups);
    QTreeWidgetItem* first = branch->child(groupsBefore);
    QTreeWidgetItem* second = branch->child(groupsBefore + 1);
    EXPECT_EQ(first->text(0), "Chess club");
    EXPECT_EQ(second->text(0), "Chess club");
    EXPECT_NE(TObjectsTree::NodeId(first), TObjectsTree::NodeId(second));
    EXPECT_EQ(second->childCount(), clients);
    EXPECT_EQ(window.Store()->CountClientsInGroup(TObjectsTree::NodeId(second)), clients);
    EXPECT_EQ(seam.informations.mid(2),
              QStringList({CatText("CLIENT_GROUP_IMPORT_OK"), CatText("CLIENT_GROUP_IMPORT_OK")}));
}

TEST_F(ShellExchange, ABrokenOrMissingFileAddsNothing)
{
    TScriptedModalSeam seam;
    const std::string bad = dir.File("bad.sgr");
    WriteFileBytes(bad, "CLIENT_GROUP\r\nG\r\nNULL\r\n2\r\nA\r\nman\r\n2000-01-01\r\nNULL\r\n"
                        "B\r\nwoman\r\n2000-02-30\r\nNULL\r\n");
    const int groups = window.Store()->ClientGroups().Count();
    const int clients = window.Store()->Clients().Count();
    const int nodes = GroupNodes();
    window.Store()->SetModified(false);
    seam.ExpectOpenFile(QString::fromStdString(bad));
    seam.ExpectOpenFile(QString::fromStdString(dir.File("missing.sgr")));
    seam.ExpectOpenFile(QString()); // cancelled: no message
    for (int i = 0; i < 3; ++i)
        window.findChild<QAction*>("ImportClientGroupMenuItem")->trigger();
    EXPECT_EQ(seam.informations, QStringList({CatText("CLIENT_GROUP_FILE_BAD"), CatText("CLN_GROUP_FILE_NOT_EXIST")}));
    EXPECT_EQ(window.Store()->ClientGroups().Count(), groups);
    EXPECT_EQ(window.Store()->Clients().Count(), clients);
    EXPECT_EQ(GroupNodes(), nodes);
    EXPECT_FALSE(window.Store()->IsModified());
}

class ShellUpgrade : public ::testing::Test {
protected:
    std::string Copy(const std::string& name)
    {
        const std::string path = dir.File(name);
        std::filesystem::copy_file(kUpgradeData + name, path);
        return path;
    }

    TShellSettings settings;
    TTempDir dir;
    TRecordingProgress progress;
    TRecordingMessages messages;
    TSocMainForm window;
};

TEST_F(ShellUpgrade, AnOlderFileOpensOnlyAfterYes)
{
    TScriptedModalSeam seam;
    const std::string path = Copy("old-names-no-login-flag-cp1251.soi");
    const std::string original = ReadFileBytes(path);
    seam.ExpectDialog("DialogForm", [](QDialog& box) {
        EXPECT_TRUE(box.findChildren<QWidget*>().size() > 0);
        FindButton(box, "Button1")->click(); // No
    });
    window.OpenProjectFile(QString::fromStdString(path));
    EXPECT_FALSE(window.HasProject());
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(messages.texts, std::vector<std::string>{NotChangedText()});

    seam.ExpectDialogButton("DialogForm", "Button0"); // Yes
    window.OpenProjectFile(QString::fromStdString(path));
    ASSERT_TRUE(window.HasProject());
    EXPECT_FALSE(window.Store()->LoginRequired());
    EXPECT_EQ(window.Store()->Clients().At(0).FullName, "Иванов Иван Петрович");
    EXPECT_EQ(window.Store()->Clients().At(1).FullName, "Петрова Анна");
    EXPECT_EQ(window.Store()->Clients().At(2).FullName, "Сергей");
    EXPECT_EQ(ReadFileBytes(path + ".bak"), original);
    ASSERT_NE(NodeOf(window.Tree(), TNodeKind::Client, "Сергей"), nullptr);
}

TEST_F(ShellUpgrade, AConvertedFileThatWillNotLoadPointsAtItsOwnBackup)
{
    TScriptedModalSeam seam;
    const std::string path = Copy("no-login-flag.soi");
    std::string bytes = ReadFileBytes(path);
    bytes.replace(bytes.find("CLIENT_GROUP_ID_1=1"), 19, "CLIENT_GROUP_ID_1=x");
    WriteFileBytes(path, bytes);
    WriteFileBytes(path + ".bak", "an older backup");
    seam.ExpectDialogButton("DialogForm", "Button0"); // Yes
    window.OpenProjectFile(QString::fromStdString(path));
    EXPECT_FALSE(window.HasProject());
    EXPECT_EQ(ReadFileBytes(path + ".1.bak"), bytes);
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_TRUE(seam.informations.front().contains(QString::fromStdString(path + ".1.bak")))
        << seam.informations.front().toStdString();
}

TEST_F(ShellUpgrade, ACurrentFileOpensWithoutAQuestion)
{
    TScriptedModalSeam seam;
    window.OpenProjectFile(QString::fromStdString(SampleProjectPath()));
    EXPECT_TRUE(window.HasProject());
    EXPECT_TRUE(seam.dialogsShown.isEmpty());
}

} // namespace
