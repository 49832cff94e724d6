#pragma once
// CBSPMainFrame: the modal window (dialog resource 208) that shows a BSP application. It logs
// on with the ticket cookie, navigates to the application, watches every location the browser
// reaches for the exit page, and closes itself there; a close by the user may need a yes first.
#include "BSPAppView.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace tolvane {

struct FrameSettings {
    std::wstring url;
    std::wstring exitPage;
    std::wstring ticket; // SSO2 logon ticket; empty: no logon cookie
    std::wstring title;
    std::wstring iconPath;
    std::wstring closeWarning;
    RECT rect{};
};

class CBSPMainFrame final : private CBSPAppView::Listener {
public:
    explicit CBSPMainFrame(FrameSettings settings) : m_settings(std::move(settings)) {}

    // Runs the window as a modal dialog owned by `owner` until it closes. The URL at which it
    // met the exit page, or nothing when it was closed before (or could not open).
    std::optional<std::wstring> Run(HWND owner);

private:
    struct IconDeleter {
        void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
    };
    using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
    void OnInitDialog();
    void SetIcons();
    void OnLogon();
    void OnCloseRequest();
    void OnLocationKnown(const wchar_t* event, const std::wstring& location) override;
    void OnNavigateError(const std::wstring& url, long status) override;

    FrameSettings m_settings;
    HWND m_window = nullptr;
    std::unique_ptr<CBSPAppView> m_view;
    Icon m_largeIcon, m_smallIcon; // outlive the window that shows them
    std::optional<std::wstring> m_finalUrl;
};

} // namespace tolvane
