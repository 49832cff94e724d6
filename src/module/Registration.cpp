#include "Registration.h"

#include "ClassTable.h"
#include "ConnectorCtrl.h"

#include <string>

namespace tolvane {

com::ModuleRegistration& Registration() noexcept
{
    static const std::wstring misc_status = std::to_wstring(CConnectorCtrl::kMiscStatus);
    static com::ModuleRegistration registration(
        {RegistryScripts().begin(), RegistryScripts().end()},
        {{L"APPID", L"{6A83179A-1485-4582-9205-F55C2537D558}"},
         {L"LIBID", L"{FBDBDBA5-518B-4146-A52F-455C0E03492D}"},
         {L"OLEMISC", misc_status.c_str()}});
    return registration;
}

} // namespace tolvane
