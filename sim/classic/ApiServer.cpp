// Registered server programs: accepting, installing functions, dispatching, reading and
// answering calls, transaction control, logon checks and attached contexts.
#include "AcceptArguments.h"
#include "ApiBoundary.h"
#include "CallOutcome.h"
#include "ConnectTimeout.h"
#include "ConnectionTable.h"
#include "Dispatcher.h"
#include "Marshaller.h"
#include "MemoryCheck.h"
#include "ServerConnection.h"
#include "ServerHandlers.h"
#include "WideText.h"

using namespace classicrfc;

namespace {

constexpr size_t maxMessage = 200;

std::shared_ptr<ServerConnection> server(RFC_HANDLE handle)
{
    return ConnectionTable::resolve<ServerConnection>(handle, "server connection");
}

std::string nameOf(const rfc_char_t* name, const char* what)
{
    const std::string text = utf8(callerText(name, 30, what));
    if (text.empty())
        invalidParameter(std::string(what) + " is empty");
    return text;
}

RFC_RC raise(RFC_HANDLE handle, const rfc_char_t* exception, RFC_TABLE* tables, const rfc_char_t* message)
{
    const auto s = server(handle);
    const std::string name = nameOf(exception, "the exception name");
    std::string text = message != nullptr ? utf8(callerText(message, 1024, "the message")) : name;
    if (text.size() > maxMessage)
        text.resize(maxMessage);
    simwire::CallResult result{simwire::ErrorRecord::of(GatewayCode::abapException, GatewayGroup::abapApplication, name, text, false), {}};
    std::lock_guard lock(s->mutex());
    s->requireCurrent();
    Marshaller().addTables(tables, result.outputs);
    s->answer(result);
    return RFC_OK;
}

} // namespace

