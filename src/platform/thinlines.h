#pragma once

#include <QColor>
#include <QLine>
#include <QRect>

class QImage;
class QPainter;

// One-pixel solid lines written straight into an image's pixels. Qt's painter draws such lines
// pixel by pixel through its general span machinery, which makes thousands of long arrows cost
// tens of milliseconds; writing the pixels directly is an order of magnitude faster.

// Draws the lines (both end points included) onto a 32-bit image, in image coordinates, only
// where they lie inside clip. The image must be Format_RGB32, Format_ARGB32 or
// Format_ARGB32_Premultiplied and the colour opaque.
void DrawThinLinesInto(QImage& image, const QLine* lines, int count, const QColor& color, const QRect& clip);

// Draws the lines with the painter's translation and clip when the painter paints onto such an
// image with nothing that changes the pixels written (whole-pixel translation, one clip
// rectangle, no antialiasing, source-over, full opacity) and the colour is opaque. Answers false,
// drawing nothing, otherwise: the caller then draws them with the painter.
bool DrawThinLines(QPainter& painter, const QLine* lines, int count, const QColor& color);
