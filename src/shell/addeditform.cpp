#include "shell/addeditform.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/dialogbuttons.h"
#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "shell/entityform.h"

namespace {

QLabel* MakeUserLabel(QWidget* parent, const QString& name, QWidget* buddy)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

QLineEdit* MakePasswordEdit(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(255);
    return edit;
}

} // namespace

TAddEditForm::TAddEditForm(TMode mode, THelpTopic helpTopic, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AddEditForm"));
    setModal(true);
    setSizeGripEnabled(true);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("NameEdit"));
    m_name->setMaxLength(255);
    m_name->setMinimumWidth(280);
    m_password = MakePasswordEdit(this, QStringLiteral("PasswordEdit"));
    m_confirm = MakePasswordEdit(this, QStringLiteral("ConfirmEdit"));
    m_info = new QPlainTextEdit(this);
    m_info->setObjectName(QStringLiteral("InfoMemo"));
    m_info->setTabChangesFocus(true);
    m_info->setMinimumHeight(80);

    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow(MakeUserLabel(this, QStringLiteral("NameLabel"), m_name), m_name);
    fields->addRow(MakeUserLabel(this, QStringLiteral("PasswordLabel"), m_password), m_password);
    fields->addRow(MakeUserLabel(this, QStringLiteral("ConfirmLabel"), m_confirm), m_confirm);
    if (mode == TMode::Change) {
        m_noPassword = new QCheckBox(this);
        m_noPassword->setObjectName(QStringLiteral("NoPasswordCheckBox"));
        fields->addRow(QString(), m_noPassword);
        connect(m_noPassword, &QCheckBox::toggled, this, &TAddEditForm::UpdateControls);
    }

    const TDialogButtons row = MakeOkCancelHelpButtons(this);
    m_ok = row.Ok;
    QPushButton* cancel = row.Cancel;
    QPushButton* help = row.Help;
    QDialogButtonBox* buttons = row.Box;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(MakeUserLabel(this, QStringLiteral("InfoLabel"), m_info));
    layout->addWidget(m_info, 1);
    layout->addWidget(buttons);

    connect(m_name, &QLineEdit::textChanged, this, &TAddEditForm::UpdateControls);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [helpTopic] { ShowHelpTopic(helpTopic); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, help, &QPushButton::click);
    UpdateControls();
    TLanguageController::Translate(*this);
    // Caption and confirm button tell adding from changing.
    const bool adding = mode == TMode::Add;
    setWindowTitle(CatalogueText(adding ? "ADD_CLIENT_FORM_CAP" : "EDIT_CLIENT_FORM_CAP"));
    m_ok->setText(CatalogueText(adding ? "EDIT_CLIENT_ADD_BTN_CAP" : "EDIT_CLIENT_CHANGE_BTN_CAP"));
}

QString TAddEditForm::NameText() const
{
    return m_name->text();
}

QString TAddEditForm::PasswordText() const
{
    return m_password->text();
}

QString TAddEditForm::ConfirmText() const
{
    return m_confirm->text();
}

std::string TAddEditForm::DescriptionText() const
{
    return DescriptionToStore(m_info->toPlainText());
}

bool TAddEditForm::ClearPassword() const
{
    return m_noPassword && m_noPassword->isChecked();
}

void TAddEditForm::Fill(const QString& name, const std::string& description)
{
    m_name->setText(name);
    m_info->setPlainText(DescriptionFromStore(description));
    ClearPasswords();
}

void TAddEditForm::ClearPasswords()
{
    m_password->clear();
    m_confirm->clear();
}

void TAddEditForm::UpdateControls()
{
    m_ok->setEnabled(!m_name->text().trimmed().isEmpty());
    const bool typed = !ClearPassword();
    m_password->setEnabled(typed);
    m_confirm->setEnabled(typed);
}
