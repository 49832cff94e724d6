#pragma once
// CRfcServer: a server program registered at an SAP gateway through SAP's classic RFC library.
// A worker (RfcServerWorker) registers and listens on a thread of its own; SAP's calls, logon
// checks and transaction steps arrive as events (_RfcServerEvents) on the client's thread.
//
// Options: "trace.file" (also switches on the library's own trace, "-t") and
// "server.poll_interval", the milliseconds between two looks for a request while the server is
// idle (50 when not set).
#include "RfcServerWorker.h"
#include "server/FunctionPrototypes.h"
#include "server/RfcServerImpl.h"

#include <memory>

namespace tolvane {

class CRfcServer : public IRfcServerImpl<CRfcServer> {
public:
    static constexpr const wchar_t* kTraceName = L"RfcServer";
    static constexpr DWORD kDefaultPollInterval = 50;
    static com::ErrorSource error_source() noexcept { return {&CLSID_RfcServer, &IID_IRfcServer}; }
    static const CLSID& class_id() noexcept { return CLSID_RfcServer; }

    HRESULT STDMETHODCALLTYPE Serve() override;
    HRESULT STDMETHODCALLTYPE Shutdown() override;
    HRESULT STDMETHODCALLTYPE get_IsListening(VARIANT_BOOL* value) override;

    void OnInstallFunction(IFunctionCall* call) { m_functions->Install(call); }
    // The last reference is gone: the worker stops (at once, or after the event it is in).
    void final_release() noexcept;

private:
    // With "trace.file" set: the trace is opened and the library traces too.
    bool StartTrace() const;
    DWORD PollInterval() const;
    void StopWorker() noexcept;

    std::shared_ptr<FunctionPrototypes> m_functions = std::make_shared<FunctionPrototypes>();
    std::shared_ptr<RfcServerWorker> m_worker;
};

} // namespace tolvane
