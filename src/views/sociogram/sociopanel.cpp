#include "views/sociogram/sociopanel.h"

#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

#include "layout/layout.h"
#include "platform/thinlines.h"
#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociogeometry.h"

namespace {

QPoint Centre(const QRect& r)
{
    return {r.left() + r.width() / 2, r.top() + r.height() / 2};
}

// A region of a few rectangles; many (a large selection's arrows) are merged into their bounding
// rectangle, which then covers most of the surface anyway and costs nothing to build.
QRegion RegionOf(const std::vector<QRect>& rects)
{
    constexpr std::size_t kMostRects = 64;
    if (rects.size() <= kMostRects) {
        QRegion region;
        for (const QRect& rect : rects)
            region += rect;
        return region;
    }
    QRect bounds;
    for (const QRect& rect : rects)
        bounds |= rect;
    return bounds;
}

} // namespace

TSocioPanel::TSocioPanel(QWidget* parent) : TSocioObject(parent)
{
    setObjectName(QStringLiteral("SocioPanel"));
    m_backColor = QApplication::palette().color(QPalette::Button);
    SetBorderWidth(0);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TSocioPanel::~TSocioPanel()
{
    // The nodes are deleted with the widget; they find no surface to leave by then.
    m_nodes.clear();
    m_lastGeometry.clear();
}

void TSocioPanel::SetPenBorderStyle(Qt::PenStyle style)
{
    m_penBorderStyle = style;
    update();
}

void TSocioPanel::SetBorderColor(const QColor& color)
{
    m_borderColor = color;
    update();
}

void TSocioPanel::SetBackColor(const QColor& color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    update();
}

void TSocioPanel::SetBackStyle(Qt::BrushStyle style)
{
    m_backStyle = style;
    update();
}

void TSocioPanel::AddNode(TSocioGraphicControl* node)
{
    m_nodes.push_back(node);
    m_lastGeometry.push_back(node->geometry());
}

void TSocioPanel::RemoveNode(TSocioGraphicControl* node)
{
    const auto it = std::find(m_nodes.begin(), m_nodes.end(), node);
    if (it == m_nodes.end())
        return;
    m_lastGeometry.erase(m_lastGeometry.begin() + (it - m_nodes.begin()));
    m_nodes.erase(it);
}

QSize TSocioPanel::ContentsSize() const
{
    int right = 0;
    int bottom = 0;
    for (const QObject* child : children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (!widget || widget->isWindow())
            continue;
        right = std::max(right, widget->x() + widget->width());
        bottom = std::max(bottom, widget->y() + widget->height());
    }
    // A target's ring circles are drawn whole.
    if (!m_ringRadii.empty()) {
        const int outer = *std::max_element(m_ringRadii.begin(), m_ringRadii.end());
        right = std::max(right, m_ringCentre.x() + outer);
        bottom = std::max(bottom, m_ringCentre.y() + outer);
    }
    return {right + kMargin, bottom + kMargin};
}

void TSocioPanel::FitToContents()
{
    const QSize wanted = ContentsSize().expandedTo(m_minimumArea);
    if (size() != wanted)
        resize(wanted);
}

void TSocioPanel::SetMinimumArea(QSize area)
{
    m_minimumArea = area;
    if (!m_clientAligned)
        FitToContents();
}

TSocioGraphicControl* TSocioPanel::FindNode(const QString& caption) const
{
    for (auto it = m_nodes.rbegin(); it != m_nodes.rend(); ++it) {
        if ((*it)->Caption() == caption)
            return *it;
    }
    return nullptr;
}

TSocioGraphicControl* TSocioPanel::RelationTarget(const TSocioGraphicControl& node, int index) const
{
    const TRelation& relation = node.Relation(index);
    if (relation.Target)
        return relation.Target.data();
    return FindNode(relation.TargetCaption);
}

TLayoutGraph TSocioPanel::LayoutGraph() const
{
    TLayoutGraph graph;
    graph.Nodes.reserve(m_nodes.size());
    std::unordered_map<const TSocioGraphicControl*, int> position;
    position.reserve(m_nodes.size());
    for (std::size_t n = 0; n < m_nodes.size(); ++n) {
        graph.Nodes.push_back({m_nodes[n]->width(), m_nodes[n]->height(), TLayoutSex::Unknown});
        position.emplace(m_nodes[n], static_cast<int>(n));
    }
    for (std::size_t n = 0; n < m_nodes.size(); ++n) {
        for (int i = 0; i < m_nodes[n]->RelationCount(); ++i) {
            const auto target = position.find(RelationTarget(*m_nodes[n], i));
            if (target != position.end())
                graph.Edges.push_back({static_cast<int>(n), target->second, m_nodes[n]->Relation(i).Sign});
        }
    }
    return graph;
}

void TSocioPanel::Arrange()
{
    if (m_nodes.empty())
        return;
    const TLayoutResult grid = MakeLayout(TLayoutKind::Grid, LayoutGraph(), {.Margin = kMargin});
    for (std::size_t n = 0; n < m_nodes.size(); ++n) {
        m_nodes[n]->SetTag(-1);
        m_nodes[n]->move(grid.Places[n].X, grid.Places[n].Y);
    }
    NodesPlaced();
}

void TSocioPanel::NodesPlaced()
{
    for (std::size_t i = 0; i < m_nodes.size(); ++i)
        m_lastGeometry[i] = m_nodes[i]->geometry();
    if (!m_clientAligned)
        FitToContents();
    update();
}

void TSocioPanel::ClearAllRelations()
{
    for (TSocioGraphicControl* node : m_nodes)
        node->ClearRelations();
    update();
}

void TSocioPanel::ClearSelection()
{
    for (TSocioGraphicControl* node : m_nodes) {
        node->SetSelected(false);
        node->SetHighlighted(false);
    }
}

// ---------------------------------------------------------------------------------------------
// Painting

QRect TSocioPanel::ArrowBounds(const QRect& from, const QRect& to) const
{
    // The line runs between the figures; a head reaches 12 pixels out from either figure's edge.
    return QRect(Centre(from), Centre(to)).normalized().united(to).united(from).adjusted(-16, -16, 16, 16);
}

void TSocioPanel::SetArrowFilter(TArrowFilter filter)
{
    if (filter == m_arrowFilter)
        return;
    m_arrowFilter = filter;
    update();
}

void TSocioPanel::SetRings(QPoint centre, std::vector<int> radii)
{
    m_ringCentre = centre;
    m_ringRadii = std::move(radii);
    update();
}

void TSocioPanel::PaintArrows(QPainter& painter, const QRegion& clip)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Lines of one pen are drawn together: a sociogram's arrows mostly share a pen.
    std::vector<QLine> lines;
    QPen current(Qt::NoPen);
    auto flush = [&] {
        if (!lines.empty()) {
            const int count = static_cast<int>(lines.size());
            // Solid one-pixel arrows, the usual case, go straight into a picture's pixels.
            const bool thin = current.style() == Qt::SolidLine && current.widthF() == 0;
            if (!thin || !DrawThinLines(painter, lines.data(), count, current.color())) {
                painter.setPen(current);
                painter.drawLines(lines.data(), count);
            }
            lines.clear();
        }
    };
    auto addLine = [&](const TRelation& relation, QPointF a, QPointF b) {
        // Width 1 is the one-pixel line of the fast path.
        const QPen pen(relation.Color, relation.Width <= 1 ? 0 : relation.Width, relation.PenStyle, Qt::RoundCap,
                       Qt::RoundJoin);
        if (pen != current) {
            flush();
            current = pen;
        }
        lines.emplace_back(a.toPoint(), b.toPoint());
    };
    // The first relation from target back to node: the way back of a mutual pair. Asked only for
    // arrows inside the clip, so a repaint of a small part looks at few nodes' relations.
    auto wayBack = [this](const TSocioGraphicControl* target, const TSocioGraphicControl* node) -> const TRelation* {
        for (int j = 0; j < target->RelationCount(); ++j) {
            if (RelationTarget(*target, j) == node)
                return &target->Relation(j);
        }
        return nullptr;
    };
    std::map<const TSocioGraphicControl*, std::vector<QPolygonF>> outlines;
    auto outlineOf = [&](const TSocioGraphicControl* node) -> const std::vector<QPolygonF>& {
        auto it = outlines.find(node);
        if (it == outlines.end())
            it = outlines.emplace(node, node->Outline()).first;
        return it->second;
    };
    // Where the line from s toward the node's centre meets the node's outline.
    auto endAt = [&](const TSocioGraphicControl* node, QPointF s) {
        const QRect r = node->geometry();
        const QPoint t = Centre(r);
        if (const auto entry = OutlineEntry(s, t, outlineOf(node)))
            return *entry;
        if (const auto head = ArrowHeadAt(s.toPoint(), t, r))
            return QPointF(head->Entry);
        return QPointF(t);
    };
    struct THead {
        QColor Color;
        std::array<QPointF, 3> Points;
    };
    std::vector<THead> heads;
    std::unordered_map<const TSocioGraphicControl*, std::size_t> order;
    order.reserve(m_nodes.size());
    for (std::size_t n = 0; n < m_nodes.size(); ++n)
        order.emplace(m_nodes[n], n);
    for (std::size_t n = 0; n < m_nodes.size(); ++n) {
        const TSocioGraphicControl* node = m_nodes[n];
        const QRect from = node->geometry();
        for (int i = 0; i < node->RelationCount(); ++i) {
            const TSocioGraphicControl* target = RelationTarget(*node, i);
            if (!target || target == node)
                continue;
            // Both arrows of a mutual pair have the same bounds.
            const QRect to = target->geometry();
            if (!clip.isEmpty() && !clip.intersects(ArrowBounds(from, to)))
                continue;
            const TRelation* back = wayBack(target, node);
            const bool mutual = back != nullptr;
            if ((mutual && m_arrowFilter == TArrowFilter::OneWay) || (!mutual && m_arrowFilter == TArrowFilter::Mutual))
                continue;
            // A mutual pair is one line with a head at each end, drawn once, from the earlier node.
            if (const auto at = order.find(target); mutual && at != order.end() && at->second < n)
                continue;
            const TRelation& relation = node->Relation(i);
            const QPointF s = Centre(from);
            const QPointF end = endAt(target, s);
            if (!mutual) {
                addLine(relation, s, end);
                heads.push_back({relation.Color, ArrowHeadPoints(s, end)});
                continue;
            }
            // Each half in the colour of the choice whose head it carries.
            const QPointF start = endAt(node, QPointF(Centre(to)));
            const QPointF middle = (start + end) / 2;
            addLine(*back, start, middle);
            addLine(relation, middle, end);
            heads.push_back({relation.Color, ArrowHeadPoints(start, end)});
            heads.push_back({back->Color, ArrowHeadPoints(end, start)});
        }
    }
    flush();
    // Heads over every line, so no line runs across a head.
    painter.setPen(Qt::NoPen);
    for (const THead& head : heads) {
        painter.setBrush(head.Color);
        painter.drawPolygon(head.Points.data(), 3);
    }
    painter.restore();
}

