#pragma once
// CNWRfcSession: the session kind that reaches SAP through SAP's NetWeaver RFC library.
// Connection parameters come from the connect string of RfcSystemData and the logon data;
// calls, transactional calls, the logon ticket and metadata go through the library, bound on
// the first Connect (NWRfcLibrary.h).
#include "NWRfcMixin.h"
#include "session/RfcSystemData.h"
#include "session/SessionImpl.h"

#include <map>
#include <string>
#include <vector>

namespace tolvane {

namespace nw {
struct ConnectionPair;
}

class CNWRfcSession : public ISessionImpl<CNWRfcSession, IRfcSession>, public CNWRfcMixin<CNWRfcSession> {
public:
    static constexpr bool kPrunesOptionalImports = false;
    // The library's group of an ABAP exception (its groups are kept as it gives them).
    static constexpr long kApplicationExceptionGroup = nwrfc::RFC_GROUP_ABAP_APPLICATION_FAILURE;
    static com::ErrorSource error_source() noexcept { return {&CLSID_NWRfcSession, &IID_NULL}; }
    static const CLSID& class_id() noexcept { return CLSID_NWRfcSession; }

    CNWRfcSession();
    ~CNWRfcSession() override;

    HRESULT STDMETHODCALLTYPE get_SessionType(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE Connect() override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE CreateTransID(BSTR* tid) override;
    HRESULT STDMETHODCALLTYPE ConfirmTransID(BSTR tid) override;
    HRESULT STDMETHODCALLTYPE CallTRFCFunction(BSTR tid, IFunctionCall* call) override;
    HRESULT STDMETHODCALLTYPE get_RfcSystemData(IRfcSystemData** value) override;
    HRESULT STDMETHODCALLTYPE GetSSO2Ticket(BSTR* ticket) override;

    // The transport hooks of the common session code.
    bool IsConnectedNow() const noexcept { return m_connection != nullptr; }
    void CloseConnection() noexcept;
    std::unique_ptr<CIntCall> NewCall(IFunctionCall* call, bool synchronous);
    HRESULT ImportCallFromBackend(BSTR name, VARIANT_BOOL ignoreUnsupported, IFunctionCall* call);
    HRESULT ImportTypeFromBackend(BSTR name, IRfcType* type);

    // For CNWRfcMixin.
    using ISessionImpl::Options;
    void ReportRfcError(const nwrfc::RFC_ERROR_INFO& record, std::wstring_view label, unsigned message);

private:
    // The pairs RfcOpenConnection receives: the connect string's, then SAP GUI and logon data.
    std::vector<nw::ConnectionPair> ConnectionPairs() const;
    // The session's error from `m_record` after a library call: cleared (traced with the label)
    // on success; set and thrown as `message` on failure.
    void Report(std::wstring_view label, unsigned message = msg::RfcError);
    // Refuses what needs the connection when there is none (520) or a call uses it (522).
    void RequireConnection();
    nwrfc::RFC_TRANSACTION_HANDLE& Transaction(BSTR tid);
    void DestroyTransactions() noexcept;

    com::ptr<CRfcSystemData> m_systemData;
    const nwrfc::EntryPoints* m_rfc = nullptr;
    nwrfc::RFC_CONNECTION_HANDLE m_connection = nullptr;
    nwrfc::RFC_ERROR_INFO m_record{};
    // Transaction IDs handed out and not confirmed yet, with the handle of their last call.
    std::map<std::wstring, nwrfc::RFC_TRANSACTION_HANDLE> m_transactions;
};

} // namespace tolvane
