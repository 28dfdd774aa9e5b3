#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPolygon>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <zlib.h>

#include "platform/picturefile.h"
#include "platform/savefile.h"
#include "platform/thinlines.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"

namespace {

const QSize kSize(123, 45);

// Left half red, right half blue: a decoder that gets the size or the sides wrong shows it.
void DrawHalves(QPainter& painter)
{
    painter.fillRect(QRect(0, 0, kSize.width() / 2, kSize.height()), QColor(255, 0, 0));
    painter.fillRect(QRect(kSize.width() / 2, 0, kSize.width() - kSize.width() / 2, kSize.height()),
                     QColor(0, 0, 255));
}

QString PathIn(const TTempDir& dir, const char* name)
{
    return QString::fromStdString(dir.Path().string()) + QLatin1Char('/') + QLatin1String(name);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

TEST(PictureFileTest, RasterFilesDecodeWithThePicturesSizeAndColours)
{
    TTempDir dir;
    struct TCase {
        const char* name;
        TPictureFormat format;
        const char* decoderFormat;
        int tolerance;
    };
    const TCase cases[] = {
        {"a.bmp", TPictureFormat::Bmp, "bmp", 0},
        {"a.png", TPictureFormat::Png, "png", 0},
        {"a.jpg", TPictureFormat::Jpeg, "jpeg", 12},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = PathIn(dir, c.name);
        QString error;
        ASSERT_TRUE(WritePicture(path, c.format, kSize, DrawHalves, &error)) << error.toStdString();
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), QByteArray(c.decoderFormat));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), kSize);
        const QColor left = image.pixelColor(10, 20);
        const QColor right = image.pixelColor(110, 20);
        EXPECT_NEAR(left.red(), 255, c.tolerance);
        EXPECT_NEAR(left.blue(), 0, c.tolerance);
        EXPECT_NEAR(right.red(), 0, c.tolerance);
        EXPECT_NEAR(right.blue(), 255, c.tolerance);
    }
}

TEST(PictureFileTest, JpegIsBaselineAtQualityNinety)
{
    TTempDir dir;
    const QString path = PathIn(dir, "q.jpg");
    ASSERT_TRUE(WritePicture(path, TPictureFormat::Jpeg, kSize, DrawHalves));
    const QByteArray bytes = ReadAll(path);
    ASSERT_GE(bytes.size(), 4);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xD8);
    // Quality 90 scales the standard luminance table's first entry 16 to 3.
    const int dqt = static_cast<int>(bytes.indexOf(QByteArray("\xFF\xDB", 2)));
    ASSERT_GT(dqt, 0);
    EXPECT_EQ(static_cast<unsigned char>(bytes[dqt + 5]), 3);
}

