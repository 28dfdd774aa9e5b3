// The indexes window's export: one member row per member in a workbook, and a failed write said.
#include <gtest/gtest.h>

#include "analysis/projectbuilder.h"
#include "settings/regs.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "views/indexes/indexesform.h"

namespace {

TEST(IndexesExchange, ExportsTheIndicesAndReportsAFailedWrite)
{
    Regs().Load();
    TProjectBuilder project;
    project.Members(5, 2, {11, 12, 13});
    project.For(5, 11, 12).For(5, 12, 11).Against(5, 13, 11);
    TRecordingMessages messages;
    TScriptedModalSeam seam;
    const TTempDir dir;
    TIndexesForm form(project.store, 5, "Week 1");
    seam.ExpectSaveFile(QString::fromStdString(dir.File("i.csv")));
    form.ItemExportIndicesClick();
    EXPECT_TRUE(messages.texts.empty());
    const std::string members = ReadFileBytes(dir.File("i.csv"));
    EXPECT_EQ(members.rfind("id,name,sex", 0), 0u);
    EXPECT_NE(members.find("\r\n11,M11,male"), std::string::npos) << members;
    EXPECT_FALSE(ReadFileBytes(dir.File("i-group.csv")).empty());

    seam.ExpectSaveFile(QString::fromStdString(dir.File("no/such/folder/i.xlsx")));
    form.ItemExportIndicesClick();
    EXPECT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(seam.AllConsumed());
}

TEST(IndexesExchange, AnExtensionAddedToTheNameStillAsksBeforeReplacing)
{
    Regs().Load();
    TProjectBuilder project;
    project.Members(5, 2, {11, 12, 13});
    project.For(5, 11, 12);
    TScriptedModalSeam seam;
    const TTempDir dir;
    WriteFileBytes(dir.File("week1.xlsx"), "keep");
    TIndexesForm form(project.store, 5, "Week 1");
    seam.ExpectSaveFile(QString::fromStdString(dir.File("week1")));
    seam.ExpectDialogButton("DialogForm", "No");
    form.ItemExportIndicesClick();
    EXPECT_EQ(ReadFileBytes(dir.File("week1.xlsx")), "keep");
    EXPECT_TRUE(seam.AllConsumed());
}

} // namespace
