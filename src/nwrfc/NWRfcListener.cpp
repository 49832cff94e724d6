#include "NWRfcListener.h"

#include "NWRFCDataConverter.h"
#include "NWRfcErrors.h"
#include "NWRfcPrototypes.h"
#include "server/CaughtException.h"
#include "server/RfcServerLogonInfo.h"
#include "server/RfcTransactionInfo.h"
#include "session/Messages.h"
#include "session/Trace.h"
#include "session/XTolvane.h"

#include <boost/format.hpp>

#include <map>
#include <mutex>

namespace tolvane {
namespace {

using namespace nwrfc;

// Which listener a connection handle belongs to: the library's callbacks receive only the handle.
struct ConnectionsTable {
    std::mutex lock;
    std::map<RFC_CONNECTION_HANDLE, NWRfcListener*> listeners;
};

ConnectionsTable& Connections()
{
    static ConnectionsTable* table = new ConnectionsTable; // callbacks may come while the process ends
    return *table;
}

// Results after which the registered connection is still usable.
bool KeepsTheConnection(RFC_RC rc) noexcept
{
    // A refused logon refuses the call, not the connection.
    return rc == RFC_OK || rc == RFC_ABAP_EXCEPTION || rc == RFC_RETRY || rc == RFC_LOGON_FAILURE ||
           rc == RFC_AUTHORIZATION_FAILURE;
}

std::wstring Text(const SAP_UC* text) { return text ? text : L""; }

// A failure inside a callback as the library takes it back: code 15 and the text.
RFC_RC ExternalFailure(RFC_ERROR_INFO& errorInfo, std::wstring_view text)
{
    TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"caught exception: %1%") % std::wstring(text)).str());
    errorInfo.code = RFC_EXTERNAL_FAILURE;
    nw::SetFieldText(errorInfo.message, text);
    return RFC_EXTERNAL_FAILURE;
}

// The one boundary of every callback: nothing a handler or a conversion throws reaches the library.
template <class Body>
RFC_RC Guarded(RFC_ERROR_INFO& errorInfo, Body&& body) noexcept
{
    try {
        return body();
    } catch (const MessageError& e) {
        // A library failure the record already tells.
        return errorInfo.code != RFC_OK ? errorInfo.code : ExternalFailure(errorInfo, MessageText(e.number()));
    } catch (...) {
        return ExternalFailure(errorInfo, CaughtExceptionText());
    }
}

} // namespace

NWRfcListener::NWRfcListener(const EntryPoints& rfc, Registration registration, CProxy_RfcServerEvents events,
                             std::shared_ptr<ServerErrorState> errors)
    : m_rfc(rfc), m_registration(std::move(registration)), m_events(std::move(events)), m_errors(std::move(errors))
{
}

void NWRfcListener::InstallCallbacks(const EntryPoints& rfc, const std::function<void(const wchar_t*)>& failed)
{
    RFC_ERROR_INFO record{};
    if (rfc.RfcInstallGenericServerFunction(&OnCall, &OnDescribe, &record) != RFC_OK)
        failed(L"Failed to install server function");
    if (rfc.RfcInstallAuthorizationCheckHandler(&OnAuthorize, &record) != RFC_OK)
        failed(L"Failed to install authorization check function");
    rfc.RfcInstallTransactionHandlers(nullptr, &OnCheck, &OnCommit, &OnRollback, &OnConfirm, &record);
}

void NWRfcListener::Report(const RFC_ERROR_INFO& record, const std::wstring& label)
{
    nw::TraceRecord(m_rfc, record, label);
    if (record.code == RFC_OK)
        m_errors->Clear();
    else
        m_errors->Set(record.group, nw::FieldText(record.key), nw::FieldText(record.message), record.code);
}

bool NWRfcListener::Register()
{
    const RFC_CONNECTION_PARAMETER parameters[] = {{L"program_id", m_registration.programId.c_str()},
                                                   {L"gwhost", m_registration.gatewayHost.c_str()},
                                                   {L"gwserv", m_registration.gatewayService.c_str()}};
    TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"Trying to register server: program_id=%1%, gwhost=%2%, gwserv=%3%") %
                                          m_registration.programId % m_registration.gatewayHost %
                                          m_registration.gatewayService)
                                             .str());
    m_record = {};
    RFC_CONNECTION_HANDLE connection = m_rfc.RfcRegisterServer(parameters, 3, &m_record);
    if (!connection) {
        Report(m_record, L"failed to register server");
        return false;
    }
    TRACE_LOG(ostrel::TRACE_INFORMATION, L"RfcRegisterServer: success");
    m_connection = connection;
    return true;
}

void NWRfcListener::Enter(RFC_CONNECTION_HANDLE connection)
{
    std::lock_guard lock(Connections().lock);
    Connections().listeners[connection] = this;
}

