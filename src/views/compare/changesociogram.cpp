#include "views/compare/changesociogram.h"

#include <algorithm>
#include <unordered_map>

#include <QPaintEvent>
#include <QPainter>

#include "i18n/langconv.h"
#include "store/fileacc.h"
#include "views/sociogram/sociogeometry.h"

namespace {

constexpr int kMargin = 16;
constexpr int kNodeWidth = 120;
constexpr int kNodeHeight = 36;
constexpr int kKeyHeight = 28;
constexpr int16_t kPositivePlacement = 1;
const QColor kKeptColor(40, 60, 150);
const QColor kNewColor(0, 150, 60);
const QColor kDroppedColor(150, 150, 150);

// Past this many arrows the picture is a thicket: its arrows are drawn one pixel wide without
// smoothing, which is ten times faster for the thousands of long lines a large group has.
constexpr std::size_t kDenseArrows = 5000;

QPen ArrowPen(TChoiceChange::TKind kind, bool dense)
{
    switch (kind) {
    case TChoiceChange::TKind::Kept:
        return QPen(kKeptColor, dense ? 1 : 1.5);
    case TChoiceChange::TKind::New:
        return QPen(kNewColor, dense ? 1 : 2.5);
    case TChoiceChange::TKind::Dropped:
        break;
    }
    return QPen(kDroppedColor, dense ? 1 : 1.2, Qt::DashLine);
}

const char* KeyKey(TChoiceChange::TKind kind)
{
    switch (kind) {
    case TChoiceChange::TKind::Kept:
        return "COMPARE_LEGEND_KEPT";
    case TChoiceChange::TKind::New:
        return "COMPARE_LEGEND_NEW";
    case TChoiceChange::TKind::Dropped:
        break;
    }
    return "COMPARE_LEGEND_DROPPED";
}

// The part of a line inside a box, as the fractions of its length where it enters and leaves
// (Liang and Barsky); false when it misses the box.
bool ClipLine(const QLineF& line, const QRectF& box, double& enter, double& leave)
{
    enter = 0;
    leave = 1;
    const double towards[4] = {-line.dx(), line.dx(), -line.dy(), line.dy()};
    const double room[4] = {line.x1() - box.left(), box.right() - line.x1(), line.y1() - box.top(),
                            box.bottom() - line.y1()};
    for (int i = 0; i < 4; ++i) {
        if (towards[i] == 0) {
            if (room[i] < 0)
                return false;
            continue;
        }
        const double t = room[i] / towards[i];
        if (towards[i] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    return enter <= leave;
}

// Draws the part of a line that can show in the clip. Qt strokes and dashes a whole line before
// clipping it, which for a long dashed arrow is thousands of dashes drawn for nothing; the dash
// pattern keeps its phase, so the pieces of two bands meet.
void DrawClippedLine(QPainter& painter, const QPen& pen, const QLineF& line, const QRectF& clip)
{
    const double margin = 2 * pen.widthF() + 2;
    double enter = 0;
    double leave = 1;
    if (!ClipLine(line, clip.adjusted(-margin, -margin, margin, margin), enter, leave))
        return;
    QPen shown = pen;
    if (pen.style() != Qt::SolidLine && pen.widthF() > 0)
        shown.setDashOffset(pen.dashOffset() + enter * line.length() / pen.widthF());
    painter.setPen(shown);
    painter.drawLine(QLineF(line.pointAt(enter), line.pointAt(leave)));
}

} // namespace

TChangeSociogram::TChangeSociogram(TFileAccess& store, const TWave& from, const TWave& to, QWidget* parent)
    : QWidget(parent), m_arrows(PositiveChoiceChanges(from, to))
{
    setObjectName(QStringLiteral("ChangeSociogram"));
    std::unordered_map<int32_t, bool> earlier;
    for (const TWaveMember& m : from.Members)
        earlier[m.ClientId] = true;
    int shellIndex = 0;
    for (const TWaveMember& m : to.Members) {
        if (!earlier.contains(m.ClientId))
            continue;
        TNode node{m.ClientId, QString::fromStdString(m.Name), QRect()};
        TGraphPlaceTable& places = store.Placements();
        if (places.Find({.InvestId = to.Id, .ClientId = m.ClientId, .ClientGroupId = to.ClientGroupId,
                         .SelType = kPositivePlacement}) &&
            places.GetWidth() > 0) {
            node.Rect = QRect(places.GetLeft(), places.GetTop(), places.GetWidth(), places.GetHeight());
        } else {
            const QPoint cell = ShellCell(shellIndex++);
            node.Rect = QRect(kMargin + cell.x() * (kNodeWidth + 2 * kMargin),
                              kMargin + kKeyHeight + cell.y() * (kNodeHeight + 3 * kMargin), kNodeWidth, kNodeHeight);
        }
        m_nodes.push_back(node);
    }
    setMinimumSize(PictureSize());
}

QSize TChangeSociogram::PictureSize() const
{
    QRect all(0, 0, 360, kKeyHeight + kMargin);
    for (const TNode& node : m_nodes)
        all |= node.Rect;
    return {all.right() + kMargin, all.bottom() + kMargin};
}

void TChangeSociogram::PaintTo(QPainter& painter) const
{
    // Only what crosses the clip is drawn: a window repaints what was exposed, a large picture is
    // saved band by band, and a group of 2000 has tens of thousands of arrows.
    const QRectF clip = painter.hasClipping() ? painter.clipBoundingRect() : QRectF(QPoint(0, 0), PictureSize());
    const bool dense = m_arrows.size() > kDenseArrows;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, !dense);
    painter.fillRect(QRect(QPoint(0, 0), PictureSize()), Qt::white);
    std::unordered_map<int32_t, QRect> rects;
    for (const TNode& node : m_nodes)
        rects[node.ClientId] = node.Rect;
    // Dropped choices first, so that kept and new ones stay on top.
    for (const auto kind : {TChoiceChange::TKind::Dropped, TChoiceChange::TKind::Kept, TChoiceChange::TKind::New}) {
        for (const TChoiceChange& arrow : m_arrows) {
            if (arrow.Kind != kind || !rects.contains(arrow.FromId) || !rects.contains(arrow.ToId))
                continue;
            const QRect& target = rects.at(arrow.ToId);
            const QPoint s = rects.at(arrow.FromId).center();
            // The line runs towards the target's centre and the head lies at the target's edge:
            // an arrow shows when that line or the target comes near the clip.
            constexpr double kReach = 16;
            const QRectF near = clip.adjusted(-kReach, -kReach, kReach, kReach);
            double enter = 0;
            double leave = 1;
            if (!near.intersects(QRectF(target)) && !ClipLine(QLineF(s, target.center()), near, enter, leave))
                continue;
            const auto head = ArrowHeadAt(s, target.center(), target);
            if (!head)
                continue;
            QPen pen = ArrowPen(kind, dense);
            DrawClippedLine(painter, pen, QLineF(s, head->Entry), clip);
            pen.setStyle(Qt::SolidLine);
            painter.setPen(pen);
            // The strokes that point back towards the chooser make the head.
            const auto distance = [&s](QPoint p) { return (p - s).manhattanLength(); };
            for (const QPoint& end : head->Ends) {
                if (distance(end) < distance(head->Entry))
                    painter.drawLine(head->Entry, end);
            }
        }
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    for (const TNode& node : m_nodes) {
        if (!clip.intersects(QRectF(node.Rect.adjusted(-1, -1, 1, 1))))
            continue;
        painter.setBrush(QColor(250, 250, 235));
        painter.drawRoundedRect(node.Rect, 6, 6);
        painter.drawText(node.Rect.adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextWordWrap, node.Name);
    }
    // The key along the top.
    int x = kMargin;
    const QFontMetrics metrics(painter.font());
    for (const auto kind : {TChoiceChange::TKind::Kept, TChoiceChange::TKind::New, TChoiceChange::TKind::Dropped}) {
        painter.setPen(ArrowPen(kind, dense));
        painter.drawLine(x, kMargin, x + 30, kMargin);
        painter.setPen(Qt::black);
        const QString text = QString::fromStdString(LangConv().GetText(KeyKey(kind)));
        painter.drawText(QPoint(x + 36, kMargin + metrics.ascent() / 2), text);
        x += 36 + metrics.horizontalAdvance(text) + 2 * kMargin;
    }
    painter.restore();
}

void TChangeSociogram::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    PaintTo(painter);
}
