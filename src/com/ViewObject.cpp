#include "ViewObject.h"

namespace com {

HRESULT ViewObject::Draw(DWORD aspect, LONG index, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                         WINBOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    if (aspect != DVASPECT_CONTENT && aspect != DVASPECT_DOCPRINT)
        return DV_E_DVASPECT;
    if (aspect == DVASPECT_CONTENT && index != -1) // for printing it is a page number
        return DV_E_LINDEX;
    if (!dc)
        return E_INVALIDARG;
    RECT area{};
    if (bounds)
        area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    else if (control().in_place().windowless()) // a windowless control draws where it is placed
        area = control().in_place().position();
    else
        return E_INVALIDARG;
    control().draw(dc, area);
    return S_OK;
}

HRESULT ViewObject::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours)
{
    if (!colours)
        return E_POINTER;
    *colours = nullptr;
    return S_FALSE;
}

HRESULT ViewObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink)
{
    control().advise().set_view_sink(aspects, flags, sink);
    return S_OK;
}

HRESULT ViewObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink)
{
    return control().advise().get_view_sink(aspects, flags, sink);
}

HRESULT ViewObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size)
{
    if (!size)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    *size = control().extent();
    return S_OK;
}

HRESULT ViewObject::GetViewStatus(DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = control().control_class().view_status;
    return S_OK;
}

HRESULT ViewObject::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG, DWORD* hit)
{
    const RECT point{location.x, location.y, location.x + 1, location.y + 1};
    return hit_test(aspect, bounds, point, hit);
}

HRESULT ViewObject::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT area, LONG, DWORD* hit)
{
    if (!area)
        return E_POINTER;
    return hit_test(aspect, bounds, *area, hit);
}

// Where the control shows its picture it is hit; at run time it shows none.
HRESULT ViewObject::hit_test(DWORD aspect, LPCRECT bounds, const RECT& area, DWORD* hit) noexcept
{
    if (!bounds || !hit)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    RECT common{};
    const bool shown = !control().user_mode();
    *hit = shown && IntersectRect(&common, bounds, &area) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

} // namespace com