void NWRfcListener::Leave() noexcept
{
    std::lock_guard lock(Connections().lock);
    Connections().listeners.erase(m_connection);
}

NWRfcListener* NWRfcListener::Of(RFC_CONNECTION_HANDLE connection)
{
    std::lock_guard lock(Connections().lock);
    auto found = Connections().listeners.find(connection);
    return found == Connections().listeners.end() ? nullptr : found->second;
}

void NWRfcListener::Run() noexcept
{
    while (!StopRequested()) {
        if (m_connection)
            ListenOnce();
        else
            Reconnect();
    }
    if (m_connection) {
        Leave();
        RFC_ERROR_INFO record{};
        m_rfc.RfcCloseConnection(m_connection, &record);
        m_connection = nullptr;
        TRACE_LOG(ostrel::TRACE_INFORMATION, L"Shutdown requested, exiting");
    }
}

void NWRfcListener::ListenOnce()
{
    Enter(m_connection);
    m_record = {};
    const RFC_RC rc = m_rfc.RfcListenAndDispatch(m_connection, 1, &m_record);
    if (KeepsTheConnection(rc))
        return;
    Leave();
    m_connection = nullptr;
    TRACE_LOG(ostrel::TRACE_WARNING, (boost::wformat(L"RfcListenAndDispatch returned rc=%1%") % nw::RcName(m_rfc, rc)).str());
    if (m_record.code == RFC_OK)
        m_record.code = rc;
    Report(m_record, L"RfcListenAndDispatch");
    LetTheClientDecide();
}

void NWRfcListener::Reconnect()
{
    if (Register()) {
        Enter(m_connection);
        TRACE_LOG(ostrel::TRACE_INFORMATION, L"Reconnect successful");
        return;
    }
    LetTheClientDecide();
    // Not at once again: a gateway that is down would be asked without pause, and the client
    // flooded with errors. One listening period, cut short by a shutdown.
    Pause(1000);
}

void NWRfcListener::LetTheClientDecide()
{
    Deliver([&] { m_events.Fire_ServerError(m_errors->info.get()); });
    if (!m_errors->info->Restart())
        RequestStop();
}

RFC_RC NWRfcListener::Dispatch(RFC_FUNCTION_HANDLE function, RFC_ERROR_INFO& errorInfo)
{
    TRACE_LOG(ostrel::TRACE_INFORMATION, L"dispatching incoming function call");
    RFC_FUNCTION_DESC_HANDLE description = m_rfc.RfcDescribeFunction(function, &errorInfo);
    RFC_ABAP_NAME nameBuffer{};
    if (!description || m_rfc.RfcGetFunctionName(description, nameBuffer, &errorInfo) != RFC_OK)
        return errorInfo.code != RFC_OK ? errorInfo.code : RFC_EXTERNAL_FAILURE;
    const std::wstring name = nw::FieldText(nameBuffer);
    TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"received call to %1%: dispatching") % name).str());

    // A call of its own, so that calls served at once never share values.
    com::ptr<CFunctionCall> call = NWRfcPrototypes::Instance().NewCall(name);
    CNWRFCDataConverter converter(m_rfc, errorInfo);
    converter.getRfcArgs(function, &call->Parameters(CFunctionCall::Importing), L"IMPORTING");
    converter.getRfcArgs(function, &call->Parameters(CFunctionCall::Changing), L"CHANGING");
    converter.getRfcArgs(function, &call->Parameters(CFunctionCall::Tables), L"TABLES");
    Deliver([&] { m_events.Fire_IncomingCall(call.get()); });

    if (const std::wstring& exception = call->ExceptionName(); !exception.empty()) {
        converter.putRfcArgs(&call->Parameters(CFunctionCall::Tables), function, L"TABLES", false);
        // After the tables: every library call fills the record anew.
        errorInfo.code = RFC_ABAP_EXCEPTION;
        nw::SetFieldText(errorInfo.key, exception);
        nw::SetFieldText(errorInfo.message, call->ExceptionMessage());
        TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"dispatched call to %1%: ABAP_EXCEPTION %2%: %3%") % name %
                                              exception % call->ExceptionMessage())
                                                 .str());
        return RFC_ABAP_EXCEPTION;
    }
    converter.putRfcArgs(&call->Parameters(CFunctionCall::Exporting), function, L"EXPORTING", false);
    converter.putRfcArgs(&call->Parameters(CFunctionCall::Changing), function, L"CHANGING", false);
    converter.putRfcArgs(&call->Parameters(CFunctionCall::Tables), function, L"TABLES", false);
    TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"dispatched call to %1%: success") % name).str());
    return RFC_OK;
}

