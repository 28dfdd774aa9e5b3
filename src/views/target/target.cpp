#include "views/target/target.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace {

const double kSin45 = std::sqrt(0.5);

int RoundEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// Whether the circle of radius r around the centre, drawn with a pen of the given width,
// can touch the rectangle.
bool CircleMeets(QPoint centre, int r, int pen, const QRect& rect)
{
    const double dx = std::max({rect.left() - centre.x(), 0, centre.x() - rect.right()});
    const double dy = std::max({rect.top() - centre.y(), 0, centre.y() - rect.bottom()});
    const double nearest = std::hypot(dx, dy);
    const double fx = std::max(std::abs(rect.left() - centre.x()), std::abs(rect.right() - centre.x()));
    const double fy = std::max(std::abs(rect.top() - centre.y()), std::abs(rect.bottom() - centre.y()));
    const double farthest = std::hypot(fx, fy);
    return nearest - pen <= r && r <= farthest + pen;
}

int Luminance(const QColor& c)
{
    return (299 * c.red() + 587 * c.green() + 114 * c.blue()) / 1000;
}

// The text colour itself when it stands out on the fill, else black or white, whichever does.
QColor ReadableOn(const QColor& fill, const QColor& text)
{
    const int fillLuminance = Luminance(fill);
    if (std::abs(Luminance(text) - fillLuminance) >= 100)
        return text;
    return fillLuminance < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

}  // namespace

QSize TTargetGeometry::DiagramSize() const
{
    return QSize(2 * (Rings * Width + LeftOffset), 2 * (Rings * Width + TopOffset) + Above);
}

QPoint TTargetGeometry::Centre() const
{
    return QPoint(Rings * Width + LeftOffset, Rings * Width + TopOffset + Above);
}

QRect TTargetGeometry::Ellipse(int depth) const
{
    const int side = 2 * (Rings - depth) * Width;
    return QRect(depth * Width + LeftOffset, depth * Width + TopOffset + Above, side, side);
}