TEST(PictureFileTest, VectorFilesKeepThePicturesSize)
{
    TTempDir dir;
    const QString svg = PathIn(dir, "a.svg");
    ASSERT_TRUE(WritePicture(svg, TPictureFormat::Svg, kSize, DrawHalves));
    QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.defaultSize(), kSize);
    QImage drawn(kSize, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    renderer.render(&painter);
    painter.end();
    EXPECT_EQ(drawn.pixelColor(10, 20), QColor(255, 0, 0));
    EXPECT_EQ(drawn.pixelColor(110, 20), QColor(0, 0, 255));

    const QString pdf = PathIn(dir, "a.pdf");
    ASSERT_TRUE(WritePicture(pdf, TPictureFormat::Pdf, kSize, DrawHalves));
    const QByteArray bytes = ReadAll(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    // One point per picture pixel.
    EXPECT_TRUE(bytes.contains("/MediaBox [0 0 123")) << bytes.left(2000).toStdString();
    EXPECT_TRUE(bytes.contains("/MediaBox [0 0 123.000000 45.000000]") || bytes.contains("/MediaBox [0 0 123 45]"));
}

TEST(PictureFileTest, FailureLeavesTheOldFileAndSaysWhy)
{
    TTempDir dir;
    const QString path = PathIn(dir, "missing-folder/a.png");
    QString error;
    EXPECT_FALSE(WritePicture(path, TPictureFormat::Png, kSize, DrawHalves, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(WritePicture(PathIn(dir, "empty.png"), TPictureFormat::Png, QSize(0, 10), DrawHalves, &error));
}

TEST(PictureFileTest, OnlyRegularFilesAreReplacedAndSvgTextStaysXml)
{
    TTempDir dir;
    // A link to a device is followed and refused, never replaced by the picture.
    const QString link = PathIn(dir, "null.png");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), link));
    QString error;
    EXPECT_FALSE(WritePicture(link, TPictureFormat::Png, kSize, DrawHalves, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    // A caption with control characters and a non-character still gives an SVG that readers take.
    const QString svg = PathIn(dir, "caption.svg");
    const auto caption = [](QPainter& painter) {
        painter.drawText(10, 20, QString::fromUtf8("A\x01\x1b B\xEF\xBF\xBE"));
    };
    ASSERT_TRUE(WritePicture(svg, TPictureFormat::Svg, kSize, caption, &error)) << error.toStdString();
    EXPECT_TRUE(QSvgRenderer(svg).isValid());
    EXPECT_FALSE(ReadAll(svg).contains('\x01'));
}

namespace {

const QSize kDetailed(157, 61);

// What a view draws that a band boundary cuts and that comes out the same whichever part of it is
// drawn: text, a hatched brush, rectangles, level lines, the sociogram's one-pixel arrows, and
// rows of odd width (BMP pads its rows to four bytes).
void DrawDetailed(QPainter& painter)
{
    painter.fillRect(QRect(5, 3, 60, 50), QBrush(QColor(0, 128, 0), Qt::DiagCrossPattern));
    painter.fillRect(QRect(100, 0, 57, 61), QColor(20, 40, 200));
    painter.setPen(QPen(QColor(200, 0, 0), 0));
    painter.drawRect(QRect(2, 2, 150, 55));
    const QLine arrows[] = {{0, 60, 156, 1}, {10, 0, 30, 60}, {150, 3, 90, 50}};
    ASSERT_TRUE(DrawThinLines(painter, arrows, 3, QColor(200, 0, 0)));
    painter.setPen(Qt::black);
    painter.drawText(QRect(10, 20, 140, 30), Qt::AlignCenter, QStringLiteral("Band by band"));
}

// Smooth and slanted shapes: Qt draws a shape cut by the edge of what it paints on with edge
// pixels a little off those of the uncut shape, so these are close, not equal.
void DrawSmooth(QPainter& painter)
{
    QLinearGradient gradient(0, 0, 0, kDetailed.height());
    gradient.setColorAt(0, QColor(250, 200, 10));
    gradient.setColorAt(1, QColor(20, 40, 200));
    painter.fillRect(QRect(100, 0, 57, 61), gradient);
    painter.drawPolygon(QPolygon({QPoint(20, 5), QPoint(90, 58), QPoint(3, 40)}));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 0, 0), 2.5));
    painter.drawLine(QPointF(0, 60), QPointF(156, 1));
    painter.drawEllipse(QRectF(30.5, 10.25, 70, 40));
}

QImage Decoded(const QString& path)
{
    QImageReader reader(path);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// Pixels that differ by more than a few levels in a channel.
int DifferingPixels(const QImage& a, const QImage& b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int largest = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                          std::abs(qBlue(p) - qBlue(q))});
            differing += largest > 4 ? 1 : 0;
        }
    }
    return differing;
}

} // namespace

TEST(PictureFileTest, PicturesOfSeveralBandsShowProgressOncePerBand)
{
    TTempDir dir;
    for (const char* name : {"p.png", "p.bmp", "p.jpg"}) {
        SCOPED_TRACE(name);
        const QString path = PathIn(dir, name);
        TRecordingProgress progress;
        ASSERT_TRUE(WritePicture(path, *PictureFormatOfName(path), kDetailed, DrawDetailed, nullptr, 30));
        const int bands = (kDetailed.height() + 29) / 30;
        ASSERT_EQ(progress.calls.size(), static_cast<std::size_t>(bands + 2));
        EXPECT_EQ(progress.calls.front(), "begin");
        EXPECT_EQ(progress.calls.back(), "end");
        EXPECT_EQ(progress.value, (bands - 1) * 100 / bands);
    }
    // A picture of one band is quick: no window flashes up.
    TRecordingProgress quiet;
    ASSERT_TRUE(WritePicture(PathIn(dir, "q.png"), TPictureFormat::Png, kDetailed, DrawDetailed));
    EXPECT_TRUE(quiet.calls.empty());
}

