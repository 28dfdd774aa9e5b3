#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QPainter;
class QWidget;

// A view's picture: draws itself onto any painter, in the view's own pixels from (0, 0).
using TDrawing = std::function<void(QPainter&)>;

// The file formats a view's picture can be written in.
enum class TPictureFormat { Bmp, Jpeg, Png, Svg, Pdf };

// The format a file name asks for by its extension (case-insensitive; .jpg and .jpeg are JPEG);
// none for an extension the program cannot write or a name without one.
std::optional<TPictureFormat> PictureFormatOfName(const QString& fileName);
// The extension written for a format, with its dot (".bmp", ".jpg", ...).
QString PictureExtension(TPictureFormat format);

// The drawing as a raster image of the given size (white under what the drawing leaves blank).
QImage RenderPicture(QSize size, const TDrawing& draw);

// The most pixels a picture put on the clipboard (or asked for whole in memory) has: 16 million,
// 64 MB. A larger view is copied scaled down.
inline constexpr qint64 kClipboardPixels = 16'000'000;
// The size a picture is rendered at within maxPixels: its own size when it fits, else scaled down
// with its proportions kept (at least 1 x 1).
QSize SizeWithin(QSize size, qint64 maxPixels);
// The drawing as a raster image of at most maxPixels pixels: the whole picture, scaled down when
// it is larger. *scaled tells whether it was.
QImage RenderPictureWithin(QSize size, const TDrawing& draw, qint64 maxPixels, bool* scaled = nullptr);

// Writes the drawing to a file: BMP, JPEG (quality 90) and PNG as raster images of the given size,
// drawn and written a horizontal band at a time (bandRows rows each, 0 for bands of about 32 MB),
// so no picture larger than two bands is ever held: a band is drawn on the calling thread while
// the one before is packed on another; SVG and PDF as vector drawings of the same picture. False
// with the reason in *error (the file is then left as it was).
bool WritePicture(const QString& fileName, TPictureFormat format, QSize size, const TDrawing& draw,
                  QString* error = nullptr, int bandRows = 0);

// The drawing as an SVG document of the picture's pixel size, titled title; none when the drawing
// could not be started.
std::optional<QByteArray> SvgOfDrawing(QSize size, const TDrawing& draw, const QString& title = {});

// Encodes the image as a baseline JPEG with libjpeg; false with the reason in *error.
bool WriteJpeg(const QImage& image, const QString& fileName, int quality, QString* error = nullptr);

// The picture save dialog of the views: asks for a file name through the modal seam, offering the
// raster formats (and, with vector, SVG and PDF). A name without an extension the program writes
// gets the extension of the chosen filter; an existing file is overwritten only after a question
// on that final name. Then writes the picture and reports a failure in an information box.
// Answers the file written, or empty when the user cancelled or writing failed.
class TPictureSaveDialog final {
public:
    // title: the dialog's caption; vector: also offer PNG, SVG and PDF.
    TPictureSaveDialog(QWidget* parent, QString title, bool vector);

    // The filter list shown ("Bitmap files (*.bmp);;...").
    QString Filter() const;
    // The format of one entry of the filter list (BMP for an unknown entry).
    TPictureFormat FormatOfFilter(const QString& filter) const;

    QString Execute(QSize size, const TDrawing& draw);

private:
    QWidget* m_parent;
    QString m_title;
    bool m_vector;
};
