#pragma once

#include <QDialog>
#include <QString>

#include "platform/helptopics.h"

#include "reports/reportfile.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The report window: output format, file name (with a browse button) and whether to open the
// result. The main window fills it from the report settings and reads the choices back.
class TFormReporter final : public QDialog {
    Q_OBJECT

public:
    // What closed the window: nothing yet, Create, Cancel (also X or Escape), or the last Help.
    enum TResult { ResultNone = 0, ResultCreate = 1, ResultCancel = 2, ResultHelp = 3 };

    static constexpr THelpTopic kHelpTopic = THelpTopic::Report;

    explicit TFormReporter(QWidget* owner = nullptr);

    TReportFormat Format() const;
    // Checks the format's button; the file name keeps its extension (as at start-up).
    void SetFormat(TReportFormat format);
    QString FileName() const;
    void SetFileName(const QString& name);
    // The file the report is written to: the name, trimmed, with the format's extension.
    QString OutputFileName() const;
    bool ShowResult() const;
    void SetShowResult(bool show);
    int Result() const { return m_result; }

    // Handlers, public for the tests that drive the window.
    void RadioButtonClick();
    void BitBtnFileNameClick();

private:
    void UpdateCreate();
    void CreateClick();
    bool MayReplaceOutput();

    QRadioButton* m_text = nullptr;
    QRadioButton* m_html = nullptr;
    QRadioButton* m_word = nullptr;
    QRadioButton* m_pdf = nullptr;
    QLineEdit* m_fileName = nullptr;
    QCheckBox* m_show = nullptr;
    QPushButton* m_create = nullptr;
    int m_result = ResultNone;
    // The name last chosen with browse, whose dialog has asked about replacing it already.
    QString m_browsedName;
};
