#include "platform/helpviewer.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/langcontroller.h"
#include "platform/modalseam.h"
#include "settings/langconv.h"

namespace {

// The help window: the pages of the help folder in a browser with Contents, Back and Forward.
class THelpForm final : public QWidget {
public:
    THelpForm()
    {
        setObjectName(QStringLiteral("HelpForm"));
        setWindowFlag(Qt::Window);
        setAttribute(Qt::WA_DeleteOnClose);
        resize(720, 560);

        auto* contents = new QPushButton(this);
        contents->setObjectName(QStringLiteral("ContentsButton"));
        auto* back = new QPushButton(this);
        back->setObjectName(QStringLiteral("BackButton"));
        auto* forward = new QPushButton(this);
        forward->setObjectName(QStringLiteral("ForwardButton"));
        m_browser = new QTextBrowser(this);
        m_browser->setObjectName(QStringLiteral("HelpBrowser"));
        m_browser->setOpenLinks(false);

        auto* buttons = new QHBoxLayout;
        buttons->addWidget(contents);
        buttons->addWidget(back);
        buttons->addWidget(forward);
        buttons->addStretch();
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(buttons);
        layout->addWidget(m_browser);

        back->setEnabled(false);
        forward->setEnabled(false);
        connect(m_browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
        connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
        connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
        connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
        connect(contents, &QPushButton::clicked, this,
                [this] { m_browser->setSource(QUrl::fromLocalFile(HelpPagePath(0))); });
        connect(m_browser, &QTextBrowser::anchorClicked, this, &THelpForm::FollowLink);
        TLanguageController::Translate(*this);
    }

    void ShowPage(const QString& path) { m_browser->setSource(QUrl::fromLocalFile(path)); }

private:
    // Pages of the help folder open here (the contents for a page not written yet); web and mail
    // addresses go to the desktop.
    void FollowLink(const QUrl& link)
    {
        const QUrl target = m_browser->source().resolved(link);
        if (!target.isLocalFile())
            Modal().OpenUrl(target.toString());
        else if (QFileInfo::exists(target.toLocalFile()))
            m_browser->setSource(target);
        else
            m_browser->setSource(QUrl::fromLocalFile(HelpPagePath(0)));
    }

    QTextBrowser* m_browser;
};

QPointer<THelpForm> g_helpForm;

} // namespace

QString HelpPagePath(int topic)
{
    const QString folder = QString::fromStdString(ExecutableDir()) + QStringLiteral("/help/");
    const QString page = folder + QString::number(topic) + QStringLiteral(".html");
    if (topic > 0 && QFileInfo::exists(page))
        return page;
    return folder + QStringLiteral("index.html");
}

void ShowHelpTopic(int topic)
{
    if (!g_helpForm)
        g_helpForm = new THelpForm;
    g_helpForm->ShowPage(HelpPagePath(topic));
    g_helpForm->show();
    g_helpForm->raise();
    g_helpForm->activateWindow();
}

QWidget* HelpWindow()
{
    return g_helpForm;
}
