#include "platform/helpviewer.h"

#include <algorithm>

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/langcontroller.h"
#include "platform/modalseam.h"
#include "i18n/langconv.h"

namespace {

// The help window: the pages of the help folder in a browser with Contents, Back and Forward.
class THelpForm final : public QWidget {
public:
    THelpForm()
    {
        setObjectName(QStringLiteral("HelpForm"));
        setWindowFlag(Qt::Window);
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_QuitOnClose, false); // closing the main window still ends the program
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
                [this] { m_browser->setSource(QUrl::fromLocalFile(HelpPagePath(THelpTopic::Contents))); });
        connect(m_browser, &QTextBrowser::anchorClicked, this, &THelpForm::FollowLink);
        TLanguageController::Translate(*this);
    }

    // Puts the window beside the window the user works in (right of it, else left of it, else
    // over its right edge), title bar and all on the screen.
    void PlaceBeside(const QWidget* anchor)
    {
        const QScreen* screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const QRect area = screen->availableGeometry();
        // The frame is known once the window has been shown; before that, a usual title bar.
        QMargins frame(6, 32, 6, 6);
        if (isVisible() && frameGeometry() != geometry())
            frame = QMargins(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                             frameGeometry().right() - geometry().right(),
                             frameGeometry().bottom() - geometry().bottom());
        const QSize outer = area.size().boundedTo(QSize(720 + frame.left() + frame.right(),
                                                         560 + frame.top() + frame.bottom()));
        QRect place(QPoint(), outer);
        if (!anchor) {
            place.moveCenter(area.center());
        } else {
            // The wider free side takes the window, narrowed to fit it; with no usable side it
            // goes over the screen's right edge part of the anchor.
            const QRect beside = anchor->frameGeometry();
            const int rightRoom = area.right() - beside.right();
            const int leftRoom = beside.left() - area.left();
            const int narrowest = 360 + frame.left() + frame.right();
            if (std::max(rightRoom, leftRoom) >= narrowest) {
                place.setWidth(std::min(outer.width(), std::max(rightRoom, leftRoom)));
                if (rightRoom >= leftRoom)
                    place.moveLeft(beside.right() + 1);
                else
                    place.moveRight(beside.left() - 1);
            } else {
                place.moveRight(area.right());
            }
            place.moveTop(beside.top());
        }
        place.moveLeft(std::clamp(place.left(), area.left(), area.right() + 1 - place.width()));
        place.moveTop(std::clamp(place.top(), area.top(), area.bottom() + 1 - place.height()));
        setGeometry(place.marginsRemoved(frame));
    }

    void ShowPage(const QString& path) { m_browser->setSource(QUrl::fromLocalFile(path)); }

    // A modal dialog blocks every window but its own; while one is open the help window becomes
    // its child window so that it can be read and scrolled, and it is set free again when the
    // dialog goes.
    void AttachToModal()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == parentWidget())
            return;
        MoveUnder(modal);
        modal->installEventFilter(this);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            close();
            return;
        }
        QWidget::keyPressEvent(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parentWidget() && (event->type() == QEvent::Hide || event->type() == QEvent::Close)) {
            watched->removeEventFilter(this);
            MoveUnder(nullptr);
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    void MoveUnder(QWidget* owner)
    {
        const bool visible = isVisible();
        const QRect place = geometry();
        setParent(owner, Qt::Window);
        setGeometry(place);
        if (visible)
            show();
    }

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
            m_browser->setSource(QUrl::fromLocalFile(HelpPagePath(THelpTopic::Contents)));
    }

    QTextBrowser* m_browser;
};

QPointer<THelpForm> g_helpForm;

} // namespace

QString HelpPagePath(THelpTopic topic)
{
    const int number = HelpTopicNumber(topic);
    const QString folder = QString::fromStdString(HelpDir()) + QStringLiteral("/");
    const QString page = folder + QString::number(number) + QStringLiteral(".html");
    if (number > 0 && QFileInfo::exists(page))
        return page;
    return folder + QStringLiteral("index.html");
}

void ShowHelpTopic(THelpTopic topic)
{
    if (!g_helpForm)
        g_helpForm = new THelpForm;
    const bool placed = g_helpForm->isVisible();
    QWidget* anchor = QApplication::activeModalWidget();
    if (!anchor)
        anchor = QApplication::activeWindow();
    if (anchor == g_helpForm)
        anchor = nullptr;
    g_helpForm->ShowPage(HelpPagePath(topic));
    g_helpForm->AttachToModal();
    if (!placed)
        g_helpForm->PlaceBeside(anchor);
    g_helpForm->show();
    g_helpForm->raise();
    g_helpForm->activateWindow();
}

QWidget* HelpWindow()
{
    return g_helpForm;
}
