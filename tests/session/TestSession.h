#pragma once
// A session kind of the test tree: the common session code over an in-memory backend whose
// function modules are written in C++ below. Calls run over a transport that keeps no state
// of its own, so what the tests see is the common code's behaviour.
#include "session/SessionImpl.h"

#include <functional>
#include <map>
#include <set>
#include <string>

namespace test {

// A function module of the backend: fills the call's outputs, or fails with an error record.
struct ModuleResult {
    bool failed = false;
    long group = 0;
    std::wstring groupText, message;
    bool closed = false; // the partner closes the connection with this answer
};
using ModuleHandler = std::function<ModuleResult(IFunctionCall* call)>;

struct Backend {
    std::map<std::wstring, ModuleHandler> modules;
    // Interface descriptions for ImportCallFromBackend, and what it was asked for.
    std::map<std::wstring, std::function<void(IFunctionCall* prototype)>> interfaces;
    // Imports of these names fail as a backend that cannot describe a function fails: the
    // prototype comes back empty, with the error state set.
    std::set<std::wstring> undescribable;
    std::atomic<int> imports{0};
    std::atomic<int> calls{0};
    std::atomic<int> sessionsDestroyed{0};
    // While set, a call waits in Receive until aborted or released.
    HANDLE holdCalls = nullptr;
};

class CTestSession : public tolvane::ISessionImpl<CTestSession, ISoapSession> {
public:
    static constexpr bool kPrunesOptionalImports = true;
    static com::ErrorSource error_source() noexcept { return {&CLSID_SoapSession, &IID_NULL}; }
    static const CLSID& class_id() noexcept { return CLSID_SoapSession; }

    explicit CTestSession(Backend& backend) : m_backend(backend) {}
    ~CTestSession() override { ++m_backend.sessionsDestroyed; }

    HRESULT STDMETHODCALLTYPE get_SessionType(BSTR* value) override { return com::bstr(L"TEST").copy_to(value); }
    HRESULT STDMETHODCALLTYPE Connect() override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE CreateTransID(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConfirmTransID(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CallTRFCFunction(BSTR, IFunctionCall*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_HttpSystemData(IHttpSystemData**) override { return E_NOTIMPL; }

    bool IsConnectedNow() const noexcept { return m_connected; }
    void CloseConnection() noexcept { m_connected = false; }
    std::unique_ptr<tolvane::CIntCall> NewCall(IFunctionCall* call, bool synchronous);
    HRESULT ImportCallFromBackend(BSTR name, VARIANT_BOOL ignoreUnsupported, IFunctionCall* call);
    HRESULT ImportTypeFromBackend(BSTR name, IRfcType* type);

    // The error state as a test sets it up.
    using ISessionImpl::SetErrorState;

private:
    Backend& m_backend;
    std::atomic<bool> m_connected{false};
};

// A backend with the standard modules the session code itself calls: SUSR_LOGIN_CHECK_RFC
// (users EXPIRED and LOCKED fail), SUSR_USER_CHANGE_PASSWORD_RFC, SLDAG_CHECK_FOR_UNICODE,
// RFC_READ_TABLE over `tableRows` (each row the WA text; FIELDS as given in `tableFields`).
struct StandardBackend : Backend {
    std::wstring user = L"DEMO";
    std::wstring changedFrom, changedTo;
    struct Column {
        std::wstring name, offset, length, type;
    };
    std::vector<Column> tableFields;
    std::vector<std::wstring> tableRows;
    long lastRowCount = -1, lastRowSkips = -1;
    std::vector<std::wstring> lastOptions, lastFields;
    bool failReadTable = false;

    StandardBackend();
};

com::ptr<CTestSession> NewSession(Backend& backend, bool connect = true);

} // namespace test
