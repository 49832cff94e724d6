#pragma once
// NWRfcListener: one NetWeaver server's registration at the gateway and the thread that serves
// it. The library calls back on that thread; every callback becomes an event for the client,
// raised on the client's own thread (ListeningThread). The handler works on the event's objects
// directly: they are plain objects, and their maker waits while the handler uses them.
#include "NWRfcLibrary.h"
#include "server/ListeningThread.h"
#include "server/RfcServerEvents.h"
#include "server/RfcServerImpl.h"

#include <functional>
#include <memory>
#include <string>

namespace tolvane {

class NWRfcListener final : public ListeningThread {
public:
    struct Registration {
        std::wstring programId, gatewayHost, gatewayService;
    };

    // On the client's thread, whose events it will raise there.
    NWRfcListener(const nwrfc::EntryPoints& rfc, Registration registration, CProxy_RfcServerEvents events,
                  std::shared_ptr<ServerErrorState> errors);

    // Registers at the gateway; false with the error state set when the gateway refuses. Then
    // Start listens on the registered connection.
    bool Register();

    // The library's callbacks, installed once for the process.
    static void InstallCallbacks(const nwrfc::EntryPoints& rfc, const std::function<void(const wchar_t*)>& failed);

private:
    void Run() noexcept override;
    void ListenOnce();
    void Reconnect();
    // A lost connection or a failed registration: the client decides with Restart.
    void LetTheClientDecide();
    void Report(const nwrfc::RFC_ERROR_INFO& record, const std::wstring& label);

    // Callbacks, found through the connections table.
    nwrfc::RFC_RC Dispatch(nwrfc::RFC_FUNCTION_HANDLE function, nwrfc::RFC_ERROR_INFO& errorInfo);
    nwrfc::RFC_RC Authorize(const nwrfc::RFC_SECURITY_ATTRIBUTES& attributes, nwrfc::RFC_ERROR_INFO& errorInfo);
    nwrfc::RFC_RC TransactionStep(int step, const wchar_t* tid);

    static NWRfcListener* Of(nwrfc::RFC_CONNECTION_HANDLE connection);
    void Enter(nwrfc::RFC_CONNECTION_HANDLE connection);
    void Leave() noexcept;

    static nwrfc::RFC_RC SAP_API OnCall(nwrfc::RFC_CONNECTION_HANDLE, nwrfc::RFC_FUNCTION_HANDLE, nwrfc::RFC_ERROR_INFO*);
    static nwrfc::RFC_RC SAP_API OnDescribe(const nwrfc::SAP_UC*, nwrfc::RFC_ATTRIBUTES, nwrfc::RFC_FUNCTION_DESC_HANDLE*);
    static nwrfc::RFC_RC SAP_API OnAuthorize(nwrfc::RFC_CONNECTION_HANDLE, nwrfc::RFC_SECURITY_ATTRIBUTES*,
                                               nwrfc::RFC_ERROR_INFO*);
    static nwrfc::RFC_RC SAP_API OnCheck(nwrfc::RFC_CONNECTION_HANDLE, const nwrfc::SAP_UC*);
    static nwrfc::RFC_RC SAP_API OnCommit(nwrfc::RFC_CONNECTION_HANDLE, const nwrfc::SAP_UC*);
    static nwrfc::RFC_RC SAP_API OnRollback(nwrfc::RFC_CONNECTION_HANDLE, const nwrfc::SAP_UC*);
    static nwrfc::RFC_RC SAP_API OnConfirm(nwrfc::RFC_CONNECTION_HANDLE, const nwrfc::SAP_UC*);

    const nwrfc::EntryPoints& m_rfc;
    const Registration m_registration;
    CProxy_RfcServerEvents m_events;
    std::shared_ptr<ServerErrorState> m_errors;
    nwrfc::RFC_CONNECTION_HANDLE m_connection = nullptr; // the thread's, once started
    nwrfc::RFC_ERROR_INFO m_record{};
};

} // namespace tolvane
