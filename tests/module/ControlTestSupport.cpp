#include "ControlTestSupport.h"

#include "ModuleTestSupport.h"
#include "com/InPlaceFrame.h"

#include <gtest/gtest.h>

#include <olectl.h>

namespace test {
namespace {

HMODULE Tolvane()
{
    static HMODULE dll = LoadLibraryW(TolvaneDllPath().c_str());
    return dll;
}

template <class F>
F Export(const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Tolvane(), name)));
}

} // namespace

HRESULT TolvaneClassObject(REFCLSID clsid, IClassFactory** factory)
{
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get = Export<GetClassObject>("DllGetClassObject");
    return get ? get(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory)) : E_FAIL;
}

HRESULT TolvaneCanUnloadNow()
{
    using CanUnloadNow = HRESULT(WINAPI*)();
    auto can_unload = Export<CanUnloadNow>("DllCanUnloadNow");
    return can_unload ? can_unload() : E_FAIL;
}

com::ptr<IConnectorCtrl> NewControl()
{
    com::ptr<IClassFactory> factory;
    EXPECT_EQ(TolvaneClassObject(CLSID_ConnectorCtrl, factory.put()), S_OK);
    com::ptr<IConnectorCtrl> control;
    if (factory) {
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IConnectorCtrl, control.put_void()), S_OK);
    }
    return control;
}

TestSite::TestSite(HWND window, bool design_mode, bool windowless)
    : design_mode(design_mode), window_(window), windowless_(windowless)
{
}

HRESULT TestSite::QueryInterface(REFIID iid, void** out)
{
    if (!windowless_ && (IsEqualIID(iid, IID_IOleInPlaceSiteWindowless) || IsEqualIID(iid, IID_IOleInPlaceSiteEx))) {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    return Object::QueryInterface(iid, out);
}

HRESULT TestSite::GetWindow(HWND* window)
{
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

HRESULT TestSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT where,
                                   LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    *frame = com::make<com::InPlaceFrame>(window_).detach();
    *document = nullptr;
    *where = *clip = position;
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT TestSite::OnInPlaceActivateEx(BOOL*, DWORD flags)
{
    activation_flags = flags;
    ++activations;
    return S_OK;
}

HRESULT TestSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*)
{
    if (id != DISPID_AMBIENT_USERMODE || !result)
        return DISP_E_MEMBERNOTFOUND;
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = design_mode ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}

Canvas::Canvas(int width, int height, COLORREF fill) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr))
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<const DWORD*>(bits);
    previous_ = static_cast<HBITMAP>(SelectObject(dc_, bitmap_));
    HBRUSH brush = CreateSolidBrush(fill);
    const RECT all{0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

Canvas::~Canvas()
{
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

COLORREF Canvas::Pixel(int x, int y) const
{
    GdiFlush();
    const DWORD bgr = bits_[y * width_ + x];
    return RGB(GetBValue(bgr), GetGValue(bgr), GetRValue(bgr)); // the DIB holds 0x00RRGGBB
}

RECT Canvas::Drawn(const RECT& area, COLORREF background) const
{
    RECT drawn{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (Pixel(x, y) != background) {
                drawn.left = std::min<LONG>(drawn.left, x);
                drawn.top = std::min<LONG>(drawn.top, y);
                drawn.right = std::max<LONG>(drawn.right, x + 1);
                drawn.bottom = std::max<LONG>(drawn.bottom, y + 1);
            }
    return IsRectEmpty(&drawn) ? RECT{} : drawn;
}

int Canvas::DarkPixels(const RECT& area) const
{
    int dark = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF c = Pixel(x, y);
            dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
        }
    return dark;
}

} // namespace test
