#pragma once

#include "Text.h"

#include "WireMessages.h"

#include <map>
#include <mutex>
#include <string>

namespace nwrfc {

// sapnwrfc.ini: destinations, each starting with a line DEST=<name> followed by NAME=VALUE
// lines; blank lines and lines starting with '#' are skipped; names are not case-sensitive.
// It is read from the directory (or file) given by RfcSetIniPath, else from the working
// directory when first needed, and again on RfcReloadIniFile. A missing file has no
// destinations.
class IniFile {
public:
    static IniFile& instance();

    void setPath(Uview path);
    void reload();
    // The destination's parameters with lower-case names, in file order; RFC_INVALID_PARAMETER
    // when the file has no such destination.
    simwire::ParameterList destination(const std::string& name);

private:
    void loadLocked();

    std::mutex m_mutex;
    std::wstring m_file = L"sapnwrfc.ini";
    bool m_loaded = false;
    std::map<std::string, simwire::ParameterList> m_destinations; // upper-case names
};

} // namespace nwrfc
