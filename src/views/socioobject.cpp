#include "views/socioobject.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "platform/picturefile.h"

TSocioObject::TSocioObject(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

TSocioObject::~TSocioObject() = default;

void TSocioObject::SetBorderWidth(int width)
{
    m_borderWidth = width;
    update();
}

QImage TSocioObject::Picture()
{
    return RenderPictureWithin(size().expandedTo(QSize(1, 1)), [this](QPainter& painter) { PaintTo(painter); },
                               kClipboardPixels);
}

void TSocioObject::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    PaintTo(painter);
}

void TSocioObject::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        ShowPopupMenu(event->position().toPoint());
        setFocus(Qt::MouseFocusReason);
        return;
    }
    QWidget::mousePressEvent(event);
}

void TSocioObject::contextMenuEvent(QContextMenuEvent* event)
{
    // The mouse already opened the menu on the button press; the menu key opens it here.
    // Either way the parent (a scroll box with a menu of its own) must not open another.
    if (!m_popupMenu) {
        event->ignore();
        return;
    }
    if (event->reason() != QContextMenuEvent::Mouse)
        ShowPopupMenu(event->pos());
    event->accept();
}

void TSocioObject::ShowPopupMenu(const QPoint& pos)
{
    if (m_popupMenu)
        m_popupMenu->popup(mapToGlobal(pos));
}
