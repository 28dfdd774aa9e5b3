#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>

#include "analysis/indices.h"
#include "analysis/investigationobj.h"
#include "analysis/projectbuilder.h"
#include "platform/picturefile.h"
#include "views/notify.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "support/core/tempdir.h"
#include "support/ui/notifyrecorder.h"
#include "support/ui/scriptedseam.h"
#include "util/error.h"
#include "views/indexes/graphicchart.h"
#include "views/indexes/indexesform.h"
#include "views/indexes/indexranges.h"

namespace {

QString Caption(const char* key)
{
    return QString::fromStdString(LangConv().GetText(key));
}

QAction* Item(TIndexesForm& form, const char* name)
{
    return form.PopupMenu().findChild<QAction*>(name);
}

QImage RenderChart(const TGraphicChart& chart)
{
    QImage image(chart.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    chart.PaintTo(painter);
    return image;
}

// Five members with positive and negative choices, so both kinds give different charts.
class IndexesFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        project.Members(kInvest, 2, {11, 12, 13, 14, 15});
        for (auto [from, to] : {std::pair{11, 12}, {12, 11}, {13, 11}, {14, 11}, {15, 12}, {11, 13}})
            project.For(kInvest, from, to);
        for (auto [from, to] : {std::pair{11, 15}, {12, 15}, {15, 14}})
            project.Against(kInvest, from, to);
    }
    static constexpr int kInvest = 4;
    TProjectBuilder project;
};

} // namespace

TEST_F(IndexesFormTest, ChartsShowTheIndicesOfTheKindShown)
{
    TIndexesForm form(project.store, kInvest, "Week 1");
    EXPECT_EQ(form.windowTitle(), Caption("INDEXES_MENU_ADD") + " (Week 1)");
    EXPECT_EQ(form.findChild<TGraphicChart*>("GraphicChartGroupIndexes"), &form.GroupChart());
    EXPECT_EQ(form.findChild<TGraphicChart*>("GraphicChartPrivateIndexes"), &form.PrivateChart());
    const TInvestigationObject& model = form.Model();

    for (TChoiceKind kind : {TChoiceKind::Positive, TChoiceKind::Negative, TChoiceKind::Any}) {
        form.SetChoiceKind(static_cast<int>(kind));
        const TGraphicChart& group = form.GroupChart();
        ASSERT_EQ(group.Series().Count(), 1);
        const std::vector<double> expected = {model.IndexP(kind), model.IndexSa(kind), model.IndexJ(kind),
                                              model.IndexN(kind)};
        const TChartDataList& bars = group.Series().At(0).Points;
        ASSERT_EQ(bars.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(bars[i].X, static_cast<double>(i + 1));
            EXPECT_EQ(bars[i].Y, expected[i]);
            EXPECT_EQ(group.AxeXLabels().at(static_cast<qsizetype>(i)), Caption(kGroupIndices[i].CaptionKey));
        }
        const TYScale scale = GroupIndexesScale(expected);
        EXPECT_EQ(group.MinY(), scale.Min);
        EXPECT_EQ(group.MaxY(), scale.Max);
        EXPECT_EQ(group.IntervalY(), scale.Interval);

        const TGraphicChart& members = form.PrivateChart();
        ASSERT_EQ(members.Series().Count(), 4);
        std::vector<double> all;
        for (int k = 0; k < 4; ++k) {
            const TDataSeries& series = members.Series().At(k);
            EXPECT_EQ(series.Name, Caption(kClientIndices[static_cast<std::size_t>(k)].CaptionKey));
            ASSERT_EQ(series.Points.size(), 5u);
            for (int r = 0; r < 5; ++r) {
                const double value = k == 0   ? model.IndexPi(r, kind)
                                     : k == 1 ? model.IndexAi(r, kind)
                                     : k == 2 ? model.IndexEi(r, kind)
                                              : model.IndexSti(r, kind);
                EXPECT_EQ(series.Points[static_cast<std::size_t>(r)].Y, value) << k << " " << r;
                EXPECT_EQ(series.Points[static_cast<std::size_t>(r)].X, r + 1.0);
                all.push_back(value);
            }
        }
        EXPECT_EQ(members.Series().At(0).Color, QColor(0, 0, 255));
        EXPECT_EQ(members.Series().At(3).Color, QColor(255, 255, 0));
        EXPECT_EQ(members.MaxY(), PrivateIndexesScale(all).Max);
        // Member names label the X marks, once each however often the kind changes.
        EXPECT_EQ(members.AxeXLabels(), (QStringList{"M11", "M12", "M13", "M14", "M15"}));
        EXPECT_EQ(members.MinX(), 1);
        EXPECT_EQ(members.MaxX(), 5);
    }
}

TEST_F(IndexesFormTest, PopupKindsAskTheMainWindowAndFollowTheKind)
{
    TNotifyRecorder log;
    TIndexesForm form(project.store, kInvest, "Week 1");
    QCoreApplication::processEvents();
    log.codes.clear();
    QAction* positive = Item(form, "PopupItemPositive");
    QAction* negative = Item(form, "PopupItemNegative");
    ASSERT_TRUE(positive && negative && Item(form, "ItemCopy") && Item(form, "ItemSaveAs"));
    EXPECT_TRUE(positive->isChecked());

    positive->trigger(); // already shown: nothing to ask
    negative->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(log.codes, std::vector<TNotifyCode>{TNotifyCode::WantNegative});
    EXPECT_TRUE(positive->isChecked()); // the main window has not switched yet

    form.SetChoiceKind(2);
    EXPECT_TRUE(negative->isChecked());
    form.SetChoiceKind(3); // the view of both kinds leaves the marks alone
    EXPECT_TRUE(negative->isChecked());
    EXPECT_FALSE(positive->isChecked());
    positive->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(log.codes, (std::vector<TNotifyCode>{TNotifyCode::WantNegative, TNotifyCode::WantPositive}));
    EXPECT_TRUE(negative->isChecked());
}