void TSocioPanel::PaintRings(QPainter& painter)
{
    if (m_ringRadii.empty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Faint: a tenth of the way from the background toward black.
    const QColor back = m_backColor;
    const QColor faint(back.red() * 9 / 10, back.green() * 9 / 10, back.blue() * 9 / 10);
    painter.setPen(QPen(faint, 1.5));
    painter.setBrush(Qt::NoBrush);
    for (const int radius : m_ringRadii) {
        if (radius > 0)
            painter.drawEllipse(QPointF(m_ringCentre), radius, radius);
    }
    painter.restore();
}

void TSocioPanel::PaintSurface(QPainter& painter, const QRegion& clip, bool withNodes)
{
    // A picture is as large as its nodes need; the screen shows the surface's whole area.
    const QSize area = withNodes && !m_clientAligned ? ContentsSize() : size();
    const int w = area.width();
    const int h = area.height();
    painter.fillRect(QRect(0, 0, w, h), QBrush(m_backColor, m_backStyle));
    if (BorderWidth() > 0) {
        painter.save();
        painter.setPen(QPen(m_borderColor, BorderWidth(), m_penBorderStyle));
        painter.setBrush(Qt::NoBrush);
        const QPoint corners[] = {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}, {0, 0}};
        painter.drawPolyline(corners, 5);
        painter.restore();
    }
    PaintRings(painter);
    PaintArrows(painter, clip);
    if (!withNodes)
        return;
    for (TSocioGraphicControl* node : m_nodes) {
        if (clip.isEmpty() || clip.intersects(node->geometry()))
            node->PaintTo(painter, node->x(), node->y());
    }
}

