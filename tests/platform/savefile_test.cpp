#include <gtest/gtest.h>

#include <QDir>

#include "platform/savefile.h"
#include "store/fileacc.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "util/service.h"

namespace {

const QString kTables = QStringLiteral("Excel workbooks (*.xlsx);;CSV files (*.csv)");

QString PathIn(const TTempDir& dir, const char* name)
{
    return QString::fromStdString(dir.File(name));
}

} // namespace

TEST(SaveFileTest, NameIsCompletedByTheChosenFilterUnlessItHasAnOfferedExtension)
{
    EXPECT_EQ(FilterExtensions("Pictures (*.jpg *.jpeg)"), QStringList({"jpg", "jpeg"}));
    EXPECT_TRUE(FilterExtensions("All files (*)").isEmpty());

    // The chosen entry decides, not the first one.
    EXPECT_EQ(CompleteFileName("/t/out", kTables, "CSV files (*.csv)"), "/t/out.csv");
    // A dot in a folder name is not an extension.
    EXPECT_EQ(CompleteFileName("/t/my.data/out", kTables, "Excel workbooks (*.xlsx)"), "/t/my.data/out.xlsx");
    // An offered extension is kept, in any case, whichever entry was chosen.
    EXPECT_EQ(CompleteFileName("/t/out.CSV", kTables, "Excel workbooks (*.xlsx)"), "/t/out.CSV");
    // Anything else is not a format the writers know: the chosen one is added.
    EXPECT_EQ(CompleteFileName("/t/class.2026", kTables, "CSV files (*.csv)"), "/t/class.2026.csv");
    EXPECT_EQ(CompleteFileName("/t/.csv", kTables, "CSV files (*.csv)"), "/t/.csv.csv");
}

TEST(SaveFileTest, ReplaceQuestionIsAboutTheCompletedName)
{
    TTempDir dir;
    WriteFileBytes(dir.File("out.csv"), "keep");
    TScriptedModalSeam seam;

    // Typed without extension: the file written would be out.csv, which exists.
    seam.ExpectSaveFile(PathIn(dir, "out"), "*.csv");
    seam.ExpectDialogButton("DialogForm", "No");
    EXPECT_TRUE(AskSaveFileName(nullptr, "Export", kTables).isEmpty());

    // Closing the question keeps the file as well.
    seam.ExpectSaveFile(PathIn(dir, "out"), "*.csv");
    seam.ExpectDialog("DialogForm", [](QDialog&) {});
    EXPECT_TRUE(AskSaveFileName(nullptr, "Export", kTables).isEmpty());
    EXPECT_EQ(ReadFileBytes(dir.File("out.csv")), "keep");

    seam.ExpectSaveFile(PathIn(dir, "out"), "*.csv");
    seam.ExpectDialogButton("DialogForm", "Yes");
    EXPECT_EQ(AskSaveFileName(nullptr, "Export", kTables), PathIn(dir, "out.csv"));

    // A new name is not questioned; the chosen entry is handed back.
    QString chosen;
    seam.ExpectSaveFile(PathIn(dir, "new"), "*.xlsx");
    EXPECT_EQ(AskSaveFileName(nullptr, "Export", kTables, &chosen), PathIn(dir, "new.xlsx"));
    EXPECT_EQ(chosen, "Excel workbooks (*.xlsx)");
}

TEST(SaveFileTest, DialogStartsInTheFolderUsedLastElseTheProjectsFolder)
{
    TTempDir projectDir;
    TTempDir otherDir;
    SetProjectFolder(projectDir.File("class.soi"));
    LastSaveFolder().clear();
    TScriptedModalSeam seam;

    seam.ExpectSaveFile(QString());
    EXPECT_TRUE(AskSaveFileName(nullptr, "Export", kTables).isEmpty());
    seam.ExpectSaveFile(PathIn(otherDir, "a.csv"));
    AskSaveFileName(nullptr, "Export", kTables);
    seam.ExpectSaveFile(QString());
    AskSaveFileName(nullptr, "Export", kTables);

    ASSERT_EQ(seam.saveFolders.size(), 3);
    EXPECT_EQ(QDir(seam.saveFolders[0]), QDir(QString::fromStdString(projectDir.Path().string())));
    EXPECT_EQ(QDir(seam.saveFolders[1]), QDir(QString::fromStdString(projectDir.Path().string())));
    EXPECT_EQ(QDir(seam.saveFolders[2]), QDir(QString::fromStdString(otherDir.Path().string())));
    LastSaveFolder().clear();
    SetProjectFolder({});
}
