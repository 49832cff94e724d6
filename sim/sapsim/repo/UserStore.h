#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sapsim {

struct ClientRecord {
    std::string client;
    std::string text;
    std::string city;
    std::string currency;
};

struct UserRecord {
    std::string client;
    std::string user;
    std::string password;
    std::string fullName;
    std::string type = "A";
    std::string group;
    std::string validFrom;
    std::string validTo;
    bool expired = false;
    bool locked = false;
};

enum class LogonStatus { Valid, PasswordExpired, Refused };

enum class PasswordChange { Changed, WrongPassword, NotAllowed };

// Clients and their users. Password changes happen while requests run, so every access locks.
class UserStore {
public:
    void addClient(ClientRecord client);
    void addUser(UserRecord user);

    bool hasClient(const std::string& client) const;
    // User names compare in upper case; passwords exactly.
    LogonStatus logon(const std::string& client, const std::string& user, const std::string& password) const;
    // The state of a user that logs on without a password (by ticket).
    LogonStatus state(const std::string& client, const std::string& user) const;
    bool locked(const std::string& client, const std::string& user) const;
    bool passwordMatches(const std::string& client, const std::string& user, const std::string& password) const;
    PasswordChange changePassword(const std::string& client, const std::string& user,
                                  const std::string& oldPassword, const std::string& newPassword);

    std::vector<ClientRecord> clients() const;
    std::vector<UserRecord> users() const;

    static std::string normaliseUser(const std::string& user);

private:
    const UserRecord* find(const std::string& client, const std::string& user) const;

    mutable std::mutex m_mutex;
    std::map<std::string, ClientRecord> m_clients;
    std::map<std::pair<std::string, std::string>, UserRecord> m_users;
};

} // namespace sapsim