void TSocioPanel::PaintTo(QPainter& painter)
{
    if (!m_clientAligned)
        FitToContents();
    const QRegion clip = painter.hasClipping() ? QRegion(painter.clipBoundingRect().toAlignedRect()) : QRegion();
    PaintSurface(painter, clip, true);
}

void TSocioPanel::paintEvent(QPaintEvent* event)
{
    if (!m_clientAligned)
        FitToContents();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    PaintSurface(painter, event->region(), false);
    if (m_bandActive) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        const QPoint corners[] = {m_bandStart, {m_bandEnd.x(), m_bandStart.y()}, m_bandEnd,
                                  {m_bandStart.x(), m_bandEnd.y()}, m_bandStart};
        painter.drawPolyline(corners, 5);
    }
}

// ---------------------------------------------------------------------------------------------
// Node messages

QRegion TSocioPanel::NodeRegion(const TSocioGraphicControl* node, const QRect& geometry) const
{
    std::vector<QRect> region{geometry.adjusted(-1, -1, 1, 1)};
    for (const TSocioGraphicControl* source : m_nodes) {
        for (int i = 0; i < source->RelationCount(); ++i) {
            const TSocioGraphicControl* target = RelationTarget(*source, i);
            if (!target || (source != node && target != node))
                continue;
            const QRect from = source == node ? geometry : source->geometry();
            const QRect to = target == node ? geometry : target->geometry();
            region.push_back(ArrowBounds(from, to));
        }
    }
    return RegionOf(region);
}

