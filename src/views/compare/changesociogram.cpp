#include "views/compare/changesociogram.h"

#include <algorithm>
#include <unordered_map>

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

QPen ArrowPen(TChoiceChange::TKind kind)
{
    switch (kind) {
    case TChoiceChange::TKind::Kept:
        return QPen(kKeptColor, 1.5);
    case TChoiceChange::TKind::New:
        return QPen(kNewColor, 2.5);
    case TChoiceChange::TKind::Dropped:
        break;
    }
    return QPen(kDroppedColor, 1.2, Qt::DashLine);
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
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
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
            const auto head = ArrowHeadAt(s, target.center(), target);
            if (!head)
                continue;
            QPen pen = ArrowPen(kind);
            painter.setPen(pen);
            painter.drawLine(s, head->Entry);
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
    painter.setPen(QPen(Qt::black, 1));
    for (const TNode& node : m_nodes) {
        painter.setBrush(QColor(250, 250, 235));
        painter.drawRoundedRect(node.Rect, 6, 6);
        painter.drawText(node.Rect.adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextWordWrap, node.Name);
    }
    // The key along the top.
    int x = kMargin;
    const QFontMetrics metrics(painter.font());
    for (const auto kind : {TChoiceChange::TKind::Kept, TChoiceChange::TKind::New, TChoiceChange::TKind::Dropped}) {
        painter.setPen(ArrowPen(kind));
        painter.drawLine(x, kMargin, x + 30, kMargin);
        painter.setPen(Qt::black);
        const QString text = QString::fromStdString(LangConv().GetText(KeyKey(kind)));
        painter.drawText(QPoint(x + 36, kMargin + metrics.ascent() / 2), text);
        x += 36 + metrics.horizontalAdvance(text) + 2 * kMargin;
    }
    painter.restore();
}

void TChangeSociogram::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintTo(painter);
}
