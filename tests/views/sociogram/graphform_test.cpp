#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QProcess>
#include <QUndoStack>

#include "analysis/investigationobj.h"
#include "analysis/projectbuilder.h"
#include "views/notify.h"
#include "i18n/langconv.h"
#include "platform/fontcolor.h"
#include "settings/regs.h"
#include "util/error.h"
#include "util/service.h"
#include "views/sociogram/graphform.h"
#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociopanel.h"
#include "views/undostack.h"
#include "support/core/tempdir.h"
#include "support/ui/notifyrecorder.h"

namespace {

constexpr int kInvest = 5;
constexpr int kGroup = 2;

// Six members 21..26; 24 is chosen by everyone else, 22 by two, the others by one or none.
class GraphFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Regs().Load();
        project.Members(kInvest, kGroup, {21, 22, 23, 24, 25, 26});
        for (int from : {21, 22, 23, 25, 26})
            project.For(kInvest, from, 24);
        project.For(kInvest, 24, 22).For(kInvest, 21, 22).For(kInvest, 22, 23);
        project.Against(kInvest, 21, 26).Against(kInvest, 23, 26);
    }
    std::unique_ptr<TGraphForm> Open() { return std::make_unique<TGraphForm>(project.store, kInvest, "Week 1"); }
    int Rows(int16_t kind)
    {
        int n = 0;
        const TGraphPlaceTable& rows = project.store.Placements();
        for (int32_t i = 0; i < rows.Count(); ++i)
            n += rows.At(i).InvestId == kInvest && rows.At(i).SelType == kind;
        return n;
    }
    const TGraphPlace* Row(int clientId, int16_t kind)
    {
        const TGraphPlaceTable& rows = project.store.Placements();
        for (int32_t i = 0; i < rows.Count(); ++i) {
            if (rows.At(i).ClientId == clientId && rows.At(i).SelType == kind)
                return &rows.At(i);
        }
        return nullptr;
    }
    TProjectBuilder project;
};

} // namespace

TEST_F(GraphFormTest, FirstOpeningArrangesByChoicesAndStoresThreeRowsPerMember)
{
    project.store.SetModified(false);
    auto form = Open();
    EXPECT_EQ(form->windowTitle(), QString::fromStdString(LangConv().GetText("GRAPH_FORM_CAPTION")) + " (Week 1)");
    const auto& nodes = form->Nodes();
    ASSERT_EQ(nodes.size(), 6u);
    EXPECT_EQ(nodes[3]->Caption(), "M24");
    EXPECT_EQ(nodes[3]->pos(), QPoint(35, 35));
    EXPECT_EQ(nodes[3]->ComponentStyle(), csStar7);
    EXPECT_EQ(nodes[3]->RelationCount(), 1);
    EXPECT_EQ(nodes[0]->RelationCount(), 2);
    EXPECT_FALSE(nodes[0]->IsInfo());
    EXPECT_EQ(nodes[3]->Info(), "1/5");
    EXPECT_TRUE(project.store.Placements().Count() == 0);

    const QPoint placed = nodes[3]->pos();
    form->close();
    EXPECT_EQ(Rows(1), 6);
    EXPECT_EQ(Rows(2), 6);
    EXPECT_EQ(Rows(0), 6);
    // The arrangement is the window's own, no edit of the user's: it is kept without asking for a save.
    EXPECT_FALSE(project.store.IsModified());
    const TGraphPlace* positive = Row(24, 1);
    ASSERT_NE(positive, nullptr);
    EXPECT_EQ(QPoint(positive->Left, positive->Top), placed);
    EXPECT_EQ(positive->FigType, 1);
    // Views never shown keep their places unset, so the next opening still lays them out.
    const TGraphPlace* negative = Row(24, 2);
    ASSERT_NE(negative, nullptr);
    EXPECT_EQ(negative->Left, -99999);
    EXPECT_EQ(Row(24, 0)->FigType, 5);
}

