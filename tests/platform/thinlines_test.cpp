#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "platform/thinlines.h"

namespace {

const QColor kInk(10, 20, 30);

QImage Blank(QSize size = QSize(200, 150), QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(Qt::white);
    return image;
}

bool Inked(const QImage& image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() && image.pixel(x, y) == kInk.rgb();
}

// Every pixel one image inks lies within one pixel of a pixel the other inks.
int StrayPixels(const QImage& a, const QImage& b)
{
    int stray = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!Inked(a, x, y))
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = Inked(b, x + dx, y + dy);
            stray += near ? 0 : 1;
        }
    }
    return stray;
}

std::vector<QLine> RandomLines(int count, QRect spread, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> x(spread.left(), spread.right());
    std::uniform_int_distribution<int> y(spread.top(), spread.bottom());
    std::vector<QLine> lines;
    for (int i = 0; i < count; ++i)
        lines.emplace_back(QPoint(x(random), y(random)), QPoint(x(random), y(random)));
    return lines;
}

// The nearest pixel to the true line at every step of its longer axis, both ends included,
// computed pixel by pixel in floating point.
QImage ReferenceLines(QSize size, const std::vector<QLine>& lines, const QRect& clip)
{
    QImage image = Blank(size);
    for (const QLine& line : lines) {
        const int dx = line.dx();
        const int dy = line.dy();
        const int steps = std::max(std::abs(dx), std::abs(dy));
        for (int k = 0; k <= steps; ++k) {
            const double t = steps == 0 ? 0.0 : static_cast<double>(k) / steps;
            // Halves round toward the line's end with the larger coordinate, as the walk does.
            const double fx = line.x1() + t * dx;
            const double fy = line.y1() + t * dy;
            const int x = std::abs(dx) >= std::abs(dy) ? line.x1() + (dx >= 0 ? k : -k)
                                                        : static_cast<int>(std::floor(fx + 0.5));
            const int y = std::abs(dx) >= std::abs(dy) ? static_cast<int>(std::floor(fy + 0.5))
                                                        : line.y1() + (dy >= 0 ? k : -k);
            if (clip.contains(x, y) && image.rect().contains(x, y))
                image.setPixel(x, y, kInk.rgb());
        }
    }
    return image;
}

} // namespace

TEST(ThinLinesTest, PixelsAreTheNearestToEachLineInsideTheClip)
{
    const QSize size(200, 150);
    const std::vector<QLine> lines = RandomLines(60, QRect(-80, -60, 360, 270), 5);
    for (const QRect& clip : {QRect(0, 0, 200, 150), QRect(30, 20, 90, 70), QRect(150, -10, 100, 40)}) {
        QImage fast = Blank(size);
        DrawThinLinesInto(fast, lines.data(), static_cast<int>(lines.size()), kInk, clip);
        const QImage reference = ReferenceLines(size, lines, clip);
        // Exact halves may round either way; nothing else may differ.
        EXPECT_EQ(StrayPixels(fast, reference), 0) << clip.x() << "," << clip.y();
        EXPECT_EQ(StrayPixels(reference, fast), 0) << clip.x() << "," << clip.y();
        int differing = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                differing += Inked(fast, x, y) != Inked(reference, x, y) ? 1 : 0;
        EXPECT_LT(differing, 20);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                if (!clip.contains(x, y)) {
                    ASSERT_FALSE(Inked(fast, x, y)) << x << "," << y;
                }
            }
        }
    }
}

TEST(ThinLinesTest, LinesMatchThoseThePainterDraws)
{
    const std::vector<QLine> lines = RandomLines(40, QRect(0, 0, 200, 150), 9);
    QImage fast = Blank();
    {
        QPainter painter(&fast);
        ASSERT_TRUE(DrawThinLines(painter, lines.data(), static_cast<int>(lines.size()), kInk));
    }
    QImage drawn = Blank();
    {
        QPainter painter(&drawn);
        painter.setPen(QPen(kInk, 0));
        painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    }
    EXPECT_EQ(StrayPixels(fast, drawn), 0);
    EXPECT_EQ(StrayPixels(drawn, fast), 0);
    // End points and single points are drawn.
    for (const QLine& line : lines) {
        EXPECT_TRUE(Inked(fast, line.x1(), line.y1()));
        EXPECT_TRUE(Inked(fast, line.x2(), line.y2()));
    }
}

TEST(ThinLinesTest, PainterTranslationAndClipAreFollowed)
{
    const std::vector<QLine> lines = RandomLines(30, QRect(0, 0, 400, 300), 3);
    // A band of a larger picture: the painter moved up and left, clipped to the band.
    QImage band = Blank(QSize(200, 60));
    {
        QPainter painter(&band);
        painter.translate(-100, -120);
        painter.setClipRect(QRect(100, 125, 200, 50));
        ASSERT_TRUE(DrawThinLines(painter, lines.data(), static_cast<int>(lines.size()), kInk));
    }
    QImage whole = Blank(QSize(400, 300));
    DrawThinLinesInto(whole, lines.data(), static_cast<int>(lines.size()), kInk, whole.rect());
    for (int y = 0; y < band.height(); ++y) {
        for (int x = 0; x < band.width(); ++x) {
            const bool inClip = y >= 5 && y < 55;
            EXPECT_EQ(Inked(band, x, y), inClip && Inked(whole, x + 100, y + 120)) << x << "," << y;
        }
    }
}

TEST(ThinLinesTest, PaintersThatChangeThePixelsAreLeftToQt)
{
    const QLine line(0, 0, 50, 40);
    QImage image = Blank();
    auto refused = [&](auto prepare, const QColor& color = kInk) {
        QPainter painter(&image);
        prepare(painter);
        return !DrawThinLines(painter, &line, 1, color);
    };
    EXPECT_TRUE(refused([](QPainter& p) { p.scale(2, 2); }));
    EXPECT_TRUE(refused([](QPainter& p) { p.translate(0.5, 0); }));
    EXPECT_TRUE(refused([](QPainter& p) { p.setRenderHint(QPainter::Antialiasing); }));
    EXPECT_TRUE(refused([](QPainter& p) { p.setOpacity(0.5); }));
    EXPECT_TRUE(refused([](QPainter& p) { p.setCompositionMode(QPainter::CompositionMode_Xor); }));
    EXPECT_TRUE(refused([](QPainter&) {}, QColor(0, 0, 0, 128)));
    EXPECT_FALSE(refused([](QPainter& p) { p.translate(3, 4); }));

    QImage other = Blank(QSize(20, 20), QImage::Format_RGB888);
    QPainter painter(&other);
    EXPECT_FALSE(DrawThinLines(painter, &line, 1, kInk));
    QPixmap pixmap(20, 20);
    QPainter pixmapPainter(&pixmap);
    EXPECT_FALSE(DrawThinLines(pixmapPainter, &line, 1, kInk));
}
