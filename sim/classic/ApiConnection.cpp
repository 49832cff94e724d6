// Opening, closing and checking connections; the thread's last error.
#include "ApiBoundary.h"
#include "CallOutcome.h"
#include "ClientConnection.h"
#include "ConnectTimeout.h"
#include "ConnectionTable.h"
#include "MemoryCheck.h"
#include "ServerConnection.h"
#include "WideText.h"

using namespace classicrfc;

namespace {

constexpr size_t maxConnectString = 64 * 1024;

void close(RFC_HANDLE handle)
{
    const auto connection = ConnectionTable::remove(handle);
    if (connection == nullptr)
        return;
    {
        std::lock_guard lock(connection->mutex());
        connection->shutdown();
    }
    connection->notifyReleased();
}

// Aborts the call a server serves with the caller's text, before the connection closes.
void abortCurrentCall(ServerConnection& server, const rfc_char_t* text)
{
    std::lock_guard lock(server.mutex());
    if (!server.current() || server.current()->answered || !server.open())
        return;
    const std::string message = text != nullptr ? utf8(callerText(text, 512, "text")) : "aborted by the server program";
    server.answer({simwire::ErrorRecord::of(GatewayCode::abapRuntimeFailure, GatewayGroup::abapRuntime, "RFC_ABORTED", message, true), {}});
}

} // namespace

extern "C" {

void SAP_API RfcInitU(void)
{
}

RFC_HANDLE SAP_API RfcOpenExU(rfc_char_t* connectParam, RFC_ERROR_INFO_EX* errorInfo)
{
    RFC_HANDLE handle = RFC_HANDLE_NULL;
    const RFC_RC rc = guarded([&] {
        if (errorInfo != nullptr && !MemoryCheck::writable(errorInfo, sizeof *errorInfo))
            invalidParameter("the error record is not writable");
        const ConnectString parameters = ConnectString::parse(callerText(connectParam, maxConnectString, "the connect string"));
        handle = ConnectionTable::add(ClientConnection::open(parameters, ConnectTimeout::get()));
        return RFC_OK;
    });
    if (errorInfo != nullptr && MemoryCheck::writable(errorInfo, sizeof *errorInfo))
        *errorInfo = rc == RFC_OK ? RFC_ERROR_INFO_EX{} : LastError::peek();
    return handle;
}

void SAP_API RfcCloseU(RFC_HANDLE handle)
{
    guarded([&] {
        if (handle != RFC_HANDLE_NULL) {
            close(handle);
            return RFC_OK;
        }
        for (RFC_HANDLE used : ConnectionTable::usedByThisThread())
            close(used);
        return RFC_OK;
    });
}

void SAP_API RfcAbortU(RFC_HANDLE handle, rfc_char_t* text)
{
    guarded([&] {
        if (const auto server = std::dynamic_pointer_cast<ServerConnection>(ConnectionTable::find(handle)))
            abortCurrentCall(*server, text);
        close(handle);
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcSetSystemTimeoutU(RFC_INT timeout)
{
    return guarded([&] {
        if (timeout <= 0)
            programFailure("RFC_FAILURE", "the time-out must be a positive number of milliseconds");
        ConnectTimeout::set(std::chrono::milliseconds(timeout));
        return RFC_OK;
    });
}

int SAP_API RfcLastErrorExU(RFC_ERROR_INFO_EX* errorInfo)
{
    if (errorInfo == nullptr || !MemoryCheck::writable(errorInfo, sizeof *errorInfo))
        return 1;
    RFC_ERROR_INFO_EX record{};
    if (!LastError::take(record))
        return 1;
    *errorInfo = record;
    return 0;
}

RFC_RC SAP_API RfcIsValidHandleU(RFC_HANDLE handle, RFC_ERROR_INFO_EX* errorInfo)
{
    const RFC_RC rc = guarded([&] {
        const auto connection = ConnectionTable::resolve<Connection>(handle, "connection");
        std::lock_guard lock(connection->mutex());
        if (!connection->open())
            closed("the partner closed the connection");
        return RFC_OK;
    });
    if (errorInfo != nullptr && MemoryCheck::writable(errorInfo, sizeof *errorInfo))
        *errorInfo = rc == RFC_OK ? RFC_ERROR_INFO_EX{} : LastError::peek();
    return rc;
}

int SAP_API RfcGetAttributesU(RFC_HANDLE handle, RFC_ATTRIBUTES* attributes)
{
    const RFC_RC rc = guarded([&] {
        if (!MemoryCheck::writable(attributes, sizeof *attributes))
            invalidParameter("the attribute record is not writable");
        *attributes = ConnectionTable::resolve<Connection>(handle, "connection")->rfcAttributes();
        return RFC_OK;
    });
    return rc == RFC_OK ? 0 : 1;
}

} // extern "C"
