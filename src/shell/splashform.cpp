#include "shell/splashform.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/langcontroller.h"
#include "shell/shellicons.h"

namespace {

// A small sociogram: five members on a ring joined by choice arrows.
QPixmap SociogramPicture(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size / 2.0, size / 2.0);
    const double radius = size * 0.36;
    QPointF nodes[5];
    for (int i = 0; i < 5; ++i) {
        const double angle = -M_PI / 2 + i * 2 * M_PI / 5;
        nodes[i] = centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    const int links[][2] = {{0, 1}, {1, 0}, {0, 2}, {2, 3}, {3, 0}, {4, 0}, {1, 3}};
    p.setPen(QPen(QColor(40, 90, 170), 1.6));
    for (const auto& l : links)
        p.drawLine(nodes[l[0]], nodes[l[1]]);
    p.setPen(QPen(QColor(20, 50, 110), 1.2));
    const double r = size * 0.08;
    for (int i = 0; i < 5; ++i) {
        p.setBrush(i == 0 ? QColor(240, 170, 60) : QColor(150, 190, 240));
        p.drawEllipse(nodes[i], r, r);
    }
    return picture;
}

QLabel* MakeLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

QString ProductName()
{
    return QStringLiteral("Tremlow");
}

QString ProductVersion()
{
    return QStringLiteral(TREMLOW_VERSION);
}

QString RightsNotice()
{
    return CatalogueText("RIGHTS_NOTICE").arg(QStringLiteral("2026 Orvenic Group"));
}

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::SplashScreen)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(440, 230);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("PanelSplash"));
    panel->setFrameShape(QFrame::Box);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, QColor(30, 30, 30));
    panel->setPalette(white);

    auto* logo = MakeLabel(panel, "ImageLogo");
    logo->setPixmap(ShellIcon(TShellIcon::Tremlow).pixmap(64, 64));
    auto* sociogram = MakeLabel(panel, "ImageSociogram");
    sociogram->setPixmap(SociogramPicture(120));
    QLabel* product = MakeLabel(panel, "LabelProductName");
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    product->setFont(big);
    product->setStyleSheet(QStringLiteral("color: #1c3f7a"));
    QLabel* description = MakeLabel(panel, "LabelDescription");
    description->setWordWrap(true);
    QLabel* version = MakeLabel(panel, "LabelVersion");
    QLabel* rights = MakeLabel(panel, "LabelRights");
    QFont small = rights->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    rights->setFont(small);
    QLabel* loading = MakeLabel(panel, "LabelLoading");
    loading->setFont(small);

    auto* title = new QHBoxLayout;
    title->addWidget(logo);
    title->addWidget(product, 1);
    auto* text = new QVBoxLayout;
    text->addLayout(title);
    text->addWidget(description);
    text->addWidget(version);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(text, 1);
    top->addWidget(sociogram, 0, Qt::AlignVCenter);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(18, 16, 18, 14);
    column->addLayout(top, 1);
    column->addWidget(loading);
    column->addWidget(rights);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    TLanguageController::Translate(*this);
    // The version information replaces the translated captions of these labels.
    product->setText(ProductName());
    version->setText(version->text() + QLatin1Char(' ') + ProductVersion());
    rights->setText(RightsNotice());

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSplashForm::ShowNow()
{
    show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}
