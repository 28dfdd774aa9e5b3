#include "platform/picturefile.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>
#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QFile>
#include <QSvgGenerator>
#include <QtEndian>

#include "platform/messagedialog.h"
#include "platform/modalseam.h"
#include "platform/savefile.h"
#include "i18n/langconv.h"
#include "util/progress.h"
#include "util/safefile.h"
#include "util/xmltext.h"

namespace {

constexpr int kJpegQuality = 90;
// Why an encoder stops when the drawing of a band stopped.
constexpr const char* kPictureNotDrawn = "the picture could not be drawn";
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

// Memory of one band of a picture being written: small enough to stay well under the memory a
// large view's picture would take in one piece, large enough that each band is drawn quickly.
constexpr qsizetype kBandBytes = 32 * 1024 * 1024;
constexpr int kDotsPerMeter = 3780; // 96 dots per inch

// Rows of a picture as 32-bit pixels (QImage::Format_RGB32 in memory).
class TRowSource {
public:
    virtual ~TRowSource() = default;
    virtual const uchar* Row(int y) = 0;
};

// The rows of an image already in memory.
class TImageRows final : public TRowSource {
public:
    explicit TImageRows(const QImage& image) : m_image(image.convertToFormat(QImage::Format_RGB32)) {}
    const uchar* Row(int y) override { return m_image.constScanLine(y); }

private:
    QImage m_image;
};

// The rows of a drawing, drawn a horizontal band at a time through a painter moved up to the band
// and clipped to it: at most two bands are ever in memory, whatever the picture's size. Qt
// rasterizes a shape cut by the edge of what it paints on a little differently near that edge,
// so each band is drawn with a few rows more above and below, which are not used: the rows kept
// are those of one piece.
// A picture of one band is drawn when its first row is asked for. A larger one is drawn by
// DrawBands, on the thread that owns the view, while an encoder on another thread takes the rows
// of the band before: drawing and packing, which cost about the same, overlap. The encoder asks
// for rows top down (or, told so, bottom up) and each band is drawn once.
class TBandRows final : public TRowSource {
public:
    static constexpr int kOverlap = 8;

    TBandRows(QSize size, const TDrawing& draw, int bandRows, bool bottomUp)
        : m_size(size), m_draw(draw), m_bottomUp(bottomUp)
    {
        const qsizetype rowBytes = std::max<qsizetype>(4, static_cast<qsizetype>(size.width()) * 4);
        m_bandRows = bandRows > 0 ? bandRows : static_cast<int>(std::max<qsizetype>(1, kBandBytes / rowBytes));
        m_bandRows = std::min(m_bandRows, size.height());
        // A picture drawn in one band needs no overlap.
        m_overlap = m_bandRows >= size.height() ? 0 : kOverlap;
        m_bands = (size.height() + m_bandRows - 1) / m_bandRows;
    }
    int Bands() const { return m_bands; }
    bool Valid()
    {
        for (int slot = 0; slot < (m_bands > 1 ? 2 : 1); ++slot) {
            m_slots[slot] = QImage(m_size.width(), m_bandRows + 2 * m_overlap, QImage::Format_RGB32);
            if (m_slots[slot].isNull())
                return false;
        }
        return true;
    }
    // Rows of a band that is not drawn (the drawing stopped) are nullptr.
    const uchar* Row(int y) override
    {
        const int band = y / m_bandRows;
        if (m_bands == 1) {
            if (m_held < 0) {
                DrawBand(m_slots[0], 0);
                m_held = 0;
            }
            return m_slots[0].constScanLine(y + m_overlap);
        }
        const int order = m_bottomUp ? m_bands - 1 - band : band;
        if (order != m_held) {
            std::unique_lock lock(m_mutex);
            m_asked = true;
            // The band before is done with: its slot takes the band after this one.
            if (m_held >= 0)
                m_drawnIn[m_held % 2] = -1;
            m_changed.notify_all();
            if (order < m_held)
                return nullptr;
            m_held = order;
            m_changed.wait(lock, [&] { return m_drawnIn[order % 2] == order || m_stopped; });
            if (m_drawnIn[order % 2] != order)
                return nullptr;
        }
        return m_slots[m_held % 2].constScanLine(y - band * m_bandRows + m_overlap);
    }

