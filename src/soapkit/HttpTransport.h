#pragma once
// CHttpTransport: SOAP requests over HTTP. PostRequest sends and returns once the request is
// out; FetchResponse waits for the answer. Both wait within the time-out, which another thread
// may change meanwhile (SetTimeout wakes the waiter). Requests are served one at a time.
#include "CookieJar.h"
#include "CookieStore.h"
#include "com/FreeThreaded.h"
#include "HttpExchange.h"
#include "SoapKit.h"
#include "Timeout.h"
#include "com/Dispatch.h"
#include "com/Object.h"

#include <atomic>
#include <mutex>
#include <string>

namespace soapkit {

class CHttpTransport
    : public com::Object<CHttpTransport, com::Dispatch<IHttpTransport>, com::SupportErrorInfo<IHttpTransport>, com::FreeThreaded> {
public:
    CHttpTransport();
    ~CHttpTransport() override;
    static com::ErrorSource error_source() noexcept { return {&CLSID_HttpTransport, &IID_IHttpTransport}; }

    HRESULT STDMETHODCALLTYPE PostRequest(BSTR url, BSTR text) override;
    HRESULT STDMETHODCALLTYPE FetchResponse(BSTR* charset, VARIANT* body) override;
    HRESULT STDMETHODCALLTYPE SetActionHeader(BSTR action) override;
    HRESULT STDMETHODCALLTYPE SetTimeout(long milliseconds) override;
    HRESULT STDMETHODCALLTYPE UseProxy(BSTR host, long port) override;
    HRESULT STDMETHODCALLTYPE SetCredentials(BSTR user, BSTR password) override;
    HRESULT STDMETHODCALLTYPE SetProxyCredentials(BSTR user, BSTR password) override;
    HRESULT STDMETHODCALLTYPE GetHttpStatus(short* status) override;
    HRESULT STDMETHODCALLTYPE GetNamedProperty(BSTR name, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE get_MaxResponseSize(long* bytes) override;
    HRESULT STDMETHODCALLTYPE put_MaxResponseSize(long bytes) override;
    HRESULT STDMETHODCALLTYPE CancelRequest() override;

private:
    // What the next request is built from; guarded by settings_mutex_.
    struct Settings {
        std::wstring proxy;               // "host:port"
        std::wstring authorization;       // "Basic ..." or empty
        std::wstring proxy_authorization; // "Basic ..." or empty
        std::wstring action;              // for the next request only
        long max_response = 128L * 1024 * 1024;
        int status = 0;
        std::wstring content_type;
    };

    HttpRequest build_request(const HttpUrl& url, std::string body);
    com::safearray receive(HttpExchange& exchange, ULONGLONG start);
    void record_head(const HttpResponseHead& head);
    com::ptr<ICookieJar> jar();

    std::mutex operation_mutex_; // one request at a time
    ExchangeUse current_;        // sent, response not fetched yet
    HttpUrl current_url_;

    mutable std::mutex settings_mutex_;
    Settings settings_;
    com::ptr<ICookieJar> jar_;

    Timeout timeout_;
    std::atomic<bool> waiting_{false};
    std::shared_ptr<CookieStore> cookies_ = std::make_shared<CookieStore>();
};

} // namespace soapkit
