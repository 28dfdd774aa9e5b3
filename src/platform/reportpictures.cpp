#include "platform/reportpictures.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

namespace {

std::string PngBytes(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return {};
    return buffer.data().toStdString();
}

} // namespace

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
    return PngBytes(image);
}

std::string TPaintedPictures::PngInRows(int32_t investId, TReportPicture picture, int bandWidth)
{
    const QSize size = PictureSize(investId, picture);
    if (size.isEmpty() || bandWidth <= 0)
        return {};
    const std::vector<TPictureBand> bands = PictureBands({size.width(), size.height()}, bandWidth);
    const int gap = size.height() / 10; // white between the rows
    const int rowHeight = size.height() + gap;
    const TDrawing draw = Drawing(investId, picture);
    const QImage image = RenderPicture(QSize(bands.front().Width, static_cast<int>(bands.size()) * rowHeight - gap),
                                       [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        for (std::size_t k = 0; k < bands.size(); ++k) {
            // Each band sees itself as the clip, so the drawing skips the rest.
            painter.save();
            painter.translate(-bands[k].Left, static_cast<int>(k) * rowHeight);
            painter.setClipRect(QRect(bands[k].Left, 0, bands[k].Width, size.height()));
            draw(painter);
            painter.restore();
        }
    });
    return PngBytes(image);
}
