#include "RfcServerEvents.h"

#include "com/Boundary.h"
#include "com/Variant.h"
#include "session/Trace.h"

namespace tolvane {

HRESULT CProxy_RfcServerEvents::Fire(DISPID id, IDispatch* argument, const wchar_t* event) noexcept
{
    return com::hresult_of([&] {
        const com::variant args[] = {com::variant(argument)};
        return m_sinks->fire(id, args, [event](const com::SinkFailure& failure) {
            ostrel::TraceFormat(L"%s: the event handler failed (0x%08x) %s\n", event, static_cast<unsigned>(failure.code),
                                failure.description.c_str());
        });
    });
}

} // namespace tolvane
