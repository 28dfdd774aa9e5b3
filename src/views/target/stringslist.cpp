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

void TStringsList::SetHeading(const QString& heading)
{
    if (heading == m_heading)
        return;
    m_heading = heading;
    FitToContents();
    update();
}

QFont TStringsList::HeadingFont() const
{
    QFont font = m_textFont;
    font.setBold(true);
    return font;
}

void TStringsList::SetLineMarks(const QList<QColor>& marks)
{
    if (marks == m_marks)
        return;
    m_marks = marks;
    FitToContents();
    update();
}

void TStringsList::SetContents(const QString& heading, const QStringList& lines, const QList<QColor>& marks)
{
    m_heading = heading;
    m_lines = lines;
    m_marks = marks;
    FitToContents();
    update();
    setVisible(IsShown());
}

int TStringsList::MarkWidth() const
{
    return m_marks.isEmpty() ? 0 : std::max(6, LineHeight() - 4) + 6;
}

QRect TStringsList::MarkRect(int line) const
{
    if (line < 0 || line >= m_marks.size() || line >= m_lines.size())
        return {};
    const int side = MarkWidth() - 6;
    const QPoint pos = LinePos(line);
    return QRect(pos.x(), pos.y() + (LineHeight() - side) / 2, side, side);
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

void TStringsList::SetMaxHeight(int height)
{
    m_maxHeight = height;
    FitToContents();
    update();
}

QPoint TStringsList::LinePos(int line) const
{
    const int rows = std::max(1, m_rows);
    return QPoint(m_leftOrder + (line / rows) * ColumnPitch(), LinesTop() + (line % rows) * (LineHeight() + m_order));
}

int TStringsList::LineAt(QPoint point) const
{
    const int pitch = LineHeight() + m_order;
    if (pitch <= 0 || m_rows <= 0 || point.y() < LinesTop() || point.x() < 0)
        return -1;
    const int row = (point.y() - LinesTop()) / pitch;
    const int column = ColumnPitch() > 0 ? point.x() / ColumnPitch() : 0;
    if (row >= m_rows)
        return -1;
    const int line = column * m_rows + row;
    return line < m_lines.size() ? line : -1;
}

void TStringsList::FitToContents()
{
    const QFontMetrics fm(m_textFont);
    m_lineHeight = fm.height();
    m_linesTop = m_heading.isEmpty() ? m_upOrder : m_upOrder + QFontMetrics(HeadingFont()).height() + m_order;
    m_widest = 0;
    for (const QString& line : m_lines)
        m_widest = std::max(m_widest, fm.horizontalAdvance(line));
    m_widest += MarkWidth();
    const int count = static_cast<int>(m_lines.size());
    const int pitch = LineHeight() + m_order;
    // One column as long as it stays within MaxHeight; a long list (a large group) flows into
    // columns of equal length instead of one strip thousands of pixels high.
    m_rows = count;
    if (m_maxHeight > 0 && pitch > 0 && count * pitch + LinesTop() > m_maxHeight) {
        const int fit = std::max(1, (m_maxHeight - LinesTop()) / pitch);
        const int columns = (count + fit - 1) / fit;
        m_rows = (count + columns - 1) / columns;
    }
    const int columns = m_rows > 0 ? (count + m_rows - 1) / m_rows : 1;
    const int heading = m_heading.isEmpty() ? 0 : QFontMetrics(HeadingFont()).horizontalAdvance(m_heading);
    const int width = std::max(columns * m_widest + (columns + 1) * m_leftOrder, heading + 2 * m_leftOrder);
    const int height = m_rows * pitch + LinesTop();
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

    if (!m_heading.isEmpty()) {
        painter.setFont(HeadingFont());
        painter.setPen(m_textColor);
        painter.drawText(m_leftOrder, m_upOrder + QFontMetrics(painter.font()).ascent(), m_heading);
    }
    painter.setFont(m_textFont);
    painter.setPen(m_textColor);
    const QFontMetrics fm(m_textFont);
    const QRect clip = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() : whole;
    const int markWidth = MarkWidth();
    for (int i = 0; i < m_lines.size(); ++i) {
        const QPoint pos = LinePos(i);
        if (!clip.intersects(QRect(pos, QSize(m_widest, fm.height()))))
            continue;
        const QRect mark = MarkRect(i);
        if (!mark.isEmpty()) {
            painter.setBrush(m_marks[i]);
            painter.drawRect(mark.adjusted(0, 0, -1, -1));
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawText(pos.x() + markWidth, pos.y() + fm.ascent(), m_lines[i]);
    }
    painter.restore();
}

void TStringsList::mouseMoveEvent(QMouseEvent* event)
{
    Q_EMIT OnMouseMove(LineAt(event->position().toPoint()));
    TSocioObject::mouseMoveEvent(event);
}