// Closing marks the project only for edits of the user's that the saved project lacks: a move
// undone, or saved, asks for no save; one undone past the save does, and so does a move that a
// report already wrote into the project before it was undone and redone.
TEST_F(GraphFormTest, ClosingMarksTheProjectOnlyForEditsTheSavedProjectLacks)
{
    QUndoStack stack;
    const TScopedService<QUndoStack> installed(SetProjectUndoStack, &stack);
    TGraphForm* shown = nullptr;
    const auto save = [&] {
        shown->SaveState();
        project.store.SetModified(false);
        stack.setClean();
    };
    const std::vector<std::tuple<const char*, std::function<void()>, bool>> cases = {
        {"moved", [] {}, true},
        {"undone", [&] { stack.undo(); }, false},
        {"saved", save, false},
        {"saved then undone", [&] { save(); stack.undo(); }, true},
        {"reported then undone", [&] { shown->SaveState(); stack.undo(); }, false},
        {"reported, undone and redone", [&] { shown->SaveState(); stack.undo(); stack.redo(); }, true},
    };
    for (const auto& [name, after, modified] : cases) {
        SCOPED_TRACE(name);
        stack.clear();
        auto form = Open();
        shown = form.get();
        project.store.SetModified(false);
        TSocioGraphicControl* node = form->Nodes()[0];
        node->move(node->pos() + QPoint(40, 20));
        form->NoteFigureChanges();
        ASSERT_EQ(stack.count(), 1);
        after();
        form->close();
        EXPECT_EQ(project.store.IsModified(), modified);
    }
}

TEST_F(GraphFormTest, EachKindKeepsItsOwnArrangement)
{
    auto form = Open();
    TSocioGraphicControl* node = form->Nodes()[0];
    node->move(400, 300);
    node->SetComponentStyle(csTriangle);
    form->SetChoiceKind(2);
    EXPECT_EQ(node->RelationCount(), 1); // 21 chose 26 negatively
    node->move(10, 10);
    node->SetComponentStyle(csHexagon);
    form->SetChoiceKind(1);
    EXPECT_EQ(node->pos(), QPoint(400, 300));
    EXPECT_EQ(node->ComponentStyle(), csTriangle);
    form->SetChoiceKind(2);
    EXPECT_EQ(node->pos(), QPoint(10, 10));
    EXPECT_EQ(node->ComponentStyle(), csHexagon);
    form->close();

    // Reopened, the positive view is where it was left.
    auto again = Open();
    EXPECT_EQ(again->Nodes()[0]->pos(), QPoint(400, 300));
    EXPECT_EQ(again->Nodes()[0]->ComponentStyle(), csTriangle);
}

TEST_F(GraphFormTest, AnyChoicesViewShowsSquaresAndDisablesTheFigureItems)
{
    auto form = Open();
    auto* hexagon = form->NodeMenu().findChild<QAction*>("PopupItemHexagon");
    ASSERT_NE(hexagon, nullptr);
    EXPECT_TRUE(hexagon->isEnabled());
    form->SetChoiceKind(3);
    for (const TSocioGraphicControl* node : form->Nodes())
        EXPECT_EQ(node->ComponentStyle(), csRectangle);
    EXPECT_FALSE(hexagon->isEnabled());
    EXPECT_FALSE(form->NodeMenu().findChild<QAction*>("PopupItemStar7")->isEnabled());
    EXPECT_TRUE(form->NodeMenu().findChild<QAction*>("PopupItemAny1")->isChecked());
    EXPECT_TRUE(form->PanelMenu().findChild<QAction*>("PopupItemAny2")->isChecked());
    // Both kinds' arrows: 21 chose 24 and 22 positively and 26 negatively.
    EXPECT_EQ(form->Nodes()[0]->RelationCount(), 3);
    form->SetChoiceKind(2);
    EXPECT_TRUE(hexagon->isEnabled());
}

