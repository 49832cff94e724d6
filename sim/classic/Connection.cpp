#include "Connection.h"

#include "WideText.h"

namespace classicrfc {

Connection::Connection(const simwire::SystemAttributes& attributes, std::string programName, bool server)
    : m_attributes(attributes), m_programName(std::move(programName)), m_server(server)
{
}

RFC_ATTRIBUTES Connection::rfcAttributes() const
{
    RFC_ATTRIBUTES a{};
    copyTo(a.own_host, std::string("localhost"));
    copyTo(a.partner_host, m_attributes.host);
    copyTo(a.sysid, m_attributes.sysId);
    copyTo(a.client, m_attributes.client);
    copyTo(a.user, m_attributes.user);
    copyTo(a.language, m_attributes.language.substr(0, 1));
    a.trace = L' ';
    copyTo(a.ISO_language, m_attributes.isoLanguage);
    copyTo(a.own_codepage, std::string("4103"));
    copyTo(a.partner_codepage, m_attributes.codepage);
    a.rfc_role = m_server ? RFC_ROLE_SERVER : RFC_ROLE_CLIENT;
    a.own_type = m_server ? RFC_SERVER_EXT_REG : RFC_SERVER_EXT;
    copyTo(a.own_rel, std::string("640"));
    a.partner_type = RFC_SERVER_R3;
    copyTo(a.partner_rel, m_attributes.release);
    copyTo(a.kernel_rel, m_attributes.kernelRelease);
    copyTo(a.CPIC_convid, std::to_string(m_attributes.connectionId));
    a.password_sate = L' ';
    copyTo(a.pcs, std::string("2"));
    copyTo(a.real_partner_codepage, m_attributes.codepage);
    copyTo(a.progname, m_programName);
    return a;
}

RFC_RC Connection::attach(RFC_ON_DISCONNECT onDisconnect, RFC_ON_FREE onFree, void* context)
{
    std::lock_guard lock(m_contextMutex);
    if (m_context.attached)
        return RFC_INVALID_PARAMETER;
    m_context = {onDisconnect, onFree, context, true, false};
    return RFC_OK;
}

bool Connection::attachedContext(void*& context) const
{
    std::lock_guard lock(m_contextMutex);
    context = m_context.context;
    return m_context.attached;
}

bool Connection::detach(RFC_ON_DISCONNECT* onDisconnect, RFC_ON_FREE* onFree, void** context)
{
    std::lock_guard lock(m_contextMutex);
    if (!m_context.attached)
        return false;
    if (onDisconnect != nullptr)
        *onDisconnect = m_context.onDisconnect;
    if (onFree != nullptr)
        *onFree = m_context.onFree;
    if (context != nullptr)
        *context = m_context.context;
    m_context = {};
    return true;
}

void Connection::notifyDisconnected()
{
    RFC_ON_DISCONNECT callback = nullptr;
    void* context = nullptr;
    {
        std::lock_guard lock(m_contextMutex);
        if (!m_context.attached || m_context.disconnectNotified)
            return;
        m_context.disconnectNotified = true;
        callback = m_context.onDisconnect;
        context = m_context.context;
    }
    if (callback != nullptr)
        callback(m_handle, 0, context);
}

void Connection::notifyReleased()
{
    notifyDisconnected();
    RFC_ON_FREE callback = nullptr;
    void* context = nullptr;
    {
        std::lock_guard lock(m_contextMutex);
        if (!m_context.attached)
            return;
        callback = m_context.onFree;
        context = m_context.context;
        m_context = {};
    }
    if (callback != nullptr)
        callback(m_handle, 0, context);
}

} // namespace classicrfc
