#pragma once

#include <cstdint>
#include <vector>

#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>

#include "layout/layout.h"
#include "views/sociogram/graphiccontrol.h"
#include "views/socioobject.h"

// Which arrows the surface draws: all, only one-way choices, or only mutual pairs.
enum class TArrowFilter : uint8_t { All, OneWay, Mutual };

// The drawing surface of a sociogram: holds the nodes as child widgets, draws the background, the
// border and every arrow between nodes, selects several nodes with a rubber band and drags them
// together, makes the first layout by how often each node is chosen, and grows to fit its nodes.
// PaintTo draws the whole sociogram (arrows and nodes) onto any painter for pictures.
class TSocioPanel final : public TSocioObject, public TNodeSurface {
    Q_OBJECT

public:
    static constexpr int kMargin = 35;

    explicit TSocioPanel(QWidget* parent = nullptr);
    ~TSocioPanel() override;

    Qt::PenStyle PenBorderStyle() const { return m_penBorderStyle; }
    void SetPenBorderStyle(Qt::PenStyle style);
    QColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(const QColor& color);
    QColor BackColor() const override { return m_backColor; }
    void SetBackColor(const QColor& color);
    Qt::BrushStyle BackStyle() const override { return m_backStyle; }
    void SetBackStyle(Qt::BrushStyle style);
    // A client-aligned surface fills its parent and does not fit itself to its nodes.
    bool ClientAligned() const { return m_clientAligned; }
    void SetClientAligned(bool value) { m_clientAligned = value; }

    // Size = the largest right and bottom of the children + the margin (at least the minimum area).
    void FitToContents() override;
    // The size the nodes need: the largest right and bottom of the children + the margin.
    QSize ContentsSize() const;
    // On screen the surface covers at least this area (its scroll box's view), so that a frame can be
    // drawn anywhere; pictures keep ContentsSize().
    void SetMinimumArea(QSize area);
    // The whole sociogram: background, border, arrows, then every node at its place.
    void PaintTo(QPainter& painter) override;

    // Nodes in the order they were made.
    const std::vector<TSocioGraphicControl*>& Nodes() const override { return m_nodes; }
    bool HasNodes() const { return !m_nodes.empty(); }
    // The last node with exactly that caption, nullptr when none has it.
    TSocioGraphicControl* FindNode(const QString& caption) const;
    // The node a relation of a node points to: the node it was made for, else by caption.
    TSocioGraphicControl* RelationTarget(const TSocioGraphicControl& node, int index) const;
    // The nodes with their sizes and every arrow between them with its sign, in the order of the
    // nodes, for the automatic layouts.
    TLayoutGraph LayoutGraph() const;
    // The first layout: most chosen at the top left, the others in square shells around it, on a
    // grid as wide and high as the largest node.
    void Arrange();
    void ClearAllRelations();
    TArrowFilter ArrowFilter() const { return m_arrowFilter; }
    void SetArrowFilter(TArrowFilter filter);
    // Faint circles drawn behind the arrows and figures (the rings of a target arrangement);
    // no radii removes them.
    void SetRings(QPoint centre, std::vector<int> radii);
    const std::vector<int>& RingRadii() const { return m_ringRadii; }
    QPoint RingCentre() const { return m_ringCentre; }
    void ClearSelection() override;

    // The part of the surface a node and its arrows cover when the node has that geometry: what a
    // move or resize of the node repaints, at its old and its new place.
    QRegion NodeRegion(const TSocioGraphicControl* node, const QRect& geometry) const;
    // The selected nodes and every arrow from or to one of them, at their places now.
    QRegion SelectionRegion() const;

    // Messages of the nodes: a node moved, changed size or got an arrow.
    void NodeChanged(TSocioGraphicControl* node) override;
    // A selected node was pressed: the selected nodes follow the mouse until the button is released.
    void StartGroupDrag(TSocioGraphicControl* node, QPoint posInNode) override;
    bool IsGroupDragging() const override { return m_dragging; }
    void GroupDragTo(QPoint pos) override;
    void EndGroupDrag() override;
    void MenuRequested(TSocioGraphicControl* node) override { m_menuNode = node; }
    // The node whose menu was opened last; nullptr when it is gone.
    TSocioGraphicControl* MenuNode() const { return m_menuNode.data(); }
    // The nodes were placed anew all at once: repaint all and fit the surface to them.
    void NodesPlaced();
    bool IsBandActive() const { return m_bandActive; }

    void AddNode(TSocioGraphicControl* node) override;
    void RemoveNode(TSocioGraphicControl* node) override;

Q_SIGNALS:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // clip: the part to paint; empty paints everything.
    void PaintSurface(QPainter& painter, const QRegion& clip, bool withNodes);
    void PaintArrows(QPainter& painter, const QRegion& clip);
    void PaintRings(QPainter& painter);
    QRect ArrowBounds(const QRect& from, const QRect& to) const;
    void EndBandOrDrag();

    std::vector<TSocioGraphicControl*> m_nodes;
    std::vector<QRect> m_lastGeometry; // parallel to m_nodes: where each node was last drawn
    Qt::PenStyle m_penBorderStyle = Qt::SolidLine;
    QColor m_borderColor = Qt::black;
    QColor m_backColor;
    Qt::BrushStyle m_backStyle = Qt::SolidPattern;
    bool m_clientAligned = false;
    TArrowFilter m_arrowFilter = TArrowFilter::All;
    QPointer<TSocioGraphicControl> m_menuNode;
    QPoint m_ringCentre;
    std::vector<int> m_ringRadii;
    QSize m_minimumArea;

    bool m_bandActive = false;
    QPoint m_bandStart;
    QPoint m_bandEnd;
    bool m_dragging = false;
    QPoint m_dragOrigin;
};
