// Status group colours in the sociogram: the figures take their member's group colour and a
// legend appears only while the option is on; pictures show both; investigations without status
// groups keep the plain figures and the item disabled.
#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QProcess>

#include "analysis/projectbuilder.h"
#include "platform/fontcolor.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "support/ui/pictures.h"
#include "support/core/tempdir.h"
#include "views/sociogram/graphform.h"
#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociopanel.h"
#include "views/statuslegend.h"

namespace {

constexpr int kInvest = 5;
constexpr int kGroup = 2;

// Six members 21..26. Received positive 0, 2, 1, 5, 0, 0 and negative 0, 0, 0, 0, 0, 2. Worked by
// hand: 24 is popular (zSP 1.53), 26 rejected (zSP -1.83), 21 and 25 neglected (zSI -1.03), 22
// (zSP 0.502) and 23 (zSI -0.548) unclassified.
class GraphStatusColours : public ::testing::Test {
protected:
    void SetUp() override
    {
        Regs().Load();
        Regs().Graph.CompBackColor = 0x00FFFF; // yellow, a colour no group has
        project.Members(kInvest, kGroup, {21, 22, 23, 24, 25, 26});
        for (int from : {21, 22, 23, 25, 26})
            project.For(kInvest, from, 24);
        project.For(kInvest, 24, 22).For(kInvest, 21, 22).For(kInvest, 22, 23);
        project.Against(kInvest, 21, 26).Against(kInvest, 23, 26);
    }
    static QAction* Item(TGraphForm& form, bool panel)
    {
        return panel ? form.PanelMenu().findChild<QAction*>("PopupItemStatusColors2")
                     : form.NodeMenu().findChild<QAction*>("PopupItemStatusColors1");
    }
    TProjectBuilder project;
};

} // namespace

TEST_F(GraphStatusColours, OnColoursEachFigureByGroupWithALegendOffRestoresThePlainFigures)
{
    auto form = std::make_unique<TGraphForm>(project.store, kInvest, "Week 1");
    const QColor plain = ToQColor(Regs().Graph.CompBackColor);
    const auto& nodes = form->Nodes();
    for (const TSocioGraphicControl* node : nodes)
        EXPECT_EQ(node->FigureBackColor(), plain);
    EXPECT_EQ(form->StatusLegend(), nullptr);
    ASSERT_NE(Item(*form, true), nullptr);
    ASSERT_NE(Item(*form, false), nullptr);
    EXPECT_TRUE(Item(*form, true)->isEnabled());
    EXPECT_FALSE(Item(*form, true)->isChecked());
    const QSize plainSize = form->PictureSize();
    const QImage before = Picture(*form);
    EXPECT_EQ(PixelsOf(before, StatusGroupColor(TStatusGroup::Popular)), 0);
    EXPECT_GT(PixelsOf(before, plain), 0);

    Item(*form, true)->trigger();
    EXPECT_TRUE(Regs().Graph.StatusColors);
    EXPECT_TRUE(Item(*form, false)->isChecked());
    const TStatusGroup expected[] = {TStatusGroup::Neglected,    TStatusGroup::Unclassified, TStatusGroup::Unclassified,
                                     TStatusGroup::Popular,      TStatusGroup::Neglected,    TStatusGroup::Rejected};
    for (std::size_t i = 0; i < nodes.size(); ++i)
        EXPECT_EQ(nodes[i]->FigureBackColor(), StatusGroupColor(expected[i])) << nodes[i]->Caption().toStdString();
    // The legend names the groups with their counts, right of every node, and widens the picture.
    const TStatusLegend* legend = form->StatusLegend();
    ASSERT_NE(legend, nullptr);
    const QStringList lines = legend->Lines();
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[1], StatusGroupName(TStatusGroup::Popular) + ": 1");
    EXPECT_EQ(lines[3], StatusGroupName(TStatusGroup::Neglected) + ": 2");
    for (const TSocioGraphicControl* node : nodes)
        EXPECT_FALSE(node->geometry().intersects(legend->geometry())) << node->Caption().toStdString();
    EXPECT_GT(form->PictureSize().width(), plainSize.width());
    const QImage coloured = Picture(*form);
    EXPECT_EQ(PixelsOf(coloured, Qt::magenta), 0);
    EXPECT_EQ(PixelsOf(coloured, plain), 0);
    EXPECT_GT(PixelsOf(coloured, StatusGroupColor(TStatusGroup::Popular)), 100);
    EXPECT_GT(PixelsOf(coloured, StatusGroupColor(TStatusGroup::Rejected)), 100);
    // The legend's swatch is in the picture where the legend stands.
    const QPoint swatch = legend->pos() + legend->SwatchRect(TStatusGroup::Controversial).center();
    EXPECT_EQ(coloured.pixelColor(swatch), StatusGroupColor(TStatusGroup::Controversial));

    // Other kinds keep the colours; moving a node past the legend moves the legend on.
    form->SetChoiceKind(2);
    EXPECT_EQ(nodes[3]->FigureBackColor(), StatusGroupColor(TStatusGroup::Popular));
    form->show();
    nodes[0]->move(legend->x() + 40, legend->y());
    QApplication::processEvents();
    EXPECT_GE(legend->x(), nodes[0]->x() + nodes[0]->width());

    Item(*form, false)->trigger();
    EXPECT_FALSE(Regs().Graph.StatusColors);
    EXPECT_EQ(form->StatusLegend(), nullptr);
    EXPECT_EQ(form->Surface().findChildren<TStatusLegend*>().size(), 0);
    for (const TSocioGraphicControl* node : nodes)
        EXPECT_EQ(node->FigureBackColor(), plain);
    EXPECT_EQ(PixelsOf(Picture(*form), StatusGroupColor(TStatusGroup::Popular)), 0);
}

