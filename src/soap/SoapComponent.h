#pragma once
// The SOAP component (TolvaneSoap.dll) as the SOAP session uses it: objects created by class id,
// calls whose failures become hresult_error with the component's description, and the pieces
// of an RFC-over-SOAP exchange.
#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Variant.h"
#include "soapkit/SoapKit.h"

#include <string>
#include <string_view>

namespace tolvane::soap {

constexpr wchar_t kRfcNamespace[] = L"urn:sap-com:document:sap:rfc:functions";

// A failed call into the component, with the description it left.
inline void Check(HRESULT hr)
{
    if (FAILED(hr))
        throw com::hresult_error::from_thread(hr);
}

com::ptr<ISoapEnvelope> NewEnvelope();
com::ptr<IHttpTransport> NewTransport();

// The body element of a module: "/" in a name is written "_-".
std::wstring ElementName(std::wstring_view module);

// A fresh request envelope whose body element is named after `module`.
com::ptr<ISoapEnvelope> BeginRequest(std::wstring_view module);

// Appends an element with a text value to a node collection.
com::ptr<ISoapNode> AddNode(ISoapNodes* nodes, std::wstring_view name, const com::variant& value = {});

com::ptr<ISoapNodes> BodyNodes(ISoapEnvelope* envelope);
com::ptr<ISoapNodes> ChildNodes(ISoapNode* node);
// The first child of that name in that namespace (empty: unqualified), or null.
com::ptr<ISoapNode> FindNode(ISoapNodes* nodes, std::wstring_view name, std::wstring_view ns = {});

// The received value of an element in the form traces show it: "{null}", "{binary}",
// "{empty}" or its text.
std::wstring DisplayText(const com::variant& value);

// The exception a SOAP fault reports for `module`: the Name of the module's exception
// element, or the type and message of an Error element. Any failure while reading it gives
// "UNKNOWN" and the failure's description.
struct FaultInfo {
    std::wstring name;
    std::wstring message;
};
FaultInfo ReadFault(ISoapEnvelope* envelope, std::wstring_view module) noexcept;

// Request text with the values of password elements replaced, for traces.
std::wstring MaskPasswords(std::wstring text);
bool IsPasswordParameter(std::wstring_view name) noexcept;

} // namespace tolvane::soap
