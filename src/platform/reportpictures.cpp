#include "platform/reportpictures.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

TPictureSize TPaintedPictures::Size(int32_t investId, TReportPicture picture)
{
    const QSize size = PictureSize(investId, picture);
    return {size.width(), size.height()};
}

std::string TPaintedPictures::Svg(int32_t investId, TReportPicture picture)
{
    const QSize size = PictureSize(investId, picture);
    if (size.isEmpty())
        return {};
    const std::optional<QByteArray> svg = SvgOfDrawing(size, Drawing(investId, picture));
    return svg ? svg->toStdString() : std::string();
}

std::string TPaintedPictures::Png(int32_t investId, TReportPicture picture, int width, TPictureBand band)
{
    const QSize size = PictureSize(investId, picture);
    if (size.isEmpty() || width <= 0)
        return {};
    const QRect part = band.Width > 0 ? QRect(band.Left, 0, band.Width, size.height()) & QRect(QPoint(0, 0), size)
                                      : QRect(QPoint(0, 0), size);
    if (part.isEmpty())
        return {};
    const double scale = static_cast<double>(width) / part.width();
    const QSize scaled(width, std::max(1, static_cast<int>(part.height() * scale + 0.5)));
    const TDrawing draw = Drawing(investId, picture);
    const QImage image = RenderPicture(scaled, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        painter.translate(-part.topLeft());
        // A band's drawing sees the band as its clip and skips what lies outside.
        if (band.Width > 0)
            painter.setClipRect(part);
        draw(painter);
    });
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return {};
    return buffer.data().toStdString();
}
