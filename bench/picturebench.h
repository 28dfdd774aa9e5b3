#pragma once

// Helpers of the picture benchmarks.

#include <algorithm>
#include <ctime>

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

// CPU time of the whole process, every thread's, in milliseconds: a picture save packs on a
// thread of its own while the benchmark's thread draws, and Google Benchmark's CPU time counts
// only the latter.
inline double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
