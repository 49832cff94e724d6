#include "BSPAppView.h"

#include "com/Bstr.h"
#include "com/Variant.h"

#include <exdispid.h>

namespace tolvane {
namespace {

// Argument `position` (in call order) of an event, looked through a reference.
const VARIANT* Argument(const DISPPARAMS& args, UINT position)
{
    if (position >= args.cArgs)
        return nullptr;
    const VARIANT* value = &args.rgvarg[args.cArgs - 1 - position];
    if (V_VT(value) == (VT_BYREF | VT_VARIANT))
        value = V_VARIANTREF(value);
    return value;
}

std::wstring TextArgument(const DISPPARAMS& args, UINT position)
{
    const VARIANT* value = Argument(args, position);
    return value && V_VT(value) == VT_BSTR ? std::wstring(com::view(V_BSTR(value))) : std::wstring();
}

long NumberArgument(const DISPPARAMS& args, UINT position)
{
    const VARIANT* value = Argument(args, position);
    return value && V_VT(value) == VT_I4 ? V_I4(value) : 0;
}

} // namespace

CBSPAppView::CBSPAppView(HWND window, Listener& listener)
    : m_listener(listener), m_site(com::make<com::ControlSite>(window))
{
    try {
        m_browser = m_site->embed(CLSID_WebBrowser).query<IWebBrowser2>();
        auto sink = com::make<com::EventSink>(DIID_DWebBrowserEvents2,
                                              [this](DISPID id, DISPPARAMS& args) { OnEvent(id, args); });
        m_events = std::make_unique<com::EventConnection>(m_browser.get(), std::move(sink));
        Navigate(L"about:blank");
    } catch (...) {
        m_events = nullptr;
        m_site->close();
        throw;
    }
}

CBSPAppView::~CBSPAppView()
{
    m_events = nullptr;
    if (m_browser)
        m_browser->Stop();
    m_browser = nullptr;
    m_site->close();
}

void CBSPAppView::Navigate(const std::wstring& url)
{
    com::variant none;
    com::check(m_browser->Navigate(com::bstr(url).get(), none.addr(), none.addr(), none.addr(), none.addr()));
}

std::wstring CBSPAppView::LocationUrl() const
{
    com::bstr location;
    com::check(m_browser->get_LocationURL(location.put()));
    return location.str();
}

// DownloadComplete is the event every navigation ends with, also when the control cannot show
// the page; NavigateComplete2 and DocumentComplete come only where it can.
void CBSPAppView::OnEvent(DISPID id, DISPPARAMS& args)
{
    switch (id) {
    case DISPID_DOWNLOADCOMPLETE:
        ReportLocation(L"OnDownloadComplete");
        break;
    case DISPID_NAVIGATECOMPLETE2:
        ReportLocation(L"OnNavigateComplete2");
        break;
    case DISPID_DOCUMENTCOMPLETE:
        ReportLocation(L"OnDocumentComplete");
        break;
    case DISPID_NAVIGATEERROR: // (window, URL, frame, status, cancel)
        m_listener.OnNavigateError(TextArgument(args, 1), NumberArgument(args, 3));
        break;
    default:
        break;
    }
}

void CBSPAppView::ReportLocation(const wchar_t* event)
{
    m_listener.OnLocationKnown(event, LocationUrl());
}

} // namespace tolvane
