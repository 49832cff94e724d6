#include "repo/UserStore.h"

#include <cctype>
#include <stdexcept>

namespace sapsim {
namespace {

constexpr size_t minPasswordLength = 6;
constexpr size_t maxPasswordLength = 40;

} // namespace

void UserStore::addClient(ClientRecord client)
{
    std::lock_guard lock(m_mutex);
    const std::string key = client.client;
    if (!m_clients.emplace(key, std::move(client)).second)
        throw std::runtime_error("client " + key + " defined twice");
}

void UserStore::addUser(UserRecord user)
{
    user.user = normaliseUser(user.user);
    std::lock_guard lock(m_mutex);
    if (m_clients.count(user.client) == 0)
        throw std::runtime_error("user " + user.user + " belongs to unknown client " + user.client);
    auto key = std::make_pair(user.client, user.user);
    if (!m_users.emplace(key, std::move(user)).second)
        throw std::runtime_error("user " + key.second + " defined twice in client " + key.first);
}

bool UserStore::hasClient(const std::string& client) const
{
    std::lock_guard lock(m_mutex);
    return m_clients.count(client) != 0;
}

LogonStatus UserStore::logon(const std::string& client, const std::string& user, const std::string& password) const
{
    std::lock_guard lock(m_mutex);
    const UserRecord* u = find(client, user);
    if (u == nullptr || u->locked || u->password != password)
        return LogonStatus::Refused;
    return u->expired ? LogonStatus::PasswordExpired : LogonStatus::Valid;
}

LogonStatus UserStore::state(const std::string& client, const std::string& user) const
{
    std::lock_guard lock(m_mutex);
    const UserRecord* u = find(client, user);
    if (u == nullptr || u->locked)
        return LogonStatus::Refused;
    return u->expired ? LogonStatus::PasswordExpired : LogonStatus::Valid;
}

bool UserStore::locked(const std::string& client, const std::string& user) const
{
    std::lock_guard lock(m_mutex);
    const UserRecord* u = find(client, user);
    return u != nullptr && u->locked;
}

bool UserStore::passwordMatches(const std::string& client, const std::string& user, const std::string& password) const
{
    std::lock_guard lock(m_mutex);
    const UserRecord* u = find(client, user);
    return u != nullptr && u->password == password;
}

PasswordChange UserStore::changePassword(const std::string& client, const std::string& user,
                                         const std::string& oldPassword, const std::string& newPassword)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_users.find({client, normaliseUser(user)});
    UserRecord* u = it == m_users.end() ? nullptr : &it->second;
    if (u == nullptr || u->locked || u->password != oldPassword)
        return PasswordChange::WrongPassword;
    if (newPassword.size() < minPasswordLength || newPassword.size() > maxPasswordLength ||
        newPassword == oldPassword)
        return PasswordChange::NotAllowed;
    u->password = newPassword;
    u->expired = false;
    return PasswordChange::Changed;
}

std::vector<ClientRecord> UserStore::clients() const
{
    std::lock_guard lock(m_mutex);
    std::vector<ClientRecord> out;
    for (const auto& [key, c] : m_clients)
        out.push_back(c);
    return out;
}

std::vector<UserRecord> UserStore::users() const
{
    std::lock_guard lock(m_mutex);
    std::vector<UserRecord> out;
    for (const auto& [key, u] : m_users)
        out.push_back(u);
    return out;
}

std::string UserStore::normaliseUser(const std::string& user)
{
    std::string out = user;
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

const UserRecord* UserStore::find(const std::string& client, const std::string& user) const
{
    const auto it = m_users.find({client, normaliseUser(user)});
    return it == m_users.end() ? nullptr : &it->second;
}

} // namespace sapsim
