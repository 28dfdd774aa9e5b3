#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TUserTable;

// The outcome of a login attempt.
enum class TLoginResult {
    Ok,
    NoSuchUser,    // no user has the typed name
    WrongPassword, // the user exists but the password differs
};

// Checks a typed login against the project's users: name and password are trimmed and cut to
// 255 characters, the first user whose name equals the name exactly (letter case counts) is
// taken, and its password must equal the typed one exactly.
TLoginResult CheckLogin(const TUserTable& users, std::string_view name, std::string_view password);

// One user of the users manager's working list.
struct TSomeUser {
    int32_t Id = -1;
    std::string Name;
    std::string Description;
    std::string Password;
};

// The outcome of adding or changing a user.
enum class TUserEditResult {
    Ok,
    EmptyName,        // the name holds only blanks
    DoubleName,       // another user has this name already
    PasswordMismatch, // the password and its confirmation differ
    ReservedNull,     // the name or the password is the file's word for an empty value
};

// The working list of the users manager: a copy of the project's users that the users dialog
// edits, with the rules every change follows, written back to the USERS table when the dialog
// closes. Names and passwords are stored trimmed, as the login compares them, so every stored
// password can be typed at the login; the last user is never removed.
class TUserList final {
public:
    void Clear();
    // Appends a user as given (copying from the table); false when memory runs out.
    bool AddUser(int32_t id, std::string_view name, std::string_view description, std::string_view password);

    int32_t Count() const { return static_cast<int32_t>(m_users.size()); }
    const TSomeUser& At(int32_t index) const { return m_users.at(static_cast<std::size_t>(index)); }

    // Cursor over the list: false on an empty list or past the end.
    bool First();
    bool Next();
    // Fields of the user at the cursor (Id -1 and empty texts off the list).
    int32_t Id() const;
    const std::string& Name() const;
    const std::string& Password() const;
    const std::string& Description() const;

    // The smallest positive Id no user of the list has.
    int32_t NewId() const;

    // Adds a user typed in the add dialog with a new Id.
    TUserEditResult Add(std::string_view name, std::string_view password, std::string_view confirm,
                        std::string_view description);
    // Changes the user at index. With both password fields empty the password is kept, unless
    // clearPassword asks for an empty one.
    TUserEditResult Change(int32_t index, std::string_view name, std::string_view password,
                           std::string_view confirm, std::string_view description, bool clearPassword);
    bool CanRemove() const { return m_users.size() > 1; }
    // The users whose password is empty: with the login on they would open the project with Enter,
    // so switching it on asks each of them for a password first.
    std::vector<int32_t> UsersWithoutPassword() const;
    // Removes the user at index; false for the last user or an index off the list.
    bool Remove(int32_t index);

    // Copies every user of the table, in table order.
    void LoadFrom(const TUserTable& table);
    // Replaces every user of the table by the list (the table is marked modified).
    void StoreTo(TUserTable& table) const;

private:
    TUserEditResult CheckFields(int32_t index, const std::string& name, const std::string& password,
                                const std::string& confirm) const;

    std::vector<TSomeUser> m_users;
    int32_t m_cursor = 0;
};
