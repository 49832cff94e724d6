#pragma once
// What the NetWeaver session and server share besides the converter and the field
// descriptions: type codes, the connection parameters a connect string and the logon data make,
// and whole function descriptions built from a client's call.
#include "NWRfcLibrary.h"
#include "idl/Tolvane_h.h"

#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

namespace nw {

// The library's type numbers and ABAPTYPE coincide for 0 to 10, 17, 29 and 30; every other
// library type has no ABAPTYPE (-1), every other ABAPTYPE is the library's null type.
long AbapTypeOf(nwrfc::RFCTYPE type) noexcept;
nwrfc::RFCTYPE RfcTypeOf(long abapType) noexcept;

struct ConnectionPair {
    std::wstring name, value;
};

// The connect string with every backslash that escapes nothing doubled, so that Windows paths
// keep their single backslashes through the tokenizer.
std::wstring EscapeConnectString(std::wstring_view text);

// The name=value pairs of an escaped connect string, names in lower case. Throws MessageError
// 546 for a token without a name (empty, no "=", "=" first), com::hresult_error E_INVALIDARG
// when the tokenizer itself fails.
std::vector<ConnectionPair> ParseConnectString(const std::wstring& escaped);

// A connect string or pair list as traces show it: the values of passwd and mysapsso2 (names
// in any letter case) replaced by asterisks.
std::wstring MaskedConnectString(std::wstring_view escaped);
std::wstring MaskedPairs(const std::vector<ConnectionPair>& pairs);

} // namespace nw

// A library function description of a client's call, for a server to describe an installed
// function to SAP. Throws MessageError 543 (traced) when the library refuses a step.
nwrfc::RFC_FUNCTION_DESC_HANDLE NWRFCCreateFunctionDesc(const nwrfc::EntryPoints& rfc, IFunctionCall* call,
                                                        nwrfc::RFC_ERROR_INFO& errorInfo);
void NWRFCAddParameters(const nwrfc::EntryPoints& rfc, IRfcParameters* parameters, nwrfc::RFC_DIRECTION direction,
                        nwrfc::RFC_FUNCTION_DESC_HANDLE function, nwrfc::RFC_ERROR_INFO& errorInfo);

} // namespace tolvane