RFC_RC NWRfcListener::Authorize(const RFC_SECURITY_ATTRIBUTES& attributes, RFC_ERROR_INFO& errorInfo)
{
    const std::wstring function = Text(attributes.functionName), client = Text(attributes.client),
                       user = Text(attributes.user), program = Text(attributes.progName), snc = Text(attributes.sncName);
    TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"Logon(fn=%1%,client=%2%,user=%3%,progName=%4%,sncName=%5%)") %
                                          function % client % user % program % snc)
                                             .str());
    auto logon = com::make<CRfcServerLogonInfo>();
    com::check(logon->SetLogonInfo(com::bstr(function).get(), com::bstr(client).get(), com::bstr(user).get(),
                                   com::bstr(L"").get(), com::bstr(program).get(),
                                   snc.empty() ? VARIANT_FALSE : VARIANT_TRUE, com::bstr(snc).get()));
    Deliver([&] {
        if (const HRESULT fired = m_events.Fire_Logon(logon.get()); FAILED(fired))
            TRACE_CHECK_HR(fired, L"Fire_Logon");
    });
    const bool allowed = logon->RequestAllowed();
    TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"allowed=%1%") % (allowed ? L"yes" : L"no")).str());
    if (allowed)
        return RFC_OK;
    errorInfo.code = RFC_LOGON_FAILURE;
    return RFC_LOGON_FAILURE;
}

RFC_RC NWRfcListener::TransactionStep(int step, const wchar_t* tid)
{
    static const wchar_t* const kTraces[] = {L"transaction_check(tid=%1%)", L"transaction_commit(tid=%1%)",
                                             L"transaction_rollback(tid=%1%)", L"transaction_confirm(tid=%1%)"};
    TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(kTraces[step]) % Text(tid)).str());
    auto info = com::make<CRfcTransactionInfo>();
    com::check(info->SetTID(com::bstr(Text(tid)).get()));
    Deliver([&] { m_events.Fire_TransactionStep(step, info.get()); });
    const RFC_RC status = static_cast<RFC_RC>(info->Status());
    TRACE_LOG(ostrel::TRACE_INFORMATION, nw::RcName(m_rfc, status));
    return status;
}

// ---- the library's callbacks ---------------------------------------------------------------

RFC_RC SAP_API NWRfcListener::OnCall(RFC_CONNECTION_HANDLE connection, RFC_FUNCTION_HANDLE function,
                                       RFC_ERROR_INFO* errorInfo)
{
    return Guarded(*errorInfo, [&] {
        NWRfcListener* listener = Of(connection);
        return listener ? listener->Dispatch(function, *errorInfo) : RFC_NOT_FOUND;
    });
}

RFC_RC SAP_API NWRfcListener::OnDescribe(const SAP_UC* name, RFC_ATTRIBUTES, RFC_FUNCTION_DESC_HANDLE* description)
{
    const std::wstring function = Text(name);
    TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"look up function: %1%") % function).str());
    RFC_ERROR_INFO record{};
    const RFC_RC rc = Guarded(record, [&] {
        const EntryPoints* rfc = Library::Bound();
        *description = rfc ? NWRfcPrototypes::Instance().Describe(*rfc, function, record) : nullptr;
        return *description ? RFC_OK : RFC_NOT_FOUND;
    });
    if (rc != RFC_OK)
        nw::TraceRecordDetail(record);
    return rc == RFC_EXTERNAL_FAILURE ? RFC_UNKNOWN_ERROR : rc;
}

RFC_RC SAP_API NWRfcListener::OnAuthorize(RFC_CONNECTION_HANDLE connection, RFC_SECURITY_ATTRIBUTES* attributes,
                                            RFC_ERROR_INFO* errorInfo)
{
    return Guarded(*errorInfo, [&] {
        NWRfcListener* listener = Of(connection);
        return listener && attributes ? listener->Authorize(*attributes, *errorInfo) : RFC_OK;
    });
}

#define NWRFC_TRANSACTION_CALLBACK(name, step)                                                  \
    RFC_RC SAP_API NWRfcListener::name(RFC_CONNECTION_HANDLE connection, const SAP_UC* tid) \
    {                                                                                           \
        RFC_ERROR_INFO ignored{};                                                               \
        return Guarded(ignored, [&] {                                                           \
            NWRfcListener* listener = Of(connection);                                           \
            return listener ? listener->TransactionStep(step, tid) : RFC_EXTERNAL_FAILURE;      \
        });                                                                                     \
    }
NWRFC_TRANSACTION_CALLBACK(OnCheck, 0)
NWRFC_TRANSACTION_CALLBACK(OnCommit, 1)
NWRFC_TRANSACTION_CALLBACK(OnRollback, 2)
NWRFC_TRANSACTION_CALLBACK(OnConfirm, 3)
#undef NWRFC_TRANSACTION_CALLBACK

} // namespace tolvane
