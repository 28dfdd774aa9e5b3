#include "platform/thinlines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QRegion>
#include <QTransform>

namespace {

constexpr qsizetype kStripeBytes = 1024 * 1024;

// Smallest k with 2·k·step + run >= 2·run·m, for step > 0 (the first step whose offset reaches m).
int64_t FirstStepReaching(int64_t m, int64_t step, int64_t run)
{
    const int64_t num = 2 * run * m - run;
    if (num <= 0)
        return 0;
    return (num + 2 * step - 1) / (2 * step);
}

// One line along its major axis: the pixel at step k (0..run) lies at major0 + k and at
// minor0 + sign·floor((2·k·rise + run) / (2·run)) across, i.e. the nearest pixel to the true line.
// The steps outside [majorLo, majorHi] x [minorLo, minorHi] are skipped without being walked; the
// others are written through a pointer from origin (the pixel at major 0, minor 0) that moves
// majorStep pixels a step and minorStep more each time the line moves across, so a pixel costs an
// add and a store.
void WalkLine(int major0, int minor0, int run, int rise, int sign, int majorLo, int majorHi, int minorLo,
              int minorHi, uint32_t* origin, qsizetype majorStep, qsizetype minorStep, uint32_t pixel)
{
    int64_t kLo = std::max<int64_t>(0, majorLo - major0);
    int64_t kHi = std::min<int64_t>(run, majorHi - major0);
    if (kLo > kHi)
        return;
    // The offset across grows with k; the steps whose offset lies inside the clip form one range.
    const int64_t offLo = sign > 0 ? minorLo - minor0 : minor0 - minorHi;
    const int64_t offHi = sign > 0 ? minorHi - minor0 : minor0 - minorLo;
    if (rise == 0) {
        if (offLo > 0 || offHi < 0)
            return;
    } else {
        kLo = std::max(kLo, FirstStepReaching(offLo, rise, run));
        kHi = std::min(kHi, FirstStepReaching(offHi + 1, rise, run) - 1);
    }
    if (kLo > kHi)
        return;
    const int64_t twoRun = 2 * static_cast<int64_t>(run);
    const int64_t twoRise = 2 * static_cast<int64_t>(rise);
    const int64_t num = 2 * kLo * rise + run;
    int64_t rest = num % twoRun;
    uint32_t* out = origin + (major0 + kLo) * majorStep + (minor0 + sign * (num / twoRun)) * minorStep;
    const qsizetype across = sign * minorStep;
    for (int64_t k = kLo; k <= kHi; ++k) {
        *out = pixel;
        out += majorStep;
        rest += twoRise;
        if (rest >= twoRun) {
            rest -= twoRun;
            out += across;
        }
    }
}

// The lines moved by offset, drawn stripe by stripe so that the rows being written stay in the
// processor's cache: a long steep line otherwise touches a new cache line with every pixel.
void DrawMovedLines(QImage& image, const QLine* lines, int count, const QColor& color, const QRect& clip, QPoint offset)
{
    const QRect area = clip.intersected(image.rect());
    if (area.isEmpty() || count <= 0)
        return;
    const uint32_t pixel = color.rgba() | 0xff000000u;
    // Rows of a 32-bit image are whole pixels long, so a row is rowStep pixels on.
    auto* origin = reinterpret_cast<uint32_t*>(image.bits());
    const qsizetype stride = image.bytesPerLine();
    const qsizetype rowStep = stride / static_cast<qsizetype>(sizeof(uint32_t));
    const int stripeRows = std::max(1, static_cast<int>(kStripeBytes / std::max<qsizetype>(1, stride)));
    for (int stripeTop = area.top(); stripeTop <= area.bottom(); stripeTop += stripeRows) {
        const int stripeBottom = std::min(area.bottom(), stripeTop + stripeRows - 1);
        for (int i = 0; i < count; ++i) {
            QPoint a = lines[i].p1() + offset;
            QPoint b = lines[i].p2() + offset;
            if (std::max(a.y(), b.y()) < stripeTop || std::min(a.y(), b.y()) > stripeBottom)
                continue;
            const int dx = std::abs(b.x() - a.x());
            const int dy = std::abs(b.y() - a.y());
            if (dx >= dy) {
                if (a.x() > b.x())
                    std::swap(a, b);
                const int sign = b.y() >= a.y() ? 1 : -1;
                WalkLine(a.x(), a.y(), dx, dy, sign, area.left(), area.right(), stripeTop, stripeBottom, origin, 1,
                         rowStep, pixel);
            } else {
                if (a.y() > b.y())
                    std::swap(a, b);
                const int sign = b.x() >= a.x() ? 1 : -1;
                WalkLine(a.y(), a.x(), dy, dx, sign, stripeTop, stripeBottom, area.left(), area.right(), origin,
                         rowStep, 1, pixel);
            }
        }
    }
}

} // namespace

void DrawThinLinesInto(QImage& image, const QLine* lines, int count, const QColor& color, const QRect& clip)
{
    DrawMovedLines(image, lines, count, color, clip, QPoint());
}

bool DrawThinLines(QPainter& painter, const QLine* lines, int count, const QColor& color)
{
    QPaintDevice* device = painter.device();
    if (!painter.isActive() || !device || device->devType() != QInternal::Image || color.alpha() != 255)
        return false;
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return false;
    if (image->devicePixelRatio() != 1.0 || painter.opacity() != 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
        painter.testRenderHint(QPainter::Antialiasing))
        return false;
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate)
        return false;
    const double fx = transform.dx();
    const double fy = transform.dy();
    const int tx = static_cast<int>(std::lround(fx));
    const int ty = static_cast<int>(std::lround(fy));
    if (fx != tx || fy != ty)
        return false;
    QRect clip = image->rect();
    if (painter.hasClipping()) {
        const QRegion region = painter.clipRegion();
        if (region.rectCount() > 1)
            return false;
        clip = region.boundingRect().translated(tx, ty).intersected(clip);
    }
    // The painter's translation is applied as the lines are drawn: all of them go through the
    // stripes together, each stripe's rows written while in cache.
    DrawMovedLines(*image, lines, count, color, clip, QPoint(tx, ty));
    return true;
}