TEST(PictureFileTest, BandByBandFilesHoldTheSamePixelsAsOnePiece)
{
    TTempDir dir;
    const QImage whole = RenderPicture(kDetailed, DrawDetailed);
    const QImage smooth = RenderPicture(kDetailed, DrawSmooth);
    // One piece: the whole image encoded at once.
    const QString oneJpeg = PathIn(dir, "one.jpg");
    ASSERT_TRUE(WriteJpeg(whole, oneJpeg, 90));
    for (int bandRows : {1, 7, 60, 0}) {
        SCOPED_TRACE(bandRows);
        for (const char* name : {"b.png", "b.bmp"}) {
            SCOPED_TRACE(name);
            const QString path = PathIn(dir, name);
            QString error;
            ASSERT_TRUE(WritePicture(path, *PictureFormatOfName(path), kDetailed, DrawDetailed, &error, bandRows))
                << error.toStdString();
            const QImage decoded = Decoded(path);
            ASSERT_EQ(decoded.size(), kDetailed);
            EXPECT_EQ(decoded, whole);
            ASSERT_TRUE(WritePicture(path, *PictureFormatOfName(path), kDetailed, DrawSmooth, &error, bandRows));
            EXPECT_LE(DifferingPixels(Decoded(path), smooth), 8);
        }
        // The same pixels make the same JPEG, whichever way they were drawn.
        const QString jpeg = PathIn(dir, "b.jpg");
        ASSERT_TRUE(WritePicture(jpeg, TPictureFormat::Jpeg, kDetailed, DrawDetailed, nullptr, bandRows));
        EXPECT_EQ(ReadAll(jpeg), ReadAll(oneJpeg));
        const QImage decoded = Decoded(jpeg);
        ASSERT_EQ(decoded.size(), kDetailed);
        long long difference = 0;
        for (int y = 0; y < kDetailed.height(); ++y)
            for (int x = 0; x < kDetailed.width(); ++x)
                difference += std::abs(qGray(decoded.pixel(x, y)) - qGray(whole.pixel(x, y)));
        EXPECT_LT(difference / (kDetailed.width() * kDetailed.height()), 6);
    }
}

namespace {

// Checks a PNG file as a strict reader would, with zlib alone: every chunk's CRC, IEND last, and
// the IDAT chunks one zlib stream (its checksum included) holding exactly the rows, unfiltered.
// Answers what is wrong, or nothing.
std::string PngStreamFault(const QByteArray& file, QSize size)
{
    if (!file.startsWith("\x89PNG\r\n\x1a\n"))
        return "no signature";
    QByteArray stream;
    QByteArray last;
    for (qsizetype at = 8; at < file.size();) {
        const auto length = qFromBigEndian<quint32>(file.constData() + at);
        const QByteArray typeAndData = file.mid(at + 4, 4 + length);
        const auto crc = qFromBigEndian<quint32>(file.constData() + at + 8 + length);
        if (crc32(0, reinterpret_cast<const Bytef*>(typeAndData.constData()), typeAndData.size()) != crc)
            return "bad CRC in " + typeAndData.left(4).toStdString();
        last = typeAndData.left(4);
        if (last == "IDAT")
            stream += typeAndData.mid(4);
        at += 12 + length;
    }
    if (last != "IEND")
        return "IEND is not last";
    const qsizetype rowBytes = 1 + 3 * qsizetype(size.width());
    QByteArray rows(rowBytes * size.height() + 1, '\0');
    uLongf rowsSize = rows.size();
    uLong streamSize = stream.size();
    if (uncompress2(reinterpret_cast<Bytef*>(rows.data()), &rowsSize, reinterpret_cast<const Bytef*>(stream.constData()),
                    &streamSize) != Z_OK)
        return "the image data is not one whole zlib stream";
    if (streamSize != uLong(stream.size()) || qsizetype(rowsSize) != rowBytes * size.height())
        return "the image data has bytes too many or too few";
    for (int y = 0; y < size.height(); ++y)
        if (rows[y * rowBytes] != 0)
            return "a row is filtered";
    return {};
}

} // namespace

