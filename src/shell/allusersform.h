#pragma once

#include <QDialog>

#include "platform/helptopics.h"
#include "store/users.h"

class QCheckBox;
class QListWidget;
class QPushButton;

// Help topics of the users manager's three dialogs.
struct TUsersHelp {
    THelpTopic AddEdit = THelpTopic::UserAddEdit;
    THelpTopic Users = THelpTopic::Users;
    THelpTopic Confirm = THelpTopic::UserRemove;
};

// The users dialog: the names of the working list, with Add, Remove, Change and Exit, and the
// switch that makes the project ask for a login when it opens. Every change goes through the
// list's rules; a refused add or change is told and its dialog shown again with what was typed.
class TAllUsersForm final : public QDialog {
    Q_OBJECT

public:
    // loginRequired follows the login check box.
    TAllUsersForm(TUserList& list, bool& loginRequired, const TUsersHelp& help, QWidget* parent = nullptr);

    void AddUser();
    void ChangeUser();
    void RemoveUser();

private:
    // Switching the login on: every user without a password is asked for one; cancelling any of
    // those questions leaves the login off.
    void LoginToggled(bool checked);
    // The change dialog of one user until a change passes the rules or is cancelled; requirePassword
    // refuses to leave the user without a password.
    bool RunChange(int index, bool requirePassword);
    void Refill(int select);
    void UpdateButtons();
    int SelectedIndex() const;

    TUserList& m_list;
    bool& m_loginRequired;
    TUsersHelp m_help;
    QListWidget* m_names = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_change = nullptr;
    QCheckBox* m_login = nullptr;
};

// The users manager of the main window: a working copy of the project's users that the users
// dialog edits and that is then written back to the USERS table.
class TUsers final {
public:
    explicit TUsers(const TUsersHelp& help = {}) : m_help(help) {}

    void Clear() { m_list.Clear(); }
    bool AddUser(int32_t id, std::string_view name, std::string_view description, std::string_view password)
    {
        return m_list.AddUser(id, name, description, password);
    }
    // Shows the users dialog modally.
    void Execute(QWidget* parent);

    // Whether the project asks for a login; the dialog's check box changes it.
    bool LoginRequired() const { return m_loginRequired; }
    void SetLoginRequired(bool value) { m_loginRequired = value; }

    bool First() { return m_list.First(); }
    bool Next() { return m_list.Next(); }
    int32_t Id() const { return m_list.Id(); }
    const std::string& Name() const { return m_list.Name(); }
    const std::string& Password() const { return m_list.Password(); }
    const std::string& Description() const { return m_list.Description(); }

    TUserList& List() { return m_list; }

private:
    TUsersHelp m_help;
    TUserList m_list;
    bool m_loginRequired = false;
};
