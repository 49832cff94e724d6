#include "ServerHandlers.h"

namespace nwrfc {

ServerHandlers& ServerHandlers::instance()
{
    static ServerHandlers* handlers = new ServerHandlers;
    return *handlers;
}

void ServerHandlers::installGeneric(RFC_SERVER_FUNCTION function, RFC_FUNC_DESC_CALLBACK provider)
{
    std::lock_guard lock(m_mutex);
    m_generic = function;
    m_provider = provider;
}

void ServerHandlers::install(const std::string& sysId, std::shared_ptr<FunctionDesc> description, RFC_SERVER_FUNCTION function)
{
    std::lock_guard lock(m_mutex);
    const std::string key = sysId + "|" + toUtf8(description->name());
    m_functions[key] = {std::move(description), function};
}

void ServerHandlers::installAuthorization(RFC_ON_AUTHORIZATION_CHECK check)
{
    std::lock_guard lock(m_mutex);
    m_authorization = check;
}

void ServerHandlers::installTransactions(const std::string& sysId, TransactionHandlers handlers)
{
    std::lock_guard lock(m_mutex);
    m_transactions[sysId] = handlers;
}

ServerHandlers::Handler ServerHandlers::find(const std::string& sysId, const std::string& function) const
{
    std::lock_guard lock(m_mutex);
    for (const std::string& key : {sysId + "|" + function, "|" + function})
        if (const auto it = m_functions.find(key); it != m_functions.end())
            return it->second;
    return {nullptr, m_generic};
}

RFC_FUNC_DESC_CALLBACK ServerHandlers::provider() const
{
    std::lock_guard lock(m_mutex);
    return m_provider;
}

RFC_ON_AUTHORIZATION_CHECK ServerHandlers::authorization() const
{
    std::lock_guard lock(m_mutex);
    return m_authorization;
}

ServerHandlers::TransactionHandlers ServerHandlers::transactions(const std::string& sysId) const
{
    std::lock_guard lock(m_mutex);
    if (const auto it = m_transactions.find(sysId); it != m_transactions.end())
        return it->second;
    if (const auto it = m_transactions.find(""); it != m_transactions.end())
        return it->second;
    return {};
}

} // namespace nwrfc
