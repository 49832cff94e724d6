#pragma once
// CRfcSession: the session kind that reaches SAP through SAP's classic RFC library. The connect
// string comes from RfcSystemData and the logon data; calls, transactional calls, the logon
// ticket and metadata go through the library, bound on the first Connect (ClassicRfcLibrary.h).
#include "ClassicRfcLibrary.h"
#include "session/RfcSystemData.h"
#include "session/SessionImpl.h"

namespace tolvane {

class CRfcSession : public ISessionImpl<CRfcSession, IRfcSession> {
public:
    static constexpr bool kPrunesOptionalImports = true;
    static com::ErrorSource error_source() noexcept { return {&CLSID_RfcSession, &IID_NULL}; }
    static const CLSID& class_id() noexcept { return CLSID_RfcSession; }

    CRfcSession();
    ~CRfcSession() override;

    HRESULT STDMETHODCALLTYPE get_SessionType(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE Connect() override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE CreateTransID(BSTR* tid) override;
    HRESULT STDMETHODCALLTYPE ConfirmTransID(BSTR tid) override;
    HRESULT STDMETHODCALLTYPE CallTRFCFunction(BSTR tid, IFunctionCall* call) override;
    HRESULT STDMETHODCALLTYPE get_RfcSystemData(IRfcSystemData** value) override;
    HRESULT STDMETHODCALLTYPE GetSSO2Ticket(BSTR* ticket) override;

    // The transport hooks of the common session code.
    bool IsConnectedNow() const noexcept { return m_connection != 0; }
    void CloseConnection() noexcept;
    std::unique_ptr<CIntCall> NewCall(IFunctionCall* call, bool synchronous);
    HRESULT ImportCallFromBackend(BSTR name, VARIANT_BOOL ignoreUnsupported, IFunctionCall* call);
    HRESULT ImportTypeFromBackend(BSTR name, IRfcType* type);

private:
    std::wstring ConnectString() const;
    void ApplyConnectionTimeout();
    // Refuses what needs the connection when there is none (520) or a call uses it (522).
    void RequireConnection();
    // The error state from the library's last error on this thread.
    void SetErrorFromLibrary();
    // One parameter row of a function's interface added to `call`; S_OK, a skipped row, or the
    // failure that ends the import.
    HRESULT AddInterfaceRow(const uint8_t* row, VARIANT_BOOL ignoreUnsupported, IFunctionCall* call);
    HRESULT DefineStructure(const std::wstring& name, IRfcType* type);

    com::ptr<CRfcSystemData> m_systemData;
    const classic::EntryPoints* m_rfc = nullptr;
    classic::RFC_HANDLE m_connection = 0;
};

} // namespace tolvane
