// Client connections and registered server connections.
#include "ApiBoundary.h"
#include "ClientConnection.h"
#include "ConnectionStore.h"
#include "DestinationTrace.h"
#include "Dispatcher.h"
#include "ServerConnection.h"

using namespace nwrfc;

namespace {

Connection& connection(RFC_CONNECTION_HANDLE h)
{
    return resolve<Connection>(h, HandleKind::Connection, "connection");
}

simwire::ClientHello helloOf(const ConnectionParameters& p)
{
    simwire::ClientHello hello;
    hello.received = p.received();
    hello.client = p.get("client");
    hello.user = p.get("user");
    hello.password = p.has("passwd") ? p.get("passwd") : p.get("password");
    hello.language = p.get("lang");
    hello.ticket = p.get("mysapsso2");
    hello.programName = Connection::processName();
    if (hello.client.empty())
        invalidParameter("Parameter CLIENT missing");
    if (hello.user.empty() && hello.ticket.empty())
        invalidParameter("Parameter USER missing");
    return hello;
}

simrfc::Endpoint endpointOf(const std::string& host, const std::string& systemNumber, const std::string& service)
{
    try {
        return simrfc::Endpoint::from(host, systemNumber, service);
    } catch (const simrfc::RfcFailure& f) {
        rethrow(f);
    }
}

void applyTraceLevel(Connection& c, const ConnectionParameters& p)
{
    const std::string dest = p.get("dest");
    if (!dest.empty())
        c.setTraceLevel(DestinationTrace::get(dest, c.traceLevel()));
}

} // namespace

extern "C" {

RFC_CONNECTION_HANDLE SAP_API RfcOpenConnection(const RFC_CONNECTION_PARAMETER* parameters, unsigned count, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_CONNECTION_HANDLE>(e, "RfcOpenConnection", [&] {
        const ConnectionParameters p = ConnectionParameters::from(parameters, count);
        Trace::write(1, "RfcOpenConnection " + p.traceText());
        if (p.has("mshost") && !p.has("ashost"))
            invalidParameter("logon through a message server (mshost) is not offered; give ashost and sysnr");
        const simrfc::Endpoint endpoint = endpointOf(p.get("ashost"), p.get("sysnr"), p.get("gwserv"));
        const simwire::ClientHello hello = helloOf(p);
        std::unique_ptr<simrfc::GatewayClient> gateway;
        try {
            gateway = simrfc::GatewayClient::open(endpoint, hello);
        } catch (const simrfc::RfcFailure& f) {
            rethrow(f);
        }
        Connection& c = ConnectionStore::add(std::make_unique<ClientConnection>(p, std::move(gateway)));
        applyTraceLevel(c, p);
        c.trace(1, "opened to " + endpoint.host + ":" + std::to_string(endpoint.port) + " as " + hello.client + "/" + upper(hello.user));
        return handleOf<RFC_CONNECTION_HANDLE>(c);
    });
}

RFC_RC SAP_API RfcCloseConnection(RFC_CONNECTION_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcCloseConnection", [&] {
        Connection& c = connection(h);
        c.trace(1, "closed");
        ConnectionStore::close(c);
    });
}

RFC_RC SAP_API RfcPing(RFC_CONNECTION_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcPing", [&] {
        auto& c = resolve<ClientConnection>(h, HandleKind::Connection, "client connection");
        try {
            c.gateway().ping();
        } catch (const simrfc::RfcFailure& f) {
            rethrow(f);
        }
    });
}

RFC_RC SAP_API RfcIsConnectionHandleValid(RFC_CONNECTION_HANDLE h, int* isValid, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcIsConnectionHandleValid", [&] {
        require(isValid, "isValid");
        *isValid = 0;
        Connection& c = connection(h);
        if (!c.open())
            invalidHandle("the connection was closed");
        *isValid = 1;
    });
}

RFC_RC SAP_API RfcGetConnectionAttributes(RFC_CONNECTION_HANDLE h, RFC_ATTRIBUTES* attributes, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetConnectionAttributes", [&] {
        require(attributes, "attr");
        *attributes = connection(h).rfcAttributes();
    });
}

RFC_CONNECTION_HANDLE SAP_API RfcRegisterServer(const RFC_CONNECTION_PARAMETER* parameters, unsigned count, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_CONNECTION_HANDLE>(e, "RfcRegisterServer", [&] {
        const ConnectionParameters p = ConnectionParameters::from(parameters, count);
        Trace::write(1, "RfcRegisterServer " + p.traceText());
        const std::string programId = p.get("program_id");
        if (programId.empty())
            invalidParameter("Parameter PROGRAM_ID missing");
        const simrfc::Endpoint endpoint = endpointOf(p.get("gwhost"), p.get("sysnr"), p.get("gwserv"));
        std::unique_ptr<simrfc::GatewayRegistration> registration;
        try {
            registration = simrfc::GatewayRegistration::registerAt(endpoint, {p.received(), programId});
        } catch (const simrfc::RfcFailure& f) {
            rethrow(f);
        }
        Connection& c = ConnectionStore::add(std::make_unique<ServerConnection>(p, std::move(registration)));
        applyTraceLevel(c, p);
        c.trace(1, "registered as " + programId + " at " + endpoint.host + ":" + std::to_string(endpoint.port));
        return handleOf<RFC_CONNECTION_HANDLE>(c);
    });
}

RFC_RC SAP_API RfcListenAndDispatch(RFC_CONNECTION_HANDLE h, int timeout, RFC_ERROR_INFO* e)
{
    RFC_ERROR_INFO local{};
    RFC_ERROR_INFO& error = e != nullptr ? *e : local;
    RFC_RC rc = RFC_OK;
    const RFC_RC checked = guarded(&error, "RfcListenAndDispatch", [&] {
        auto& server = resolve<ServerConnection>(h, HandleKind::Connection, "registered server connection");
        rc = Dispatcher(server, error).listenAndDispatch(timeout);
    });
    return checked != RFC_OK ? checked : rc;
}

RFC_RC SAP_API RfcGetServerContext(RFC_CONNECTION_HANDLE h, RFC_SERVER_CONTEXT* context, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetServerContext", [&] {
        require(context, "context");
        auto& server = resolve<ServerConnection>(h, HandleKind::Connection, "registered server connection");
        if (!server.dispatching)
            illegalState("a server context exists only while a server function runs");
        *context = server.context;
    });
}

} // extern "C"
