#include "shell/formreporter.h"

#include <QDialogButtonBox>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "platform/messagedialog.h"
#include "platform/modalseam.h"
#include "i18n/langconv.h"
#include "platform/dialogbuttons.h"

namespace {

QRadioButton* Radio(QWidget* parent, const char* name, const char* caption)
{
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(name);
    return radio;
}

QString Text(const char* key, const char* fallback)
{
    return HasLangConv() && LangConv().HasText(key) ? QString::fromStdString(LangConv().GetText(key))
                                                    : QString::fromUtf8(fallback);
}

} // namespace

TFormReporter::TFormReporter(QWidget* owner) : QDialog(owner)
{
    setObjectName("FormReporter");
    setWindowTitle("Report Master");
    resize(651, 234);

    auto* group = new QGroupBox("Report type", this);
    group->setObjectName("GroupBoxReportType");
    m_text = Radio(group, "RadioButtonIsText", "Text");
    m_html = Radio(group, "RadioButtonIsHTML", "HTML");
    m_word = Radio(group, "RadioButtonIsWord", "Word");
    m_pdf = Radio(group, "RadioButtonIsPDF", "PDF");
    m_text->setChecked(true);
    auto* radios = new QVBoxLayout(group);
    for (QRadioButton* radio : {m_text, m_html, m_word, m_pdf}) {
        radios->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this, [this] { RadioButtonClick(); });
    }

    auto* label = new QLabel("Report file name:", this);
    label->setObjectName("LabelReportFileName");
    m_fileName = new QLineEdit(this);
    m_fileName->setObjectName("EditFileName");
    m_fileName->setMaxLength(32767); // paths are not cut
    label->setBuddy(m_fileName);
    auto* browse = new QToolButton(this);
    browse->setObjectName("BitBtnFileName");
    browse->setText("...");
    m_show = new QCheckBox("Open in default program", this);
    m_show->setObjectName("CheckBoxShow");
    m_show->setChecked(true);

    const TDialogButtons row = MakeOkCancelHelpButtons(
        this, {.Ok = "ButtonCreate", .Cancel = "ButtonCancel", .Help = "ButtonHelp", .OkText = "Create"});
    m_create = row.Ok;
    QPushButton* cancel = row.Cancel;
    QPushButton* help = row.Help;

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_fileName, 1);
    fileRow->addWidget(browse);
    auto* fileBox = new QVBoxLayout;
    fileBox->addWidget(label);
    fileBox->addLayout(fileRow);
    fileBox->addWidget(m_show);
    fileBox->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(group);
    top->addLayout(fileBox, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(row.Box);

    connect(m_fileName, &QLineEdit::textChanged, this, [this] { UpdateCreate(); });
    connect(browse, &QToolButton::clicked, this, [this] { BitBtnFileNameClick(); });
    connect(m_create, &QPushButton::clicked, this, [this] { CreateClick(); });
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_result = ResultCancel;
        reject();
    });
    connect(help, &QPushButton::clicked, this, [this] {
        m_result = ResultHelp;
        ShowHelpTopic(kHelpTopic);
    });
    // X and Escape close the window as Cancel does.
    connect(this, &QDialog::rejected, this, [this] {
        if (m_result != ResultCreate)
            m_result = ResultCancel;
    });

    TLanguageController::Translate(*this);
    UpdateCreate();
}

TReportFormat TFormReporter::Format() const
{
    if (m_html->isChecked())
        return TReportFormat::Html;
    if (m_word->isChecked())
        return TReportFormat::Word;
    if (m_pdf->isChecked())
        return TReportFormat::Pdf;
    return TReportFormat::Text;
}

void TFormReporter::SetFormat(TReportFormat format)
{
    switch (format) {
    case TReportFormat::Html:
        m_html->setChecked(true);
        break;
    case TReportFormat::Word:
        m_word->setChecked(true);
        break;
    case TReportFormat::Pdf:
        m_pdf->setChecked(true);
        break;
    case TReportFormat::Text:
        m_text->setChecked(true);
        break;
    }
}

QString TFormReporter::FileName() const
{
    return m_fileName->text();
}

void TFormReporter::SetFileName(const QString& name)
{
    m_fileName->setText(name);
}

QString TFormReporter::OutputFileName() const
{
    return QString::fromStdString(EnsureReportExtension(FileName().toStdString(), ReportExtension(Format())));
}

bool TFormReporter::ShowResult() const
{
    return m_show->isChecked();
}

void TFormReporter::SetShowResult(bool show)
{
    m_show->setChecked(show);
}

void TFormReporter::UpdateCreate()
{
    m_create->setEnabled(!m_fileName->text().trimmed().isEmpty());
}

void TFormReporter::CreateClick()
{
    if (!MayReplaceOutput())
        return;
    m_result = ResultCreate;
    accept();
}

// An existing file is replaced only when the user says so; No keeps the window open for another name.
bool TFormReporter::MayReplaceOutput()
{
    const QString name = OutputFileName();
    if (!QFileInfo::exists(name) || name == m_browsedName)
        return true;
    TMessageDialog box(this);
    box.DialogType = mdYesNo;
    box.Title = windowTitle();
    box.Caption = QDir::toNativeSeparators(name) + QStringLiteral(": ") +
                  Text("REPORT_FILE_REPLACE", "This file already exists. Replace it with the new report?");
    return box.Execute() == TMessageDialog::kYes;
}

void TFormReporter::RadioButtonClick()
{
    const std::string name = ChangeReportExtension(m_fileName->text().toStdString(), ReportExtension(Format()));
    m_fileName->setText(QString::fromStdString(name));
}

void TFormReporter::BitBtnFileNameClick()
{
    auto filter = [](const char* key, const char* fallback, const char* pattern) {
        return Text(key, fallback) + " (" + pattern + ")";
    };
    const QString filters = QStringList{filter("REPORT_FILTER_TEXT", "Text files", "*.txt"),
                                        filter("REPORT_FILTER_HTML", "HTML files", "*.html"),
                                        filter("REPORT_FILTER_WORD", "Word files", "*.docx"),
                                        filter("REPORT_FILTER_PDF", "PDF files", "*.pdf")}
                                .join(";;");
    // The platform's save dialog asks before replacing a file and lets the user name a new one.
    const QString chosen = Modal().SaveFileName(this, windowTitle(), m_fileName->text().trimmed(), filters);
    if (!chosen.isEmpty()) {
        m_browsedName = chosen;
        m_fileName->setText(chosen);
    }
}
