// Renders the application icon's SVG into the PNG sizes an icon theme holds, at build time:
//   tremlow_rendericon ICON.svg OUTPUT_FOLDER NAME SIZE...
// writes OUTPUT_FOLDER/<SIZE>x<SIZE>/apps/NAME.png for each size.
#include <cstdlib>
#include <iostream>
#include <string>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::cerr << "usage: tremlow_rendericon ICON.svg OUTPUT_FOLDER NAME SIZE...\n";
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::cerr << "tremlow_rendericon: cannot read the icon " << argv[1] << '\n';
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || size > 1024) {
            std::cerr << "tremlow_rendericon: not an icon size: " << argv[i] << '\n';
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(output).arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            std::cerr << "tremlow_rendericon: cannot write " << file.toStdString() << '\n';
            return 1;
        }
    }
    return 0;
}
