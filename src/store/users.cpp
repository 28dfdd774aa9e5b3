#include "store/users.h"

#include <new>
#include <set>

#include "store/filtab.h"
#include "util/text.h"

namespace {

std::string Typed(std::string_view text)
{
    return CutChars(Trim(text));
}

const std::string kEmpty;

} // namespace

TLoginResult CheckLogin(const TUserTable& users, std::string_view name, std::string_view password)
{
    const std::string typedName = Typed(name);
    const std::string typedPassword = Typed(password);
    for (int32_t i = 0; i < users.Count(); ++i) {
        const TAUser& user = users.At(i);
        if (user.Name == typedName)
            return user.Password == typedPassword ? TLoginResult::Ok : TLoginResult::WrongPassword;
    }
    return TLoginResult::NoSuchUser;
}

void TUserList::Clear()
{
    m_users.clear();
    m_cursor = 0;
}

bool TUserList::AddUser(int32_t id, std::string_view name, std::string_view description, std::string_view password)
{
    try {
        m_users.push_back({.Id = id,
                           .Name = std::string(name),
                           .Description = std::string(description),
                           .Password = std::string(password)});
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool TUserList::First()
{
    m_cursor = 0;
    return !m_users.empty();
}

bool TUserList::Next()
{
    if (m_cursor + 1 >= Count())
        return false;
    ++m_cursor;
    return true;
}

int32_t TUserList::Id() const
{
    return m_cursor >= 0 && m_cursor < Count() ? At(m_cursor).Id : -1;
}

const std::string& TUserList::Name() const
{
    return m_cursor >= 0 && m_cursor < Count() ? At(m_cursor).Name : kEmpty;
}

const std::string& TUserList::Password() const
{
    return m_cursor >= 0 && m_cursor < Count() ? At(m_cursor).Password : kEmpty;
}

const std::string& TUserList::Description() const
{
    return m_cursor >= 0 && m_cursor < Count() ? At(m_cursor).Description : kEmpty;
}

int32_t TUserList::NewId() const
{
    std::set<int32_t> used;
    for (const TSomeUser& user : m_users)
        used.insert(user.Id);
    int32_t id = 1;
    while (used.count(id) != 0)
        ++id;
    return id;
}

TUserEditResult TUserList::CheckFields(int32_t index, const std::string& name, const std::string& password,
                                       const std::string& confirm) const
{
    if (name.empty())
        return TUserEditResult::EmptyName;
    // A user keeping its own name is no duplicate, even where an older file holds the name twice.
    const bool renamed = index < 0 || Trim(At(index).Name) != name;
    for (int32_t i = 0; renamed && i < Count(); ++i) {
        if (i != index && Trim(At(i).Name) == name)
            return TUserEditResult::DoubleName;
    }
    if (IsReservedNull(name) || IsReservedNull(password))
        return TUserEditResult::ReservedNull;
    if (password != confirm)
        return TUserEditResult::PasswordMismatch;
    return TUserEditResult::Ok;
}

std::vector<int32_t> TUserList::UsersWithoutPassword() const
{
    std::vector<int32_t> indexes;
    for (int32_t i = 0; i < Count(); ++i) {
        if (At(i).Password.empty())
            indexes.push_back(i);
    }
    return indexes;
}

TUserEditResult TUserList::Add(std::string_view name, std::string_view password, std::string_view confirm,
                               std::string_view description)
{
    const std::string typedName = Typed(name);
    const std::string typedPassword = Typed(password);
    const TUserEditResult result = CheckFields(-1, typedName, typedPassword, Typed(confirm));
    if (result != TUserEditResult::Ok)
        return result;
    m_users.push_back({.Id = NewId(),
                       .Name = typedName,
                       .Description = std::string(description),
                       .Password = typedPassword});
    return TUserEditResult::Ok;
}

TUserEditResult TUserList::Change(int32_t index, std::string_view name, std::string_view password,
                                  std::string_view confirm, std::string_view description, bool clearPassword)
{
    if (index < 0 || index >= Count())
        return TUserEditResult::EmptyName;
    const std::string typedName = Typed(name);
    const std::string typedPassword = clearPassword ? std::string() : Typed(password);
    const std::string typedConfirm = clearPassword ? std::string() : Typed(confirm);
    const TUserEditResult result = CheckFields(index, typedName, typedPassword, typedConfirm);
    if (result != TUserEditResult::Ok)
        return result;
    TSomeUser& user = m_users[static_cast<std::size_t>(index)];
    user.Name = typedName;
    user.Description = std::string(description);
    // Both password fields left empty keep the password: changing a description never wipes it.
    if (clearPassword || !typedPassword.empty())
        user.Password = typedPassword;
    return TUserEditResult::Ok;
}

bool TUserList::Remove(int32_t index)
{
    if (!CanRemove() || index < 0 || index >= Count())
        return false;
    m_users.erase(m_users.begin() + index);
    if (m_cursor >= Count())
        m_cursor = Count() - 1;
    return true;
}

void TUserList::LoadFrom(const TUserTable& table)
{
    Clear();
    for (int32_t i = 0; i < table.Count(); ++i) {
        const TAUser& user = table.At(i);
        AddUser(user.Id, user.Name, user.Description, user.Password);
    }
}

void TUserList::StoreTo(TUserTable& table) const
{
    table.DeleteAll();
    table.SetModified(true);
    for (const TSomeUser& user : m_users) {
        table.Add(user.Id, user.Name, user.Password);
        if (table.Last())
            table.SetDescription(user.Description);
    }
}
