// Client calls: sending, polling for the answer, receiving it, cancelling.
#include "ApiBoundary.h"
#include "CallOutcome.h"
#include "ClientConnection.h"
#include "ConnectionTable.h"
#include "Marshaller.h"
#include "MemoryCheck.h"
#include "ServerConnection.h"
#include "WideText.h"

#include <algorithm>

using namespace classicrfc;

namespace {

std::shared_ptr<ClientConnection> client(RFC_HANDLE handle)
{
    return ConnectionTable::resolve<ClientConnection>(handle, "client connection");
}

std::string functionName(const rfc_char_t* function)
{
    const std::string name = utf8(callerText(function, 30, "the function name"));
    if (name.empty())
        invalidParameter("the function name is empty");
    return name;
}

RFC_RC send(RFC_HANDLE handle, const rfc_char_t* function, RFC_PARAMETER* exporting, RFC_PARAMETER* changing, RFC_TABLE* tables)
{
    const auto c = client(handle);
    const std::string name = functionName(function);
    std::lock_guard lock(c->mutex());
    const auto shape = c->shape(name);
    const Marshaller marshaller(shape);
    simwire::CallRequest request{name, {}, {}};
    marshaller.addParameters(exporting, "exporting", request.inputs);
    marshaller.addParameters(changing, "changing", request.inputs);
    marshaller.addTables(tables, request.inputs);
    c->send(request, shape);
    return RFC_OK;
}

RFC_RC receive(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_PARAMETER* changing, RFC_TABLE* tables, rfc_char_t** exception)
{
    const auto c = client(handle);
    if (exception != nullptr && !MemoryCheck::writable(exception, sizeof *exception))
        invalidParameter("the exception pointer is not writable");
    std::unique_lock lock(c->mutex());
    const auto [result, shape] = c->receive();
    const CallOutcome outcome = CallOutcome::of(result.error);
    if (exception != nullptr)
        *exception = outcome.code == RFC_OK ? nullptr : const_cast<rfc_char_t*>(c->keepException(outcome.exception));
    const Marshaller marshaller(shape);
    if (outcome.code == RFC_OK) {
        marshaller.takeParameters(result.outputs, importing, "importing");
        marshaller.takeParameters(result.outputs, changing, "changing");
    }
    if (outcome.code == RFC_OK || outcome.code == RFC_EXCEPTION)
        marshaller.takeTables(result.outputs, tables);
    if (outcome.code == RFC_OK)
        return RFC_OK;
    if (result.error.closes)
        c->shutdown();
    lock.unlock();
    if (!c->open())
        c->notifyDisconnected();
    throw ApiFailure(outcome.code, result.error);
}

// The partner's end, told to an attached context once; called without the connection's lock.
[[noreturn]] void serverClosed(ServerConnection& server)
{
    server.notifyDisconnected();
    closed("the gateway connection is closed");
}

ServerConnection::Wait waitOn(ServerConnection& server, std::chrono::milliseconds timeout)
{
    std::lock_guard lock(server.mutex());
    return server.waitForRequest(timeout);
}

RFC_RC listenAsServer(ServerConnection& server)
{
    switch (waitOn(server, std::chrono::milliseconds(0))) {
    case ServerConnection::Wait::Request: return RFC_OK;
    case ServerConnection::Wait::Nothing: return RFC_RETRY;
    case ServerConnection::Wait::Closed: break;
    }
    serverClosed(server);
}

RFC_RC listenAsClient(ClientConnection& c)
{
    std::unique_lock lock(c.mutex());
    switch (c.listen()) {
    case ClientConnection::Answer::Waiting: return RFC_RETRY;
    case ClientConnection::Answer::Arrived: return RFC_OK;
    case ClientConnection::Answer::Closed: break;
    }
    lock.unlock();
    c.notifyDisconnected();
    closed("the partner closed the connection during the call");
}

} // namespace

extern "C" {

RFC_RC SAP_API RfcCallExU(RFC_HANDLE handle, rfc_char_t* function, RFC_PARAMETER* exporting, RFC_PARAMETER* changing, RFC_TABLE* tables)
{
    return guarded([&] { return send(handle, function, exporting, changing, tables); });
}

RFC_RC SAP_API RfcCallU(RFC_HANDLE handle, rfc_char_t* function, RFC_PARAMETER* exporting, RFC_TABLE* tables)
{
    return guarded([&] { return send(handle, function, exporting, nullptr, tables); });
}

RFC_RC SAP_API RfcReceiveExU(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_PARAMETER* changing, RFC_TABLE* tables,
                             rfc_char_t** exception)
{
    return guarded([&] { return receive(handle, importing, changing, tables, exception); });
}

RFC_RC SAP_API RfcReceiveU(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables, rfc_char_t** exception)
{
    return guarded([&] { return receive(handle, importing, nullptr, tables, exception); });
}

RFC_RC SAP_API RfcCallReceiveExU(RFC_HANDLE handle, rfc_char_t* function, RFC_PARAMETER* exporting, RFC_PARAMETER* importing,
                                 RFC_PARAMETER* changing, RFC_TABLE* tables, rfc_char_t** exception)
{
    return guarded([&] {
        send(handle, function, exporting, changing, tables);
        return receive(handle, importing, changing, tables, exception);
    });
}

RFC_RC SAP_API RfcCallReceiveU(RFC_HANDLE handle, rfc_char_t* function, RFC_PARAMETER* exporting, RFC_PARAMETER* importing,
                               RFC_TABLE* tables, rfc_char_t** exception)
{
    return guarded([&] {
        send(handle, function, exporting, nullptr, tables);
        return receive(handle, importing, nullptr, tables, exception);
    });
}

RFC_RC SAP_API RfcListenU(RFC_HANDLE handle)
{
    return guarded([&] {
        const auto connection = ConnectionTable::resolve<Connection>(handle, "connection");
        if (const auto server = std::dynamic_pointer_cast<ServerConnection>(connection))
            return listenAsServer(*server);
        return listenAsClient(static_cast<ClientConnection&>(*connection));
    });
}

RFC_RC SAP_API RfcWaitForRequestU(RFC_HANDLE handle, RFC_INT seconds)
{
    return guarded([&] {
        const auto server = ConnectionTable::resolve<ServerConnection>(handle, "server connection");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds < 0 ? 0 : seconds);
        // In slices, so that RfcCloseU from another thread is not held up for long.
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            const auto slice = std::clamp(seconds < 0 ? std::chrono::milliseconds(1000) : left, std::chrono::milliseconds(0),
                                          std::chrono::milliseconds(1000));
            const auto wait = waitOn(*server, slice);
            if (wait == ServerConnection::Wait::Request)
                return RFC_OK;
            if (wait == ServerConnection::Wait::Closed)
                serverClosed(*server);
            if (seconds >= 0 && std::chrono::steady_clock::now() >= deadline)
                return RFC_RETRY;
        }
    });
}

RFC_RC SAP_API RfcCancelU(RFC_HANDLE handle, RFC_CANCEL_TYPE type)
{
    return guarded([&] {
        if (type != RFC_CANCEL_HARD && type != RFC_CANCEL_SOFT && type != RFC_CANCEL_CLOSE)
            invalidParameter("unknown cancel type " + std::to_string(static_cast<int>(type)));
        const auto c = client(handle);
        std::lock_guard lock(c->mutex());
        return c->cancel(type);
    });
}

} // extern "C"