TEST_F(GraphStatusColours, TheSettingIsRememberedForTheNextWindow)
{
    Regs().Graph.StatusColors = true;
    TGraphForm form(project.store, kInvest, "Week 1");
    EXPECT_TRUE(form.StatusColorsShown());
    EXPECT_TRUE(Item(form, true)->isChecked());
    EXPECT_NE(form.StatusLegend(), nullptr);
    EXPECT_EQ(form.Nodes()[5]->FigureBackColor(), StatusGroupColor(TStatusGroup::Rejected));
}

TEST_F(GraphStatusColours, TheKeyIsNeverCutOnScreenOrInThePictureWhateverTheArrangement)
{
    Regs().Graph.StatusColors = true;
    Regs().Graph.CaptionFont.Size = 22;
    TGraphForm form(project.store, kInvest, "Week 1");
    form.resize(300, 200);
    form.show();
    for (const TLayoutKind kind : {TLayoutKind::Target, TLayoutKind::Force, TLayoutKind::Circle, TLayoutKind::Grid}) {
        form.ArrangeBy(kind);
        QApplication::processEvents();
        const QRect key = form.StatusLegend()->geometry();
        EXPECT_TRUE(QRect(QPoint(0, 0), form.PictureSize()).contains(key)) << LayoutName(kind);
        EXPECT_TRUE(form.Surface().rect().contains(key)) << LayoutName(kind);
        for (const TSocioGraphicControl* node : form.Nodes())
            EXPECT_FALSE(node->geometry().intersects(key)) << LayoutName(kind);
    }
}

TEST_F(GraphStatusColours, WithoutStatusGroupsTheItemIsDisabledAndTheFiguresStayPlain)
{
    Regs().Graph.StatusColors = true;
    // No negative choices.
    TProjectBuilder positive;
    positive.Members(kInvest, kGroup, {21, 22, 23});
    positive.For(kInvest, 21, 22).For(kInvest, 22, 23);
    // Two members who reject each other: too few.
    TProjectBuilder pair;
    pair.Members(kInvest, kGroup, {21, 22});
    pair.Against(kInvest, 21, 22).Against(kInvest, 22, 21);
    for (auto [store, reason] : {std::pair{&positive.store, "STATUS_NO_NEGATIVE_CHOICES"},
                                 std::pair{&pair.store, "STATUS_TOO_FEW_MEMBERS"}}) {
        TGraphForm form(*store, kInvest, "t");
        EXPECT_FALSE(form.StatusColorsShown()) << reason;
        EXPECT_FALSE(Item(form, true)->isEnabled()) << reason;
        EXPECT_FALSE(Item(form, true)->isChecked()) << reason;
        EXPECT_EQ(Item(form, true)->toolTip().toStdString(), LangConv().GetText(reason));
        EXPECT_EQ(form.StatusLegend(), nullptr);
        for (const TSocioGraphicControl* node : form.Nodes())
            EXPECT_EQ(node->FigureBackColor(), ToQColor(Regs().Graph.CompBackColor)) << reason;
        const QImage picture = Picture(form);
        EXPECT_EQ(PixelsOf(picture, Qt::magenta), 0) << reason;
        // The remembered choice is kept for investigations that have groups.
        EXPECT_TRUE(Regs().Graph.StatusColors);
    }
}

// `tremlow export --status-colours` draws both views coloured, whatever the settings say.
TEST_F(GraphStatusColours, ExportDrawsTheColoursWhenAsked)
{
    TTempDir temp;
    const QString dir = QString::fromStdString(temp.Path().string());
    project.store.SetFileName((dir + "/project.soi").toStdString());
    ASSERT_TRUE(project.store.Save());
    auto exportView = [&](const char* view, bool coloured) {
        const QString out = dir + "/" + view + (coloured ? "-coloured.png" : ".png");
        QStringList arguments{"export", dir + "/project.soi", "--investigation", QString::number(kInvest), "--view",
                              view, "-o", out};
        if (coloured)
            arguments << "--status-colours";
        QProcess process;
        process.start(QStringLiteral(TREMLOW_GUI_PATH), arguments);
        process.waitForFinished(60000);
        EXPECT_EQ(process.exitCode(), 0) << view << ": " << process.readAllStandardError().toStdString();
        return QImage(out);
    };
    for (const char* view : {"graph", "target"}) {
        const QImage plain = exportView(view, false);
        const QImage coloured = exportView(view, true);
        ASSERT_FALSE(plain.isNull()) << view;
        ASSERT_FALSE(coloured.isNull()) << view;
        EXPECT_GT(coloured.width() * coloured.height(), plain.width() * plain.height()) << view;
        EXPECT_EQ(PixelsOf(plain, StatusGroupColor(TStatusGroup::Rejected)), 0) << view;
        EXPECT_GT(PixelsOf(coloured, StatusGroupColor(TStatusGroup::Rejected)), 20) << view;
    }
}
