// Every picture format of a sociogram shows the captions as the screen's drawing does: the same
// size (PDF and SVG too), and a cut caption cut the same way.
#include <gtest/gtest.h>

#include <memory>

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>

#include "platform/picturefile.h"
#include "support/core/tempdir.h"
#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociopanel.h"

namespace {

// Dark pixels in the caption strip of a node, and as far again either side of it.
int CaptionInk(const QImage& image, const TSocioGraphicControl& node)
{
    const QRect strip(node.x() - 40, node.y(), node.width() + 80, node.CaptionTextHeight() + 2);
    int n = 0;
    for (int y = strip.top(); y <= strip.bottom(); ++y)
        for (int x = std::max(0, strip.left()); x <= strip.right() && x < image.width(); ++x)
            n += image.pixelColor(x, y).lightness() < 100;
    return n;
}

} // namespace

TEST(SociogramPictureFormats, CaptionsKeepTheirSizeAndCutInEveryFormat)
{
    TSocioPanel panel;
    panel.SetBackColor(Qt::white);
    std::vector<TSocioGraphicControl*> nodes;
    const char* names[] = {"Finn Gallagher", "Grace Hughes", "Ola"};
    for (int i = 0; i < 3; ++i) {
        auto* node = new TSocioGraphicControl(&panel);
        node->SetCaption(QString::fromLatin1(names[i]));
        node->SetBColor(Qt::white);
        node->SetComponentStyle(csEllipse);
        node->SetFigureBackColor(QColor(200, 230, 230));
        node->SetLineColor(QColor(180, 180, 180));
        node->move(60 + i * 200, 40);
        nodes.push_back(node);
    }
    nodes[0]->resize(60, nodes[0]->height()); // too narrow: the caption is cut
    ASSERT_NE(nodes[0]->ShownCaption(), nodes[0]->Caption());
    const QSize size = panel.ContentsSize();
    const TDrawing draw = [&](QPainter& painter) { panel.PaintTo(painter); };
    const QImage screen = RenderPicture(size, draw);

    TTempDir dir;
    const QString base = QString::fromStdString(dir.Path().string());
    ASSERT_TRUE(WritePicture(base + "/g.svg", TPictureFormat::Svg, size, draw));
    ASSERT_TRUE(WritePicture(base + "/g.pdf", TPictureFormat::Pdf, size, draw));
    ASSERT_TRUE(WritePicture(base + "/g.png", TPictureFormat::Png, size, draw));
    QImage svg(size, QImage::Format_RGB32);
    svg.fill(Qt::white);
    QPainter painter(&svg);
    QSvgRenderer(base + "/g.svg").render(&painter);
    painter.end();
    // At 72 dpi a point of the page is a pixel of the picture.
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {"-r", "72", "-png", "-singlefile", base + "/g.pdf", base + "/pdf"});
    const QImage pdf(base + "/pdf.png");
    ASSERT_EQ(pdf.size(), size);
    const QImage png(base + "/g.png");
    for (const TSocioGraphicControl* node : nodes) {
        const double ink = CaptionInk(screen, *node);
        ASSERT_GT(ink, 20) << node->Caption().toStdString();
        EXPECT_EQ(CaptionInk(png, *node), ink);
        const std::pair<const char*, const QImage*> vectors[] = {{"svg", &svg}, {"pdf", &pdf}};
        for (const auto& [name, image] : vectors) {
            const double ratio = CaptionInk(*image, *node) / ink;
            EXPECT_GT(ratio, 0.7) << name << ' ' << node->Caption().toStdString();
            EXPECT_LT(ratio, 1.4) << name << ' ' << node->Caption().toStdString();
        }
    }
}
