#include "InPlaceObject.h"

namespace com {

HRESULT InPlaceObject::InPlaceDeactivate()
{
    control().in_place().deactivate();
    return S_OK;
}

HRESULT InPlaceObject::UIDeactivate()
{
    control().in_place().ui_deactivate();
    return S_OK;
}

HRESULT InPlaceObject::SetObjectRects(LPCRECT position, LPCRECT clip)
{
    if (!position || !clip)
        return E_POINTER;
    control().in_place().set_rects(*position, *clip);
    return S_OK;
}

HRESULT InPlaceObject::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result)
{
    if (!result)
        return E_POINTER;
    *result = 0;
    return S_FALSE;
}

HRESULT InPlaceObject::GetDropTarget(IDropTarget** target)
{
    if (!target)
        return E_POINTER;
    *target = nullptr;
    return E_NOTIMPL;
}

} // namespace com
