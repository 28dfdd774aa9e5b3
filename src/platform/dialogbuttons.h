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

// The component names of the three buttons and the OK button's caption before translation, for
// dialogs whose design names them otherwise (e.g. "ButtonOK", "ButtonCreate").
struct TDialogButtonNames {
    const char* Ok = "OKButton";
    const char* Cancel = "CancelButton";
    const char* Help = "HelpButton";
    const char* OkText = "OK";
};

TDialogButtons MakeOkCancelHelpButtons(QWidget* parent, const TDialogButtonNames& names = {});
