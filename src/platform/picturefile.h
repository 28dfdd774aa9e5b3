#pragma once

#include <functional>
#include <optional>

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

// Whether a picture of this size can be made as a raster image (BMP, JPEG, PNG, the clipboard):
// at most 65500 pixels a side, as JPEG allows, and 100 million pixels in all. Otherwise *reason
// says why; vector formats (SVG, PDF) have no such limit.
bool RasterPictureFits(QSize size, QString* reason = nullptr);

// The drawing as a raster image of the given size (white under what the drawing leaves blank).
QImage RenderPicture(QSize size, const TDrawing& draw);

// Writes the drawing to a file: BMP, JPEG (quality 90) and PNG as raster images of the given size,
// SVG and PDF as vector drawings of the same picture. False with the reason in *error (the
// file is then left as it was).
bool WritePicture(const QString& fileName, TPictureFormat format, QSize size, const TDrawing& draw,
                  QString* error = nullptr);

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
    // The name actually written for what the user typed and the filter chosen, with its format.
    static QString FinalName(const QString& typed, TPictureFormat filterFormat, TPictureFormat* format);

    QString Execute(QSize size, const TDrawing& draw);

    // The folder the next dialog starts in (the last one used).
    static QString& LastFolder();

private:
    QWidget* m_parent;
    QString m_title;
    bool m_vector;
};