extern "C" {

RFC_HANDLE SAP_API RfcAcceptU(rfc_char_t** argv)
{
    return guardedValue(RFC_HANDLE_NULL, [&] {
        const AcceptArguments args = AcceptArguments::parse(argv);
        simrfc::Endpoint endpoint;
        std::unique_ptr<simrfc::GatewayRegistration> registration;
        try {
            endpoint = simrfc::Endpoint::from(args.gatewayHost(), "", args.gatewayService());
            registration = simrfc::GatewayRegistration::registerAt(endpoint, {args.received(), args.programId()}, ConnectTimeout::get());
        } catch (const simrfc::RfcFailure& f) {
            rethrow(f, RFC_FAILURE);
        }
        return ConnectionTable::add(std::make_shared<ServerConnection>(std::move(registration), args.programId()));
    });
}

RFC_RC SAP_API RfcInstallFunctionU(rfc_char_t* name, RFC_ONCALL function, rfc_char_t* docu)
{
    return guarded([&] {
        const std::string functionName = nameOf(name, "the function name");
        std::wstring documentation = docu != nullptr ? callerText(docu, 64 * 1024, "the documentation") : std::wstring();
        ServerHandlers::instance().install(functionName, function, std::move(documentation));
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcUninstallFunctionU(rfc_char_t* name)
{
    return guarded([&] {
        if (!ServerHandlers::instance().uninstall(nameOf(name, "the function name")))
            programFailure("RFC_FAILURE", "the function is not installed");
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcDispatchU(RFC_HANDLE handle)
{
    return guarded([&] { return Dispatcher(server(handle)).dispatch(); });
}

RFC_RC SAP_API RfcGetNameU(RFC_HANDLE handle, rfc_char_t* name)
{
    return guarded([&] {
        if (!MemoryCheck::writable(name, sizeof(RFC_FUNCTIONNAME)))
            invalidParameter("the name buffer is not writable");
        const auto s = server(handle);
        std::string function;
        {
            std::lock_guard lock(s->mutex());
            if (s->current())
                function = s->current()->request.function;
        }
        if (function.empty()) {
            const auto next = Dispatcher(s).nextCall();
            if (!next)
                closed("the gateway connection is closed");
            function = *next;
        }
        copyTo(name, 31, wide(function));
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcGetDataU(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables)
{
    return guarded([&] {
        const auto s = server(handle);
        std::lock_guard lock(s->mutex());
        auto& call = s->requireCurrent();
        const Marshaller marshaller;
        marshaller.takeParameters(call.request.inputs, importing, "importing");
        const auto created = marshaller.takeTables(call.request.inputs, tables, true);
        call.createdTables.insert(call.createdTables.end(), created.begin(), created.end());
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcSendDataU(RFC_HANDLE handle, RFC_PARAMETER* exporting, RFC_TABLE* tables)
{
    return guarded([&] {
        const auto s = server(handle);
        std::lock_guard lock(s->mutex());
        s->requireCurrent();
        simwire::CallResult result;
        const Marshaller marshaller;
        marshaller.addParameters(exporting, "exporting", result.outputs);
        marshaller.addTables(tables, result.outputs);
        s->answer(result);
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcRaiseU(RFC_HANDLE handle, rfc_char_t* exception)
{
    return guarded([&] { return raise(handle, exception, nullptr, nullptr); });
}

RFC_RC SAP_API RfcRaiseTablesU(RFC_HANDLE handle, rfc_char_t* exception, RFC_TABLE* tables)
{
    return guarded([&] { return raise(handle, exception, tables, nullptr); });
}

RFC_RC SAP_API RfcRaiseErrorMessageU(RFC_HANDLE handle, rfc_char_t* exception, RFC_TABLE* tables, rfc_char_t* message)
{
    return guarded([&] { return raise(handle, exception, tables, message); });
}

RFC_RC SAP_API RfcGetCallInfoU(RFC_HANDLE handle, RFC_CALL_INFO* info)
{
    return guarded([&] {
        if (!MemoryCheck::writable(info, sizeof *info))
            invalidParameter("the call information is not writable");
        const auto s = server(handle);
        std::lock_guard lock(s->mutex());
        const auto& request = s->requireCurrent().request;
        *info = RFC_CALL_INFO{};
        copyTo(info->function_name, request.function);
        copyTo(info->tid, request.tid);
        info->call_type = request.type == simwire::CallType::Transactional ? L'T' : L'S';
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcAttachContextU(RFC_HANDLE handle, RFC_ON_DISCONNECT onDisconnect, RFC_ON_FREE onFree, void* context)
{
    return guarded([&] {
        const RFC_RC rc = ConnectionTable::resolve<Connection>(handle, "connection")->attach(onDisconnect, onFree, context);
        if (rc != RFC_OK)
            invalidParameter("a context is attached to this handle already");
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcGetAttachedContextU(RFC_HANDLE handle, void** context, int* fromCarrier)
{
    return guarded([&] {
        if (!MemoryCheck::writable(context, sizeof *context))
            invalidParameter("the context pointer is not writable");
        if (fromCarrier != nullptr && !MemoryCheck::writable(fromCarrier, sizeof *fromCarrier))
            invalidParameter("the carrier flag is not writable");
        void* attached = nullptr;
        if (!ConnectionTable::resolve<Connection>(handle, "connection")->attachedContext(attached))
            programFailure("RFC_FAILURE", "no context is attached to this handle");
        *context = attached;
        if (fromCarrier != nullptr)
            *fromCarrier = 0;
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcDetachContextU(RFC_HANDLE handle, RFC_ON_DISCONNECT* onDisconnect, RFC_ON_FREE* onFree, void** context)
{
    return guarded([&] {
        if ((onDisconnect != nullptr && !MemoryCheck::writable(onDisconnect, sizeof *onDisconnect)) ||
            (onFree != nullptr && !MemoryCheck::writable(onFree, sizeof *onFree)) ||
            (context != nullptr && !MemoryCheck::writable(context, sizeof *context)))
            invalidParameter("an output pointer is not writable");
        if (!ConnectionTable::resolve<Connection>(handle, "connection")->detach(onDisconnect, onFree, context))
            programFailure("RFC_FAILURE", "no context is attached to this handle");
        return RFC_OK;
    });
}

void SAP_API RfcInstallTransactionControl2U(RFC_ON_CHECK_TID_EX onCheck, RFC_ON_COMMIT_EX onCommit, RFC_ON_ROLLBACK_EX onRollback,
                                            RFC_ON_CONFIRM_TID_EX onConfirm)
{
    ServerHandlers::instance().installTransactions({onCheck, onCommit, onRollback, onConfirm});
}

RFC_RC SAP_API RfcInstallExternalLogonHandlerU(RFC_HANDLE handle, RFC_EXTERNAL_LOGON handler)
{
    return guarded([&] {
        const auto s = server(handle);
        std::lock_guard lock(s->mutex());
        s->logonHandler = handler;
        return RFC_OK;
    });
}

} // extern "C"
