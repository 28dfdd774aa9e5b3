#pragma once

#include <functional>

#include <QObject>
#include <QString>

#include "platform/helptopics.h"

class QDialog;
class QPushButton;

// Which buttons the question box has, left to right.
enum TMessageDlgType {
    mdOk,           // OK
    mdOkHelp,       // OK, Help
    mdOkCancel,     // OK, Cancel
    mdOkCancelHelp, // OK, Cancel, Help
    mdYesNo,        // Yes, No
    mdYesNoHelp,    // Yes, No, Help
    mdYesNoCancelHelp // Yes, No, Cancel, Help; Escape and the close box answer Cancel
};

// A modal question box whose buttons are labelled from the message catalogue; Execute shows it
// and returns the code of the button pressed. The box is built anew at each Execute.
class TMessageDialog final : public QObject {
    Q_OBJECT
public:
    using enum TMessageDlgType;

    // Button codes returned by Execute; 0 until a button has been pressed on this component.
    static constexpr int kNone = 0;
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;
    static constexpr int kYes = 3;
    static constexpr int kNo = 4;
    static constexpr int kHelp = 5;

    explicit TMessageDialog(QObject* owner = nullptr);
    ~TMessageDialog() override;

    QString Title;         // caption of the box (at most 255 characters are shown)
    THelpTopic HelpContext = THelpTopic::Contents; // help topic of the Help button
    TMessageDlgType DialogType = mdOk;
    QString Caption;       // the question (at most 255 characters are shown)

    std::function<void()> OKClickNotifyEvent;
    std::function<void()> CancelClickNotifyEvent;
    std::function<void()> HelpClickNotifyEvent;
    std::function<void()> YesClickNotifyEvent;
    std::function<void()> NoClickNotifyEvent;

    // Shows the box modally (through Modal()) and returns the code of the last button pressed on
    // this component: Help keeps the box open; closing the box without a button returns the code
    // kept from earlier presses (0 if none ever was).
    int Execute();

    int LastCode() const { return m_code; }

private:
    void Press(int code, QDialog& box);

    int m_code = kNone;
};
