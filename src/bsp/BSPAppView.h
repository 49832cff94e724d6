#pragma once
// CBSPAppView: the web browser control that fills the BSP application window, and the browser
// events the window watches. The control shares the system's internet cookie store, so a
// cookie set with InternetSetCookieW goes with its requests.
#include "com/ControlSite.h"
#include "com/EventSink.h"

#include <exdisp.h>

#include <memory>
#include <string>

namespace tolvane {

class CBSPAppView {
public:
    class Listener {
    public:
        // The browser's current location after `event` ("OnDownloadComplete", ...). May come
        // while the view is still being made (the first page, about:blank).
        virtual void OnLocationKnown(const wchar_t* event, const std::wstring& location) = 0;
        virtual void OnNavigateError(const std::wstring& url, long status) = 0;

    protected:
        ~Listener() = default;
    };

    // Creates the browser over the client area of `window`, showing about:blank. Throws
    // com::hresult_error when the control cannot be created.
    CBSPAppView(HWND window, Listener& listener);
    ~CBSPAppView();
    CBSPAppView(const CBSPAppView&) = delete;
    CBSPAppView& operator=(const CBSPAppView&) = delete;

    void Navigate(const std::wstring& url);
    std::wstring LocationUrl() const;
    // Fits the browser to the window's client area again.
    void Fit() noexcept { m_site->fit(); }

private:
    void OnEvent(DISPID id, DISPPARAMS& args);
    void ReportLocation(const wchar_t* event);

    Listener& m_listener;
    com::ptr<com::ControlSite> m_site;
    com::ptr<IWebBrowser2> m_browser;
    std::unique_ptr<com::EventConnection> m_events;
};

} // namespace tolvane
