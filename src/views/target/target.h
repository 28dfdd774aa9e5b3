#pragma once

#include <cstdint>

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include "views/socioobject.h"

// Radius of the rings in pixels beyond which they get thinner, down to one pixel each.
inline constexpr int kTargetRadius = 1000;
// Largest radius of one-pixel rings; rings beyond it are left out (the outermost first).
inline constexpr int kMaxTargetRadius = 2000;

// Where the rings of a target lie: N concentric bands of one width around a centre, the
// outermost (depth 0) standing for the value MinNumber and each deeper one for the next value.
struct TTargetGeometry {
    int Rings = 0;           // bands drawn
    int Width = 20;          // band width in pixels
    int LeftOffset = 10;
    int TopOffset = 10;
    int Above = 0;           // room above the diagram (for a note)
    int32_t MinNumber = 0;   // value of the outermost band drawn

    // The square holding the rings with their margins, and the room above it.
    QSize DiagramSize() const;
    QPoint Centre() const;
    // Bounding box of the outer circle of the band at a depth.
    QRect Ellipse(int depth) const;
    // Box on the lower-left diagonal of the band in which its number is centred.
    QRect NumberBox(int depth) const;
    // Value of the band under a point, -1 outside every band; points exactly on a circle
    // and the centre itself belong to no band.
    int32_t RingAt(QPoint point) const;
    // Depth of a value, -1 when no band drawn stands for it.
    int DepthOf(int32_t value) const;
};

// The geometry that shows ringNumber rings from the value ringMin: at ringWidth while they fit in
// radius, thinner (never below one pixel) when they do not, one pixel each up to maxRadius, and
// only the innermost ones when even that is too much.
TTargetGeometry FitTargetGeometry(int ringNumber, int ringWidth, int32_t ringMin, int leftOffset,
                                  int topOffset, int radius = kTargetRadius,
                                  int maxRadius = kMaxTargetRadius);

// Every how many values a band carries its number (a round step: 1, 2, 5, 10, 20, ...), so that
// numbers of the given size do not overlap along the diagonal.
int NumberStep(int bandWidth, QSize numberSize);

// Whether the band at a depth carries its number: the outermost and the innermost always, the
// others when their value is a multiple of the step and they keep clear of those two.
bool CarriesNumber(const TTargetGeometry& g, int depth, int step);

// The target diagram: one ring per number of choices received, the outermost for the smallest
// count, each with its number; a click makes a ring the active one and the mouse reports the ring
// it is over, so that a legend can list the members of that ring.
class TTarget final : public TSocioObject {
    Q_OBJECT

public:
    explicit TTarget(QWidget* parent = nullptr);
    ~TTarget() override;

    int RingNumber() const { return m_ringNumber; }
    void SetRingNumber(int number);
    int32_t ActiveRingNumber() const { return m_activeRingNumber; }
    void SetActiveRingNumber(int32_t value);
    int RingWidth() const { return m_ringWidth; }
    void SetRingWidth(int width);
    bool IsBorder() const { return m_isBorder; }
    void SetIsBorder(bool value);
    const QColor& BorderColor() const { return m_borderColor; }
    void SetBorderColor(const QColor& color);
    // Setting a value of 0 or less stores 1.
    void SetBorderWidth(int width);
    const QColor& ActiveRingBorderColor() const { return m_activeRingBorderColor; }
    void SetActiveRingBorderColor(const QColor& color);
    const QColor& RingLineColor() const { return m_ringLineColor; }
    void SetRingLineColor(const QColor& color);
    int RingLineWidth() const { return m_ringLineWidth; }
    void SetRingLineWidth(int width);
    const QColor& BackColor() const { return m_backColor; }
    void SetBackColor(const QColor& color);
    Qt::BrushStyle BackStyle() const { return m_backStyle; }
    void SetBackStyle(Qt::BrushStyle style);
    int LeftOffset() const { return m_leftOffset; }
    void SetLeftOffset(int offset);
    int TopOffset() const { return m_topOffset; }
    void SetTopOffset(int offset);
    const QColor& NotActiveRingColor() const { return m_notActiveRingColor; }
    void SetNotActiveRingColor(const QColor& color);
    const QColor& ActiveRingColor() const { return m_activeRingColor; }
    void SetActiveRingColor(const QColor& color);
    const QFont& DigitFont() const { return m_digitFont; }
    const QColor& DigitFontColor() const { return m_digitColor; }
    void SetDigitFont(const QFont& font, const QColor& color);
    int32_t RingMinNumber() const { return m_ringMinNumber; }
    void SetRingMinNumber(int32_t value);

    // A line written above the rings (empty: none), for what the rings alone cannot say.
    const QString& Note() const { return m_note; }
    void SetNote(const QString& note);

    // Where the rings are drawn at the current properties.
    TTargetGeometry Geometry() const;
    // Rings that do not fit and are left out, the outermost ones.
    int OmittedRings() const { return m_ringNumber - Geometry().Rings; }
    int32_t RingAt(QPoint point) const { return Geometry().RingAt(point); }
    // The ring under the mouse, -1 when none.
    int32_t HoverRing() const { return m_hoverRing; }

    void FitToContents() override;
    void PaintTo(QPainter& painter) override;

Q_SIGNALS:
    // Ring value under the mouse, or -1.
    void OnDblClick(int ring);
    void OnMouseMove(int ring);
    void OnLButtonDown(int ring);
    // The mouse is over the control but over no ring.
    void OnMouseOutMove();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Hover(int32_t ring);
    void PaintRings(QPainter& painter, const TTargetGeometry& g, const QRect& clip);
    void PaintNumbers(QPainter& painter, const TTargetGeometry& g, const QRect& clip);
    void PaintOutline(QPainter& painter, const TTargetGeometry& g, int32_t ring, const QColor& color);
    int NoteHeight() const;

    int m_ringNumber = 3;
    int32_t m_activeRingNumber = 0;
    int m_ringWidth = 20;
    bool m_isBorder = true;
    QColor m_borderColor = Qt::black;
    QColor m_activeRingBorderColor = QColor(128, 0, 0);
    QColor m_ringLineColor = Qt::black;
    int m_ringLineWidth = 2;
    QColor m_backColor;
    Qt::BrushStyle m_backStyle = Qt::SolidPattern;
    int m_leftOffset = 10;
    int m_topOffset = 10;
    QColor m_notActiveRingColor;
    QColor m_activeRingColor;
    QFont m_digitFont;
    QColor m_digitColor = Qt::black;
    int32_t m_ringMinNumber = 0;
    QString m_note;
    int32_t m_hoverRing = -1;
};
