// The comparison window on the sample's two desk-neighbour waves: the member table and its marks,
// the copied text and CSV, the sociogram of change, and the refusal of waves that cannot be compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTableWidget>

#include "i18n/langconv.h"
#include "reports/comparison.h"
#include "settings/regs.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "util/error.h"
#include "views/compare/changesociogram.h"
#include "views/compare/compareform.h"

namespace {

constexpr int kSeptember = 1;
constexpr int kMay = 4;

class CompareFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Regs().Load();
        TRecordingMessages messages;
        ASSERT_TRUE(store.Load());
    }
    TFileAccess store{TREMLOW_SOURCE_DATA_DIR "/examples/school-class.soi"};
};

TEST_F(CompareFormTest, ShowsWhoMovedAndCopiesWhatItShows)
{
    TCompareForm form(store, kSeptember, {kMay}, "Desk neighbours, September");
    const TWaveComparison& pair = form.Series().Pairs.at(0);
    EXPECT_EQ(pair.Common.size(), 16u);
    EXPECT_TRUE(pair.SameCriterion);
    // The sample's intervention drew two isolated pupils in: there is movement to show.
    int moved = 0;
    for (const TMemberChange& m : pair.Members)
        moved += m.Moved();
    EXPECT_GT(moved, 0);

    QTableWidget& table = form.MemberTable(0);
    ASSERT_EQ(table.rowCount(), 16);
    int marked = 0;
    for (int r = 0; r < table.rowCount(); ++r)
        marked += table.item(r, 0)->text().endsWith(" *");
    EXPECT_EQ(marked, moved);

    // Sorted by the positive choices received later, largest first, the copy follows the table.
    table.sortItems(2, Qt::DescendingOrder);
    const QString text = form.TableText();
    const QString first = table.item(0, 0)->text();
    EXPECT_LT(text.indexOf(first + "\t"), text.indexOf(table.item(15, 0)->text() + "\t"));
    EXPECT_TRUE(text.contains(QString::fromStdString(LangConv().GetText("COMPARE_KAPPA")) + "\t" +
                              QString::fromStdString(ComparisonValue(pair.Kappa))));
    EXPECT_EQ(form.CsvText(), ComparisonCsv(form.Series()));

    // The sociogram of change: every member of both, every positive choice kept, new or dropped.
    TChangeSociogram& sociogram = form.Sociogram(0);
    EXPECT_EQ(sociogram.Nodes().size(), 16u);
    EXPECT_EQ(static_cast<int32_t>(sociogram.Arrows().size()),
              pair.Choices[0].Kept + pair.Choices[0].New + pair.Choices[0].Dropped);
    form.ShowSociogram(0);
    EXPECT_EQ(form.PictureSize(), sociogram.PictureSize());

    // Drawn in two bands, as a large picture is saved, it is the same picture: nothing that
    // crosses the seam is left out, and a dashed line goes on where it stopped.
    const QSize size = sociogram.PictureSize();
    QImage whole(size, QImage::Format_RGB32);
    QImage banded(size, QImage::Format_RGB32);
    {
        QPainter painter(&whole);
        sociogram.PaintTo(painter);
    }
    for (const int top : {0, size.height() / 2}) {
        QPainter painter(&banded);
        painter.setClipRect(QRect(0, top, size.width(), top == 0 ? size.height() / 2 : size.height() - top));
        sociogram.PaintTo(painter);
    }
    int differing = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QColor a = whole.pixelColor(x, y);
            const QColor b = banded.pixelColor(x, y);
            differing += std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                   std::abs(a.blue() - b.blue())}) > 64;
        }
    }
    EXPECT_LT(differing, size.width() * size.height() / 500) << "pixels that differ";
}

TEST_F(CompareFormTest, RefusesWhatCannotBeCompared)
{
    const auto refusal = [this](std::vector<int32_t> with) -> std::string {
        try {
            TCompareForm form(store, kSeptember, with, "x");
        } catch (const TAppError& e) {
            return e.what();
        }
        return {};
    };
    EXPECT_EQ(refusal({kSeptember}), LangConv().GetText("WAVES_REPEATED"));
    EXPECT_NE(refusal({99}).find("99"), std::string::npos);
    EXPECT_EQ(refusal({}), LangConv().GetText("WAVES_TOO_FEW"));
}

// tremlow export --view compare draws the sociogram of change; the later waves are required.
TEST_F(CompareFormTest, ExportDrawsTheSociogramOfChange)
{
    TTempDir dir;
    const QString png = QString::fromStdString(dir.File("change.png"));
    const auto run = [&](const QStringList& with) {
        QProcess process;
        process.start(TREMLOW_GUI_PATH, QStringList{"export", TREMLOW_SOURCE_DATA_DIR "/examples/school-class.soi",
                                                    "--investigation", QString::number(kSeptember), "--view",
                                                    "compare", "-o", png} + with);
        process.waitForFinished(120000);
        return process.exitCode();
    };
    EXPECT_EQ(run({}), 2);
    ASSERT_EQ(run({"--with", QString::number(kMay)}), 0);
    TCompareForm form(store, kSeptember, {kMay}, "Desk neighbours, September");
    EXPECT_EQ(QImage(png).size(), form.Sociogram(0).PictureSize());
}

} // namespace