    // Draws every band in the encoder's order, each as soon as a slot is free; returns early when
    // the encoder is done. A drawing that throws stops the encoder's rows before passing it on.
    void DrawBands()
    {
        try {
            for (int order = 0; order < m_bands; ++order) {
                {
                    std::unique_lock lock(m_mutex);
                    // Nothing is drawn before the encoder asks for a row: it may refuse the picture first.
                    m_changed.wait(lock, [&] { return (m_asked && m_drawnIn[order % 2] < 0) || m_encoded; });
                    if (m_encoded)
                        return;
                }
                const int band = m_bottomUp ? m_bands - 1 - order : order;
                DrawBand(m_slots[order % 2], band * m_bandRows);
                const std::lock_guard lock(m_mutex);
                m_drawnIn[order % 2] = order;
                m_changed.notify_all();
            }
        } catch (...) {
            const std::lock_guard lock(m_mutex);
            m_stopped = true;
            m_changed.notify_all();
            throw;
        }
    }
    // The encoder has taken every row it wants (or failed): no more bands are drawn.
    void EncoderDone()
    {
        const std::lock_guard lock(m_mutex);
        m_encoded = true;
        m_changed.notify_all();
    }

private:
    void DrawBand(QImage& image, int top)
    {
        image.fill(Qt::white);
        QPainter painter(&image);
        const int drawnTop = top - m_overlap;
        painter.translate(0, -drawnTop);
        painter.setClipRect(QRect(0, drawnTop, m_size.width(), image.height()));
        // Each band is drawn once: the share drawn is the progress.
        if (m_bands > 1)
            ProgressSink().SetValue(m_drawnBands++ * 100 / m_bands);
        m_draw(painter);
    }

    QSize m_size;
    const TDrawing& m_draw;
    bool m_bottomUp = false;
    int m_bands = 1;
    int m_drawnBands = 0;
    int m_bandRows = 1;
    int m_overlap = 0;
    QImage m_slots[2];
    // Shared by the drawing and the encoding thread.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_drawnIn[2] = {-1, -1}; // the band (in the encoder's order) each slot holds, -1 for none
    bool m_asked = false; // the encoder has asked for a row
    bool m_encoded = false;
    bool m_stopped = false;
    int m_held = -1; // the encoder's band (its thread only)
};

// Where 32-bit pixel bytes sit in memory: B, G, R, X on little-endian machines.
constexpr bool kLittleEndian = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
constexpr int kRed = kLittleEndian ? 2 : 1;
constexpr int kGreen = kLittleEndian ? 1 : 2;
constexpr int kBlue = kLittleEndian ? 0 : 3;

void ToRgb(const uchar* pixels, int width, unsigned char* rgb)
{
    for (int x = 0; x < width; ++x, pixels += 4, rgb += 3) {
        rgb[0] = pixels[kRed];
        rgb[1] = pixels[kGreen];
        rgb[2] = pixels[kBlue];
    }
}

// libjpeg output into a Qt device, through a buffer; a failed write ends the encoding.
struct TJpegDestination {
    jpeg_destination_mgr manager;
    QIODevice* device;
    JOCTET buffer[64 * 1024];
};

void JpegInitDestination(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<TJpegDestination*>(info->dest);
    destination->manager.next_output_byte = destination->buffer;
    destination->manager.free_in_buffer = sizeof(destination->buffer);
}

boolean JpegEmptyBuffer(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<TJpegDestination*>(info->dest);
    const auto size = static_cast<qint64>(sizeof(destination->buffer));
    if (destination->device->write(reinterpret_cast<const char*>(destination->buffer), size) != size)
        ERREXIT(info, JERR_FILE_WRITE);
    JpegInitDestination(info);
    return TRUE;
}

void JpegTermDestination(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<TJpegDestination*>(info->dest);
    const auto size = static_cast<qint64>(sizeof(destination->buffer) - destination->manager.free_in_buffer);
    if (size > 0 && destination->device->write(reinterpret_cast<const char*>(destination->buffer), size) != size)
        ERREXIT(info, JERR_FILE_WRITE);
}

// Plain C-style body: nothing with a destructor is made between setjmp and longjmp (the rows are
// drawn inside rows.Row, which has returned before libjpeg runs again).
bool EncodeJpeg(TRowSource& rows, int width, int height, int quality, QIODevice& device, char* message)
{
    jpeg_compress_struct info;
    TJpegError error;
    TJpegDestination destination;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * 3);
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegErrorExit;
    error.message[0] = '\0';
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", error.message);
        return false;
    }
    jpeg_create_compress(&info);
    destination.device = &device;
    destination.manager.init_destination = JpegInitDestination;
    destination.manager.empty_output_buffer = JpegEmptyBuffer;
    destination.manager.term_destination = JpegTermDestination;
    info.dest = &destination.manager;
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    // libjpeg-turbo takes the 32-bit pixels as they are; plain libjpeg gets them as RGB.
#if defined(JCS_EXTENSIONS)
    constexpr bool direct = true;
    info.input_components = 4;
    info.in_color_space = kLittleEndian ? JCS_EXT_BGRX : JCS_EXT_XRGB;