QRegion TSocioPanel::SelectionRegion() const
{
    std::vector<QRect> region;
    for (const TSocioGraphicControl* source : m_nodes) {
        if (source->IsSelected())
            region.push_back(source->geometry().adjusted(-1, -1, 1, 1));
        for (int i = 0; i < source->RelationCount(); ++i) {
            const TSocioGraphicControl* target = RelationTarget(*source, i);
            if (target && (source->IsSelected() || target->IsSelected()))
                region.push_back(ArrowBounds(source->geometry(), target->geometry()));
        }
    }
    return RegionOf(region);
}

void TSocioPanel::NodeChanged(TSocioGraphicControl* node)
{
    const auto it = std::find(m_nodes.begin(), m_nodes.end(), node);
    if (it == m_nodes.end()) {
        update();
        return;
    }
    QRect& last = m_lastGeometry[static_cast<std::size_t>(it - m_nodes.begin())];
    // What changed: the node and its arrows where it was and where it is now.
    QRegion changed = NodeRegion(node, last);
    last = node->geometry();
    changed += NodeRegion(node, last);
    if (!m_clientAligned)
        FitToContents();
    update(changed);
}

void TSocioPanel::StartGroupDrag(TSocioGraphicControl* node, QPoint posInNode)
{
    m_dragging = true;
    m_dragOrigin = node->mapTo(this, posInNode);
}