QRect TTargetGeometry::NumberBox(int depth) const
{
    const double n = Rings;
    const double w = Width;
    const int left = RoundEven((n - kSin45 * (n - depth)) * w) + LeftOffset;
    const int top = RoundEven((kSin45 * (n - depth - 1) + n) * w) + TopOffset + Above;
    const int right = RoundEven((n - kSin45 * (n - depth - 1)) * w) + LeftOffset;
    const int bottom = RoundEven((kSin45 * (n - depth) + n) * w) + TopOffset + Above;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

int32_t TTargetGeometry::RingAt(QPoint point) const
{
    if (Rings <= 0 || Width <= 0)
        return -1;
    const QPoint c = Centre();
    const int64_t dx = point.x() - c.x();
    const int64_t dy = point.y() - c.y();
    const int64_t r2 = dx * dx + dy * dy;
    const int64_t w2 = static_cast<int64_t>(Width) * Width;
    // Band d (1 the innermost) holds the points strictly between the circles of radius
    // (d - 1)W and dW; start from the estimate and check its neighbours exactly.
    const int64_t guess = static_cast<int64_t>(std::sqrt(static_cast<double>(r2)) / Width) + 1;
    for (int64_t d = std::max<int64_t>(1, guess - 1); d <= std::min<int64_t>(Rings, guess + 1); ++d) {
        // The centre point belongs to the innermost band.
        if (((d - 1) * (d - 1) * w2 < r2 || d == 1) && r2 < d * d * w2)
            return static_cast<int32_t>(Rings + MinNumber - d);
    }
    return -1;
}

int TTargetGeometry::DepthOf(int32_t value) const
{
    const int64_t depth = static_cast<int64_t>(value) - MinNumber;
    return depth >= 0 && depth < Rings ? static_cast<int>(depth) : -1;
}

TTargetGeometry FitTargetGeometry(int ringNumber, int ringWidth, int32_t ringMin, int leftOffset,
                                  int topOffset, int radius, int maxRadius)
{
    TTargetGeometry g;
    g.LeftOffset = leftOffset;
    g.TopOffset = topOffset;
    g.Width = std::max(1, ringWidth);
    g.MinNumber = ringMin;
    if (ringNumber <= 0)
        return g;
    radius = std::max(1, radius);
    maxRadius = std::max(radius, maxRadius);
    if (static_cast<int64_t>(ringNumber) * g.Width <= radius) {
        g.Rings = ringNumber;
        return g;
    }
    g.Width = std::max(1, radius / ringNumber);
    g.Rings = g.Width > 1 ? ringNumber : std::min(ringNumber, maxRadius);
    g.MinNumber = static_cast<int32_t>(static_cast<int64_t>(ringMin) + (ringNumber - g.Rings));
    return g;
}

int NumberStep(int bandWidth, QSize numberSize)
{
    // Neighbouring boxes lie bandWidth * sin 45 apart across and down: numbers overlap only
    // when they are both wider and higher than that.
    const double apart = std::max(1, bandWidth) * kSin45;
    const int smaller = std::min(numberSize.width(), numberSize.height());
    const int needed = std::max(1, static_cast<int>(std::ceil(smaller / apart)));
    // A round step (1, 2, 5, 10, 20, 50, ...) so that the numbers written are easy to count on.
    for (int decade = 1;; decade *= 10) {
        for (int factor : {1, 2, 5}) {
            if (factor * decade >= needed)
                return factor * decade;
        }
    }
}

bool CarriesNumber(const TTargetGeometry& g, int depth, int step)
{
    const int last = g.Rings - 1;
    if (depth < 0 || depth > last)
        return false;
    if (depth == 0 || depth == last)
        return true;
    const int64_t value = static_cast<int64_t>(g.MinNumber) + depth;
    return value % step == 0 && 2 * depth >= step && 2 * (last - depth) >= step;
}

TTarget::TTarget(QWidget* parent) : TSocioObject(parent)
{
    const QPalette& palette = QApplication::palette();
    m_backColor = palette.color(QPalette::Button);
    m_notActiveRingColor = palette.color(QPalette::Button);
    m_activeRingColor = palette.color(QPalette::Highlight);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    FitToContents();
}

TTarget::~TTarget() = default;

void TTarget::SetRingNumber(int number)
{
    m_ringNumber = std::max(0, number);
    FitToContents();
    update();
}

void TTarget::SetActiveRingNumber(int32_t value)
{
    m_activeRingNumber = value;
    update();
}

void TTarget::SetRingWidth(int width)
{
    m_ringWidth = width;
    FitToContents();
    update();
}

void TTarget::SetIsBorder(bool value)
{
    m_isBorder = value;
    update();
}

void TTarget::SetBorderColor(const QColor& color)
{
    m_borderColor = color;
    update();
}

void TTarget::SetBorderWidth(int width)
{
    TSocioObject::SetBorderWidth(width <= 0 ? 1 : width);
    FitToContents();
}

void TTarget::SetActiveRingBorderColor(const QColor& color)
{
    m_activeRingBorderColor = color;
    update();
}

void TTarget::SetRingLineColor(const QColor& color)
{
    m_ringLineColor = color;
    update();
}

void TTarget::SetRingLineWidth(int width)
{
    m_ringLineWidth = width;
    FitToContents();
    update();
}

void TTarget::SetBackColor(const QColor& color)
{
    m_backColor = color;
    update();
}

void TTarget::SetBackStyle(Qt::BrushStyle style)
{
    m_backStyle = style;
    update();
}

void TTarget::SetLeftOffset(int offset)
{
    m_leftOffset = offset;
    FitToContents();
    update();
}

void TTarget::SetTopOffset(int offset)
{
    m_topOffset = offset;
    FitToContents();
    update();
}

void TTarget::SetNotActiveRingColor(const QColor& color)
{
    if (color == m_notActiveRingColor)
        return;
    m_notActiveRingColor = color;
    update();
}

void TTarget::SetActiveRingColor(const QColor& color)
{
    m_activeRingColor = color;
    update();
}

void TTarget::SetDigitFont(const QFont& font, const QColor& color)
{
    m_digitFont = font;
    m_digitColor = color;
    update();
}

void TTarget::SetRingMinNumber(int32_t value)
{
    m_ringMinNumber = value;
    update();
}

void TTarget::SetNote(const QString& note)
{
    m_note = note;
    FitToContents();
    update();
}

TTargetGeometry TTarget::Geometry() const
{
    TTargetGeometry g = FitTargetGeometry(m_ringNumber, m_ringWidth, m_ringMinNumber, m_leftOffset, m_topOffset);
    g.Above = NoteHeight();
    return g;
}

int TTarget::NoteHeight() const
{
    return m_note.isEmpty() ? 0 : QFontMetrics(font()).height() + std::max(0, m_topOffset);
}

void TTarget::FitToContents()
{
    QSize size = Geometry().DiagramSize();
    if (!m_note.isEmpty()) {
        const int noteWidth = QFontMetrics(font()).horizontalAdvance(m_note) + 2 * std::max(0, m_leftOffset);
        size.setWidth(std::max(size.width(), noteWidth));
    }
    resize(size.expandedTo(QSize(1, 1)));
}

void TTarget::PaintTo(QPainter& painter)
{
    const TTargetGeometry g = Geometry();
    const QRect whole(QPoint(0, 0), size());
    const QRect clip = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() & whole : whole;

    painter.save();
    painter.fillRect(whole, QBrush(m_backColor, m_backStyle));
    PaintRings(painter, g, clip);
    PaintNumbers(painter, g, clip);
    // The hover outline follows the mouse on the screen; pictures do not show it.
    if (painter.device() == this)
        PaintOutline(painter, g, m_hoverRing, m_activeRingBorderColor);
    if (!m_note.isEmpty()) {
        painter.setFont(font());
        painter.setPen(m_digitColor);
        const QFontMetrics fm(font());
        painter.drawText(std::max(0, m_leftOffset), std::max(0, m_topOffset) + fm.ascent(), m_note);
    }
    if (m_isBorder && BorderWidth() > 0) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(m_borderColor, BorderWidth()));
        painter.setBrush(Qt::NoBrush);
        const int w = width() - 1;
        const int h = height() - 1;
        const QPoint corners[] = {{0, 0}, {w, 0}, {w, h}, {0, h}, {0, 0}};
        painter.drawPolyline(corners, 5);
    }
    painter.restore();
}

