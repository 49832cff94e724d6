#include "OleObject.h"

#include <ole2.h>

namespace com {

HRESULT OleObject::SetClientSite(IOleClientSite* site)
{
    return hresult_of([&] {
        control().set_client_site(site);
        return S_OK;
    });
}

HRESULT OleObject::GetClientSite(IOleClientSite** site)
{
    return control().client_site().copy_to(site);
}

HRESULT OleObject::Close(DWORD save_option)
{
    return control().close(save_option);
}

HRESULT OleObject::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (!moniker)
        return E_POINTER;
    *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT OleObject::GetClipboardData(DWORD, IDataObject** data)
{
    if (!data)
        return E_POINTER;
    *data = nullptr;
    return E_NOTIMPL;
}

HRESULT OleObject::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT)
{
    return hresult_of([&] {
        InPlaceActivation& in_place = control().in_place();
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE:
            return in_place.activate(true);
        case OLEIVERB_INPLACEACTIVATE:
            return in_place.activate(false);
        case OLEIVERB_HIDE:
            in_place.ui_deactivate();
            in_place.show(false);
            return S_OK;
        default:
            if (verb < 0) // open, properties, undo: nothing of the kind here
                return E_NOTIMPL;
            const HRESULT result = in_place.activate(true);
            return FAILED(result) ? result : OLEOBJ_S_INVALIDVERB;
        }
    });
}

HRESULT OleObject::EnumVerbs(IEnumOLEVERB** verbs)
{
    return OleRegEnumVerbs(*control().control_class().clsid, verbs);
}

HRESULT OleObject::GetUserType(DWORD form, LPOLESTR* type)
{
    return OleRegGetUserType(*control().control_class().clsid, form, type);
}

HRESULT OleObject::SetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    return hresult_of([&] {
        control().set_extent(*size);
        return S_OK;
    });
}

HRESULT OleObject::GetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    *size = control().extent();
    return S_OK;
}

HRESULT OleObject::Advise(IAdviseSink* sink, DWORD* cookie)
{
    return hresult_of([&] { return control().advise().object_sinks().Advise(sink, cookie); });
}

HRESULT OleObject::Unadvise(DWORD cookie)
{
    return hresult_of([&] { return control().advise().object_sinks().Unadvise(cookie); });
}

HRESULT OleObject::EnumAdvise(IEnumSTATDATA** advises)
{
    return hresult_of([&] { return control().advise().object_sinks().EnumAdvise(advises); });
}

HRESULT OleObject::GetMiscStatus(DWORD aspect, DWORD* status)
{
    if (!status)
        return E_POINTER;
    // Other aspects have no flags of their own: the registration gives them none either.
    *status = aspect == DVASPECT_CONTENT ? control().control_class().misc_status : 0;
    return S_OK;
}

} // namespace com
