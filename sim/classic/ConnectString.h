#pragma once

#include "WireMessages.h"

#include <string>
#include <string_view>

namespace classicrfc {

// The parameters of RfcOpenExU: "ID=value ID=value ...". IDs are letters, digits and
// underscores and compare without case; a value runs to the next blank, or is written between
// double quotes, inside which a backslash makes the next double quote or backslash literal (any
// other backslash stands for itself). Syntax errors are RFC_INVALID_PARAMETER and never quote
// the string (it may hold a password).
class ConnectString {
public:
    static ConnectString parse(std::wstring_view text);

    // As written: names in the caller's spelling, in order (this is what sapsim shows tests).
    const simwire::ParameterList& received() const { return m_received; }
    // The last value given for the name (any case), empty when none.
    std::string get(std::string_view upperName) const;
    bool has(std::string_view upperName) const;

private:
    simwire::ParameterList m_received;
};

} // namespace classicrfc
