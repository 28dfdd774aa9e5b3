#pragma once

#include <QPointer>
#include <QWidget>

// Codes of the notifications that child windows, the objects tree and the tool bar window
// send to the main window.
enum class TNotifyCode : int {
    ViewActivated = 501,
    ViewCreated = 502,
    TreeSelectionChanged = 503,
    ChildClosing = 504,
    ObjectCreated = 506,
    ChoicesActivated = 507,
    ToolbarsChanged = 508,
    WantPositive = 509,
    WantNegative = 510,
    WantAny = 511,
    ObjectChanged = 512,
    ObjectRemoved = 513,
    OpenChoices = 515,
    OpenIndexes = 516,
    OpenGraph = 517,
    OpenTarget = 518,
    OpenStatus = 519,
    OpenCompare = 520,
    // An undo or redo put the project's tables back as they were: the tree and the open windows
    // show them again (sender nullptr).
    TablesRestored = 521,
};

// The receiver of notifications: the main window, or a recorder in tests.
class TNotifyReceiver {
public:
    virtual ~TNotifyReceiver() = default;
    virtual void HandleNotify(TNotifyCode code, QWidget* sender) = 0;
};

// The receiver in force (nullptr: notifications are dropped).
TNotifyReceiver* NotifyReceiver();
// Installs a receiver (nullptr: none); returns the previous one.
TNotifyReceiver* SetNotifyReceiver(TNotifyReceiver* receiver);

// "Send": handled before the call returns.
void SendNotify(TNotifyCode code, QWidget* sender);
// "Post": queued on the event loop; a sender destroyed meanwhile arrives as nullptr.
void PostNotify(TNotifyCode code, QWidget* sender);
