#include "BSPMainFrame.h"

#include "resources/Resource.h"
#include "com/Module.h"
#include "session/Trace.h"

#include <wininet.h>

namespace tolvane {
namespace {

// Posted by the window to itself once it shows: the logon and the first navigation.
constexpr UINT WM_BSP_LOGON = WM_APP + 1;

} // namespace

std::optional<std::wstring> CBSPMainFrame::Run(HWND owner)
{
    const INT_PTR result = DialogBoxParamW(com::module_instance(), MAKEINTRESOURCEW(IDD_BSP_APPLICATION), owner,
                                           &CBSPMainFrame::DialogProc, reinterpret_cast<LPARAM>(this));
    if (result == -1)
        ostrel::TraceFormat(L"CBSPMainFrame: the window could not be created (error %u)\n",
                            static_cast<unsigned>(GetLastError()));
    return m_finalUrl;
}

INT_PTR CALLBACK CBSPMainFrame::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lparam);
        reinterpret_cast<CBSPMainFrame*>(lparam)->m_window = window;
    }
    auto* frame = reinterpret_cast<CBSPMainFrame*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!frame)
        return FALSE;
    try {
        return frame->OnMessage(message, wparam, lparam);
    } catch (...) {
        // Nothing may unwind through the system's window code.
        ostrel::TraceFormat(L"CBSPMainFrame: unexpected error - closing the window\n");
        EndDialog(window, IDABORT);
        return TRUE;
    }
}

INT_PTR CBSPMainFrame::OnMessage(UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_BSP_LOGON:
        OnLogon();
        return TRUE;
    case WM_SIZE:
        if (m_view)
            m_view->Fit();
        return TRUE;
    case WM_CLOSE:
        OnCloseRequest();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDCANCEL) // Escape
            OnCloseRequest();
        return TRUE;
    case WM_DESTROY:
        m_view = nullptr; // the browser goes before its window
        return TRUE;
    default:
        return FALSE;
    }
}

void CBSPMainFrame::OnInitDialog()
{
    SetWindowTextW(m_window, m_settings.title.c_str());
    SetIcons();
    const RECT& r = m_settings.rect;
    SetWindowPos(m_window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    try {
        m_view = std::make_unique<CBSPAppView>(m_window, static_cast<CBSPAppView::Listener&>(*this));
    } catch (const com::hresult_error& e) {
        ostrel::TraceFormat(L"CBSPMainFrame: the browser could not be created: 0x%08X %s\n",
                            static_cast<unsigned>(e.code()), com::error_text(e.code()).c_str());
        EndDialog(m_window, IDABORT);
        return;
    }
    PostMessageW(m_window, WM_BSP_LOGON, 0, 0);
}

void CBSPMainFrame::SetIcons()
{
    if (m_settings.iconPath.empty())
        return;
    auto load = [&](int width, int height) {
        return Icon(static_cast<HICON>(LoadImageW(nullptr, m_settings.iconPath.c_str(), IMAGE_ICON,
                                                  GetSystemMetrics(width), GetSystemMetrics(height), LR_LOADFROMFILE)));
    };
    m_largeIcon = load(SM_CXICON, SM_CYICON);
    m_smallIcon = load(SM_CXSMICON, SM_CYSMICON);
    if (m_largeIcon)
        SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_largeIcon.get()));
    if (m_smallIcon)
        SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.get()));
}

void CBSPMainFrame::OnLogon()
{
    if (!m_view)
        return;
    if (!m_settings.ticket.empty()) {
        const std::wstring cookie = m_settings.ticket + L";path=/";
        ostrel::TraceFormat(L"OnUser: authenticating with MYSAPSSO2 ticket (len=%i)\n", static_cast<int>(cookie.size()));
        if (!InternetSetCookieW(m_settings.url.c_str(), L"MYSAPSSO2", cookie.c_str()))
            ostrel::TraceFormat(L"OnUser: the MYSAPSSO2 cookie was refused (error %u)\n",
                                static_cast<unsigned>(GetLastError()));
    }
    try {
        m_view->Navigate(m_settings.url);
    } catch (const com::hresult_error& e) {
        ostrel::TraceFormat(L"OnUser: navigation failed: 0x%08X\n", static_cast<unsigned>(e.code()));
    }
}

void CBSPMainFrame::OnCloseRequest()
{
    if (!m_finalUrl && !m_settings.closeWarning.empty()) {
        const int answer = MessageBoxW(m_window, m_settings.closeWarning.c_str(), m_settings.title.c_str(),
                                       MB_YESNO | MB_ICONWARNING);
        if (answer != IDYES)
            return;
    }
    EndDialog(m_window, IDOK);
}

void CBSPMainFrame::OnLocationKnown(const wchar_t* event, const std::wstring& location)
{
    if (m_finalUrl)
        return;
    ostrel::TraceFormat(L"%s:'%s'\n", event, location.c_str());
    const size_t found = m_settings.exitPage.empty() ? std::wstring::npos : location.find(m_settings.exitPage);
    ostrel::TraceFormat(L"%s: Compare with Exit Page: '%s' = %i\n", event, m_settings.exitPage.c_str(),
                        found == std::wstring::npos ? -1 : static_cast<int>(found));
    if (found == std::wstring::npos)
        return;
    m_finalUrl = location;
    // Closed from the message loop rather than inside the browser's event.
    PostMessageW(m_window, WM_CLOSE, 0, 0);
}

void CBSPMainFrame::OnNavigateError(const std::wstring& url, long status)
{
    // Not fatal: a browser that cannot show a page still reports where it went.
    ostrel::TraceFormat(L"OnNavigateError: '%s' status 0x%08X\n", url.c_str(), static_cast<unsigned>(status));
}

} // namespace tolvane