#else
    constexpr bool direct = false;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
#endif
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.density_unit = 1;
    info.X_density = 96;
    info.Y_density = 96;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const uchar* pixels = rows.Row(static_cast<int>(info.next_scanline));
        if (!pixels) {
            jpeg_destroy_compress(&info);
            std::snprintf(message, JMSG_LENGTH_MAX, "%s", kPictureNotDrawn);
            return false;
        }
        JSAMPROW row = const_cast<JSAMPROW>(pixels);
        if (!direct) {
            ToRgb(pixels, width, rgb.data());
            row = rgb.data();
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

// libpng output into a Qt device; a failed write ends the encoding.
void PngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    if (device->write(reinterpret_cast<const char*>(data), static_cast<qint64>(length)) !=
        static_cast<qint64>(length))
        png_error(png, "the file could not be written (is the disk full?)");
}

void PngFlush(png_structp /*png*/) {}

void PngError(png_structp png, png_const_charp text)
{
    auto* message = static_cast<char*>(png_get_error_ptr(png));
    std::snprintf(message, JMSG_LENGTH_MAX, "%s", text);
    png_longjmp(png, 1);
}

void PngWarning(png_structp /*png*/, png_const_charp /*text*/) {}

// The image data of a PNG file is one zlib stream cut into IDAT chunks. It is packed here rather
// than through libpng's rows (libpng still writes the signature, the header and every chunk):
// zlib runs as raw deflate at its fastest level with a smaller hash table, which on the large
// views' pictures packs 30 % faster for files within 1 % of the size, and the stream's checksum
// comes from libdeflate, five times faster than zlib's own. Rows are stored unfiltered: that
// packs 20-30 % faster than rows stored as differences to the row above (and twice as fast as
// libpng's defaults, which try every filter on every row) for files at most 5 % larger.
constexpr int kZlibMemLevel = 5;
constexpr std::size_t kIdatBytes = 256 * 1024;
constexpr std::size_t kPieceBytes = 256 * 1024;

