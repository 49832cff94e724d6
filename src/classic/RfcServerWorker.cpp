#include "RfcServerWorker.h"

#include "ClassicErrors.h"
#include "RfcServerCall.h"
#include "server/CaughtException.h"
#include "server/RfcServerLogonInfo.h"
#include "server/RfcTransactionInfo.h"
#include "session/Trace.h"

#include <algorithm>
#include <vector>

namespace tolvane {
namespace {

using namespace classic;

// The library hands every call without a handler of its own to the function of this name.
constexpr wchar_t kGlobalServer[] = L"%%USER_GLOBAL_SERVER";
// Between two registrations the client asked for when the gateway refuses them: a gateway that
// is down is not asked again without pause, nor the client flooded with errors.
constexpr DWORD kRegistrationRetryMs = 1000;
// Looks for the next request without a pause after one was served.
constexpr int kQuickLooks = 200;
// What a call ends with after an exception of the component inside it.
constexpr RFC_RC kCallFailed = RFC_SYS_EXCEPTION;

// A field of the logon data: up to its terminator, without the blanks that pad it.
template <size_t N>
std::wstring LogonField(const rfc_char_t (&field)[N])
{
    std::wstring text = classicrfc::FieldText(field);
    text.erase(text.find_last_not_of(L' ') + 1);
    return text;
}

std::wstring Tid(const rfc_char_t* tid) { return tid ? classicrfc::FieldText(tid, RFC_TID_LN + 1) : std::wstring(); }

} // namespace

RfcServerWorker::RfcServerWorker(const EntryPoints& rfc, Settings settings, std::shared_ptr<const FunctionPrototypes> functions,
                                 CProxy_RfcServerEvents events, std::shared_ptr<ServerErrorState> errors)
    : m_rfc(rfc), m_settings(std::move(settings)), m_functions(std::move(functions)), m_events(std::move(events)),
      m_errors(std::move(errors))
{
}

void RfcServerWorker::WaitUntilSettled() noexcept { com::wait_pumping(m_settled.get()); }

void RfcServerWorker::Run() noexcept
{
    bool registeredOnce = false;
    while (!StopRequested()) {
        if (!Initialise()) {
            // A refused first registration is Serve's failure, told by the error state alone.
            if (!Report(registeredOnce) || StopRequested())
                break;
            Pause(kRegistrationRetryMs);
            continue;
        }
        registeredOnce = true;
        const RFC_RC rc = Listen();
        Close();
        if (StopRequested())
            break;
        if (rc == RFC_CLOSED && m_logonRefused) {
            ostrel::TraceFormat(L"the connection ended after a refused logon: registering again\n");
            continue;
        }
        if (!Report(true))
            break;
    }
    ostrel::TraceFormat(L"leaving main loop\n");
    m_settled.set();
}

bool RfcServerWorker::Initialise()
{
    ostrel::TraceFormat(L"CRfcServerWorker::InitializeServer: Call RfcAccept\n");
    m_logonRefused = false;
    m_errorText.clear();
    // The first argument names the program, as in a program's own command line.
    std::wstring program = L"Tolvane", id = L"-a" + m_settings.programId, host = L"-g" + m_settings.gatewayHost,
                 service = L"-x" + m_settings.gatewayService, trace = L"-t";
    std::vector<rfc_char_t*> argv = {program.data(), id.data(), host.data(), service.data()};
    if (m_settings.libraryTrace)
        argv.push_back(trace.data());
    for (size_t i = 0; i < argv.size(); ++i)
        ostrel::TraceFormat(L"argv[%i]='%s'\n", static_cast<int>(i), argv[i]);
    argv.push_back(nullptr);
    m_handle = m_rfc.RfcAcceptU(argv.data());
    if (!m_handle) {
        NoteFailure(RFC_FAILURE, L"RfcAccept");
        return false;
    }
    ostrel::TraceFormat(L"Success: RfcAccept returns valid handle 0x%x\n", m_handle);
    if (!Install()) {
        Close();
        return false;
    }
    m_rfc.RfcInstallTransactionControl2U(&OnCheck, &OnCommit, &OnRollback, &OnConfirm);
    ostrel::TraceFormat(L"entering main loop...\n");
    return true;
}

bool RfcServerWorker::Install()
{
    if (const RFC_RC rc = m_rfc.RfcAttachContextU(m_handle, &OnDisconnect, &OnFree, this); rc != RFC_OK) {
        NoteFailure(rc, L"RfcAttachContext");
        return false;
    }
    // Under their names for the library's documentation; the global function serves them all,
    // also those installed later.
    for (const com::ptr<CFunctionCall>& prototype : m_functions->All()) {
        std::wstring name = prototype->Function().str(), documentation = prototype->Documentation().str();
        ostrel::TraceFormat(L"Installing function: '%s'\n", name.c_str());
        if (const RFC_RC rc = m_rfc.RfcInstallFunctionU(name.data(), nullptr, documentation.data()); rc != RFC_OK) {
            NoteFailure(rc, L"RfcInstallFunction");
            return false;
        }
    }
    std::wstring global = kGlobalServer, none;
    if (const RFC_RC rc = m_rfc.RfcInstallFunctionU(global.data(), &OnCall, none.data()); rc != RFC_OK) {
        NoteFailure(rc, L"RfcInstallFunction");
        return false;
    }
    if (const RFC_RC rc = m_rfc.RfcInstallExternalLogonHandlerU(m_handle, &OnLogon); rc != RFC_OK) {
        NoteFailure(rc, L"RfcInstallExternalLogonHandler");
        return false;
    }
    return true;
}

RFC_RC RfcServerWorker::Listen()
{
    m_listening = true;
    m_settled.set();
    RFC_RC rc = RFC_OK;
    const DWORD poll = m_settings.pollInterval;
    DWORD pause = poll; // idle until the first request
    int quickLooks = 0;
    while (!StopRequested()) {
        rc = m_rfc.RfcListenU(m_handle);
        if (rc == RFC_RETRY) {
            // Right after a request, the next of a series is likely on its way: a few looks
            // without a pause, then ever further apart up to the poll interval.
            if (quickLooks > 0) {
                --quickLooks;
                SwitchToThread();
                continue;
            }
            pause = pause >= poll / 2 ? poll : std::max<DWORD>(2 * pause, 1);
            Pause(pause);
            continue;
        }
        if (rc == RFC_OK) {
            rc = m_rfc.RfcDispatchU(m_handle);
            ostrel::TraceFormat(L"RfcDispatch: %i\n", static_cast<int>(rc));
            pause = 0;
            quickLooks = kQuickLooks;
        }
        if (rc != RFC_OK && rc != RFC_RETRY) {
            NoteFailure(rc, L"listening");
            break;
        }
    }
    m_listening = false;
    return rc;
}

void RfcServerWorker::Close() noexcept
{
    if (!m_handle)
        return;
    ostrel::TraceFormat(L"closing RFC connection 0x%x\n", m_handle);
    m_rfc.RfcCloseU(m_handle);
    m_handle = 0;
}

void RfcServerWorker::NoteFailure(RFC_RC rc, const wchar_t* what)
{
    m_failedRc = rc;
    m_failure = classicrfc::LastError(m_rfc);
    ostrel::TraceFormat(L"%s: rfcsdk error: rfc_rc=%i, error group=%i:key=%s\n\t%s\n", what, static_cast<int>(rc),
                        static_cast<int>(m_failure.group), classicrfc::FieldText(m_failure.key).c_str(),
                        classicrfc::FieldText(m_failure.message).c_str());
}

bool RfcServerWorker::Report(bool ask)
{
    long group = m_failure.group;
    std::wstring key = classicrfc::FieldText(m_failure.key), message = classicrfc::FieldText(m_failure.message);
    if (!m_errorText.empty()) {
        group = RFCERROR_PROGRAM;
        key.clear();
        message = std::exchange(m_errorText, {});
    } else if (message.empty()) {
        group = m_failedRc == RFC_CLOSED ? RFCERROR_COMMUNICATION : RFCERROR_INTERNAL;
        message = L"the RFC library ended the connection with code " + std::to_wstring(m_failedRc);
    }
    try {
        m_errors->Set(group, key, message, m_failedRc);
        if (!ask)
            return false;
        // An object of its own for each error: Restart holds only for the error it answers.
        auto error = com::make<CRfcServerErrorInfo>();
        error->Set(group, key, message, m_failedRc);
        Deliver([&] { m_events.Fire_ServerError(error.get()); });
        return error->Restart();
    } catch (...) {
        ostrel::TraceFormat(L"the error could not be reported: %s\n", CaughtExceptionText().c_str());
        return false;
    }
}

// ---- the callbacks' work --------------------------------------------------------------------

RFC_RC RfcServerWorker::ServeCall(RFC_HANDLE handle)
{
    m_errorText.clear();
    try {
        RFC_FUNCTIONNAME name{};
        RFC_RC rc = m_rfc.RfcGetNameU(handle, name);
        if (rc != RFC_OK)
            return rc;
        const std::wstring function = classicrfc::FieldText(name);
        ostrel::TraceFormat(L"Dispatching call to '%s'...\n", function.c_str());
        RfcServerCall call(m_rfc, handle, m_functions->NewCall(function));
        if ((rc = call.Receive()) != RFC_OK)
            return rc;
        Deliver([&] {
            ostrel::TraceFormat(L"CRfcServer::on_rfc_serve(): fire IncomingCall event\n");
            // A handler that failed still leaves its answer in the call: it is sent as it is.
            if (const HRESULT fired = m_events.Fire_IncomingCall(call.Call()); FAILED(fired))
                ostrel::TraceFormat(L"ERROR: COM exception in IncomingCall event handler: 0x%x\n", static_cast<unsigned>(fired));
            ostrel::TraceFormat(L"CRfcServer::on_rfc_serve(): returned from IncomingCall evt.\n");
        });
        rc = call.Send();
        ostrel::TraceFormat(L"CRfcServerWorker: leaving DispatchCall (rc=%i)\n", static_cast<int>(rc));
        return rc;
    } catch (...) {
        m_errorText = CaughtExceptionText();
        ostrel::TraceFormat(L"ERROR: DispatchCall() exception\n\t%s\n", m_errorText.c_str());
        return kCallFailed;
    }
}

int RfcServerWorker::CheckLogon(const RFC_EXTERNAL_LOGON_CNTL& data)
{
    // The reserved field is not traced: what a library puts there is not ours to show.
    const std::wstring function = LogonField(data.function_name), client = LogonField(data.client),
                       user = LogonField(data.user), language = LogonField(data.language), tcode = LogonField(data.tcode);
    ostrel::TraceFormat(L"SDKLogonCallback: function=%s client=%s user=%s language=%s tcode=%s\n", function.c_str(),
                        client.c_str(), user.c_str(), language.c_str(), tcode.c_str());
    auto logon = com::make<CRfcServerLogonInfo>();
    com::check(logon->SetLogonInfo(com::bstr(function).get(), com::bstr(client).get(), com::bstr(user).get(),
                                   com::bstr(language).get(), com::bstr(tcode).get(), VARIANT_FALSE, com::bstr(L"").get()));
    Deliver([&] { m_events.Fire_Logon(logon.get()); });
    if (logon->RequestAllowed())
        return RFC_EXTERNAL_LOGON_OK;
    ostrel::TraceFormat(L"logon of %s refused\n", user.c_str());
    m_logonRefused = true;
    return RFC_EXTERNAL_LOGON_FAILED;
}

int RfcServerWorker::TransactionStep(int step, const wchar_t* tid)
{
    static const wchar_t* const kSteps[] = {L"check", L"commit", L"rollback", L"confirm"};
    const std::wstring id = Tid(tid);
    ostrel::TraceFormat(L"transaction %s for tid '%s'\n", kSteps[step], id.c_str());
    auto info = com::make<CRfcTransactionInfo>();
    com::check(info->SetTID(com::bstr(id).get()));
    Deliver([&] { m_events.Fire_TransactionStep(step, info.get()); });
    return static_cast<int>(info->Status());
}

// ---- the library's callbacks: nothing may pass them but their result -------------------------

RfcServerWorker* RfcServerWorker::Of(RFC_HANDLE handle, const wchar_t* callback) noexcept
{
    try {
        void* context = nullptr;
        const RFC_RC rc = classic::Library().RfcGetAttachedContextU(handle, &context, nullptr);
        if (rc == RFC_OK && context)
            return static_cast<RfcServerWorker*>(context);
        ostrel::TraceFormat(L"Error: RfcGetAttachedContext returns rc=0x%x => cannot determine context\n", static_cast<unsigned>(rc));
    } catch (...) {
    }
    ostrel::TraceFormat(L"%s failed due to previous error\n", callback);
    return nullptr;
}

RFC_RC SAP_API RfcServerWorker::OnCall(RFC_HANDLE handle)
{
    try {
        ostrel::TraceFormat(L"SDKFunctionCallback for handle 0x%x called in thread 0x%x...\n", handle,
                            static_cast<unsigned>(GetCurrentThreadId()));
        RfcServerWorker* worker = Of(handle, L"SDKFunctionCallback");
        return worker ? worker->ServeCall(handle) : RFC_FAILURE;
    } catch (...) {
        return RFC_FAILURE;
    }
}

int SAP_API RfcServerWorker::OnLogon(RFC_HANDLE handle, RFC_EXTERNAL_LOGON_CNTL* logon, rfc_char_t*)
{
    try {
        RfcServerWorker* worker = logon ? Of(handle, L"SDKLogonCallback") : nullptr;
        return worker ? worker->CheckLogon(*logon) : RFC_EXTERNAL_LOGON_FAILED;
    } catch (...) {
        ostrel::TraceFormat(L"SDKLogonCallback: %s\n", CaughtExceptionText().c_str());
        return RFC_EXTERNAL_LOGON_FAILED;
    }
}

int RfcServerWorker::Step(RFC_HANDLE handle, int step, const rfc_char_t* tid, const wchar_t* callback) noexcept
{
    try {
        RfcServerWorker* worker = Of(handle, callback);
        return worker ? worker->TransactionStep(step, tid) : -1;
    } catch (...) {
        ostrel::TraceFormat(L"%s: %s\n", callback, CaughtExceptionText().c_str());
        return -1;
    }
}

int SAP_API RfcServerWorker::OnCheck(rfc_char_t* tid, RFC_HANDLE handle) { return Step(handle, 0, tid, L"SDKOnCheckTIDEx"); }

int SAP_API RfcServerWorker::OnCommit(rfc_char_t* tid, RFC_HANDLE handle) { return Step(handle, 1, tid, L"SDKOnCommitEx"); }

void SAP_API RfcServerWorker::OnRollback(rfc_char_t* tid, RFC_HANDLE handle, int validHandle)
{
    ostrel::TraceFormat(L"SDKOnRollbackEx (valid=%i)\n", validHandle);
    Step(handle, 2, tid, L"SDKOnRollbackEx");
}

void SAP_API RfcServerWorker::OnConfirm(rfc_char_t* tid, RFC_HANDLE handle) { Step(handle, 3, tid, L"SDKOnConfirmTIDEx"); }

void SAP_API RfcServerWorker::OnDisconnect(RFC_HANDLE handle, unsigned, void*)
{
    try {
        ostrel::TraceFormat(L"SDKDisconnectCallback for handle 0x%x called...\n", handle);
    } catch (...) {
    }
}

void SAP_API RfcServerWorker::OnFree(RFC_HANDLE handle, unsigned, void*)
{
    try {
        ostrel::TraceFormat(L"SDKFreeCallback for handle 0x%x called...\n", handle);
    } catch (...) {
    }
}

} // namespace tolvane