void TSocioPanel::GroupDragTo(QPoint pos)
{
    if (!m_dragging)
        return;
    const QPoint delta = pos - m_dragOrigin;
    // The selected nodes and their arrows, where they were and where they go.
    QRegion changed = SelectionRegion();
    int smallestLeft = 0;
    int smallestTop = 0;
    std::vector<TSocioGraphicControl*> moved;
    for (TSocioGraphicControl* node : m_nodes) {
        node->SetHighlighted(false);
        if (!node->IsSelected())
            continue;
        node->move(node->pos() + delta);
        smallestLeft = std::min(smallestLeft, node->x());
        smallestTop = std::min(smallestTop, node->y());
        moved.push_back(node);
    }
    // No selected node leaves the surface at the left or top.
    if (smallestLeft < 0 || smallestTop < 0) {
        for (TSocioGraphicControl* node : moved)
            node->move(node->x() - smallestLeft, node->y() - smallestTop);
    }
    for (std::size_t i = 0; i < m_nodes.size(); ++i)
        m_lastGeometry[i] = m_nodes[i]->geometry();
    m_dragOrigin = pos;
    if (!m_clientAligned)
        FitToContents();
    changed += SelectionRegion();
    update(changed);
}

void TSocioPanel::EndGroupDrag()
{
    EndBandOrDrag();
}

void TSocioPanel::EndBandOrDrag()
{
    m_bandActive = false;
    m_dragging = false;
    for (TSocioGraphicControl* node : m_nodes) {
        if (node->IsSelected())
            node->SetHighlighted(true);
    }
    repaint();
}

// ---------------------------------------------------------------------------------------------
// Rubber band

void TSocioPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        TSocioObject::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    ClearSelection();
    m_bandActive = true;
    m_bandStart = m_bandEnd = event->position().toPoint();
    Q_EMIT Clicked();
}

void TSocioPanel::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        GroupDragTo(pos);
        return;
    }
    if (!m_bandActive)
        return;
    const QPoint oldStart = m_bandStart;
    const QPoint oldEnd = m_bandEnd;
    m_bandEnd = pos;
    const QRect band(m_bandStart, m_bandEnd);
    for (TSocioGraphicControl* node : m_nodes) {
        const QRect g = node->geometry();
        const bool hit = BandHits(QRect(g.topLeft(), QPoint(g.left() + g.width(), g.top() + g.height())), band);
        node->SetSelected(hit);
        node->SetHighlighted(hit);
    }
    // Only the strips the band's four edges swept.
    const int top = std::min({oldStart.y(), oldEnd.y(), m_bandStart.y(), m_bandEnd.y()});
    const int bottom = std::max({oldStart.y(), oldEnd.y(), m_bandStart.y(), m_bandEnd.y()});
    const int left = std::min({oldStart.x(), oldEnd.x(), m_bandStart.x(), m_bandEnd.x()});
    const int right = std::max({oldStart.x(), oldEnd.x(), m_bandStart.x(), m_bandEnd.x()});
    auto vertical = [&](int a, int b) {
        update(QRect(QPoint(std::min(a, b) - 1, top - 1), QPoint(std::max(a, b) + 1, bottom + 1)));
    };
    auto horizontal = [&](int a, int b) {
        update(QRect(QPoint(left - 1, std::min(a, b) - 1), QPoint(right + 1, std::max(a, b) + 1)));
    };
    vertical(oldStart.x(), m_bandStart.x());
    vertical(oldEnd.x(), m_bandEnd.x());
    horizontal(oldStart.y(), m_bandStart.y());
    horizontal(oldEnd.y(), m_bandEnd.y());
}

void TSocioPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || (!m_bandActive && !m_dragging)) {
        TSocioObject::mouseReleaseEvent(event);
        return;
    }
    EndBandOrDrag();
}

void TSocioPanel::focusInEvent(QFocusEvent* event)
{
    for (TSocioGraphicControl* node : m_nodes) {
        if (node->IsSelected())
            node->SetHighlighted(true);
    }
    TSocioObject::focusInEvent(event);
}

void TSocioPanel::focusOutEvent(QFocusEvent* event)
{
    for (TSocioGraphicControl* node : m_nodes)
        node->SetHighlighted(false);
    update();
    TSocioObject::focusOutEvent(event);
}