TEST_F(GraphFormTest, StoredPlacesAreTakenOnlyWhenSane)
{
    TGraphPlaceTable& rows = project.store.Placements();
    // taken
    rows.Add({.InvestId = kInvest,
              .ClientId = 21,
              .ClientGroupId = kGroup,
              .SelType = 1,
              .Left = 500,
              .Top = 400,
              .Width = 90,
              .Height = 130,
              .FigType = 3});
    // negative: default place, stored figure
    rows.Add({.InvestId = kInvest,
              .ClientId = 22,
              .ClientGroupId = kGroup,
              .SelType = 1,
              .Left = -5,
              .Top = 40,
              .Width = 90,
              .Height = 130,
              .FigType = 6});
    // huge
    rows.Add({.InvestId = kInvest,
              .ClientId = 23,
              .ClientGroupId = kGroup,
              .SelType = 1,
              .Left = 1000000000,
              .Top = 1000000000,
              .Width = 90,
              .Height = 130,
              .FigType = 4});
    // no size
    rows.Add({.InvestId = kInvest,
              .ClientId = 25,
              .ClientGroupId = kGroup,
              .SelType = 1,
              .Left = 40,
              .Top = 40,
              .Width = 0,
              .Height = -3,
              .FigType = 2});
    auto reference = std::make_unique<TGraphForm>(project.store, kInvest, "x");
    TProjectBuilder plain;
    plain.Members(kInvest, kGroup, {21, 22, 23, 24, 25, 26});
    for (int from : {21, 22, 23, 25, 26})
        plain.For(kInvest, from, 24);
    plain.For(kInvest, 24, 22).For(kInvest, 21, 22).For(kInvest, 22, 23);
    TGraphForm defaults(plain.store, kInvest, "y");

    const auto& nodes = reference->Nodes();
    EXPECT_EQ(nodes[0]->geometry(), QRect(500, 400, 90, 130));
    EXPECT_EQ(nodes[0]->ComponentStyle(), csHexagon);
    EXPECT_EQ(nodes[1]->pos(), defaults.Nodes()[1]->pos());
    EXPECT_EQ(nodes[1]->ComponentStyle(), csTriangle);
    EXPECT_EQ(nodes[2]->pos(), defaults.Nodes()[2]->pos());
    EXPECT_EQ(nodes[2]->ComponentStyle(), csPentagon);
    EXPECT_EQ(nodes[4]->pos(), defaults.Nodes()[4]->pos());
    EXPECT_LT(reference->PictureSize().width(), 2000);
}

TEST_F(GraphFormTest, MembersWithTheSameNameGetTheirOwnArrows)
{
    TProjectBuilder twins;
    twins.Group(kGroup, "G");
    twins.Client(kGroup, 31, "Sam").Client(kGroup, 32, "Sam").Client(kGroup, 33, "Ann");
    twins.Invest(kInvest, kGroup);
    twins.For(kInvest, 33, 31).For(kInvest, 31, 32);
    TGraphForm form(twins.store, kInvest, "t");
    const auto& nodes = form.Nodes();
    EXPECT_EQ(nodes[0]->Caption(), "Sam");
    EXPECT_EQ(nodes[1]->Caption(), "Sam");
    ASSERT_EQ(nodes[2]->RelationCount(), 1);
    EXPECT_EQ(form.Surface().RelationTarget(*nodes[2], 0), nodes[0]);
    ASSERT_EQ(nodes[0]->RelationCount(), 1);
    EXPECT_EQ(form.Surface().RelationTarget(*nodes[0], 0), nodes[1]);
}

TEST_F(GraphFormTest, ChoicesOutsideTheGroupOrOfOneselfDrawNoArrow)
{
    project.For(kInvest, 21, 21).For(kInvest, 21, 99).For(kInvest, 99, 21);
    auto form = Open();
    EXPECT_EQ(form->Nodes()[0]->RelationCount(), 2);
}

TEST_F(GraphFormTest, FewerThanTwoMembersRefuse)
{
    TProjectBuilder one;
    one.Members(kInvest, kGroup, {21});
    EXPECT_THROW(TGraphForm(one.store, kInvest, "t"), TAppError);
}

