#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include "views/viewform.h"

// A view's picture as it goes to a file: its drawing on a background of a colour no view uses.
QImage Picture(TVisualChildForm& form);
// How many pixels of the picture (inside area, when given) have exactly that colour.
int PixelsOf(const QImage& image, const QColor& color, const QRect& area = {});
