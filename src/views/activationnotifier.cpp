#include "views/activationnotifier.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QWidget>

TActivationNotifier::TActivationNotifier(QWidget* window, TNotifyCode code)
    : QObject(window), m_window(window), m_code(code)
{
    window->installEventFilter(this);
}

void TActivationNotifier::WatchSubWindow()
{
    auto* sub = qobject_cast<QMdiSubWindow*>(m_window->parentWidget());
    if (sub == m_watchedSubWindow)
        return;
    m_watchedSubWindow = sub;
    if (sub) {
        connect(sub, &QMdiSubWindow::windowStateChanged, this,
                [this, sub](Qt::WindowStates oldState, Qt::WindowStates newState) {
                    if (sub == m_watchedSubWindow && (newState & Qt::WindowActive) &&
                        !(oldState & Qt::WindowActive))
                        SendNotify(m_code, m_window);
                });
    }
}

bool TActivationNotifier::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::ParentChange:
            WatchSubWindow();
            break;
        case QEvent::WindowActivate:
            if (m_window->isWindow())
                SendNotify(m_code, m_window);
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