TEST(PictureFileTest, PngImageDataIsOneWholeZlibStream)
{
    TTempDir dir;
    const QString path = PathIn(dir, "z.png");
    // Bands of one row and of 7 rows, and a picture wider than one IDAT chunk holds.
    for (const auto& [size, bandRows] : {std::pair{kDetailed, 1}, std::pair{kDetailed, 7}, std::pair{QSize(90000, 5), 0}}) {
        ASSERT_TRUE(WritePicture(path, TPictureFormat::Png, size, DrawDetailed, nullptr, bandRows));
        EXPECT_EQ(PngStreamFault(ReadAll(path), size), "");
    }
}

TEST(PictureFileTest, OnlyTheFormatsLimitsRefuseALargePicture)
{
    TTempDir dir;
    QString error;
    int drawn = 0;
    const TDrawing count = [&drawn](QPainter&) { ++drawn; };
    // Wider than JPEG allows: refused before anything is drawn or written.
    const QString jpeg = PathIn(dir, "wide.jpg");
    EXPECT_FALSE(WritePicture(jpeg, TPictureFormat::Jpeg, QSize(70000, 10), count, &error));
    EXPECT_TRUE(error.contains("65500")) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(jpeg));
    // A bitmap file holds at most 4 GB.
    const QString bmp = PathIn(dir, "huge.bmp");
    EXPECT_FALSE(WritePicture(bmp, TPictureFormat::Bmp, QSize(45280, 35230), count, &error));
    EXPECT_TRUE(error.contains("4 GB")) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(bmp));
    EXPECT_EQ(drawn, 0);
    // PNG takes it, drawn in bands of about 32 MB.
    const QString png = PathIn(dir, "wide.png");
    ASSERT_TRUE(WritePicture(png, TPictureFormat::Png, QSize(70000, 300), count, &error)) << error.toStdString();
    EXPECT_EQ(drawn, 3);
    EXPECT_EQ(QImageReader(png).size(), QSize(70000, 300));
}

TEST(PictureFileTest, ClipboardPicturesAreScaledDownToTheLimit)
{
    bool scaled = true;
    const QImage small = RenderPictureWithin(kSize, DrawHalves, kClipboardPixels, &scaled);
    EXPECT_FALSE(scaled);
    EXPECT_EQ(small, RenderPicture(kSize, DrawHalves));

    // 1230 x 450 within 5535 pixels: a tenth each way, the picture still whole.
    const QSize large(1230, 450);
    const TDrawing halves = [&large](QPainter& painter) {
        painter.fillRect(QRect(0, 0, large.width() / 2, large.height()), QColor(255, 0, 0));
        painter.fillRect(QRect(large.width() / 2, 0, large.width() / 2, large.height()), QColor(0, 0, 255));
    };
    const QImage reduced = RenderPictureWithin(large, halves, 5535, &scaled);
    EXPECT_TRUE(scaled);
    EXPECT_EQ(reduced.size(), QSize(123, 45));
    EXPECT_EQ(reduced.pixelColor(10, 20), QColor(255, 0, 0));
    EXPECT_EQ(reduced.pixelColor(110, 20), QColor(0, 0, 255));
    EXPECT_EQ(SizeWithin(QSize(100000, 10), kClipboardPixels), QSize(65500, 6));
}