void TTarget::PaintRings(QPainter& painter, const TTargetGeometry& g, const QRect& clip)
{
    if (g.Rings <= 0)
        return;
    const QPoint centre = g.Centre();
    // Outlines as wide as set while the bands leave room for them; thin bands get hairlines,
    // and bands too thin even for those are told apart by alternate shades instead.
    const int line = std::max(0, m_ringLineWidth);
    const int outline = line == 0 ? 0 : g.Width >= 2 * line + 2 ? line : g.Width >= 3 ? 1 : 0;
    painter.setRenderHint(QPainter::Antialiasing, g.Width >= 4);

    painter.setPen(Qt::NoPen);
    painter.setBrush(m_notActiveRingColor);
    painter.drawEllipse(g.Ellipse(0));
    if (outline == 0) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(m_notActiveRingColor.darker(125), g.Width, Qt::SolidLine, Qt::FlatCap));
        for (int p = 1; p < g.Rings; p += 2) {
            const int r = (g.Rings - p) * g.Width;
            if (!CircleMeets(centre, r, g.Width, clip))
                continue;
            const double mid = r - g.Width / 2.0;
            painter.drawEllipse(QPointF(centre), mid, mid);
        }
    }
    const int active = g.DepthOf(m_activeRingNumber);
    if (active >= 0) {
        QPainterPath band;
        band.setFillRule(Qt::OddEvenFill);
        band.addEllipse(g.Ellipse(active));
        if (active + 1 < g.Rings)
            band.addEllipse(g.Ellipse(active + 1));
        painter.setPen(Qt::NoPen);
        painter.fillPath(band, m_activeRingColor);
    }
    if (outline > 0) {
        painter.setPen(QPen(m_ringLineColor, outline));
        painter.setBrush(Qt::NoBrush);
        for (int p = 0; p < g.Rings; ++p) {
            if (CircleMeets(centre, (g.Rings - p) * g.Width, outline, clip))
                painter.drawEllipse(g.Ellipse(p));
        }
    }
}

