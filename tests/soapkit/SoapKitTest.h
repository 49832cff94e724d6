#pragma once
// What every SOAP component test uses: objects created through COM activation of the
// registered TolvaneSoap.dll (as the SOAP session creates them), byte arrays, the error
// description a failed call left, and a bounded run of work on another thread.
#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Variant.h"
#include "soapkit/SoapKit.h"
#include "support/ThreadError.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>

namespace test {

constexpr wchar_t kRfcNamespace[] = L"urn:sap-com:document:sap:rfc:functions";
constexpr wchar_t kSoapNamespace[] = L"http://schemas.xmlsoap.org/soap/envelope/";

template <class I>
com::ptr<I> Create(REFCLSID clsid)
{
    com::ptr<I> object;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), object.put_void());
    EXPECT_EQ(hr, S_OK) << "creating the object failed (is TolvaneSoap.dll registered?)";
    return object;
}

inline com::ptr<ISoapEnvelope> NewEnvelope() { return Create<ISoapEnvelope>(CLSID_SoapEnvelope); }
inline com::ptr<IHttpTransport> NewTransport() { return Create<IHttpTransport>(CLSID_HttpTransport); }

// A VT_ARRAY | VT_UI1 variant holding `bytes`.
com::variant Bytes(std::string_view bytes);
// The bytes of a VT_ARRAY | VT_UI1 variant.
std::string BytesOf(const com::variant& value);
// The text of a VT_BSTR variant.
std::wstring TextOf(const com::variant& value);

// Reads `xml` (UTF-8) into a new envelope; the HRESULT of ReadResponse goes to `hr`.
com::ptr<ISoapEnvelope> Read(std::string_view xml, HRESULT* hr = nullptr);
// A response envelope with `body` inside soap:Body, as a server writes it.
std::string ResponseXml(std::string_view body);

com::ptr<ISoapNodes> Body(ISoapEnvelope* envelope);
com::ptr<ISoapNodes> Children(ISoapNode* node);
com::ptr<ISoapNode> Find(ISoapNodes* nodes, std::wstring_view name, std::wstring_view ns = L"");
com::ptr<ISoapNode> At(ISoapNodes* nodes, long index);
long Count(ISoapNodes* nodes);
com::ptr<ISoapNode> Add(ISoapNodes* nodes, std::wstring_view name, const com::variant& value = com::variant());
std::wstring Value(ISoapNode* node);
std::wstring Write(ISoapEnvelope* envelope);
com::variant Typed(ISoapNode* node, std::wstring_view type, HRESULT* hr = nullptr);

// Runs `work` on a new thread in a single-threaded apartment of its own and waits for it at
// most `ms`. False when it did not finish in time (the thread is then left to finish).
bool RunOnWorker(std::function<void()> work, DWORD ms = 20000);

} // namespace test