// Feeds data to the stream, writing each IDAT chunk as it fills; with Z_FINISH, ends the stream.
void Deflate(png_structp png, z_stream& zip, const unsigned char* data, std::size_t size, int flush,
             std::vector<unsigned char>& chunk, std::size_t& used)
{
    zip.next_in = const_cast<unsigned char*>(data);
    zip.avail_in = static_cast<uInt>(size);
    for (;;) {
        zip.next_out = chunk.data() + used;
        zip.avail_out = static_cast<uInt>(chunk.size() - used);
        const int result = deflate(&zip, flush);
        if (result == Z_STREAM_ERROR)
            png_error(png, "the PNG packer failed");
        used = chunk.size() - zip.avail_out;
        if (used == chunk.size()) {
            png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), chunk.data(), used);
            used = 0;
        } else if (zip.avail_in == 0 && (flush != Z_FINISH || result == Z_STREAM_END)) {
            return;
        }
    }
}

// Plain C-style body, as EncodeJpeg: what has a destructor is made before setjmp.
bool EncodePng(TRowSource& rows, int width, int height, QIODevice& device, char* message)
{
    const std::size_t rowBytes = 1 + static_cast<std::size_t>(width) * 3; // a filter byte, then RGB
    const int pieceRows = static_cast<int>(std::max<std::size_t>(1, kPieceBytes / rowBytes));
    std::vector<unsigned char> piece(rowBytes * static_cast<std::size_t>(pieceRows));
    std::vector<unsigned char> chunk(kIdatBytes);
    z_stream zip{};
    if (deflateInit2(&zip, 1, Z_DEFLATED, -15, kZlibMemLevel, Z_DEFAULT_STRATEGY) != Z_OK) {
        std::snprintf(message, JMSG_LENGTH_MAX, "the PNG encoder could not be started");
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, message, PngError, PngWarning);
    if (!png) {
        deflateEnd(&zip);
        std::snprintf(message, JMSG_LENGTH_MAX, "the PNG encoder could not be started");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        deflateEnd(&zip);
        if (!message[0])
            std::snprintf(message, JMSG_LENGTH_MAX, "the PNG encoder could not be started");
        return false;
    }
    png_set_write_fn(png, &device, PngWrite, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, kDotsPerMeter, kDotsPerMeter, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    // The zlib header: deflate with a 32 KB window, fastest level.
    chunk[0] = 0x78;
    chunk[1] = 0x01;
    std::size_t used = 2;
    std::uint32_t adler = 1;
    for (int y = 0; y < height;) {
        const int count = std::min(pieceRows, height - y);
        for (int row = 0; row < count; ++row) {
            const uchar* pixels = rows.Row(y + row);
            if (!pixels)
                png_error(png, kPictureNotDrawn);
            unsigned char* out = piece.data() + rowBytes * static_cast<std::size_t>(row);
            out[0] = 0; // no filter
            ToRgb(pixels, width, out + 1);
        }
        y += count;
        const std::size_t size = rowBytes * static_cast<std::size_t>(count);
        adler = libdeflate_adler32(adler, piece.data(), size);
        Deflate(png, zip, piece.data(), size, y == height ? Z_FINISH : Z_NO_FLUSH, chunk, used);
    }
    unsigned char trailer[4];
    qToBigEndian(adler, trailer);
    for (unsigned char byte : trailer) {
        if (used == chunk.size()) {
            png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), chunk.data(), used);
            used = 0;
        }
        chunk[used++] = byte;
    }
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), chunk.data(), used);
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
    png_destroy_write_struct(&png, &info);
    deflateEnd(&zip);
    return true;
}

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Writes a picture file through the safe replace every output takes (a regular file or a new
// name only, through a temporary that is renamed once complete): body writes into the device and
// answers false with the reason in its error.
bool SaveThrough(const QString& fileName, QString* error, const std::function<bool(QIODevice&, QString*)>& body)
{
    QString bodyError;
    const TFileFiller fill = [&](int fd, const std::string&, std::string& failure) {
        QFile file;
        if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
            failure = file.errorString().toStdString();
            return false;
        }
        if (!body(file, &bodyError) || !file.flush() || file.error() != QFileDevice::NoError) {
            if (bodyError.isEmpty())
                bodyError = file.errorString();
            failure = bodyError.toStdString();
            return false;
        }
        return true;
    };
    std::string why;
    if (!ReplaceFileWith(fileName.toStdString(), fill, why)) {
        SetError(error, bodyError.isEmpty() ? QString::fromStdString(why) : bodyError);
        return false;
    }
    return true;
}