TEST(PictureFileTest, FormatFollowsTheExtensionElseTheChosenFilter)
{
    EXPECT_EQ(PictureFormatOfName("x.JPEG"), TPictureFormat::Jpeg);
    EXPECT_EQ(PictureFormatOfName("x.jpg"), TPictureFormat::Jpeg);
    EXPECT_EQ(PictureFormatOfName("dir.png/x"), std::nullopt);
    EXPECT_EQ(PictureFormatOfName("x.gif"), std::nullopt);

    const TPictureSaveDialog dialog(nullptr, "t", true);
    const QString filter = dialog.Filter();
    const QStringList entries = filter.split(";;");
    EXPECT_EQ(CompleteFileName("/t/pic", filter, entries[0]), "/t/pic.png");
    EXPECT_EQ(CompleteFileName("/t/pic.gif", filter, entries[2]), "/t/pic.gif.bmp");
    EXPECT_EQ(CompleteFileName("/t/pic.Jpeg", filter, entries[3]), "/t/pic.Jpeg");
}

TEST(PictureFileTest, SaveDialogOffersVectorFormatsOnlyWhenAsked)
{
    TPictureSaveDialog raster(nullptr, "t", false);
    EXPECT_FALSE(raster.Filter().contains("*.svg"));
    EXPECT_TRUE(raster.Filter().contains("*.bmp"));
    // PNG is offered first, to every dialog.
    EXPECT_TRUE(raster.Filter().split(";;").front().contains("*.png"));
    TPictureSaveDialog all(nullptr, "t", true);
    const QStringList entries = all.Filter().split(";;");
    EXPECT_EQ(all.FormatOfFilter(entries[0]), TPictureFormat::Png);
    ASSERT_EQ(entries.size(), 5);
    EXPECT_EQ(all.FormatOfFilter(entries[3]), TPictureFormat::Svg);
    EXPECT_EQ(all.FormatOfFilter(entries[1]), TPictureFormat::Jpeg);
}

TEST(PictureFileTest, SaveDialogWritesNewFilesAndAsksBeforeReplacing)
{
    TTempDir dir;
    TPictureSaveDialog dialog(nullptr, "Save", true);
    TScriptedModalSeam seam;

    // A new name without extension: the chosen filter's format and extension.
    seam.ExpectSaveFile(PathIn(dir, "new"), "*.png");
    EXPECT_EQ(dialog.Execute(kSize, DrawHalves), PathIn(dir, "new.png"));
    EXPECT_EQ(QImageReader(PathIn(dir, "new.png")).format(), QByteArray("png"));

    // The final name exists: No keeps the old file.
    QFile old(PathIn(dir, "old.bmp"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("keep");
    old.close();
    seam.ExpectSaveFile(PathIn(dir, "old"), "*.bmp");
    seam.ExpectDialogButton("DialogForm", "No");
    EXPECT_TRUE(dialog.Execute(kSize, DrawHalves).isEmpty());
    EXPECT_EQ(ReadAll(PathIn(dir, "old.bmp")), QByteArray("keep"));

    // Closing the question keeps it too; Yes replaces it.
    seam.ExpectSaveFile(PathIn(dir, "old.bmp"));
    seam.ExpectDialog("DialogForm", [](QDialog&) {});
    EXPECT_TRUE(dialog.Execute(kSize, DrawHalves).isEmpty());
    EXPECT_EQ(ReadAll(PathIn(dir, "old.bmp")), QByteArray("keep"));
    seam.ExpectSaveFile(PathIn(dir, "old.bmp"));
    seam.ExpectDialogButton("DialogForm", "Yes");
    EXPECT_EQ(dialog.Execute(kSize, DrawHalves), PathIn(dir, "old.bmp"));
    EXPECT_EQ(QImage(PathIn(dir, "old.bmp")).size(), kSize);

    // Cancel writes nothing; a folder that does not exist is reported.
    seam.ExpectSaveFile(QString());
    EXPECT_TRUE(dialog.Execute(kSize, DrawHalves).isEmpty());
    seam.ExpectSaveFile(PathIn(dir, "nowhere/x.jpg"));
    EXPECT_TRUE(dialog.Execute(kSize, DrawHalves).isEmpty());
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_TRUE(seam.informations[0].contains("x.jpg"));
    EXPECT_TRUE(seam.AllConsumed());
}