TEST_F(IndexesFormTest, PictureStacksBothChartsForClipboardAndFiles)
{
    TIndexesForm form(project.store, kInvest, "Week 1");
    const TGraphicChart& group = form.GroupChart();
    const TGraphicChart& members = form.PrivateChart();
    const QSize size = form.PictureSize();
    EXPECT_EQ(size.width(), std::max(group.width(), members.width()));
    EXPECT_EQ(size.height(), group.height() + members.height());

    form.ItemCopyClick();
    const QImage picture = QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), size);
    EXPECT_EQ(picture.copy(QRect(QPoint(0, 0), group.size())), RenderChart(group));
    EXPECT_EQ(picture.copy(QRect(QPoint(0, group.height()), members.size())), RenderChart(members));

    TTempDir dir;
    TScriptedModalSeam seam;
    const QString base = QString::fromStdString(dir.Path().string()) + "/indexes";
    seam.ExpectSaveFile(base, "*.png");
    form.ItemSaveAsClick();
    EXPECT_EQ(QImage(base + ".png").size(), size);
    seam.ExpectSaveFile(base + ".svg");
    form.ItemSaveAsClick();
    EXPECT_GT(QFileInfo(base + ".svg").size(), 0);
    EXPECT_TRUE(seam.informations.isEmpty());

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(base + ".pdf");
    form.Print(printer, TPrintType::Proportional, 1);
    EXPECT_GT(QFileInfo(base + ".pdf").size(), 1000);
}

TEST_F(IndexesFormTest, SettingsDressTheCharts)
{
    TIndexesRegs saved = Regs().Indexes;
    Regs().Indexes.GroupTitle = "Cohesion of 7B";
    Regs().Indexes.PrivateAxeXTitle = "Pupils";
    Regs().Indexes.BackColor = 0x00123456;
    Regs().Indexes.PrivateLegendBackColor = 0x0000FF00;
    Regs().Indexes.GroupAxeXLabelFont.Size = 30;
    TIndexesForm form(project.store, kInvest, "Week 1");
    Regs().Indexes = saved;

    EXPECT_EQ(form.GroupChart().Title(), "Cohesion of 7B");
    EXPECT_EQ(form.PrivateChart().AxeXTitle(), "Pupils");
    EXPECT_EQ(form.GroupChart().BackGround(), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(form.PrivateChart().BackGround(), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(form.PrivateChart().LegendColor(), QColor(0, 255, 0));
    // Large captions widen the group chart so they still stand side by side.
    const TGraphicChart& group = form.GroupChart();
    const TPlotRect plot = group.PlotArea();
    EXPECT_GT(group.width(), 550);
    EXPECT_GE((plot.Right - plot.Left) / 4.6, group.MaxAxeXLabelWidth());
}

TEST(IndexesFormLarge, ThousandsOfMembersOpenCopyScaledAndSaveWhole)
{
    TProjectBuilder project;
    std::vector<int32_t> ids;
    for (int32_t i = 1; i <= 2000; ++i)
        ids.push_back(i);
    project.Members(1, 1, ids);
    for (int32_t i = 1; i <= 2000; ++i)
        project.For(1, i, i % 2000 + 1);
    TIndexesForm form(project.store, 1, "Whole school");
    EXPECT_EQ(form.PrivateChart().Series().At(0).Points.size(), 2000u);
    EXPECT_GE(form.PrivateChart().width(), 2000 * form.PrivateChart().MaxAxeXLabelWidth());

    // Too large for the clipboard: a smaller copy is copied, and the user is told.
    TScriptedModalSeam seam;
    form.ItemCopyClick();
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_TRUE(seam.informations[0].contains("too large")) << seam.informations[0].toStdString();
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_LE(static_cast<qint64>(copied.width()) * copied.height(), kClipboardPixels);
    EXPECT_NEAR(static_cast<double>(copied.width()) / copied.height(),
                static_cast<double>(form.PictureSize().width()) / form.PictureSize().height(), 0.5);

    // Files are written band by band at full size.
    TTempDir dir;
    const QString base = QString::fromStdString(dir.Path().string()) + "/school";
    seam.ExpectSaveFile(base + ".bmp");
    form.ItemSaveAsClick();
    EXPECT_EQ(seam.informations.size(), 1);
    EXPECT_EQ(QImageReader(base + ".bmp").size(), form.PictureSize());
    seam.ExpectSaveFile(base + ".svg");
    form.ItemSaveAsClick();
    EXPECT_EQ(seam.informations.size(), 1);
    EXPECT_GT(QFileInfo(base + ".svg").size(), 100000);
}

// The member chart's key stays in sight: pinned inside the visible part while the chart's own key,
// at its far right, is scrolled away; hidden once the chart's own key shows.
TEST_F(IndexesFormTest, KeyOfTheMemberChartStaysInSight)
{
    TIndexesForm form(project.store, kInvest, "Week 1");
    form.resize(420, 500);
    form.show();
    QCoreApplication::processEvents();
    const QWidget& key = form.PinnedKey();
    const QRect visible = form.ScrollBox().viewport()->rect();
    ASSERT_GT(form.PrivateChart().width(), visible.width());
    EXPECT_TRUE(key.isVisible());
    EXPECT_TRUE(visible.contains(key.geometry()));
    EXPECT_EQ(key.size(), form.PrivateChart().LegendSize());
    form.ScrollBox().horizontalScrollBar()->setValue(form.ScrollBox().horizontalScrollBar()->maximum());
    EXPECT_FALSE(key.isVisible());
}