bool SaveJpeg(TRowSource& rows, QSize size, int quality, const QString& fileName, QString* error)
{
    return SaveThrough(fileName, error, [&](QIODevice& file, QString* why) {
        char message[JMSG_LENGTH_MAX] = {};
        if (!EncodeJpeg(rows, size.width(), size.height(), quality, file, message)) {
            SetError(why, QStringLiteral("JPEG encoding failed: ") + QString::fromLocal8Bit(message));
            return false;
        }
        return true;
    });
}

bool SavePng(TRowSource& rows, QSize size, const QString& fileName, QString* error)
{
    return SaveThrough(fileName, error, [&](QIODevice& file, QString* why) {
        char message[JMSG_LENGTH_MAX] = {};
        if (!EncodePng(rows, size.width(), size.height(), file, message)) {
            SetError(why, QStringLiteral("PNG encoding failed: ") + QString::fromLocal8Bit(message));
            return false;
        }
        return true;
    });
}

// A 24-bit Windows bitmap, its rows stored bottom up as the format's readers most widely expect;
// the rows are asked for in that order, so a drawn picture is drawn from its bottom band up.
bool SaveBmp(TRowSource& rows, QSize size, const QString& fileName, QString* error)
{
    const qint64 rowBytes = (static_cast<qint64>(size.width()) * 3 + 3) / 4 * 4;
    constexpr qint64 headerBytes = 14 + 40;
    const qint64 fileBytes = headerBytes + rowBytes * size.height();
    if (fileBytes > 0xFFFFFFFFLL) {
        SetError(error, QStringLiteral("the picture (%1 x %2 pixels) is too large for a bitmap file, which holds at "
                                       "most 4 GB; save it as PNG, SVG or PDF")
                            .arg(size.width())
                            .arg(size.height()));
        return false;
    }
    return SaveThrough(fileName, error, [&](QIODevice& file, QString* why) {
        unsigned char header[headerBytes] = {'B', 'M'};
        auto put32 = [&header](int at, qint64 value) { qToLittleEndian(static_cast<quint32>(value), header + at); };
        auto put16 = [&header](int at, int value) { qToLittleEndian(static_cast<quint16>(value), header + at); };
        put32(2, fileBytes);
        put32(10, headerBytes);
        put32(14, 40);
        put32(18, size.width());
        put32(22, size.height());
        put16(26, 1);
        put16(28, 24);
        put32(30, 0); // no compression
        put32(34, rowBytes * size.height());
        put32(38, kDotsPerMeter);
        put32(42, kDotsPerMeter);
        std::vector<char> buffer;
        // Rows are gathered into writes of about a megabyte.
        const qint64 rowsPerWrite = std::max<qint64>(1, (1 << 20) / rowBytes);
        buffer.reserve(static_cast<std::size_t>(rowBytes * rowsPerWrite));
        bool written = file.write(reinterpret_cast<const char*>(header), headerBytes) == headerBytes;
        for (int y = size.height() - 1; written && y >= 0; --y) {
            const uchar* pixels = rows.Row(y);
            if (!pixels) {
                SetError(why, QString::fromUtf8(kPictureNotDrawn));
                return false;
            }
            const std::size_t at = buffer.size();
            buffer.resize(at + static_cast<std::size_t>(rowBytes), '\0');
            auto* out = reinterpret_cast<unsigned char*>(buffer.data() + at);
            for (int x = 0; x < size.width(); ++x, pixels += 4, out += 3) {
                out[0] = pixels[kBlue];
                out[1] = pixels[kGreen];
                out[2] = pixels[kRed];
            }
            if (y == 0 || static_cast<qint64>(buffer.size()) >= rowBytes * rowsPerWrite) {
                written = file.write(buffer.data(), static_cast<qint64>(buffer.size())) ==
                          static_cast<qint64>(buffer.size());
                buffer.clear();
            }
        }
        if (!written) {
            SetError(why, file.errorString());
            return false;
        }
        return true;
    });
}

