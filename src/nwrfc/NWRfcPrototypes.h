#pragma once
// The functions NetWeaver servers have installed, shared by every server of the process (SAP
// names a function, not a server), with the library descriptions made of them. A lock guards it:
// listening threads and InstallFunction use it at once.
#include "NWRfcLibrary.h"
#include "server/FunctionPrototypes.h"

#include <map>
#include <mutex>
#include <string>

namespace tolvane {

class NWRfcPrototypes {
public:
    static NWRfcPrototypes& Instance();

    // A private copy of the call's interface becomes the prototype of its name, replacing an
    // earlier one.
    void Install(IFunctionCall* call);
    // A call with the prototype's interface and values of its own; an empty call of that name
    // for a function never installed.
    com::ptr<CFunctionCall> NewCall(const std::wstring& name) const { return m_functions.NewCall(name); }
    // The library's description of a function: of its prototype, or an empty one for a name
    // never installed. Names never installed are described up to a bound, so that partners
    // naming ever new functions cannot grow the process without end; past it, null.
    nwrfc::RFC_FUNCTION_DESC_HANDLE Describe(const nwrfc::EntryPoints& rfc, const std::wstring& name,
                                             nwrfc::RFC_ERROR_INFO& errorInfo);

    static constexpr size_t kUnknownNamesDescribed = 256;

private:
    FunctionPrototypes m_functions;
    std::mutex m_lock; // the descriptions, and an installation with its description
    std::map<std::wstring, nwrfc::RFC_FUNCTION_DESC_HANDLE> m_described; // of the current prototypes
    std::map<std::wstring, nwrfc::RFC_FUNCTION_DESC_HANDLE> m_unknown;
};

} // namespace tolvane
