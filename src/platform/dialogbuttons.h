#pragma once

class QDialogButtonBox;
class QPushButton;
class QWidget;

// The OK, Cancel and Help row of the dialogs. The buttons are named "OKButton", "CancelButton"
// and "HelpButton", so the language file captions them; OK is the default button.
struct TDialogButtons {
    QDialogButtonBox* Box = nullptr;
    QPushButton* Ok = nullptr;
    QPushButton* Cancel = nullptr;
    QPushButton* Help = nullptr;
};

TDialogButtons MakeOkCancelHelpButtons(QWidget* parent);