void TTarget::PaintNumbers(QPainter& painter, const TTargetGeometry& g, const QRect& clip)
{
    if (g.Rings <= 0)
        return;
    painter.setFont(m_digitFont);
    painter.setPen(m_digitColor);
    const QFontMetrics fm(m_digitFont);
    const QString widest = QString::number(static_cast<int64_t>(g.MinNumber) + g.Rings - 1);
    const QRect ink = fm.tightBoundingRect(widest.size() >= QString::number(g.MinNumber).size()
                                               ? widest
                                               : QString::number(g.MinNumber));
    const int step = NumberStep(g.Width, ink.size());
    const int active = g.DepthOf(m_activeRingNumber);
    for (int p = 0; p < g.Rings; ++p) {
        const int64_t value = static_cast<int64_t>(g.MinNumber) + p;
        if (!CarriesNumber(g, p, step))
            continue;
        const QRect box = g.NumberBox(p);
        const QString text = QString::number(value);
        const int tw = fm.horizontalAdvance(text);
        const int th = fm.height();
        const int left = (box.left() + box.right() - tw) / 2;
        const int top = (box.top() + box.bottom() - th) / 2;
        if (!clip.intersects(QRect(left, top, tw, th)))
            continue;
        painter.setPen(p == active ? ReadableOn(m_activeRingColor, m_digitColor) : m_digitColor);
        painter.drawText(left, top + fm.ascent(), text);
    }
}

void TTarget::PaintOutline(QPainter& painter, const TTargetGeometry& g, int32_t ring, const QColor& color)
{
    const int depth = g.DepthOf(ring);
    if (depth < 0)
        return;
    painter.setRenderHint(QPainter::Antialiasing, g.Width >= 4);
    painter.setPen(QPen(color, std::clamp(m_ringLineWidth, 1, std::max(1, g.Width / 2))));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(g.Ellipse(depth));
    if (depth + 1 < g.Rings)
        painter.drawEllipse(g.Ellipse(depth + 1));
}

void TTarget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        TSocioObject::mousePressEvent(event);
        return;
    }
    const int32_t ring = RingAt(event->position().toPoint());
    // Stored even when it is -1, which then matches no ring.
    m_activeRingNumber = ring;
    update();
    Q_EMIT OnLButtonDown(ring);
}

void TTarget::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT OnDblClick(RingAt(event->position().toPoint()));
}

void TTarget::mouseMoveEvent(QMouseEvent* event)
{
    Hover(RingAt(event->position().toPoint()));
    TSocioObject::mouseMoveEvent(event);
}

void TTarget::leaveEvent(QEvent* event)
{
    // Leaving the control is leaving every ring: the listener goes back to the active one.
    Hover(-1);
    TSocioObject::leaveEvent(event);
}

void TTarget::Hover(int32_t ring)
{
    if (ring != m_hoverRing) {
        m_hoverRing = ring;
        update();
    }
    if (ring == -1)
        Q_EMIT OnMouseOutMove();
    else
        Q_EMIT OnMouseMove(ring);
}
