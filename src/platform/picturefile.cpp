#include "platform/picturefile.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>

#include "platform/messagedialog.h"
#include "platform/modalseam.h"
#include "settings/langconv.h"

namespace {

constexpr int kJpegQuality = 90;
constexpr int kPictureDpi = 96;

QString CatalogueText(const char* key, const char* fallback)
{
    if (!HasLangConv())
        return QString::fromUtf8(fallback);
    return QString::fromStdString(LangConv().GetText(key));
}

// libjpeg reports fatal errors through error_exit; it must not return, so it jumps back to
// the encoder with the library's message.
struct TJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info)
{
    auto* error = reinterpret_cast<TJpegError*>(info->err);
    info->err->format_message(info, error->message);
    std::longjmp(error->jump, 1);
}

// Plain C-style body: nothing with a destructor lives between setjmp and longjmp.
bool EncodeJpeg(const unsigned char* rgb, int width, int height, int stride, int quality,
                unsigned char** output, unsigned long* outputSize, char* message)
{
    jpeg_compress_struct info;
    TJpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegErrorExit;
    error.message[0] = '\0';
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", error.message);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, output, outputSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPROW>(rgb + static_cast<std::size_t>(info.next_scanline) * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool Commit(QSaveFile& file, QString* error)
{
    if (!file.commit()) {
        SetError(error, file.errorString());
        return false;
    }
    return true;
}

bool OpenForWriting(QSaveFile& file, QString* error)
{
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(error, file.errorString());
        return false;
    }
    return true;
}

bool WriteRaster(const QString& fileName, TPictureFormat format, QSize size, const TDrawing& draw,
                 QString* error)
{
    if (!RasterPictureFits(size, error))
        return false;
    const QImage image = RenderPicture(size, draw);
    if (image.isNull()) {
        SetError(error, QStringLiteral("the picture (%1 x %2) is too large to build in memory")
                            .arg(size.width())
                            .arg(size.height()));
        return false;
    }
    if (format == TPictureFormat::Jpeg)
        return WriteJpeg(image, fileName, kJpegQuality, error);
    QSaveFile file(fileName);
    if (!OpenForWriting(file, error))
        return false;
    const char* kind = format == TPictureFormat::Png ? "PNG" : "BMP";
    if (!image.save(&file, kind)) {
        file.cancelWriting();
        SetError(error, QStringLiteral("the image could not be encoded"));
        return false;
    }
    return Commit(file, error);
}

bool WriteSvg(const QString& fileName, QSize size, const TDrawing& draw, QString* error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setResolution(kPictureDpi);
        generator.setTitle(QFileInfo(fileName).completeBaseName());
        QPainter painter;
        if (!painter.begin(&generator)) {
            SetError(error, QStringLiteral("the drawing could not be started"));
            return false;
        }
        draw(painter);
        painter.end();
    }
    // The generator gives the size in millimetres, which viewers turn back into pixels at differing
    // resolutions; the picture's own pixel size keeps it exact everywhere.
    QString text = QString::fromUtf8(buffer.data());
    static const QRegularExpression physical(QStringLiteral("width=\"[0-9.]+mm\" height=\"[0-9.]+mm\""));
    text.replace(text.indexOf(physical), physical.match(text).capturedLength(),
                 QStringLiteral("width=\"%1\" height=\"%2\"").arg(size.width()).arg(size.height()));
    QSaveFile file(fileName);
    if (!OpenForWriting(file, error))
        return false;
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        SetError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    return Commit(file, error);
}

bool WritePdf(const QString& fileName, QSize size, const TDrawing& draw, QString* error)
{
    QSaveFile file(fileName);
    if (!OpenForWriting(file, error))
        return false;
    {
        QPdfWriter writer(&file);
        // One picture pixel per point: the page is exactly the picture.
        writer.setResolution(72);
        writer.setTitle(QFileInfo(fileName).completeBaseName());
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(size), QPageSize::Point), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            SetError(error, QStringLiteral("the PDF document could not be started"));
            return false;
        }
        draw(painter);
        painter.end();
    }
    return Commit(file, error);
}

} // namespace

std::optional<TPictureFormat> PictureFormatOfName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return TPictureFormat::Bmp;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return TPictureFormat::Jpeg;
    if (suffix == QLatin1String("png"))
        return TPictureFormat::Png;
    if (suffix == QLatin1String("svg"))
        return TPictureFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return TPictureFormat::Pdf;
    return std::nullopt;
}

QString PictureExtension(TPictureFormat format)
{
    switch (format) {
    case TPictureFormat::Bmp:
        return QStringLiteral(".bmp");
    case TPictureFormat::Jpeg:
        return QStringLiteral(".jpg");
    case TPictureFormat::Png:
        return QStringLiteral(".png");
    case TPictureFormat::Svg:
        return QStringLiteral(".svg");
    case TPictureFormat::Pdf:
        return QStringLiteral(".pdf");
    }
    return QStringLiteral(".bmp");
}

bool RasterPictureFits(QSize size, QString* reason)
{
    constexpr int maxSide = 65500;
    constexpr qint64 maxPixels = 100'000'000;
    if (size.width() <= maxSide && size.height() <= maxSide &&
        static_cast<qint64>(size.width()) * size.height() <= maxPixels)
        return true;
    SetError(reason, QStringLiteral("the picture (%1 x %2 pixels) is too large for a bitmap, which holds at most "
                                    "%3 pixels a side and 100 million in all; save it as SVG or PDF")
                         .arg(size.width())
                         .arg(size.height())
                         .arg(maxSide));
    return false;
}

