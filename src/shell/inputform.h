#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;
class TUserTable;

// The login dialog of a project that asks for one: a user name, prefilled with the name typed
// last time (kept in the settings under valueName), and a password. OK checks both against the
// project's users; a wrong name or password is told and the dialog stays open for another try.
class TInputForm final : public QDialog {
    Q_OBJECT

public:
    TInputForm(const TUserTable& users, QString valueName, QWidget* parent = nullptr);

    // True only after a name and password matched a user.
    bool Succeeded() const { return m_succeeded; }

private:
    void OkClicked();
    void UpdateOkButton();

    const TUserTable& m_users;
    QString m_valueName;
    bool m_succeeded = false;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_ok = nullptr;
};