TEST_F(GraphFormTest, NothingIsWrittenIntoAProjectThatChangedUnderneath)
{
    auto form = Open();
    ASSERT_TRUE(project.store.DeleteClient(26, kGroup));
    form->close();
    EXPECT_EQ(project.store.Placements().Count(), 0);
}

TEST_F(GraphFormTest, MenusChangeTheFocusedNodeAndAskTheMainWindowForKinds)
{
    auto form = Open();
    form->show();
    TSocioGraphicControl* target = form->Nodes()[2];
    target->setFocus();
    QApplication::processEvents();
    form->NodeMenu().findChild<QAction*>("PopupItemHexagon")->trigger();
    EXPECT_EQ(target->ComponentStyle(), csHexagon);
    EXPECT_NE(form->Nodes()[3]->ComponentStyle(), csHexagon);

    TNotifyRecorder log;
    form->PanelMenu().findChild<QAction*>("PopupItemPositive2")->trigger();
    form->PanelMenu().findChild<QAction*>("PopupItemNegative2")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(log.codes, std::vector<TNotifyCode>{TNotifyCode::WantNegative});
    EXPECT_EQ(form->ChoiceKind(), 1);
    EXPECT_TRUE(form->PanelMenu().findChild<QAction*>("PopupItemPositive2")->isChecked());
}

TEST_F(GraphFormTest, RightClickChoosesTheNodeTheFigureMenuChanges)
{
    auto form = Open();
    form->show();
    form->Nodes()[0]->setFocus();
    QApplication::processEvents();
    const TComponentStyle before = form->Nodes()[0]->ComponentStyle();
    form->Nodes()[4]->SetComponentStyle(csHexagon);
    TSocioGraphicControl* clicked = form->Nodes()[4];
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 30), clicked->mapToGlobal(QPointF(5, 30)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(clicked, &press);
    QApplication::processEvents();
    EXPECT_TRUE(clicked->IsFocused());
    form->NodeMenu().findChild<QAction*>("PopupItemOval")->trigger();
    form->NodeMenu().hide();
    EXPECT_EQ(clicked->ComponentStyle(), csEllipse);
    EXPECT_EQ(form->Nodes()[0]->ComponentStyle(), before);
}

TEST_F(GraphFormTest, ArrowsAndDefaultFiguresFollowTheirOwnKind)
{
    TGraphRegs& graph = Regs().Graph;
    const TGraphRegs saved = graph;
    graph.ArrowColor = 0x101010;
    graph.ArrowWidth = 1;
    graph.ArrowColorPositive = 0x00a000;
    graph.ArrowWidthPositive = 2;
    graph.ArrowColorNegative = 0x0000c0;
    graph.ArrowWidthNegative = 5;
    auto form = Open();
    form->SetChoiceKind(ChoiceKindCode(TChoiceKind::Any));
    // Member 21 chose 24 and 22 positively and 26 negatively.
    TSocioGraphicControl* node = form->Nodes()[0];
    ASSERT_EQ(node->RelationCount(), 3);
    for (int r = 0; r < node->RelationCount(); ++r) {
        const TRelation& arrow = node->Relation(r);
        const bool negative = arrow.Target == form->Nodes()[5];
        EXPECT_EQ(arrow.Color, negative ? ToQColor(graph.ArrowColorNegative) : ToQColor(graph.ArrowColorPositive));
        EXPECT_EQ(arrow.Width, negative ? 5 : 2);
    }
    // The figures of a view never arranged show each member's status in that view: 26, rejected
    // twice and chosen by nobody, stands apart from the others in the negative view only.
    const TInvestigationObject& model = form->Model();
    ASSERT_NE(model.StatusLevel(5, TChoiceKind::Negative), model.StatusLevel(5, TChoiceKind::Positive));
    for (const TChoiceKind kind : {TChoiceKind::Negative, TChoiceKind::Positive}) {
        form->SetChoiceKind(kind);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(FigureTypeOf(form->Nodes()[static_cast<std::size_t>(i)]->ComponentStyle()),
                      model.StatusLevel(i, kind))
                << "member " << i << " kind " << ChoiceKindCode(kind);
    }
    graph = saved;
}

