#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "i18n/langconv.h"
#include "support/ui/scriptedseam.h"
#include "util/error.h"
#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociopanel.h"

namespace {

// Mouse events straight to a widget, at a point of that widget.
void Mouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

class SocioPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel = std::make_unique<TSocioPanel>();
        panel->resize(800, 600);
    }
    TSocioGraphicControl* Node(const QString& caption, QRect geometry)
    {
        auto* node = new TSocioGraphicControl(panel.get());
        node->SetCaption(caption);
        node->setGeometry(geometry);
        return node;
    }
    std::unique_ptr<TSocioPanel> panel;
};

} // namespace

TEST_F(SocioPanelTest, CaptionsAreNumberedWhenPaintedAndKeptUnique)
{
    auto* first = new TSocioGraphicControl(panel.get());
    auto* second = new TSocioGraphicControl(panel.get());
    first->grab();
    second->grab();
    EXPECT_EQ(first->Caption(), "Caption 1");
    EXPECT_EQ(second->Caption(), "Caption 2");

    // The first assignment is taken even when another node has it; later ones are checked.
    auto* third = new TSocioGraphicControl(panel.get());
    third->SetCaption("Caption 1");
    EXPECT_EQ(third->Caption(), "Caption 1");
    TScriptedModalSeam seam;
    second->SetCaption("Caption 1");
    EXPECT_EQ(second->Caption(), "Caption 2");
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_EQ(seam.informations[0], "Caption 1 : " + QString::fromStdString(LangConv().GetText("CAPTION_IS_EXISTING")));
    second->SetCaption("Someone");
    EXPECT_EQ(second->Caption(), "Someone");
    // Auto-size: caption width + 10, height 1.25 times that.
    EXPECT_EQ(second->width(), second->CaptionWidth() + 10);
    EXPECT_EQ(second->height(), static_cast<int>(std::nearbyint(second->width() / 0.8)));
}

TEST_F(SocioPanelTest, RelationsByCaptionNeedAnotherNode)
{
    auto* a = Node("Ann", {0, 0, 80, 120});
    Node("Bob", {200, 0, 80, 120});
    EXPECT_THROW(a->AddRelation("Nobody", Qt::SolidLine, Qt::black, 1), TAppError);
    EXPECT_THROW(a->AddRelation("Ann", Qt::SolidLine, Qt::black, 1), TAppError);
    EXPECT_EQ(a->RelationCount(), 0);
    a->AddRelation("Bob", Qt::DashLine, Qt::red, 2);
    ASSERT_EQ(a->RelationCount(), 1);
    EXPECT_EQ(panel->RelationTarget(*a, 0)->Caption(), "Bob");
    EXPECT_THROW(a->AddRelation(a, Qt::SolidLine, Qt::black, 1), TAppError);
}

TEST_F(SocioPanelTest, ArrangePlacesTheMostChosenInSquareShells)
{
    std::vector<TSocioGraphicControl*> nodes;
    for (int i = 0; i < 9; ++i)
        nodes.push_back(Node(QString("N%1").arg(i), {500, 500, 60, 90}));
    nodes[4]->resize(100, 130); // the largest node sets the grid pitch
    // Node i receives i arrows (from the nodes after it, cyclically), so node 8 is the most chosen.
    for (int target = 0; target < 9; ++target) {
        for (int k = 1; k <= target; ++k)
            nodes[static_cast<std::size_t>((target + k) % 9)]->AddRelation(nodes[static_cast<std::size_t>(target)],
                                                                         Qt::SolidLine, Qt::black, 1);
    }
    panel->Arrange();
    const QPoint cells[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}};
    for (int rank = 0; rank < 9; ++rank) {
        const TSocioGraphicControl* node = nodes[static_cast<std::size_t>(8 - rank)];
        EXPECT_EQ(node->pos(), QPoint(35 + cells[rank].x() * 135, 35 + cells[rank].y() * 165)) << rank;
        EXPECT_EQ(node->Tag(), -1);
    }

    // Equal counts keep the order of making.
    TSocioPanel flat;
    auto* p = new TSocioGraphicControl(&flat);
    auto* q = new TSocioGraphicControl(&flat);
    p->resize(50, 80);
    q->resize(50, 80);
    flat.Arrange();
    EXPECT_EQ(p->pos(), QPoint(35, 35));
    EXPECT_EQ(q->pos(), QPoint(120, 35));
}

