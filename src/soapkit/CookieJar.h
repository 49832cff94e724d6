#pragma once
// CCookieJar: the automation face of a transport's cookie store (GetNamedProperty "cookies").
#include "CookieStore.h"
#include "com/FreeThreaded.h"
#include "HttpUrl.h"
#include "SoapKit.h"
#include "com/Dispatch.h"
#include "com/Object.h"

#include <memory>

namespace soapkit {

class CCookieJar : public com::Object<CCookieJar, com::Dispatch<ICookieJar>, com::SupportErrorInfo<ICookieJar>, com::FreeThreaded> {
public:
    explicit CCookieJar(std::shared_ptr<CookieStore> store) : store_(std::move(store)) {}
    static com::ErrorSource error_source() noexcept { return {&CLSID_CookieJar, &IID_ICookieJar}; }

    HRESULT STDMETHODCALLTYPE AddCookie(BSTR name, BSTR value, BSTR path, BSTR domain) override;
    HRESULT STDMETHODCALLTYPE CookieHeader(BSTR url, BSTR* header) override;
    HRESULT STDMETHODCALLTYPE Count(long* count) override;
    HRESULT STDMETHODCALLTYPE RemoveAll() override;

private:
    std::shared_ptr<CookieStore> store_;
};

// Where a request to `url` goes, as cookies see it.
CookieTarget cookie_target(const HttpUrl& url);

} // namespace soapkit
