#include "BSPApplication.h"

#include "BSPMainFrame.h"
#include "WindowPlacement.h"
#include "session/Trace.h"

#include <commctrl.h>
#include <ole2.h>

namespace tolvane {
namespace {

// The browser control needs OLE (drag and drop, the clipboard) on the thread that hosts it;
// on a thread in a single-threaded apartment this only adds a reference.
class OleScope {
public:
    OleScope() noexcept : m_hr(OleInitialize(nullptr)) {}
    ~OleScope()
    {
        if (SUCCEEDED(m_hr))
            OleUninitialize();
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;

private:
    HRESULT m_hr;
};

SIZE ScreenSize() noexcept { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

} // namespace

CBSPApplication::CBSPApplication()
    : m_systemData(com::make<CHttpSystemData>()), m_logonData(com::make<CLogonData>()),
      m_window(com::make<CWindowProperties>()), m_parameters(com::make<CBSPParameters>())
{
}

HRESULT CBSPApplication::ShowApplication(BSTR application, BSTR exitPage)
{
    return guard([&] {
        OleScope ole;
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);

        FrameSettings settings = Settings(com::view(application), com::view(exitPage));
        if (const std::wstring traceFile = m_options.Value(L"trace.file"); !traceFile.empty())
            ostrel::TraceCreate(L"Tolvane", traceFile, true);
        ostrel::TraceFormat(L"CBSPApplication->ShowApplication(): application=%s url=%s exit=%s user=%s\n",
                            std::wstring(com::view(application)).c_str(), settings.url.c_str(),
                            settings.exitPage.c_str(), m_logonData->User().str().c_str());

        CBSPMainFrame frame(std::move(settings));
        const std::optional<std::wstring> finalUrl = frame.Run(GetActiveWindow());
        ostrel::TraceFormat(L"CBSPApplication->ShowApplication(): returned from modal popup\n");
        if (finalUrl)
            TakeReturnedParameters(*finalUrl);
    });
}

FrameSettings CBSPApplication::Settings(std::wstring_view application, std::wstring_view exitPage) const
{
    const ApplicationServer server{m_systemData->Protocol().str(), m_systemData->Host().str(), m_systemData->Port(),
                                   m_logonData->Client().str(), m_logonData->Language().str()};
    const CWindowProperties& window = *m_window;
    FrameSettings settings;
    settings.url = ApplicationUrl(application, server, m_parameters->Pairs());
    settings.exitPage = exitPage;
    settings.ticket = m_logonData->SSO2Ticket().str();
    settings.title = window.Title().str();
    settings.iconPath = window.IconPath().str();
    settings.closeWarning = window.CloseWarning().str();
    settings.rect = ApplicationWindowRect(window.Left(), window.Top(), window.Width(), window.Height(), ScreenSize());
    return settings;
}

void CBSPApplication::TakeReturnedParameters(const std::wstring& finalUrl)
{
    for (const NameValue& pair : ReturnedParameters(finalUrl)) {
        m_parameters->AddPair(pair);
        ostrel::TraceFormat(L"returned parameter %s=%s\n", pair.name.c_str(), pair.value.c_str());
    }
}

} // namespace tolvane