TEST_F(SocioPanelTest, SameCaptionsFindTheLaterNodeButNodeArrowsKeepTheirTarget)
{
    auto* first = Node("Sam", {0, 0, 80, 120});
    auto* second = new TSocioGraphicControl(panel.get());
    second->SetCaption("Sam"); // the first assignment: accepted
    auto* chooser = Node("Ann", {300, 0, 80, 120});
    EXPECT_EQ(panel->FindNode("Sam"), second);
    chooser->AddRelation(first, Qt::SolidLine, Qt::black, 1);
    chooser->AddRelation(second, Qt::SolidLine, Qt::black, 1);
    EXPECT_EQ(panel->RelationTarget(*chooser, 0), first);
    EXPECT_EQ(panel->RelationTarget(*chooser, 1), second);
}

TEST_F(SocioPanelTest, FitsToItsNodesWithAMargin)
{
    Node("A", {0, 0, 100, 100});
    Node("B", {300, 200, 100, 100});
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    panel->PaintTo(painter);
    EXPECT_EQ(panel->size(), QSize(435, 335));
}

TEST_F(SocioPanelTest, RubberBandSelectsWhatItTouches)
{
    auto* a = Node("A", {100, 100, 60, 90});
    auto* b = Node("B", {300, 100, 60, 90});
    auto* c = Node("C", {100, 400, 60, 90});
    Mouse(panel.get(), QEvent::MouseButtonPress, {50, 50});
    Mouse(panel.get(), QEvent::MouseMove, {320, 150});
    EXPECT_TRUE(panel->IsBandActive());
    EXPECT_TRUE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected()); // the band's right edge crosses it
    EXPECT_FALSE(c->IsSelected());
    Mouse(panel.get(), QEvent::MouseMove, {200, 150});
    EXPECT_FALSE(b->IsSelected());
    Mouse(panel.get(), QEvent::MouseButtonRelease, {200, 150});
    EXPECT_FALSE(panel->IsBandActive());
    EXPECT_TRUE(a->IsSelected());
    EXPECT_TRUE(a->IsHighlighted());

    // A press on the background clears the selection.
    Mouse(panel.get(), QEvent::MouseButtonPress, {600, 500});
    EXPECT_FALSE(a->IsSelected());
    Mouse(panel.get(), QEvent::MouseButtonRelease, {600, 500});
}

TEST_F(SocioPanelTest, GroupDragKeepsTheGroupInsideTheLeftAndTopEdges)
{
    auto* a = Node("A", {20, 100, 60, 90});
    auto* b = Node("B", {200, 150, 60, 90});
    auto* still = Node("C", {400, 400, 60, 90});
    a->SetSelected(true);
    b->SetSelected(true);
    Mouse(b, QEvent::MouseButtonPress, {10, 10});
    EXPECT_TRUE(panel->IsGroupDragging());
    Mouse(b, QEvent::MouseMove, {-40, 30}); // 50 left, 20 down
    EXPECT_EQ(a->pos(), QPoint(0, 120));
    EXPECT_EQ(b->pos(), QPoint(180, 170));
    EXPECT_EQ(still->pos(), QPoint(400, 400));
    Mouse(b, QEvent::MouseButtonRelease, {0, 0});
    EXPECT_FALSE(panel->IsGroupDragging());
    EXPECT_TRUE(a->IsHighlighted());
}

TEST_F(SocioPanelTest, NodeMovesStopAtTheEdgesAndResizeKeepsTheMinimum)
{
    auto* node = Node("A", {30, 40, 100, 150});
    panel->show();
    node->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(node->IsFocused());

    // Moving up-left past the top: the top stays, the left follows.
    Mouse(node, QEvent::MouseMove, {50, 60});
    Mouse(node, QEvent::MouseButtonPress, {50, 60});
    EXPECT_TRUE(node->IsMoving());
    Mouse(node, QEvent::MouseMove, {40, 20});
    EXPECT_EQ(node->pos(), QPoint(20, 0));
    Mouse(node, QEvent::MouseMove, {40, -100});
    EXPECT_EQ(node->pos(), QPoint(10, 0));
    Mouse(node, QEvent::MouseButtonRelease, {40, -100});
    EXPECT_FALSE(node->IsMoving());

    // Resizing from the top-left corner keeps the bottom-right corner; release applies 50 x 80.
    node->setGeometry(100, 100, 100, 150);
    Mouse(node, QEvent::MouseMove, {2, 3});
    EXPECT_EQ(node->ActiveHandle(), 1);
    Mouse(node, QEvent::MouseButtonPress, {2, 3});
    Mouse(node, QEvent::MouseMove, {70, 110});
    EXPECT_EQ(node->geometry(), QRect(170, 210, 30, 40));
    Mouse(node, QEvent::MouseButtonRelease, {0, 0});
    EXPECT_EQ(node->size(), QSize(50, 80));

    // Dragging the top edge past the surface's top stops at 0.
    node->setGeometry(100, 20, 100, 150);
    Mouse(node, QEvent::MouseMove, {50, 1});
    EXPECT_EQ(node->ActiveHandle(), 2);
    Mouse(node, QEvent::MouseButtonPress, {50, 1});
    Mouse(node, QEvent::MouseMove, {50, -80});
    EXPECT_EQ(node->geometry(), QRect(100, 0, 100, 170));
    Mouse(node, QEvent::MouseButtonRelease, {0, 0});
}

