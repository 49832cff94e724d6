#pragma once
// CBSPApplication: shows a web application of an SAP server (a BSP page) in a modal window,
// logged on by the SSO2 ticket cookie, and hands back the parameters that the application
// puts into the URL of its exit page.
#include "BSPParameters.h"
#include "WindowProperties.h"
#include "session/LogonData.h"
#include "session/OptionMap.h"
#include "soap/HttpSystemData.h"

namespace tolvane {

struct FrameSettings;

class CBSPApplication
    : public com::Object<CBSPApplication, com::Dispatch<IBSPApplication>, com::SupportErrorInfo<IBSPApplication>> {
public:
    static com::ErrorSource error_source() noexcept { return {&CLSID_BSPApplication, &IID_NULL}; }

    CBSPApplication();

    HRESULT STDMETHODCALLTYPE get_HttpSystemData(IHttpSystemData** value) override { return m_systemData.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_LogonData(ILogonData** value) override { return m_logonData.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Window(IWindowProperties** value) override { return m_window.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Parameters(IBSPParameters** value) override { return m_parameters.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Option(BSTR name, BSTR* value) override { return m_options.Get(name, value); }
    HRESULT STDMETHODCALLTYPE put_Option(BSTR name, BSTR value) override
    {
        return guard([&] { m_options.Put(name, value); });
    }
    // Blocks until the window closes; S_OK also when it could not open.
    HRESULT STDMETHODCALLTYPE ShowApplication(BSTR application, BSTR exitPage) override;

private:
    FrameSettings Settings(std::wstring_view application, std::wstring_view exitPage) const;
    void TakeReturnedParameters(const std::wstring& finalUrl);

    com::ptr<CHttpSystemData> m_systemData;
    com::ptr<CLogonData> m_logonData;
    com::ptr<CWindowProperties> m_window;
    com::ptr<CBSPParameters> m_parameters;
    OptionMap m_options;
};

} // namespace tolvane
