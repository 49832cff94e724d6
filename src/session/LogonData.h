#pragma once
// CLogonData: who logs on to SAP: client, user, password, language, and the other credentials
// a session kind may use. One per session for the session's whole life.
#include "OptionMap.h"
#include "com/Dispatch.h"
#include "com/Object.h"
#include "com/Secret.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CLogonData : public com::Object<CLogonData, com::Dispatch<ILogonData>, com::SupportErrorInfo<ILogonData>> {
public:
    HRESULT STDMETHODCALLTYPE get_Client(BSTR* value) override { return m_client.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_Client(BSTR value) override { return Store(m_client, value); }
    HRESULT STDMETHODCALLTYPE get_User(BSTR* value) override { return m_user.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_User(BSTR value) override { return Store(m_user, value); }
    HRESULT STDMETHODCALLTYPE get_Password(BSTR* value) override { return m_password.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_Password(BSTR value) override { return StoreSecret(m_password, value); }
    HRESULT STDMETHODCALLTYPE get_Language(BSTR* value) override { return m_language.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_Language(BSTR value) override { return Store(m_language, value); }
    HRESULT STDMETHODCALLTYPE get_SSO2Ticket(BSTR* value) override { return m_ticket.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_SSO2Ticket(BSTR value) override { return StoreSecret(m_ticket, value); }
    HRESULT STDMETHODCALLTYPE get_X509Cert(BSTR* value) override { return m_certificate.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_X509Cert(BSTR value) override { return StoreSecret(m_certificate, value); }
    HRESULT STDMETHODCALLTYPE get_ExtIdData(BSTR* value) override { return m_extIdData.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_ExtIdData(BSTR value) override { return Store(m_extIdData, value); }
    HRESULT STDMETHODCALLTYPE get_ExtIdType(BSTR* value) override { return m_extIdType.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_ExtIdType(BSTR value) override { return Store(m_extIdType, value); }
    HRESULT STDMETHODCALLTYPE get_Option(BSTR name, BSTR* value) override { return m_options.Get(name, value); }
    HRESULT STDMETHODCALLTYPE put_Option(BSTR name, BSTR value) override
    {
        return guard([&] { m_options.Put(name, value); });
    }

    // For the session kinds.
    const com::bstr& Client() const noexcept { return m_client; }
    const com::bstr& User() const noexcept { return m_user; }
    const com::bstr& Password() const noexcept { return m_password; }
    const com::bstr& Language() const noexcept { return m_language; }
    const com::bstr& SSO2Ticket() const noexcept { return m_ticket; }
    const com::bstr& X509Cert() const noexcept { return m_certificate; }
    const com::bstr& ExtIdData() const noexcept { return m_extIdData; }
    const com::bstr& ExtIdType() const noexcept { return m_extIdType; }

private:
    HRESULT Store(com::bstr& member, BSTR value)
    {
        return guard([&] { member = value ? com::bstr(com::view(value)) : com::bstr(); });
    }
    HRESULT StoreSecret(com::secret_bstr& member, BSTR value)
    {
        return guard([&] { member.assign(value); });
    }

    com::bstr m_client, m_user, m_language, m_extIdData, m_extIdType;
    com::secret_bstr m_password, m_ticket, m_certificate;
    OptionMap m_options;
};

} // namespace tolvane
