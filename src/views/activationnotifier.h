#pragma once

#include <QObject>

#include "views/notify.h"

class QEvent;
class QWidget;

// Tells the main window with a notification code when a child window becomes the active one:
// when the MDI sub-window holding it is activated, or when it is itself a top-level window and
// is activated. It is a child of the window it watches and lives as long as that window.
class TActivationNotifier final : public QObject {
public:
    TActivationNotifier(QWidget* window, TNotifyCode code);
    TActivationNotifier(const TActivationNotifier&) = delete;
    TActivationNotifier& operator=(const TActivationNotifier&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Follows the window into the sub-window it was just put into.
    void WatchSubWindow();

    QWidget* m_window;
    TNotifyCode m_code;
    QWidget* m_watchedSubWindow = nullptr;
};
