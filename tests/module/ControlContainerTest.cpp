// The Tolvane control in a container of the test's own: activated in place in a real window on
// the X display of the Wine session, and on a windowless site that draws it itself.
#include "ControlTestSupport.h"

#include <gtest/gtest.h>

#include <olectl.h>

using test::Canvas;
using test::NewControl;
using test::TestSite;

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128), kBlack = RGB(0, 0, 0);

// A top-level window that holds the control.
class ContainerWindow {
public:
    ContainerWindow()
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClass;
        RegisterClassExW(&windowClass);
        constexpr DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
        m_window = CreateWindowExW(0, kClass, L"Tolvane control test", style, 50, 50, 400, 300, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    }
    ~ContainerWindow()
    {
        DestroyWindow(m_window);
        UnregisterClassW(kClass, GetModuleHandleW(nullptr));
    }
    HWND Handle() const { return m_window; }

private:
    static constexpr wchar_t kClass[] = L"TolvaneTestContainer";
    HWND m_window;
};

// Where a child window sits in its parent's client area.
RECT PlaceOf(HWND window)
{
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// What the window shows, read back from its device context.
void Capture(HWND window, const Canvas& canvas, int width, int height)
{
    UpdateWindow(window);
    HDC dc = GetDC(window);
    BitBlt(canvas.dc(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
}

} // namespace

TEST(ControlContainer, InAWindowItShowsItsPictureInDesignModeAndHidesAtRunTime)
{
    ContainerWindow container;
    ASSERT_TRUE(container.Handle()) << "no window: is there an X display?";
    auto site = com::make<TestSite>(container.Handle(), true);
    auto control = NewControl();
    auto object = control.query<IOleObject>();
    ASSERT_EQ(object->SetClientSite(site.get()), S_OK);
    control.query<IPersistStreamInit>()->InitNew();

    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, container.Handle(), &site->position),
              S_OK);
    EXPECT_EQ(site->activations, 1);
    EXPECT_GE(site->shown, 1);
    HWND window = nullptr;
    auto inPlace = control.query<IOleInPlaceObjectWindowless>();
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    EXPECT_EQ(GetParent(window), container.Handle());
    EXPECT_TRUE(IsWindowVisible(window));
    RECT place = PlaceOf(window);
    EXPECT_TRUE(EqualRect(&place, &site->position));

    const int width = site->position.right - site->position.left, height = site->position.bottom - site->position.top;
    Canvas shown(width, height, kGrey);
    Capture(window, shown, width, height);
    EXPECT_EQ(shown.Pixel(0, 0), kBlack);
    EXPECT_EQ(shown.Pixel(width - 1, height - 1), kBlack);
    EXPECT_GT(shown.DarkPixels({1, 1, width - 1, height - 1}), 20) << "no text";

    const RECT moved{60, 40, 260, 120};
    EXPECT_EQ(inPlace->SetObjectRects(&moved, &moved), S_OK);
    place = PlaceOf(window);
    EXPECT_TRUE(EqualRect(&place, &moved));

    EXPECT_EQ(object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.get(), 0, container.Handle(), &moved), S_OK);
    EXPECT_EQ(site->ui_active, 1);
    EXPECT_EQ(inPlace->UIDeactivate(), S_OK);
    EXPECT_EQ(site->ui_active, 0);

    site->design_mode = false;
    EXPECT_EQ(control.query<IOleControl>()->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE), S_OK);
    EXPECT_FALSE(IsWindowVisible(window)) << "visible at run time";

    SIZEL bigger{5080, 2540};
    object->SetExtent(DVASPECT_CONTENT, &bigger);
    EXPECT_EQ(object->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
    EXPECT_EQ(site->saves, 1) << "a dirty control closing with 'save if dirty' asks its site to save it";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(site->deactivations, 1);
    EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
}

TEST(ControlContainer, OnAWindowlessSiteItIsDrawnWhereItIsPlaced)
{
    auto site = com::make<TestSite>(nullptr, true, true);
    auto control = NewControl();
    auto object = control.query<IOleObject>();
    ASSERT_EQ(object->SetClientSite(site.get()), S_OK);
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, nullptr, &site->position), S_OK);
    EXPECT_EQ(site->activation_flags, static_cast<DWORD>(ACTIVATE_WINDOWLESS));
    HWND window = nullptr;
    auto inPlace = control.query<IOleInPlaceObjectWindowless>();
    EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);
    LRESULT result = 1;
    EXPECT_EQ(inPlace->OnWindowMessage(WM_LBUTTONDOWN, 0, 0, &result), S_FALSE) << "it takes no input";

    SIZEL bigger{5080, 2540};
    object->SetExtent(DVASPECT_CONTENT, &bigger);
    EXPECT_GT(site->invalidations, 0) << "a changed picture is not shown again";

    // The container paints: without bounds the control draws at its place.
    const RECT whole{0, 0, 200, 100};
    Canvas canvas(whole.right, whole.bottom, kGrey);
    EXPECT_EQ(control.query<IViewObjectEx>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(),
                                                   nullptr, nullptr, nullptr, 0),
              S_OK);
    const RECT drawn = canvas.Drawn(whole, kGrey);
    EXPECT_TRUE(EqualRect(&drawn, &site->position));

    EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    EXPECT_EQ(site->deactivations, 1);
    EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
}
