#include "shell/inputform.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/dialogbuttons.h"
#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "settings/regs.h"
#include "shell/entityform.h"
#include "store/users.h"
#include "util/text.h"

namespace {

constexpr THelpTopic kLoginHelpTopic = THelpTopic::Login;

QLabel* MakeLoginLabel(QWidget* parent, const QString& name, QWidget* buddy)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TInputForm::TInputForm(const TUserTable& users, QString valueName, QWidget* parent)
    : QDialog(parent), m_users(users), m_valueName(std::move(valueName))
{
    setObjectName(QStringLiteral("InputForm"));
    setModal(true);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("PsychNameEdit"));
    m_name->setMinimumWidth(240);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("PasswordEdit"));
    m_password->setEchoMode(QLineEdit::Password);

    const TDialogButtons row = MakeOkCancelHelpButtons(this);
    m_ok = row.Ok;
    QPushButton* cancel = row.Cancel;
    QPushButton* help = row.Help;
    QDialogButtonBox* buttons = row.Box;

    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow(MakeLoginLabel(this, QStringLiteral("PsychNameLabel"), m_name), m_name);
    fields->addRow(MakeLoginLabel(this, QStringLiteral("PasswordLabel"), m_password), m_password);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QString remembered = QString::fromStdString(Regs().ReadSocMainString(m_valueName.toStdString()));
    const QString proposed = remembered.isEmpty() ? QStringLiteral("admin") : remembered;
    // A user without a password is never proposed: the door would then open with Enter alone.
    const bool open = CheckLogin(m_users, proposed.toStdString(), "") == TLoginResult::Ok;
    if (open)
        remembered.clear();
    m_name->setText(open ? QString() : proposed);
    m_name->selectAll();
    if (!remembered.isEmpty())
        m_password->setFocus();

    connect(m_name, &QLineEdit::textChanged, this, &TInputForm::UpdateOkButton);
    connect(m_ok, &QPushButton::clicked, this, &TInputForm::OkClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(kLoginHelpTopic); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, help, &QPushButton::click);
    UpdateOkButton();
    TLanguageController::Translate(*this);
}

void TInputForm::UpdateOkButton()
{
    m_ok->setEnabled(!m_name->text().trimmed().isEmpty());
}

void TInputForm::OkClicked()
{
    const std::string name = CutChars(Trim(m_name->text().toStdString()));
    const std::string password = m_password->text().toStdString();
    m_password->clear();
    const TLoginResult result = CheckLogin(m_users, name, password);
    Regs().WriteSocMainString(m_valueName.toStdString(), name);
    switch (result) {
    case TLoginResult::Ok:
        m_succeeded = true;
        accept();
        return;
    case TLoginResult::NoSuchUser:
        ShowCatalogueMessage(this, "NO_THE_SAME_USER");
        m_name->setFocus();
        m_name->selectAll();
        return;
    case TLoginResult::WrongPassword:
        ShowCatalogueMessage(this, "NOT_CORRECT_PASSWORD");
        m_password->setFocus();
        return;
    }
}