bool SaveRows(TRowSource& rows, TPictureFormat format, QSize size, const QString& fileName, QString* error)
{
    switch (format) {
    case TPictureFormat::Jpeg:
        return SaveJpeg(rows, size, kJpegQuality, fileName, error);
    case TPictureFormat::Png:
        return SavePng(rows, size, fileName, error);
    default:
        return SaveBmp(rows, size, fileName, error);
    }
}

bool WriteRaster(const QString& fileName, TPictureFormat format, QSize size, const TDrawing& draw, int bandRows,
                 QString* error)
{
    // JPEG holds at most 65500 pixels a side; PNG and BMP far more.
    constexpr int jpegSide = 65500;
    if (format == TPictureFormat::Jpeg && (size.width() > jpegSide || size.height() > jpegSide)) {
        SetError(error, QStringLiteral("the picture (%1 x %2 pixels) is too large for a JPEG file, which holds at "
                                       "most %3 pixels a side; save it as PNG, SVG or PDF")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(jpegSide));
        return false;
    }
    // A bitmap's rows are stored bottom up.
    TBandRows rows(size, draw, bandRows, format == TPictureFormat::Bmp);
    if (!rows.Valid()) {
        SetError(error, QStringLiteral("there is not enough memory to draw the picture (%1 x %2 pixels)")
                            .arg(size.width())
                            .arg(size.height()));
        return false;
    }
    // A picture of several bands takes long enough to show the progress window.
    if (rows.Bands() == 1)
        return SaveRows(rows, format, size, fileName, error);
    const TProgressScope progress;
    bool saved = false;
    QString encoderError;
    std::thread encoder([&] {
        // An exception may not leave the thread: it ends the save like any other failure.
        try {
            saved = SaveRows(rows, format, size, fileName, &encoderError);
        } catch (const std::exception& e) {
            encoderError = QString::fromLocal8Bit(e.what());
        }
        rows.EncoderDone();
    });
    try {
        rows.DrawBands();
    } catch (...) {
        encoder.join();
        throw;
    }
    encoder.join();
    if (!saved)
        SetError(error, encoderError);
    return saved;
}

} // namespace

std::optional<QByteArray> SvgOfDrawing(QSize size, const TDrawing& draw, const QString& title)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setResolution(kPictureDpi);
        generator.setTitle(title);
        QPainter painter;
        if (!painter.begin(&generator))
            return std::nullopt;
        draw(painter);
        painter.end();
    }
    // The generator gives the size in millimetres, which viewers turn back into pixels at differing
    // resolutions; the picture's own pixel size keeps it exact everywhere.
    // Names may hold characters XML does not allow (control characters, non-characters); SVG
    // readers refuse the whole file for one of them.
    QString text = QString::fromStdString(XmlSafeText(buffer.data().toStdString()));
    static const QRegularExpression physical(QStringLiteral("width=\"[0-9.]+mm\" height=\"[0-9.]+mm\""));
    text.replace(text.indexOf(physical), physical.match(text).capturedLength(),
                 QStringLiteral("width=\"%1\" height=\"%2\"").arg(size.width()).arg(size.height()));
    return text.toUtf8();
}