QImage RenderPicture(QSize size, const TDrawing& draw)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    draw(painter);
    painter.end();
    return image;
}

bool WriteJpeg(const QImage& image, const QString& fileName, int quality, QString* error)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    char message[JMSG_LENGTH_MAX] = {};
    const bool encoded = EncodeJpeg(rgb.constBits(), rgb.width(), rgb.height(),
                                    static_cast<int>(rgb.bytesPerLine()), quality, &buffer, &length, message);
    const QByteArray bytes = encoded ? QByteArray(reinterpret_cast<const char*>(buffer),
                                                  static_cast<qsizetype>(length))
                                     : QByteArray();
    std::free(buffer);
    if (!encoded) {
        SetError(error, QStringLiteral("JPEG encoding failed: ") + QString::fromLocal8Bit(message));
        return false;
    }
    QSaveFile file(fileName);
    if (!OpenForWriting(file, error))
        return false;
    if (file.write(bytes) != bytes.size()) {
        SetError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    return Commit(file, error);
}

bool WritePicture(const QString& fileName, TPictureFormat format, QSize size, const TDrawing& draw,
                  QString* error)
{
    if (size.width() <= 0 || size.height() <= 0) {
        SetError(error, QStringLiteral("the picture is empty"));
        return false;
    }
    switch (format) {
    case TPictureFormat::Svg:
        return WriteSvg(fileName, size, draw, error);
    case TPictureFormat::Pdf:
        return WritePdf(fileName, size, draw, error);
    default:
        return WriteRaster(fileName, format, size, draw, error);
    }
}

// ---------------------------------------------------------------------------------------------

TPictureSaveDialog::TPictureSaveDialog(QWidget* parent, QString title, bool vector)
    : m_parent(parent), m_title(std::move(title)), m_vector(vector)
{
}

namespace {

struct TFilterEntry {
    TPictureFormat format;
    const char* key;
    const char* fallback;
    const char* patterns;
};

const TFilterEntry kFilters[] = {
    {TPictureFormat::Bmp, "PICTURE_FILTER_BMP", "Bitmap files", "*.bmp"},
    {TPictureFormat::Jpeg, "PICTURE_FILTER_JPEG", "Jpg files", "*.jpg *.jpeg"},
    {TPictureFormat::Png, "PICTURE_FILTER_PNG", "PNG images", "*.png"},
    {TPictureFormat::Svg, "PICTURE_FILTER_SVG", "SVG drawings", "*.svg"},
    {TPictureFormat::Pdf, "PICTURE_FILTER_PDF", "PDF documents", "*.pdf"},
};

QString FilterText(const TFilterEntry& entry)
{
    return CatalogueText(entry.key, entry.fallback) + QStringLiteral(" (") + QLatin1String(entry.patterns) +
           QLatin1Char(')');
}

} // namespace

QString TPictureSaveDialog::Filter() const
{
    QStringList parts;
    for (const TFilterEntry& entry : kFilters) {
        const bool raster = entry.format == TPictureFormat::Bmp || entry.format == TPictureFormat::Jpeg;
        if (raster || m_vector)
            parts << FilterText(entry);
    }
    return parts.join(QStringLiteral(";;"));
}

TPictureFormat TPictureSaveDialog::FormatOfFilter(const QString& filter) const
{
    for (const TFilterEntry& entry : kFilters) {
        if (filter == FilterText(entry))
            return entry.format;
    }
    return TPictureFormat::Bmp;
}

QString TPictureSaveDialog::FinalName(const QString& typed, TPictureFormat filterFormat, TPictureFormat* format)
{
    if (const auto byName = PictureFormatOfName(typed)) {
        if (format)
            *format = *byName;
        return typed;
    }
    if (format)
        *format = filterFormat;
    return typed + PictureExtension(filterFormat);
}

QString& TPictureSaveDialog::LastFolder()
{
    static QString folder;
    return folder;
}

QString TPictureSaveDialog::Execute(QSize size, const TDrawing& draw)
{
    const QString filter = Filter();
    QString chosenFilter = filter.section(QStringLiteral(";;"), 0, 0);
    const QString typed = Modal().SaveFileNameWithFilter(m_parent, m_title, LastFolder(), filter, chosenFilter);
    if (typed.isEmpty())
        return {};
    TPictureFormat format = TPictureFormat::Bmp;
    const QString fileName = FinalName(typed, FormatOfFilter(chosenFilter), &format);
    LastFolder() = QFileInfo(fileName).absolutePath();

    if (QFileInfo::exists(fileName)) {
        TMessageDialog box;
        box.Title = m_title;
        box.Caption = QDir::toNativeSeparators(fileName) + QStringLiteral(": ") +
                      CatalogueText("PICTURE_FILE_REPLACE", "This file already exists. Replace it?");
        box.DialogType = mdYesNo;
        if (box.Execute() != TMessageDialog::kYes)
            return {};
    }
    QString reason;
    if (!WritePicture(fileName, format, size, draw, &reason)) {
        Modal().Information(m_parent, m_title,
                            CatalogueText("PICTURE_NOT_SAVED", "The picture could not be saved") +
                                QStringLiteral(" (") + QDir::toNativeSeparators(fileName) + QStringLiteral("): ") +
                                reason);
        return {};
    }
    return fileName;
}
