#pragma once
// CRfcServerLogonInfo: who asks a server to run a function, passed with the Logon event. The
// client answers through RequestAllowed (true unless it says no).
#include "com/Bstr.h"
#include "com/Dispatch.h"
#include "com/Object.h"
#include "com/Property.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CRfcServerLogonInfo
    : public com::Object<CRfcServerLogonInfo, com::Dispatch<IRfcServerLogonInfo>, com::SupportErrorInfo<IRfcServerLogonInfo>> {
public:
    HRESULT STDMETHODCALLTYPE get_Function(BSTR* value) override { return m_function.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Client(BSTR* value) override { return m_client.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_User(BSTR* value) override { return m_user.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Language(BSTR* value) override { return m_language.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_TCode(BSTR* value) override { return m_tcode.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_SNCEnabled(VARIANT_BOOL* value) override { return com::get_property(m_sncEnabled, value); }
    HRESULT STDMETHODCALLTYPE get_SNCPartnerName(BSTR* value) override { return m_sncPartner.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_RequestAllowed(VARIANT_BOOL* value) override { return com::get_property(m_allowed, value); }
    HRESULT STDMETHODCALLTYPE put_RequestAllowed(VARIANT_BOOL value) override { return com::put_property(m_allowed, value); }
    HRESULT STDMETHODCALLTYPE SetLogonInfo(BSTR function, BSTR client, BSTR user, BSTR language, BSTR tcode,
                                           VARIANT_BOOL sncEnabled, BSTR sncPartnerName) override
    {
        return guard([&] {
            m_function = com::bstr(com::view(function));
            m_client = com::bstr(com::view(client));
            m_user = com::bstr(com::view(user));
            m_language = com::bstr(com::view(language));
            m_tcode = com::bstr(com::view(tcode));
            m_sncEnabled = sncEnabled;
            m_sncPartner = com::bstr(com::view(sncPartnerName));
        });
    }

    bool RequestAllowed() const noexcept { return m_allowed != VARIANT_FALSE; }

private:
    com::bstr m_function, m_client, m_user, m_language, m_tcode, m_sncPartner;
    VARIANT_BOOL m_sncEnabled = VARIANT_FALSE;
    VARIANT_BOOL m_allowed = VARIANT_TRUE;
};

} // namespace tolvane
