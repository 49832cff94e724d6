#pragma once
// Session behaviour that does not depend on the session kind.
#include "idl/Tolvane_h.h"

#include <string>
#include <string_view>

namespace tolvane {

// Removes from the call's Importing list every scalar parameter that has no value (VT_EMPTY)
// and is optional or has a default, tracing each: SAP then applies its own default. The call
// object keeps the change.
void PruneOptionalImports(IFunctionCall* call);

// Whether the value of a parameter, field or connection parameter so named must never reach a
// trace: passwords and logon tickets (names containing PASSWORD, PASSWD, PWD, TICKET or SSO2, in
// any letter case).
bool IsSecretName(std::wstring_view name) noexcept;

// Shows the modal About box over the active window.
HRESULT ShowAboutBox();

} // namespace tolvane
