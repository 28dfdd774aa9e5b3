#include "support/ui/pictures.h"

#include <QPainter>

QImage Picture(TVisualChildForm& form)
{
    QImage image(form.PictureSize(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    form.Drawing()(painter);
    return image;
}

int PixelsOf(const QImage& image, const QColor& color, const QRect& area)
{
    const QRect within = area.isNull() ? image.rect() : area.intersected(image.rect());
    const QRgb wanted = color.rgb();
    int n = 0;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x)
            n += image.pixel(x, y) == wanted ? 1 : 0;
    }
    return n;
}
