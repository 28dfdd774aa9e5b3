#include "views/target/stringslist.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

TStringsList::TStringsList(QWidget* parent) : TSocioObject(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    FitToContents();
    setVisible(IsShown());
}

TStringsList::~TStringsList() = default;

void TStringsList::SetBackColor(const QColor& color)
{
    m_backColor = color;
    update();
}

void TStringsList::SetTextFont(const QFont& font, const QColor& color)
{
    m_textFont = font;
    m_textColor = color;
    FitToContents();
    update();
}

void TStringsList::SetLines(const QStringList& lines)
{
    m_lines = lines;
    FitToContents();
    update();
    setVisible(IsShown());
}

void TStringsList::SetLeftOrder(int order)
{
    m_leftOrder = order;
    FitToContents();
    update();
}

void TStringsList::SetUpOrder(int order)
{
    m_upOrder = order;
    FitToContents();
    update();
}

void TStringsList::SetOrder(int order)
{
    m_order = order;
    FitToContents();
    update();
}

void TStringsList::SetIsEmptyHide(bool value)
{
    m_isEmptyHide = value;
    setVisible(IsShown());
}

void TStringsList::SetLineWidth(int width)
{
    m_lineWidth = width;
    update();
}

void TStringsList::SetLineColor(const QColor& color)
{
    m_lineColor = color;
    update();
}

int TStringsList::LineHeight() const
{
    return QFontMetrics(m_textFont).height();
}

int TStringsList::LineAt(QPoint point) const
{
    const int pitch = LineHeight() + m_order;
    if (pitch <= 0 || point.y() < m_upOrder)
        return -1;
    const int line = (point.y() - m_upOrder) / pitch;
    return line < m_lines.size() ? line : -1;
}

void TStringsList::FitToContents()
{
    const QFontMetrics fm(m_textFont);
    int widest = 0;
    for (const QString& line : m_lines)
        widest = std::max(widest, fm.horizontalAdvance(line));
    const int width = widest + 2 * m_leftOrder;
    const int height = static_cast<int>(m_lines.size()) * (LineHeight() + m_order) + m_upOrder;
    resize(std::max(1, width), std::max(1, height));
}

void TStringsList::PaintTo(QPainter& painter)
{
    painter.save();
    const QRect whole(QPoint(0, 0), size());
    painter.fillRect(whole, m_backColor);
    if (m_lineWidth > 0)
        painter.setPen(QPen(m_lineColor, m_lineWidth));
    else
        painter.setPen(QPen(QApplication::palette().color(QPalette::Button), 1));
    painter.setBrush(Qt::NoBrush);
    const int w = width() - 1;
    const int h = height() - 1;
    const QPoint corners[] = {{0, 0}, {w, 0}, {w, h}, {0, h}, {0, 0}};
    painter.drawPolyline(corners, 5);

    painter.setFont(m_textFont);
    painter.setPen(m_textColor);
    const QFontMetrics fm(m_textFont);
    const int pitch = LineHeight() + m_order;
    const QRect clip = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() : whole;
    // Only the lines inside the clip: a legend of a large group is thousands of lines long.
    const int first = pitch > 0 ? std::max(0, (clip.top() - m_upOrder) / pitch) : 0;
    for (int i = first; i < m_lines.size(); ++i) {
        const int top = m_upOrder + i * pitch;
        if (top > clip.bottom())
            break;
        painter.drawText(m_leftOrder, top + fm.ascent(), m_lines[i]);
    }
    painter.restore();
}

void TStringsList::mouseMoveEvent(QMouseEvent* event)
{
    Q_EMIT OnMouseMove(LineAt(event->position().toPoint()));
    TSocioObject::mouseMoveEvent(event);
}