TEST_F(GraphFormTest, ArrangementsKeepFiguresApartAndAreStoredLikeMoves)
{
    auto form = Open();
    const auto& nodes = form->Nodes();
    std::vector<QRect> first;
    for (const TSocioGraphicControl* node : nodes)
        first.push_back(node->geometry());
    auto centreDistance = [&](const TSocioGraphicControl* node) {
        const QPoint d = node->geometry().center() - form->Surface().RingCentre();
        return std::hypot(d.x(), d.y());
    };
    for (const TLayoutKind kind : {TLayoutKind::Target, TLayoutKind::Force, TLayoutKind::Circle}) {
        form->ArrangeBy(kind);
        for (std::size_t i = 0; i < nodes.size(); ++i)
            for (std::size_t j = i + 1; j < nodes.size(); ++j)
                EXPECT_FALSE(nodes[i]->geometry().intersects(nodes[j]->geometry())) << LayoutName(kind);
        // Rings only behind a target; its centre holds the member everyone chose (M24).
        EXPECT_EQ(form->Surface().RingRadii().empty(), kind != TLayoutKind::Target);
        if (kind == TLayoutKind::Target) {
            for (const TSocioGraphicControl* node : nodes)
                EXPECT_LE(centreDistance(nodes[3]), centreDistance(node));
        }
    }
    const QRect circled = nodes[1]->geometry();
    form->ArrangeBy(TLayoutKind::Grid);
    for (std::size_t i = 0; i < nodes.size(); ++i)
        EXPECT_EQ(nodes[i]->geometry(), first[i]);
    form->ArrangeBy(TLayoutKind::Circle);
    form->close();
    ASSERT_NE(Row(22, 1), nullptr);
    EXPECT_EQ(QRect(Row(22, 1)->Left, Row(22, 1)->Top, Row(22, 1)->Width, Row(22, 1)->Height), circled);
}

// A target's rings are stored with the project, apart from the members' rows and per kind, and
// go when another arrangement replaces the target.
TEST_F(GraphFormTest, TargetRingsComeBackWithTheProject)
{
    auto form = Open();
    form->ArrangeBy(TLayoutKind::Target);
    const std::vector<int> radii = form->Surface().RingRadii();
    const QPoint centre = form->Surface().RingCentre();
    ASSERT_FALSE(radii.empty());
    form->close();
    EXPECT_EQ(Rows(1), 6 + static_cast<int>(radii.size()));
    form = Open();
    EXPECT_EQ(form->Surface().RingRadii(), radii);
    EXPECT_EQ(form->Surface().RingCentre(), centre);
    form->SetChoiceKind(2);
    EXPECT_TRUE(form->Surface().RingRadii().empty());
    form->SetChoiceKind(1);
    EXPECT_EQ(form->Surface().RingRadii(), radii);
    form->ArrangeBy(TLayoutKind::Grid);
    form->close();
    EXPECT_EQ(Rows(1), 6);
    EXPECT_TRUE(Open()->Surface().RingRadii().empty());
}

// The arrangement, arrow and picture switches of the pop-up menu hold for the next window.
TEST_F(GraphFormTest, MenuSwitchesAreRememberedForTheNextWindow)
{
    auto form = Open();
    form->findChild<QAction*>("ItemArrangeHalves2")->trigger();
    form->findChild<QAction*>("ItemArrowsMutual2")->trigger();
    form->findChild<QAction*>("ItemTitleLine2")->trigger();
    auto next = Open();
    EXPECT_TRUE(next->SexHalves());
    EXPECT_EQ(next->Surface().ArrowFilter(), TArrowFilter::Mutual);
    EXPECT_TRUE(next->TitleLineShown());
    EXPECT_FALSE(next->PrintsBackground());
}

