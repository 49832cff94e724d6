#pragma once
// RfcServerWorker: a classic server's registration at the gateway and the thread that serves it.
// The thread registers (RfcAccept), installs the functions and callbacks, and looks for
// requests: at once after a request, then ever further apart up to the poll interval, so that
// calls in a row are not held up and an idle server costs little. Every library callback
// becomes an event on the client's thread (ListeningThread); the callbacks find the worker
// through the context attached to the connection.
//
// A lost connection or a failed call ends the listening: the client gets ServerError with an
// error object of its own and registers again only when it sets Restart. A refused first
// registration only sets the error state (Serve's caller reads it); a refused registration
// after a restart asks the client again, a second later. A logon the client refuses makes the library abort the
// connection; the worker then registers again without troubling the client.
#include "ClassicRfcLibrary.h"
#include "server/FunctionPrototypes.h"
#include "server/ListeningThread.h"
#include "server/RfcServerEvents.h"
#include "server/RfcServerImpl.h"

#include <atomic>
#include <memory>
#include <string>

namespace tolvane {

class RfcServerWorker final : public ListeningThread {
public:
    struct Settings {
        std::wstring programId, gatewayHost, gatewayService;
        bool libraryTrace = false;
        DWORD pollInterval = 50; // milliseconds, at least 1
    };

    // On the client's thread, whose events it will raise there.
    RfcServerWorker(const classic::EntryPoints& rfc, Settings settings, std::shared_ptr<const FunctionPrototypes> functions,
                    CProxy_RfcServerEvents events, std::shared_ptr<ServerErrorState> errors);

    // Waits (pumping) until the worker listens for requests or has given up.
    void WaitUntilSettled() noexcept;
    // Whether the worker is in its main loop.
    bool Listening() const noexcept { return m_listening; }

private:
    void Run() noexcept override;
    // Registers and installs; false with the failure noted.
    bool Initialise();
    // The context, the functions and the logon handler of the registered connection.
    bool Install();
    // Looks for requests and serves them until a stop or a failure; the last code.
    classic::RFC_RC Listen();
    void Close() noexcept;
    // Notes the failure of a library call, with the library's last error of this thread.
    void NoteFailure(classic::RFC_RC rc, const wchar_t* what);
    // The noted failure into the error state; with `ask`, ServerError with an object of its own,
    // and whether its handler asked for a restart.
    bool Report(bool ask);

    // The callbacks' work, on this worker's thread.
    classic::RFC_RC ServeCall(classic::RFC_HANDLE handle);
    int CheckLogon(const classic::RFC_EXTERNAL_LOGON_CNTL& logon);
    int TransactionStep(int step, const wchar_t* tid);

    static RfcServerWorker* Of(classic::RFC_HANDLE handle, const wchar_t* callback) noexcept;
    // A transaction step: the client's Status, or a failure when it cannot be asked.
    static int Step(classic::RFC_HANDLE handle, int step, const classic::rfc_char_t* tid, const wchar_t* callback) noexcept;
    static classic::RFC_RC SAP_API OnCall(classic::RFC_HANDLE handle);
    static int SAP_API OnLogon(classic::RFC_HANDLE handle, classic::RFC_EXTERNAL_LOGON_CNTL* logon, classic::rfc_char_t* message);
    static int SAP_API OnCheck(classic::rfc_char_t* tid, classic::RFC_HANDLE handle);
    static int SAP_API OnCommit(classic::rfc_char_t* tid, classic::RFC_HANDLE handle);
    static void SAP_API OnRollback(classic::rfc_char_t* tid, classic::RFC_HANDLE handle, int validHandle);
    static void SAP_API OnConfirm(classic::rfc_char_t* tid, classic::RFC_HANDLE handle);
    static void SAP_API OnDisconnect(classic::RFC_HANDLE handle, unsigned, void*);
    static void SAP_API OnFree(classic::RFC_HANDLE handle, unsigned, void*);

    const classic::EntryPoints& m_rfc;
    const Settings m_settings;
    std::shared_ptr<const FunctionPrototypes> m_functions;
    CProxy_RfcServerEvents m_events;
    std::shared_ptr<ServerErrorState> m_errors;
    com::Event m_settled;
    std::atomic<bool> m_listening{false};

    // The thread's own.
    classic::RFC_HANDLE m_handle = 0;
    classic::RFC_RC m_failedRc = classic::RFC_OK;
    classic::RFC_ERROR_INFO_EX m_failure{};
    std::wstring m_errorText;   // of an exception inside a call, told instead of the library's error
    bool m_logonRefused = false; // since the registration
};

} // namespace tolvane
