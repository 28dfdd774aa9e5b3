#pragma once

#include <QDialog>

#include "shell/findkind.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The find dialog: a text, the kind of object to look for and two options (case sensitive,
// whole string). Find is enabled only while the text holds more than blanks.
class TFindForm final : public QDialog {
    Q_OBJECT

public:
    explicit TFindForm(QWidget* parent = nullptr);

    // Shows a remembered search: the text trimmed, the type's list position, the option flags.
    void Fill(const QString& text, TFindType type, TFindFlags flags);

    bool FindPressed() const { return m_findPressed; }
    QString Text() const;  // trimmed
    TFindType Type() const;
    TFindFlags Flags() const; // from the check boxes as they stand

private:
    void UpdateFindButton();

    bool m_findPressed = false;
    QLineEdit* m_text = nullptr;
    QComboBox* m_type = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    QCheckBox* m_wholeString = nullptr;
    QPushButton* m_find = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_help = nullptr;
};
