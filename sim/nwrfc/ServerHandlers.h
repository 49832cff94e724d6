#pragma once

#include "FunctionDesc.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace nwrfc {

// The process-wide server callbacks installed by the RfcInstall... functions.
class ServerHandlers {
public:
    struct TransactionHandlers {
        RFC_ON_CHECK_TRANSACTION check = nullptr;
        RFC_ON_COMMIT_TRANSACTION commit = nullptr;
        RFC_ON_ROLLBACK_TRANSACTION rollback = nullptr;
        RFC_ON_CONFIRM_TRANSACTION confirm = nullptr;
    };

    struct Handler {
        std::shared_ptr<FunctionDesc> description; // null for the generic function
        RFC_SERVER_FUNCTION function = nullptr;
    };

    static ServerHandlers& instance();

    void installGeneric(RFC_SERVER_FUNCTION function, RFC_FUNC_DESC_CALLBACK provider);
    void install(const std::string& sysId, std::shared_ptr<FunctionDesc> description, RFC_SERVER_FUNCTION function);
    void installAuthorization(RFC_ON_AUTHORIZATION_CHECK check);
    void installTransactions(const std::string& sysId, TransactionHandlers handlers);

    // A function installed for the system (or for all), else the generic function.
    Handler find(const std::string& sysId, const std::string& function) const;
    RFC_FUNC_DESC_CALLBACK provider() const;
    RFC_ON_AUTHORIZATION_CHECK authorization() const;
    TransactionHandlers transactions(const std::string& sysId) const;

private:
    mutable std::mutex m_mutex;
    RFC_SERVER_FUNCTION m_generic = nullptr;
    RFC_FUNC_DESC_CALLBACK m_provider = nullptr;
    std::map<std::string, Handler> m_functions; // "<sysId>|<name>", sysId empty for all systems
    RFC_ON_AUTHORIZATION_CHECK m_authorization = nullptr;
    std::map<std::string, TransactionHandlers> m_transactions;
};

} // namespace nwrfc
