#pragma once
// CNWRfcServer: a server program registered at an SAP gateway through the NetWeaver library.
// SAP's calls, logon checks and transaction steps arrive as events (_RfcServerEvents) while a
// listening thread (NWRfcListener) serves the registration.
#include "NWRfcListener.h"
#include "NWRfcMixin.h"
#include "server/RfcServerImpl.h"

#include <memory>

namespace tolvane {

class CNWRfcServer : public IRfcServerImpl<CNWRfcServer>, public CNWRfcMixin<CNWRfcServer> {
public:
    static constexpr const wchar_t* kTraceName = L"NWRfcServer";
    static com::ErrorSource error_source() noexcept { return {&CLSID_NWRfcServer, &IID_IRfcServer}; }
    static const CLSID& class_id() noexcept { return CLSID_NWRfcServer; }

    HRESULT STDMETHODCALLTYPE Serve() override;
    HRESULT STDMETHODCALLTYPE Shutdown() override;
    HRESULT STDMETHODCALLTYPE get_IsListening(VARIANT_BOOL* value) override;

    void OnInstallFunction(IFunctionCall* call);
    // The last reference is gone: the listening thread stops (at once, or after the event it is in).
    void final_release() noexcept;

    // For CNWRfcMixin.
    using IRfcServerImpl::Options;
    void ReportRfcError(const nwrfc::RFC_ERROR_INFO& record, std::wstring_view label, unsigned message);

private:
    std::shared_ptr<NWRfcListener> m_listener;
};

} // namespace tolvane
