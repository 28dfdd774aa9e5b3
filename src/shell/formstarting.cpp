#include "shell/formstarting.h"

#include <QDialogButtonBox>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/dialogbuttons.h"
#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "platform/modalseam.h"

TFormStarting::TFormStarting(QWidget* owner, bool recentExists)
    : QDialog(owner), m_recentExists(recentExists)
{
    setObjectName("FormStarting");
    setWindowTitle("Select action");

    m_openLast = new QRadioButton("Open last project", this);
    m_openLast->setObjectName("RadioButtonOpenLast");
    m_createNew = new QRadioButton("Create new project", this);
    m_createNew->setObjectName("RadioButtonCreateNew");
    m_openExisting = new QRadioButton("Open existing project", this);
    m_openExisting->setObjectName("RadioButtonOpenExisting");
    m_labelFile = new QLabel("File:", this);
    m_labelFile->setObjectName("LabelFile");
    m_editFile = new QLineEdit(this);
    m_editFile->setObjectName("EditFile");
    m_editFile->setMinimumWidth(280);
    m_labelFile->setBuddy(m_editFile);
    m_browse = new QPushButton("Browse...", this);
    m_browse->setObjectName("ButtonBrowse");
    m_showAtStartUp = new QCheckBox("Show at start up", this);
    m_showAtStartUp->setObjectName("CheckBoxShowAtStartUp");
    m_showAtStartUp->setChecked(true);
    const TDialogButtons row =
        MakeOkCancelHelpButtons(this, {.Ok = "ButtonOK", .Cancel = "ButtonCancel", .Help = "ButtonHelp"});
    m_ok = row.Ok;
    QPushButton* cancel = row.Cancel;
    QPushButton* help = row.Help;

    auto* fileRow = new QHBoxLayout;
    fileRow->setContentsMargins(22, 0, 0, 0);
    fileRow->addWidget(m_labelFile);
    fileRow->addWidget(m_editFile, 1);
    fileRow->addWidget(m_browse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_openLast);
    layout->addWidget(m_createNew);
    layout->addWidget(m_openExisting);
    layout->addLayout(fileRow);
    layout->addSpacing(8);
    layout->addWidget(m_showAtStartUp);
    layout->addSpacing(4);
    layout->addWidget(row.Box);

    if (m_recentExists) {
        m_openLast->setChecked(true);
    } else {
        m_openLast->setEnabled(false);
        m_createNew->setChecked(true);
    }

    for (QRadioButton* radio : {m_openLast, m_createNew, m_openExisting})
        connect(radio, &QRadioButton::toggled, this, [this] { UpdateControls(); });
    connect(m_editFile, &QLineEdit::textChanged, this, [this] { UpdateControls(); });
    connect(m_browse, &QPushButton::clicked, this, [this] { ButtonBrowseClick(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
    connect(cancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(THelpTopic::Starting); });

    TLanguageController::Translate(*this);
    UpdateControls();
}

bool TFormStarting::ShowAtStartUp() const
{
    return m_showAtStartUp->isChecked();
}

void TFormStarting::UpdateControls()
{
    const bool existing = m_openExisting->isChecked();
    m_editFile->setEnabled(existing);
    m_labelFile->setEnabled(existing);
    m_browse->setEnabled(existing);
    bool ok = true;
    if (m_openLast->isChecked())
        ok = m_recentExists;
    else if (existing)
        ok = !m_editFile->text().trimmed().isEmpty();
    m_ok->setEnabled(ok);
}

void TFormStarting::ButtonBrowseClick()
{
    const QString path = Modal().OpenFileName(this, m_browse->text().remove('&'), QString(),
                                              "*.soi *.SOI");
    if (!path.isEmpty())
        m_editFile->setText(path.trimmed());
}

void TFormStarting::ButtonOKClick()
{
    if (m_openLast->isChecked())
        m_action = ActionOpenLast;
    else if (m_createNew->isChecked())
        m_action = ActionCreateNew;
    else
        m_action = ActionOpenExisting;
    m_path = m_editFile->text().trimmed();
    accept();
}

void TFormStarting::ButtonCancelClick()
{
    m_action = ActionNone;
    reject();
}
