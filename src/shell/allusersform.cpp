#include "shell/allusersform.h"

#include <algorithm>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "platform/modalseam.h"
#include "shell/addeditform.h"
#include "shell/confirmform.h"
#include "shell/entityform.h"

namespace {

QPushButton* MakeButton(QWidget* parent, const QString& name)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// Tells why an add or change was refused; a password mismatch also empties both password boxes.
void ShowRefusal(QWidget* parent, TUserEditResult result, TAddEditForm& form)
{
    switch (result) {
    case TUserEditResult::DoubleName:
        ShowCatalogueMessage(parent, "DOUBLE_NAME");
        break;
    case TUserEditResult::PasswordMismatch:
        ShowCatalogueMessage(parent, "UNEXPECTED_PASSWORD");
        form.ClearPasswords();
        break;
    case TUserEditResult::ReservedNull:
        ShowCatalogueMessage(parent, "NULL_NAME_REFUSED");
        form.ClearPasswords();
        break;
    case TUserEditResult::EmptyName:
    case TUserEditResult::Ok:
        break;
    }
}

} // namespace

TAllUsersForm::TAllUsersForm(TUserList& list, bool& loginRequired, const TUsersHelp& help, QWidget* parent)
    : QDialog(parent), m_list(list), m_loginRequired(loginRequired), m_help(help)
{
    setObjectName(QStringLiteral("AllUsersForm"));
    setModal(true);
    setSizeGripEnabled(true);

    m_names = new QListWidget(this);
    m_names->setObjectName(QStringLiteral("ClientsListBox"));
    m_names->setMinimumSize(220, 180);
    m_add = MakeButton(this, QStringLiteral("AddButton"));
    m_remove = MakeButton(this, QStringLiteral("RemoveButton"));
    m_change = MakeButton(this, QStringLiteral("ChangeButton"));
    auto* exit = MakeButton(this, QStringLiteral("ExitButton"));
    exit->setDefault(true);
    auto* helpButton = MakeButton(this, QStringLiteral("HelpButton"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addWidget(m_change);
    buttons->addStretch(1);
    buttons->addWidget(exit);
    buttons->addWidget(helpButton);
    m_login = new QCheckBox(this);
    m_login->setObjectName(QStringLiteral("LoginCheckBox"));
    m_login->setChecked(loginRequired);
    connect(m_login, &QCheckBox::toggled, this, &TAllUsersForm::LoginToggled);

    auto* row = new QHBoxLayout;
    row->addWidget(m_names, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addWidget(m_login);

    connect(m_names, &QListWidget::currentRowChanged, this, &TAllUsersForm::UpdateButtons);
    connect(m_names, &QListWidget::itemDoubleClicked, this, &TAllUsersForm::ChangeUser);
    connect(m_add, &QPushButton::clicked, this, &TAllUsersForm::AddUser);
    connect(m_remove, &QPushButton::clicked, this, &TAllUsersForm::RemoveUser);
    connect(m_change, &QPushButton::clicked, this, &TAllUsersForm::ChangeUser);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    const THelpTopic usersTopic = m_help.Users;
    connect(helpButton, &QPushButton::clicked, this, [usersTopic] { ShowHelpTopic(usersTopic); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, helpButton, &QPushButton::click);
    TLanguageController::Translate(*this);
    Refill(m_list.Count() > 0 ? 0 : -1);
}

int TAllUsersForm::SelectedIndex() const
{
    const int row = m_names->currentRow();
    return row >= 0 && row < m_list.Count() && m_names->currentItem() && m_names->currentItem()->isSelected()
               ? row
               : -1;
}

void TAllUsersForm::Refill(int select)
{
    m_names->clear();
    for (int32_t i = 0; i < m_list.Count(); ++i)
        m_names->addItem(QString::fromStdString(m_list.At(i).Name));
    if (select >= 0 && select < m_names->count())
        m_names->setCurrentRow(select);
    UpdateButtons();
}

void TAllUsersForm::UpdateButtons()
{
    const bool selected = SelectedIndex() >= 0;
    m_change->setEnabled(selected);
    m_remove->setEnabled(selected && m_list.CanRemove());
}

void TAllUsersForm::AddUser()
{
    TAddEditForm form(TAddEditForm::TMode::Add, m_help.AddEdit, this);
    while (Modal().Exec(form) == QDialog::Accepted) {
        const TUserEditResult result = m_list.Add(form.NameText().toStdString(), form.PasswordText().toStdString(),
                                                  form.ConfirmText().toStdString(), form.DescriptionText());
        if (result == TUserEditResult::Ok) {
            Refill(m_list.Count() - 1);
            return;
        }
        ShowRefusal(&form, result, form);
    }
}

void TAllUsersForm::ChangeUser()
{
    const int index = SelectedIndex();
    if (index >= 0)
        RunChange(index, m_loginRequired);
}

bool TAllUsersForm::RunChange(int index, bool requirePassword)
{
    TAddEditForm form(TAddEditForm::TMode::Change, m_help.AddEdit, this);
    form.Fill(QString::fromStdString(m_list.At(index).Name), m_list.At(index).Description);
    while (Modal().Exec(form) == QDialog::Accepted) {
        const bool keepsNone = form.PasswordText().isEmpty() && m_list.At(index).Password.empty();
        if (requirePassword && (form.ClearPassword() || keepsNone)) {
            ShowCatalogueMessage(&form, "LOGIN_NEEDS_PASSWORD");
            continue;
        }
        const TUserEditResult result =
            m_list.Change(index, form.NameText().toStdString(), form.PasswordText().toStdString(),
                          form.ConfirmText().toStdString(), form.DescriptionText(), form.ClearPassword());
        if (result == TUserEditResult::Ok) {
            Refill(index);
            return true;
        }
        ShowRefusal(&form, result, form);
    }
    return false;
}

void TAllUsersForm::LoginToggled(bool checked)
{
    if (checked) {
        for (const int32_t index : m_list.UsersWithoutPassword()) {
            if (!RunChange(index, true)) {
                const QSignalBlocker quiet(m_login);
                m_login->setChecked(false);
                checked = false;
                break;
            }
        }
    }
    m_loginRequired = checked;
}

void TAllUsersForm::RemoveUser()
{
    const int index = SelectedIndex();
    if (index < 0 || !m_list.CanRemove())
        return;
    TConfirmForm confirm(m_help.Confirm, this);
    if (Modal().Exec(confirm) != QDialog::Accepted)
        return;
    m_list.Remove(index);
    Refill(std::min(index, static_cast<int>(m_list.Count()) - 1));
}

void TUsers::Execute(QWidget* parent)
{
    TAllUsersForm form(m_list, m_loginRequired, m_help, parent);
    Modal().Exec(form);
}
