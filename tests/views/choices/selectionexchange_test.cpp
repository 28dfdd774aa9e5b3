// The choices window's import and export: refused rows shown before anything changes, admitted
// choices put into the grid (saved only with the window), and the grid written as it is shown.
#include <gtest/gtest.h>

#include <QDialog>
#include <QListWidget>

#include "exchange/csvreader.h"
#include "settings/regs.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "views/choices/selectionform.h"
#include "views/choices/selections.h"

namespace {

class ChoicesExchangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Regs().Load();
        Regs().Choices.ArrowDirection = true; // rows choose
        Regs().Choices.IsGraphic = true;
        store.ClientGroups().Add(7, "Class");
        store.CriteriaGroups().Add(2, "Leisure");
        store.Criteria().Add(5, 2, "Who would you go hiking with?");
        for (const char* name : {"Anna", "Bob", "Cleo"})
            store.Clients().Add(static_cast<int32_t>(11 + store.Clients().Count()), 7, name, true, 0);
        store.Investigations().Add({.Id = 3,
                                    .ClientGroupId = 7,
                                    .CriterionId = 5,
                                    .CriteriaGroupId = 2,
                                    .Name = "Hiking",
                                    .Date = 0,
                                    .AllowAgainst = true,
                                    .MaxChoices = 2});
        store.ForChoices().Add(3, 11, 12);
    }

    TTempDir dir;
    TFileAccess store{dir.File("project.soi")};
    TRecordingMessages messages;
    TScriptedModalSeam seam;
};

TEST_F(ChoicesExchangeTest, RefusedRowsAreShownAndCancellingChangesNothing)
{
    TSelectionForm form(store, 3, QStringLiteral("Hiking"));
    WriteFileBytes(dir.File("c.csv"), "chooser,chosen,sign\nBob,Anna,+\nCleo,Cleo,+\nCleo,Anna,-\n");
    int refusedShown = 0;
    seam.ExpectOpenFile(QString::fromStdString(dir.File("c.csv")));
    seam.ExpectDialog(QStringLiteral("ChoicesImportForm"), [&](QDialog& dialog) {
        refusedShown = dialog.findChild<QListWidget*>(QStringLiteral("RefusedList"))->count();
        dialog.reject();
    });
    form.ImportChoicesFile();
    EXPECT_EQ(refusedShown, 1);
    EXPECT_FALSE(form.IsModified());
    EXPECT_EQ(form.Selects().Cell(1, 0), stFor); // Anna -> Bob still in the grid

    seam.ExpectOpenFile(QString::fromStdString(dir.File("c.csv")));
    seam.ExpectDialogButton(QStringLiteral("ChoicesImportForm"), QStringLiteral("ImportButton"));
    form.ImportChoicesFile();
    EXPECT_TRUE(seam.AllConsumed());
    EXPECT_TRUE(form.IsModified());
    EXPECT_EQ(store.CountForChoices(3), 1); // nothing stored before the window saves
    ASSERT_TRUE(form.Save());
    EXPECT_EQ(store.CountForChoices(3), 1);
    EXPECT_EQ(store.ForChoices().At(0).FromId, 12);
    EXPECT_EQ(store.CountAgainstChoices(3), 1);
}

TEST_F(ChoicesExchangeTest, ExportWritesTheGridAsShownUnsavedChangesIncluded)
{
    TSelectionForm form(store, 3, QStringLiteral("Hiking"));
    form.Selects().SetCell(0, 2, stAgainst); // Cleo rejects Anna, not saved
    seam.ExpectSaveFile(QString::fromStdString(dir.File("m.csv")));
    form.ExportSociomatrix();
    TCsvTable table;
    std::string error;
    ASSERT_TRUE(ReadCsvFile(dir.File("m.csv"), table, error)) << error;
    ASSERT_EQ(table.Rows.size(), 4u);
    EXPECT_EQ(table.Rows[0].Fields, (std::vector<std::string>{"", "Anna", "Bob", "Cleo"}));
    EXPECT_EQ(table.Rows[1].Fields, (std::vector<std::string>{"Anna", "0", "1", "0"}));
    EXPECT_EQ(table.Rows[3].Fields, (std::vector<std::string>{"Cleo", "-1", "0", "0"}));
}

} // namespace