namespace {

bool WriteSvg(const QString& fileName, QSize size, const TDrawing& draw, QString* error)
{
    const std::optional<QByteArray> svg = SvgOfDrawing(size, draw, QFileInfo(fileName).completeBaseName());
    if (!svg) {
        SetError(error, QStringLiteral("the drawing could not be started"));
        return false;
    }
    std::string why;
    if (!ReplaceFile(fileName.toStdString(), std::string_view(svg->constData(), static_cast<std::size_t>(svg->size())),
                     why)) {
        SetError(error, QString::fromStdString(why));
        return false;
    }
    return true;
}

bool WritePdf(const QString& fileName, QSize size, const TDrawing& draw, QString* error)
{
    return SaveThrough(fileName, error, [&](QIODevice& file, QString* why) {
        QPdfWriter writer(&file);
        // One point per picture pixel: the page is exactly the picture.
        writer.setResolution(kPictureDpi);
        writer.setTitle(QFileInfo(fileName).completeBaseName());
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(size), QPageSize::Point), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            SetError(why, QStringLiteral("the PDF document could not be started"));
            return false;
        }
        // The views lay themselves out at the screen's resolution; drawn at it and scaled as a
        // whole onto the page, text keeps its size against the figures.
        painter.scale(kPictureDpi / 72.0, kPictureDpi / 72.0);
        draw(painter);
        painter.end();
        return true;
    });
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

QSize SizeWithin(QSize size, qint64 maxPixels)
{
    const qint64 pixels = static_cast<qint64>(size.width()) * size.height();
    if (pixels <= maxPixels && size.width() <= 65500 && size.height() <= 65500)
        return size;
    double factor = std::sqrt(static_cast<double>(maxPixels) / static_cast<double>(std::max<qint64>(1, pixels)));
    factor = std::min({factor, 65500.0 / size.width(), 65500.0 / size.height()});
    return {std::max(1, static_cast<int>(size.width() * factor)), std::max(1, static_cast<int>(size.height() * factor))};
}

QImage RenderPictureWithin(QSize size, const TDrawing& draw, qint64 maxPixels, bool* scaled)
{
    const QSize within = SizeWithin(size, maxPixels);
    if (scaled)
        *scaled = within != size;
    if (within == size)
        return RenderPicture(size, draw);
    QImage image(within, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(static_cast<double>(within.width()) / size.width(),
                  static_cast<double>(within.height()) / size.height());
    painter.setClipRect(QRect(QPoint(0, 0), size));
    draw(painter);
    painter.end();
    return image;
}

bool WriteJpeg(const QImage& image, const QString& fileName, int quality, QString* error)
{
    TImageRows rows(image);
    return SaveJpeg(rows, image.size(), quality, fileName, error);
}

bool WritePicture(const QString& fileName, TPictureFormat format, QSize size, const TDrawing& draw,
                  QString* error, int bandRows)
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
        return WriteRaster(fileName, format, size, draw, bandRows, error);
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

// PNG first: lossless and small, what most users want from a chart.
const TFilterEntry kFilters[] = {
    {TPictureFormat::Png, "PICTURE_FILTER_PNG", "PNG images", "*.png"},
    {TPictureFormat::Jpeg, "PICTURE_FILTER_JPEG", "Jpg files", "*.jpg *.jpeg"},
    {TPictureFormat::Bmp, "PICTURE_FILTER_BMP", "Bitmap files", "*.bmp"},
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
        const bool raster = entry.format == TPictureFormat::Png || entry.format == TPictureFormat::Bmp ||
                            entry.format == TPictureFormat::Jpeg;
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
    return TPictureFormat::Png;
}

QString TPictureSaveDialog::Execute(QSize size, const TDrawing& draw)
{
    const QString filter = Filter();
    QString chosenFilter = filter.section(QStringLiteral(";;"), 0, 0);
    const QString fileName = AskSaveFileName(
        m_parent, m_title, filter, &chosenFilter,
        CatalogueText("PICTURE_FILE_REPLACE", "This file already exists. Replace it?"));
    if (fileName.isEmpty())
        return {};
    const TPictureFormat format = PictureFormatOfName(fileName).value_or(FormatOfFilter(chosenFilter));
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
