#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The start-up choice window: open the last project, create a new one or open another file.
class TFormStarting final : public QDialog {
    Q_OBJECT

public:
    enum TAction { ActionNone = 0, ActionOpenLast = 1, ActionCreateNew = 2, ActionOpenExisting = 3 };

    TFormStarting(QWidget* owner, bool recentExists);

    int Action() const { return m_action; }
    QString Path() const { return m_path; }
    bool ShowAtStartUp() const;

private:
    void UpdateControls();
    void ButtonBrowseClick();
    void ButtonOKClick();
    void ButtonCancelClick();

    bool m_recentExists;
    int m_action = ActionNone;
    QString m_path;
    QRadioButton* m_openLast = nullptr;
    QRadioButton* m_createNew = nullptr;
    QRadioButton* m_openExisting = nullptr;
    QLabel* m_labelFile = nullptr;
    QLineEdit* m_editFile = nullptr;
    QPushButton* m_browse = nullptr;
    QCheckBox* m_showAtStartUp = nullptr;
    QPushButton* m_ok = nullptr;
};
