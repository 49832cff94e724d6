#pragma once

#include "include/ClassicRfcAbi.h"

#include <map>
#include <mutex>
#include <string>

namespace classicrfc {

// The process-wide server callbacks: functions installed by name (a handler may be null, then
// the function only documents itself), the global handler under "%%USER_GLOBAL_SERVER" that
// serves every function without a handler of its own, and the transaction control.
class ServerHandlers {
public:
    static constexpr const char* globalServer = "%%USER_GLOBAL_SERVER";

    struct Transactions {
        RFC_ON_CHECK_TID_EX check = nullptr;
        RFC_ON_COMMIT_EX commit = nullptr;
        RFC_ON_ROLLBACK_EX rollback = nullptr;
        RFC_ON_CONFIRM_TID_EX confirm = nullptr;
    };

    static ServerHandlers& instance();

    void install(const std::string& name, RFC_ONCALL handler, std::wstring documentation);
    bool uninstall(const std::string& name);
    // The handler of the function, else the global one; null when neither exists.
    RFC_ONCALL handlerFor(const std::string& function) const;
    void installTransactions(const Transactions& handlers);
    Transactions transactions() const;

private:
    struct Installed {
        RFC_ONCALL handler = nullptr;
        std::wstring documentation;
    };

    mutable std::mutex m_mutex;
    std::map<std::string, Installed> m_functions;
    Transactions m_transactions;
};

} // namespace classicrfc
