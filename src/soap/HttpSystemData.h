#pragma once
// CHttpSystemData: where an HTTP-based session finds the SAP server: URL parts, time-out,
// proxy and server-session settings. A plain property bag; values are read at Connect.
#include "com/Bstr.h"
#include "com/Dispatch.h"
#include "com/Object.h"
#include "com/Secret.h"
#include "com/Property.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CHttpSystemData
    : public com::Object<CHttpSystemData, com::Dispatch<IHttpSystemData>, com::SupportErrorInfo<IHttpSystemData>> {
public:
    HRESULT STDMETHODCALLTYPE get_Protocol(BSTR* value) override { return m_protocol.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_Protocol(BSTR value) override { return Store(m_protocol, value); }
    HRESULT STDMETHODCALLTYPE get_Host(BSTR* value) override { return m_host.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_Host(BSTR value) override { return Store(m_host, value); }
    HRESULT STDMETHODCALLTYPE get_Port(long* value) override { return com::get_property(m_port, value); }
    HRESULT STDMETHODCALLTYPE put_Port(long value) override { return com::put_property(m_port, value); }
    HRESULT STDMETHODCALLTYPE get_SoapEndpoint(BSTR* value) override { return m_endpoint.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_SoapEndpoint(BSTR value) override { return Store(m_endpoint, value); }
    HRESULT STDMETHODCALLTYPE get_Timeout(long* value) override { return com::get_property(m_timeout, value); }
    HRESULT STDMETHODCALLTYPE put_Timeout(long value) override { return com::put_property(m_timeout, value); }
    HRESULT STDMETHODCALLTYPE get_ProxyHost(BSTR* value) override { return m_proxyHost.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_ProxyHost(BSTR value) override { return Store(m_proxyHost, value); }
    HRESULT STDMETHODCALLTYPE get_ProxyPort(long* value) override { return com::get_property(m_proxyPort, value); }
    HRESULT STDMETHODCALLTYPE put_ProxyPort(long value) override { return com::put_property(m_proxyPort, value); }
    HRESULT STDMETHODCALLTYPE get_ProxyUser(BSTR* value) override { return m_proxyUser.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_ProxyUser(BSTR value) override { return Store(m_proxyUser, value); }
    HRESULT STDMETHODCALLTYPE get_ProxyPassword(BSTR* value) override { return m_proxyPassword.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_ProxyPassword(BSTR value) override
    {
        return guard([&] { m_proxyPassword.assign(com::view(value)); });
    }
    HRESULT STDMETHODCALLTYPE get_Stateful(VARIANT_BOOL* value) override { return com::get_property(m_stateful, value); }
    HRESULT STDMETHODCALLTYPE put_Stateful(VARIANT_BOOL value) override { return com::put_property(m_stateful, value); }

    const com::bstr& Protocol() const noexcept { return m_protocol; }
    const com::bstr& Host() const noexcept { return m_host; }
    long Port() const noexcept { return m_port; }
    const com::bstr& SoapEndpoint() const noexcept { return m_endpoint; }
    long Timeout() const noexcept { return m_timeout; }
    const com::bstr& ProxyHost() const noexcept { return m_proxyHost; }
    long ProxyPort() const noexcept { return m_proxyPort; }
    const com::bstr& ProxyUser() const noexcept { return m_proxyUser; }
    const com::bstr& ProxyPassword() const noexcept { return m_proxyPassword; }
    bool Stateful() const noexcept { return m_stateful != VARIANT_FALSE; }

private:
    HRESULT Store(com::bstr& member, BSTR value)
    {
        return guard([&] { member = com::bstr(com::view(value)); });
    }

    com::bstr m_protocol{L"http"};
    com::bstr m_host{L""};
    long m_port = 0;
    com::bstr m_endpoint{L"sap/bc/soap/rfc"};
    long m_timeout = 60000;
    com::bstr m_proxyHost{L""};
    long m_proxyPort = 0;
    com::bstr m_proxyUser{L""};
    com::secret_bstr m_proxyPassword{L""};
    VARIANT_BOOL m_stateful = VARIANT_FALSE;
};

} // namespace tolvane
