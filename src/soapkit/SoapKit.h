#pragma once
// What a client of TolvaneSoap.dll needs: the interfaces and class ids of TolvaneSoapLib
// (ISoapEnvelope, ISoapNodes, ISoapNode, IHttpTransport, ICookieJar; CLSID_SoapEnvelope,
// CLSID_HttpTransport) and the failure codes the component reports. Link tolvane_soapkit_idl
// for the identifiers.
//
// The objects are free-threaded: an interface pointer obtained on one thread may be used on
// any other thread of the process, in any apartment, without marshalling.
#include <windows.h>
#include <oaidl.h>

#include "soapkit/TolvaneSoap_h.h"

namespace soapkit {

// Failure codes of the component. Every failure also sets error information with a
// description (IErrorInfo), whose Source is the class's ProgID.
namespace result {
// ReadResponse: the response is a SOAP fault; BodyNodes then holds the fault's children
// (faultcode, faultstring, detail).
constexpr HRESULT Fault = static_cast<HRESULT>(0x80044201L);
// ReadResponse: not a SOAP envelope, malformed XML, too large or nested too deep;
// FetchResponse: body larger than MaxResponseSize.
constexpr HRESULT ParseError = static_cast<HRESULT>(0x80044240L);
// PostRequest: the URL cannot be used (syntax, scheme other than http/https, no host).
constexpr HRESULT BadUrl = static_cast<HRESULT>(0x80044310L);
// The time-out ran out, the wait was cut short by SetTimeout, or the server closed the
// connection before the response was complete.
constexpr HRESULT TimedOut = static_cast<HRESULT>(0x8007274CL);
// The server (or proxy) refused the connection.
constexpr HRESULT Refused = static_cast<HRESULT>(0x8007274DL);
// The host name could not be resolved (0x80072AFC is reserved for "no address data"; the
// transport reports 0x80072AF9).
constexpr HRESULT HostNotFound = static_cast<HRESULT>(0x80072AF9L);
constexpr HRESULT NoAddressData = static_cast<HRESULT>(0x80072AFCL);
// HTTP 401 from the server (or 407 from the proxy): the logon was refused. Equals E_ACCESSDENIED.
constexpr HRESULT AccessDenied = static_cast<HRESULT>(0x80070005L);
// A call out of order: FetchResponse without a request, WriteRequest on a response.
// (E_ILLEGAL_METHOD_CALL, which mingw's headers do not declare.)
constexpr HRESULT WrongOrder = static_cast<HRESULT>(0x8000000EL);
} // namespace result

// The namespace GetTypedValue expects for XML Schema types.
constexpr wchar_t kXmlSchemaNamespace[] = L"http://www.w3.org/2001/XMLSchema";

} // namespace soapkit
