#include "ClassicRfcLibrary.h"

#include "session/Messages.h"
#include "session/Trace.h"

#include <mutex>

namespace classic {

const EntryPoints& Library()
{
    tolvane::LibraryLoadFailure failure;
    const EntryPoints* rfc = tolvane::SapLibrary<EntryPoints>::Bind(L"librfc32u.dll", failure);
    if (!rfc) {
        ostrel::TraceFormat(L"cannot bind the classic RFC library: %s missing (error %u)\n", failure.what.c_str(),
                            static_cast<unsigned>(failure.error));
        throw tolvane::MessageError(tolvane::msg::ClassicLibraryMissing);
    }
    // Sessions and servers use the library from several threads.
    static std::once_flag initialised;
    std::call_once(initialised, [rfc] { rfc->RfcInitU(); });
    return *rfc;
}

} // namespace classic
