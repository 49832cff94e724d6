#include "PersistStreamInit.h"

namespace com {

HRESULT PersistStreamInit::Load(LPSTREAM stream)
{
    if (!stream)
        return E_POINTER;
    return hresult_of([&] {
        control().load(stream);
        return S_OK;
    });
}

HRESULT PersistStreamInit::Save(LPSTREAM stream, BOOL clear_dirty)
{
    if (!stream)
        return E_POINTER;
    return hresult_of([&] {
        control().save(stream);
        if (clear_dirty)
            control().set_dirty(false);
        return S_OK;
    });
}

HRESULT PersistStreamInit::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size)
        return E_POINTER;
    return hresult_of([&] {
        size->QuadPart = control().saved_size();
        return S_OK;
    });
}

HRESULT PersistStreamInit::InitNew()
{
    control().take_extent(control().control_class().default_extent);
    return S_OK;
}

} // namespace com