TEST_F(SocioPanelTest, PictureHasNoGripsAndShowsArrows)
{
    auto* a = Node("A", {20, 20, 80, 120});
    auto* b = Node("B", {300, 20, 80, 120});
    a->SetComponentStyle(csNone);
    b->SetComponentStyle(csNone);
    a->AddRelation(b, Qt::SolidLine, QColor(255, 0, 0), 3);
    panel->SetBackColor(Qt::white);
    a->SetBColor(Qt::white);
    b->SetBColor(Qt::white);
    panel->show();
    a->setFocus();
    QApplication::processEvents();

    const QImage own = a->grab().toImage();
    EXPECT_EQ(own.pixelColor(2, 2), QColor(Qt::black)); // a grip on its own canvas
    QImage picture(panel->size(), QImage::Format_RGB32);
    QPainter painter(&picture);
    panel->PaintTo(painter);
    painter.end();
    EXPECT_EQ(picture.pixelColor(22, 22), QColor(Qt::white));
    // The arrow runs between the centres, at height 80.
    EXPECT_EQ(picture.pixelColor(200, 80), QColor(255, 0, 0));
}

TEST_F(SocioPanelTest, MovingANodeRepaintsOnlyItAndItsArrows)
{
    auto* a = Node("A", QRect(10, 10, 60, 80));
    auto* b = Node("B", QRect(400, 10, 60, 80));
    auto* c = Node("C", QRect(10, 400, 60, 80));
    auto* d = Node("D", QRect(400, 200, 60, 80));
    a->AddRelation(b, Qt::SolidLine, Qt::black, 1);
    d->AddRelation(a, Qt::SolidLine, Qt::black, 1);

    // A node without arrows: its own rectangle and a pixel around it.
    const QRegion alone = panel->NodeRegion(c, c->geometry());
    EXPECT_EQ(alone.boundingRect(), c->geometry().adjusted(-1, -1, 1, 1));

    // A node with arrows: their lines, with room for the arrowheads, but not the other nodes.
    const QRegion withArrows = panel->NodeRegion(a, a->geometry());
    EXPECT_TRUE(withArrows.contains(QPoint(250, 50)));  // on the arrow to B
    EXPECT_TRUE(withArrows.contains(QPoint(392, 40)));  // B's arrowhead, just left of B
    EXPECT_TRUE(withArrows.contains(QPoint(235, 145))); // on the arrow from D
    EXPECT_FALSE(withArrows.contains(QPoint(40, 440))); // C
    EXPECT_FALSE(withArrows.contains(QPoint(250, 430)));

    // At a new place the region follows the node: a repaint covers the old and the new region.
    const QRegion moved = panel->NodeRegion(a, QRect(10, 200, 60, 80));
    EXPECT_TRUE(moved.contains(QPoint(40, 240)));
    EXPECT_FALSE(moved.contains(QPoint(40, 440)));

    // A selection: the selected nodes and the arrows from or to them.
    b->SetSelected(true);
    const QRegion selection = panel->SelectionRegion();
    EXPECT_TRUE(selection.contains(QPoint(430, 50)));
    EXPECT_TRUE(selection.contains(QPoint(250, 50)));
    EXPECT_FALSE(selection.contains(QPoint(250, 200)));
    EXPECT_FALSE(selection.contains(QPoint(40, 440)));
}

TEST_F(SocioPanelTest, CaptionMeasuresFollowTheCaptionAndItsFont)
{
    auto* node = Node("Ann", QRect(10, 10, 60, 80));
    node->grab();
    const int narrow = node->CaptionWidth();
    node->SetCaption("Annabel Lee-Montgomery");
    EXPECT_GT(node->CaptionWidth(), narrow);
    const int wide = node->CaptionWidth();
    const int height = node->CaptionTextHeight();
    QFont large = node->CaptionFont();
    large.setPointSize(large.pointSize() * 3);
    node->SetCaptionFont(large, Qt::black);
    EXPECT_GT(node->CaptionWidth(), wide);
    EXPECT_GT(node->CaptionTextHeight(), height);
    // Auto-size took the new measures, up to its limit.
    EXPECT_EQ(node->width(), std::min(node->CaptionWidth() + 10, node->MaxAutoWidth()));
}
