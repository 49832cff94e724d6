#include "FreeThreaded.h"

#include "ComPtr.h"

#include <objbase.h>

namespace com {

IMarshal* FreeThreaded::marshaler() noexcept
{
    // One for the process, never released: it belongs to the system's COM library, not to us.
    static IMarshal* const shared = []() -> IMarshal* {
        ptr<IUnknown> created;
        if (FAILED(CoCreateFreeThreadedMarshaler(nullptr, created.put())))
            return nullptr;
        return created.try_query<IMarshal>().detach();
    }();
    return shared;
}

HRESULT FreeThreaded::GetUnmarshalClass(REFIID iid, void* object, DWORD context, void* reserved, DWORD flags,
                                        CLSID* clsid)
{
    IMarshal* m = marshaler();
    return m ? m->GetUnmarshalClass(iid, object, context, reserved, flags, clsid) : E_UNEXPECTED;
}

HRESULT FreeThreaded::GetMarshalSizeMax(REFIID iid, void* object, DWORD context, void* reserved, DWORD flags,
                                        DWORD* size)
{
    IMarshal* m = marshaler();
    return m ? m->GetMarshalSizeMax(iid, object, context, reserved, flags, size) : E_UNEXPECTED;
}

HRESULT FreeThreaded::MarshalInterface(IStream* stream, REFIID iid, void* object, DWORD context, void* reserved,
                                       DWORD flags)
{
    IMarshal* m = marshaler();
    return m ? m->MarshalInterface(stream, iid, object, context, reserved, flags) : E_UNEXPECTED;
}

HRESULT FreeThreaded::UnmarshalInterface(IStream* stream, REFIID iid, void** object)
{
    IMarshal* m = marshaler();
    return m ? m->UnmarshalInterface(stream, iid, object) : E_UNEXPECTED;
}

HRESULT FreeThreaded::ReleaseMarshalData(IStream* stream)
{
    IMarshal* m = marshaler();
    return m ? m->ReleaseMarshalData(stream) : E_UNEXPECTED;
}

HRESULT FreeThreaded::DisconnectObject(DWORD reserved)
{
    IMarshal* m = marshaler();
    return m ? m->DisconnectObject(reserved) : E_UNEXPECTED;
}

} // namespace com
