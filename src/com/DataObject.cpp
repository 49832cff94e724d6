#include "DataObject.h"

#include "Enumerator.h"

namespace com {
namespace {

const FORMATETC kPicture{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};

struct CopyFormat {
    using stored = FORMATETC; // without target devices, so a plain copy
    static HRESULT copy(FORMATETC* out, const FORMATETC& item) noexcept
    {
        *out = item;
        return S_OK;
    }
};
using FormatEnumerator = Enumerator<IEnumFORMATETC, FORMATETC, CopyFormat>;

// The control's picture at its extent. A metafile's frame is measured in 0.01 mm, which is
// HIMETRIC; the drawing is recorded in the pixels of the reference device (the screen).
HENHMETAFILE record_picture(const ControlCore& control)
{
    const SIZEL extent = control.extent();
    const RECT frame{0, 0, extent.cx, extent.cy};
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    if (!dc)
        throw hresult_error(E_OUTOFMEMORY);
    const RECT bounds{0, 0, MulDiv(extent.cx, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, HORZSIZE) * 100),
                      MulDiv(extent.cy, GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE) * 100)};
    control.draw(dc, bounds);
    HENHMETAFILE picture = CloseEnhMetaFile(dc);
    if (!picture)
        throw hresult_error(E_OUTOFMEMORY);
    return picture;
}

} // namespace

HRESULT DataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!medium)
        return E_POINTER;
    *medium = {};
    const HRESULT supported = QueryGetData(format);
    if (supported != S_OK)
        return supported;
    return hresult_of([&] {
        medium->hEnhMetaFile = record_picture(control());
        medium->tymed = TYMED_ENHMF;
        return S_OK;
    });
}

HRESULT DataObject::QueryGetData(FORMATETC* format)
{
    if (!format)
        return E_POINTER;
    if (format->cfFormat != kPicture.cfFormat)
        return DV_E_FORMATETC;
    if (format->dwAspect != kPicture.dwAspect)
        return DV_E_DVASPECT;
    if (format->lindex != kPicture.lindex)
        return DV_E_LINDEX;
    if (!(format->tymed & kPicture.tymed))
        return DV_E_TYMED;
    return S_OK;
}

HRESULT DataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical)
{
    if (!canonical)
        return E_POINTER;
    canonical->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT DataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats)
{
    if (!formats)
        return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    return hresult_of([&] {
        *formats = make<FormatEnumerator>(std::vector<FORMATETC>{kPicture}, nullptr).detach();
        return S_OK;
    });
}

HRESULT DataObject::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* cookie)
{
    return hresult_of([&] { return control().advise().data_sinks().Advise(this, format, flags, sink, cookie); });
}

HRESULT DataObject::DUnadvise(DWORD cookie)
{
    return hresult_of([&] { return control().advise().data_sinks().Unadvise(cookie); });
}

HRESULT DataObject::EnumDAdvise(IEnumSTATDATA** advises)
{
    return hresult_of([&] { return control().advise().data_sinks().EnumAdvise(advises); });
}

} // namespace com
