// The status groups window: groups and counts from the investigation, sorting by number, the
// refusal texts, CSV and clipboard text, the picture, and the CSV save with its overwrite question.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTableWidget>

#include "analysis/projectbuilder.h"
#include "settings/regs.h"
#include "support/core/tempdir.h"
#include "support/ui/pictures.h"
#include "support/ui/scriptedseam.h"
#include "util/error.h"
#include "views/status/statusform.h"

namespace {

constexpr int kInvest = 5;
constexpr int kGroup = 2;

class StatusFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Regs().Load();
        // 1 chosen by all, 2 rejected by all, 3 and 4 named by nobody.
        project.Members(kInvest, kGroup, {1, 2, 3, 4});
        project.store.Clients().Change(1, kGroup, "Smith, Anna", true, 0);
        project.For(kInvest, 2, 1).For(kInvest, 3, 1).For(kInvest, 4, 1);
        project.Against(kInvest, 1, 2).Against(kInvest, 3, 2).Against(kInvest, 4, 2);
    }
    TProjectBuilder project;
};

TEST_F(StatusFormTest, ShowsGroupsCountsAndSortsByNumber)
{
    TStatusForm form(project.store, kInvest, "Week 1");
    ASSERT_TRUE(form.Result().Available());
    QTableWidget& table = form.Table();
    ASSERT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.item(0, 0)->text(), "Smith, Anna");
    EXPECT_EQ(table.item(0, 7)->text(), StatusGroupName(TStatusGroup::Popular));
    EXPECT_EQ(table.item(1, 7)->text(), StatusGroupName(TStatusGroup::Rejected));
    EXPECT_EQ(table.item(0, 7)->background().color(), StatusGroupColor(TStatusGroup::Popular));
    EXPECT_NE(StatusGroupColor(TStatusGroup::Popular), StatusGroupColor(TStatusGroup::Rejected));
    const QString counts = form.findChild<QLabel*>("StatusCountsLabel")->text();
    EXPECT_TRUE(counts.contains(StatusGroupName(TStatusGroup::Popular).toHtmlEscaped() + ": <b>1</b>")) << counts.toStdString();

    // Sorting by LL puts the rejected member (3 received) last in ascending order: by number, so
    // that 10 would not sort before 9.
    table.sortItems(2, Qt::AscendingOrder);
    EXPECT_EQ(table.item(3, 2)->text(), "3");
    EXPECT_EQ(table.item(3, 0)->text(), "M2");
    // The clipboard text follows the order shown.
    form.ItemCopyClick();
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[4].startsWith("M2\t0\t3\t"));
}

TEST_F(StatusFormTest, NamesSortByTheirNumbersAndTheWindowOpensWideEnoughForEveryColumn)
{
    TProjectBuilder numbered;
    numbered.Members(kInvest, kGroup, {10, 2, 9, 1});
    numbered.For(kInvest, 2, 10).Against(kInvest, 9, 1);
    TStatusForm form(numbered.store, kInvest, "Week 1");
    QTableWidget& table = form.Table();
    table.sortItems(0, Qt::AscendingOrder);
    QStringList names;
    for (int r = 0; r < table.rowCount(); ++r)
        names << table.item(r, 0)->text();
    EXPECT_EQ(names, (QStringList{"M1", "M2", "M9", "M10"}));

    form.resize(form.ContentSize());
    form.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(table.horizontalScrollBar()->isVisible());
    EXPECT_FALSE(table.verticalScrollBar()->isVisible());
}

TEST_F(StatusFormTest, NoGroupsWithoutNegativeChoicesSaysWhy)
{
    TProjectBuilder positive;
    positive.Members(kInvest, kGroup, {1, 2, 3});
    positive.For(kInvest, 1, 2);
    TStatusForm form(positive.store, kInvest, "Week 1");
    EXPECT_FALSE(form.Result().Available());
    EXPECT_EQ(form.Table().rowCount(), 0);
    EXPECT_FALSE(form.findChild<QLabel*>("StatusCountsLabel")->text().isEmpty());
    // A one-member investigation is refused as for every view.
    TProjectBuilder one;
    one.Members(kInvest, kGroup, {1});
    EXPECT_THROW(TStatusForm(one.store, kInvest, "x"), TAppError);
}

TEST_F(StatusFormTest, CsvKeepsFullPrecisionAndQuotesNames)
{
    TStatusForm form(project.store, kInvest, "Week 1");
    const std::string csv = form.CsvText();
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")), "id,name,LM,LL,zLM,zLL,zSP,zSI,group");
    EXPECT_NE(csv.find("\r\n1,\"Smith, Anna\",3,0,1.7320508075688772,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",rejected\r\n"), std::string::npos);
}

TEST_F(StatusFormTest, SaveAddsTheExtensionBeforeAskingAboutOverwriting)
{
    TTempDir dir;
    const std::string existing = dir.File("class.csv");
    WriteFileBytes(existing, "keep me");
    TStatusForm form(project.store, kInvest, "Week 1");
    {
        // "class" becomes "class.csv", which exists: No keeps the file.
        TScriptedModalSeam seam;
        seam.ExpectSaveFile(QString::fromStdString(dir.File("class")));
        seam.ExpectDialogButton("DialogForm", "Button1");
        form.ItemSaveCsvClick();
        EXPECT_TRUE(seam.AllConsumed());
    }
    EXPECT_EQ(ReadFileBytes(existing), "keep me");
    {
        TScriptedModalSeam seam;
        seam.ExpectSaveFile(QString::fromStdString(dir.File("class")));
        seam.ExpectDialogButton("DialogForm", "Button0");
        form.ItemSaveCsvClick();
    }
    EXPECT_EQ(ReadFileBytes(existing), form.CsvText());
    {
        // A folder that does not exist: the failure is shown, naming the file.
        TScriptedModalSeam seam;
        seam.ExpectSaveFile(QString::fromStdString(dir.File("missing/x.csv")));
        form.ItemSaveCsvClick();
        ASSERT_EQ(seam.informations.size(), 1);
        EXPECT_TRUE(seam.informations[0].contains("x.csv"));
    }
}

TEST_F(StatusFormTest, PictureHoldsTheWholeTable)
{
    TStatusForm form(project.store, kInvest, "Week 1");
    const QSize size = form.PictureSize();
    const QFontMetrics metrics(form.font());
    EXPECT_GE(size.height(), 6 * metrics.height());
    EXPECT_GT(size.width(), metrics.horizontalAdvance("Smith, Anna"));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    form.PaintPicture(painter);
    painter.end();
    // The group cell of the popular member is filled with its colour somewhere in the picture.
    EXPECT_GT(PixelsOf(image, StatusGroupColor(TStatusGroup::Popular)), 0);
    EXPECT_EQ(image.pixel(0, 0), QColor(Qt::white).rgb());
}

} // namespace
