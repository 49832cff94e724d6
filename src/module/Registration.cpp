#include "Registration.h"

#include "ClassTable.h"

namespace tolvane {

com::ModuleRegistration& Registration() noexcept
{
    // The control's OLEMISC flags, 0x20591 in decimal: set client site first, invisible at run
    // time, activate when visible, inside-out, can't link inside, recompose on resize.
    static com::ModuleRegistration registration(
        {RegistryScripts().begin(), RegistryScripts().end()},
        {{L"APPID", L"{6A83179A-1485-4582-9205-F55C2537D558}"},
         {L"LIBID", L"{FBDBDBA5-518B-4146-A52F-455C0E03492D}"},
         {L"OLEMISC", L"132497"}});
    return registration;
}

} // namespace tolvane
