#pragma once

#include <QDialog>
#include <QString>

#include "platform/helptopics.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The dialog that adds a user to the users list or changes one: login, password typed twice and
// a description. Changing a user leaves the password as it is while both password boxes stay
// empty; "No password" sets an empty one.
class TAddEditForm final : public QDialog {
    Q_OBJECT

public:
    enum class TMode { Add, Change };

    TAddEditForm(TMode mode, THelpTopic helpTopic, QWidget* parent = nullptr);

    QString NameText() const;
    QString PasswordText() const;
    QString ConfirmText() const;
    // The description with CR LF line breaks, as the project keeps it.
    std::string DescriptionText() const;
    bool ClearPassword() const;

    void Fill(const QString& name, const std::string& description);
    void ClearPasswords();

private:
    void UpdateControls();

    QLineEdit* m_name = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_confirm = nullptr;
    QCheckBox* m_noPassword = nullptr;
    QPlainTextEdit* m_info = nullptr;
    QPushButton* m_ok = nullptr;
};
