#include "shell/formabout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/langcontroller.h"
#include "platform/modalseam.h"
#include "shell/shellicons.h"
#include "i18n/langconv.h"
#include "shell/splashform.h"
#include "util/error.h"

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

} // namespace

TFormAbout::TFormAbout(QWidget* owner) : QDialog(owner)
{
    setObjectName("FormAbout");
    setWindowTitle("About");

    auto* picture = new QLabel(this);
    picture->setObjectName("ImageLogo");
    picture->setPixmap(ShellIcon(TShellIcon::Tremlow).pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);
    QLabel* product = MakeLabel(this, "LabelProduct");
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    product->setFont(big);
    QLabel* description = MakeLabel(this, "LabelDescription");
    QLabel* versionTitle = MakeLabel(this, "LabelVersionTitle");
    auto* version = new QLabel(QStringLiteral(TREMLOW_VERSION), this);
    version->setObjectName("EditVersion");
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QLabel* rights = MakeLabel(this, "LabelRights");
    auto* homePage = new QPushButton(this);
    homePage->setObjectName("ButtonHomePage");
    auto* support = new QPushButton(this);
    support->setObjectName("ButtonSupport");
    auto* thanks = new QPushButton(this);
    thanks->setObjectName("ButtonAcknowledgments");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);

    auto* versionRow = new QHBoxLayout;
    versionRow->addWidget(versionTitle);
    versionRow->addWidget(version, 1);
    auto* text = new QVBoxLayout;
    text->addWidget(product);
    text->addWidget(description);
    text->addLayout(versionRow);
    text->addWidget(rights);
    text->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* links = new QHBoxLayout;
    links->addWidget(homePage);
    links->addWidget(support);
    links->addWidget(thanks);
    links->addStretch(1);
    links->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addLayout(links);
    setMinimumWidth(460);

    connect(homePage, &QPushButton::clicked, this,
            [this] { OpenAddress(CatalogueText("HOME_PAGE_URL")); });
    connect(support, &QPushButton::clicked, this,
            [this] { OpenAddress(CatalogueText("SUPPORT_URL")); });
    connect(thanks, &QPushButton::clicked, this, [this] {
        TFormAcknowledgments window(this);
        Modal().Exec(window);
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    TLanguageController::Translate(*this);
    version->setText(QStringLiteral(TREMLOW_VERSION));
    // The same rights notice as the splash window, from the program's version information.
    rights->setText(RightsNotice());
    // The addresses themselves are shown as the buttons' hints.
    homePage->setToolTip(CatalogueText("HOME_PAGE_URL"));
    support->setToolTip(CatalogueText("SUPPORT_URL"));
}

void TFormAbout::OpenAddress(const QString& url)
{
    if (!Modal().OpenUrl(url))
        Modal().Information(this, windowTitle(), CatalogueText("NO_IEXPLORER_MSG") + QLatin1Char('\n') + url);
}

TFormAcknowledgments::TFormAcknowledgments(QWidget* owner) : QDialog(owner)
{
    setObjectName("FormAcknowledgments");
    setWindowTitle("Acknowledgments");

    QLabel* intro = MakeLabel(this, "LabelIntro");
    QLabel* libraries = MakeLabel(this, "LabelLibraries");
    libraries->setTextFormat(Qt::RichText);
    libraries->setTextInteractionFlags(Qt::TextBrowserInteraction);
    libraries->setOpenExternalLinks(false);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(libraries);
    layout->addLayout(buttons);
    // Wide enough for each library and its licence to stay on one line.
    setMinimumWidth(540);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    TLanguageController::Translate(*this);
}
