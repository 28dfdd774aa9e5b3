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

std::string TPaintedPictures::Png(int32_t investId, TReportPicture picture, int width)
{
    const QSize size = PictureSize(investId, picture);
    if (size.isEmpty() || width <= 0)
        return {};
    const double scale = static_cast<double>(width) / size.width();
    const QSize scaled(width, std::max(1, static_cast<int>(size.height() * scale + 0.5)));
    const TDrawing draw = Drawing(investId, picture);
    const QImage image = RenderPicture(scaled, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        draw(painter);
    });
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return {};
    return buffer.data().toStdString();
}
