#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include "platform/picturefile.h"
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

TEST(PictureFileTest, FormatFollowsTheExtensionElseTheChosenFilter)
{
    EXPECT_EQ(PictureFormatOfName("x.JPEG"), TPictureFormat::Jpeg);
    EXPECT_EQ(PictureFormatOfName("x.jpg"), TPictureFormat::Jpeg);
    EXPECT_EQ(PictureFormatOfName("dir.png/x"), std::nullopt);
    EXPECT_EQ(PictureFormatOfName("x.gif"), std::nullopt);

    TPictureFormat format = TPictureFormat::Bmp;
    EXPECT_EQ(TPictureSaveDialog::FinalName("/t/pic", TPictureFormat::Png, &format), "/t/pic.png");
    EXPECT_EQ(format, TPictureFormat::Png);
    EXPECT_EQ(TPictureSaveDialog::FinalName("/t/pic.gif", TPictureFormat::Bmp, &format), "/t/pic.gif.bmp");
    EXPECT_EQ(format, TPictureFormat::Bmp);
    EXPECT_EQ(TPictureSaveDialog::FinalName("/t/pic.Jpeg", TPictureFormat::Svg, &format), "/t/pic.Jpeg");
    EXPECT_EQ(format, TPictureFormat::Jpeg);
}

TEST(PictureFileTest, SaveDialogOffersVectorFormatsOnlyWhenAsked)
{
    TPictureSaveDialog raster(nullptr, "t", false);
    EXPECT_FALSE(raster.Filter().contains("*.svg"));
    EXPECT_TRUE(raster.Filter().contains("*.bmp"));
    TPictureSaveDialog all(nullptr, "t", true);
    const QStringList entries = all.Filter().split(";;");
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
