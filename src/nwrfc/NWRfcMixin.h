#pragma once
// CNWRfcMixin<T>: what the NetWeaver session and server do before their first library call.
// InitSDK prepares the process for the library from the owner's options, binds it and passes
// the options on. What it sets (the search path, the library's trace and ini file) is
// process-wide: the last caller's options win.
//
// T supplies `const OptionMap& Options() const` and
// `void ReportRfcError(const nwrfc::RFC_ERROR_INFO&, std::wstring_view label, unsigned message)`,
// which records a failed library call as the owner's error and throws the message.
#include "NWRfcInit.h"
#include "NWRfcLibrary.h"

namespace tolvane {

template <class T>
class CNWRfcMixin {
protected:
    // The library's entry points, bound and set up. Throws MessageError 547 (library missing),
    // 548 (ini path invalid) or the owner's report of a refused ini file (543).
    const nwrfc::EntryPoints& InitSDK()
    {
        T& self = static_cast<T&>(*this);
        const OptionMap& options = self.Options();
        nw::ExtendSearchPath(options.Value(L"nwrfc.path"));
        const nwrfc::EntryPoints& rfc = nw::BindLibrary();
        nw::PassTraceOptions(rfc, options.Value(L"trace.file"), options.Value(L"trace.level"));
        const std::wstring iniPath = options.Value(L"nwrfc.ini_path");
        if (!iniPath.empty()) {
            nwrfc::RFC_ERROR_INFO record{};
            if (!nw::PassIniPath(rfc, iniPath, record))
                self.ReportRfcError(record, L"RfcSetIniPath", msg::RfcError);
        }
        return rfc;
    }
};

} // namespace tolvane
