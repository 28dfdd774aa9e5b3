#pragma once

#include <QImage>
#include <QWidget>

class QMenu;
class QPainter;

// The panel base of the custom views (choices grid, sociogram surface, target diagram): one
// drawing routine serves the screen, the clipboard, picture files and printing, and the right
// mouse button opens the view's pop-up menu.
class TSocioObject : public QWidget {
    Q_OBJECT

public:
    explicit TSocioObject(QWidget* parent = nullptr);
    ~TSocioObject() override;

    QMenu* PopupMenu() const { return m_popupMenu; }
    // The menu is not owned; nullptr shows none.
    void SetPopupMenu(QMenu* menu) { m_popupMenu = menu; }

    // Width of the outer frame; 0 draws none.
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);

    // Recomputes the control's size from what it shows.
    virtual void FitToContents() = 0;
    // Draws the whole content onto the painter, in the control's coordinates. A clip set on
    // the painter may be used to skip what lies outside it.
    virtual void PaintTo(QPainter& painter) = 0;

    // The whole content at the control's current size; a control larger than the clipboard's limit
    // (kClipboardPixels) is drawn scaled down to it, never as an image of gigabytes.
    QImage Picture();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Pops the menu up at a point of the control (screen position from it).
    void ShowPopupMenu(const QPoint& pos);

private:
    QMenu* m_popupMenu = nullptr;
    int m_borderWidth = 0;
};
