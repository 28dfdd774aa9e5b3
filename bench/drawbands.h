#pragma once

#include <algorithm>

#include <QImage>
#include <QPainter>

#include "platform/picturefile.h"

// A picture drawn band by band as a picture file is drawn (bands of 32 MB, each through a
// translated and clipped painter) without being written: the drawing's share of a save.
inline void DrawInBands(QSize size, const TDrawing& draw)
{
    const int bandRows = std::max(1, 32 * 1024 * 1024 / std::max(1, size.width() * 4));
    QImage band(size.width(), bandRows, QImage::Format_RGB32);
    for (int top = 0; top < size.height(); top += bandRows) {
        band.fill(Qt::white);
        QPainter painter(&band);
        painter.translate(0, -top);
        painter.setClipRect(QRect(0, top, size.width(), bandRows));
        draw(painter);
    }
}
