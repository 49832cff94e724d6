#include "ServerHandlers.h"

namespace classicrfc {

ServerHandlers& ServerHandlers::instance()
{
    static ServerHandlers* handlers = new ServerHandlers;
    return *handlers;
}

void ServerHandlers::install(const std::string& name, RFC_ONCALL handler, std::wstring documentation)
{
    std::lock_guard lock(m_mutex);
    m_functions[name] = {handler, std::move(documentation)};
}

bool ServerHandlers::uninstall(const std::string& name)
{
    std::lock_guard lock(m_mutex);
    return m_functions.erase(name) != 0;
}

RFC_ONCALL ServerHandlers::handlerFor(const std::string& function) const
{
    std::lock_guard lock(m_mutex);
    if (const auto it = m_functions.find(function); it != m_functions.end() && it->second.handler != nullptr)
        return it->second.handler;
    const auto global = m_functions.find(globalServer);
    return global == m_functions.end() ? nullptr : global->second.handler;
}

void ServerHandlers::installTransactions(const Transactions& handlers)
{
    std::lock_guard lock(m_mutex);
    m_transactions = handlers;
}

ServerHandlers::Transactions ServerHandlers::transactions() const
{
    std::lock_guard lock(m_mutex);
    return m_transactions;
}

} // namespace classicrfc
