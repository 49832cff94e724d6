#pragma once
// CSoapSession: the session kind that reaches an SAP application server through its RFC-over-
// SOAP HTTP service, driving the SOAP component for envelopes and HTTP.
#include "HttpSystemData.h"
#include "SoapErrors.h"
#include "session/SessionImpl.h"

namespace tolvane {

class CSoapSession : public ISessionImpl<CSoapSession, ISoapSession> {
public:
    static constexpr bool kPrunesOptionalImports = true;
    static com::ErrorSource error_source() noexcept { return {&CLSID_SoapSession, &IID_NULL}; }
    static const CLSID& class_id() noexcept { return CLSID_SoapSession; }

    CSoapSession();
    ~CSoapSession() override;

    HRESULT STDMETHODCALLTYPE get_SessionType(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE Connect() override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE CreateTransID(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConfirmTransID(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CallTRFCFunction(BSTR, IFunctionCall*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_HttpSystemData(IHttpSystemData** value) override;

    // The transport hooks of the common session code.
    bool IsConnectedNow() const noexcept { return m_transport != nullptr; }
    void CloseConnection() noexcept {}
    void TraceCallStart(std::wstring_view) {} // the call traces its own lines
    std::unique_ptr<CIntCall> NewCall(IFunctionCall* call, bool synchronous);
    HRESULT ImportCallFromBackend(BSTR name, VARIANT_BOOL ignoreUnsupported, IFunctionCall* call);
    HRESULT ImportTypeFromBackend(BSTR name, IRfcType* type);

private:
    void SetUpTransport();
    short CheckConnection(const std::wstring& url);
    HRESULT ReportFailure(const com::hresult_error& error);
    com::ptr<IRfcType> ImportTableType(const std::wstring& name);
    com::ptr<IRfcType> ImportTableTypeOrFail(const std::wstring& name, HRESULT& result);
    void ImportStructure(const std::wstring& name, IRfcType* type);
    com::ptr<ISoapEnvelope> Exchange(const wchar_t* module, const std::wstring& typeName,
                                     com::ptr<ISoapEnvelope> envelope);
    bool TracingDocuments() const { return !Options().Value(L"trace.file").empty(); }

    com::ptr<CHttpSystemData> m_systemData;
    com::ptr<IHttpTransport> m_transport;
    std::wstring m_url;
    soap::ServerAddress m_address;
};

} // namespace tolvane