TEST_F(GraphFormTest, FigureItemChangesTheWholeSelectionWhenTheClickedNodeIsInIt)
{
    auto form = Open();
    form->show();
    const auto& nodes = form->Nodes();
    auto rightClick = [&](TSocioGraphicControl* node, const char* item) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 30), node->mapToGlobal(QPointF(5, 30)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(node, &press);
        form->NodeMenu().findChild<QAction*>(item)->trigger();
        form->NodeMenu().hide();
    };
    nodes[1]->SetSelected(true);
    nodes[2]->SetSelected(true);
    const TComponentStyle before = nodes[0]->ComponentStyle();
    rightClick(nodes[1], "PopupItemOval");
    EXPECT_EQ(nodes[1]->ComponentStyle(), csEllipse);
    EXPECT_EQ(nodes[2]->ComponentStyle(), csEllipse);
    EXPECT_EQ(nodes[0]->ComponentStyle(), before);
    rightClick(nodes[4], "PopupItemTriangle");
    EXPECT_EQ(nodes[4]->ComponentStyle(), csTriangle);
    EXPECT_EQ(nodes[1]->ComponentStyle(), csEllipse);
}

TEST_F(GraphFormTest, NodesAreAsWideAsTheirNamesInTheSociogramFontUpToALimit)
{
    Regs().Graph.CaptionFont.Size = 16;
    TProjectBuilder named;
    named.Group(kGroup, "Class").Client(kGroup, 1, "Grace Hughes").Client(kGroup, 2, "Al");
    named.Client(kGroup, 3, "Maximiliana Konstantinopoulou-Papadimitriou");
    named.Invest(kInvest, kGroup, "Week 1");
    TGraphForm form(named.store, kInvest, "Week 1");
    const auto& nodes = form.Nodes();
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0]->ShownCaption(), nodes[0]->Caption());
    EXPECT_LT(nodes[1]->width(), nodes[0]->width());
    EXPECT_EQ(nodes[2]->width(), nodes[2]->MaxAutoWidth());
    EXPECT_TRUE(nodes[2]->ShownCaption().startsWith("Maximiliana"));
    EXPECT_TRUE(nodes[2]->ShownCaption().endsWith(QChar(0x2026)));
    // A figure kept 80 pixels wide by an older version is widened for its name by an arrangement.
    // A cut name is the figure's hint; a whole one needs none.
    auto hint = [&] {
        QHelpEvent ask(QEvent::ToolTip, QPoint(1, 1), nodes[0]->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(nodes[0], &ask);
        return nodes[0]->toolTip();
    };
    nodes[0]->resize(80, nodes[0]->height());
    ASSERT_NE(nodes[0]->ShownCaption(), nodes[0]->Caption());
    EXPECT_EQ(hint(), nodes[0]->Caption());
    form.ArrangeBy(TLayoutKind::Circle);
    EXPECT_EQ(nodes[0]->ShownCaption(), nodes[0]->Caption());
    EXPECT_TRUE(hint().isEmpty());
    EXPECT_EQ(nodes[2]->width(), nodes[2]->MaxAutoWidth());
}

TEST_F(GraphFormTest, PrintoutsAreOnWhitePaperUnlessTheBackgroundIsAskedFor)
{
    Regs().Graph.PanelBackColor = 0x00FFFF; // yellow
    auto form = Open();
    TTempDir temp;
    const QString dir = QString::fromStdString(temp.Path().string());
    auto yellowOnPaper = [&](bool background) {
        form->SetPrintsBackground(background);
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir + "/p.pdf");
        form->Print(printer, TPrintType::Proportional, 1);
        QProcess::execute(QStringLiteral("pdftoppm"), {"-r", "20", "-png", "-singlefile", dir + "/p.pdf", dir + "/p"});
        const QImage page(dir + "/p.png");
        int n = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                n += c.red() > 200 && c.green() > 200 && c.blue() < 60;
            }
        return n;
    };
    EXPECT_EQ(yellowOnPaper(false), 0);
    EXPECT_GT(yellowOnPaper(true), 500);
    // The window keeps its colour.
    EXPECT_EQ(form->Surface().BackColor(), QColor(Qt::yellow));
}
