#pragma once
// IRfcServerImpl<T>: what both server kinds (NetWeaver, classic) have in common: the
// registration parameters, options, installed functions, error state and the connection point
// of _RfcServerEvents. The kind supplies Serve, Shutdown and IsListening, and:
//   static const CLSID& class_id();           its coclass (IProvideClassInfo2)
//   static com::ErrorSource error_source();   who reports its failures
//   static constexpr const wchar_t* kTraceName;  the trace's name when "trace.file" opens it
//   void OnInstallFunction(IFunctionCall*);    a function was installed
#include "RfcServerErrorInfo.h"
#include "RfcServerEvents.h"
#include "com/ClassInfo.h"
#include "com/ConnectionPoint.h"
#include "model/FunctionCalls.h"
#include "session/OptionMap.h"
#include "session/Trace.h"

#include <atomic>
#include <memory>

namespace tolvane {

// A server's error flag and error object, shared with its listening thread.
struct ServerErrorState {
    std::atomic<bool> failed{false};
    com::ptr<CRfcServerErrorInfo> info = com::make<CRfcServerErrorInfo>();

    void Clear()
    {
        failed = false;
        info->Set(0, L"", L"", 0);
    }
    void Set(long group, std::wstring_view groupText, std::wstring_view message, long rc)
    {
        info->Set(group, groupText, message, rc);
        failed = true;
    }
};

template <class T>
class IRfcServerImpl : public com::Object<T, com::Dispatch<IRfcServer>, com::SupportErrorInfo<IRfcServer>,
                                          com::ConnectionPointContainer, com::ProvideClassInfo<T>> {
public:
    static const IID& source_interface() noexcept { return DIID__RfcServerEvents; }

    HRESULT STDMETHODCALLTYPE get_ProgramID(BSTR* value) override { return m_programId.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_ProgramID(BSTR value) override { return Store(m_programId, value); }
    HRESULT STDMETHODCALLTYPE get_GatewayHost(BSTR* value) override { return m_gatewayHost.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_GatewayHost(BSTR value) override { return Store(m_gatewayHost, value); }
    HRESULT STDMETHODCALLTYPE get_GatewayService(BSTR* value) override { return m_gatewayService.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_GatewayService(BSTR value) override { return Store(m_gatewayService, value); }

    HRESULT STDMETHODCALLTYPE get_Option(BSTR name, BSTR* value) override { return m_options.Get(name, value); }
    HRESULT STDMETHODCALLTYPE put_Option(BSTR name, BSTR value) override
    {
        return this->guard([&] {
            m_options.Put(name, value);
            ostrel::ApplyTraceOption(com::view(name), com::view(value), T::kTraceName);
        });
    }

    HRESULT STDMETHODCALLTYPE InstallFunction(IFunctionCall* call) override
    {
        return this->guard([&] {
            if (!call)
                throw com::hresult_error(E_POINTER);
            static_cast<T&>(*this).OnInstallFunction(call);
            com::check(m_functions->AddFunction(call));
        });
    }
    HRESULT STDMETHODCALLTYPE get_RegisteredFunctions(IFunctionCalls** value) override
    {
        return m_functions.copy_to(value);
    }

    HRESULT STDMETHODCALLTYPE get_Error(VARIANT_BOOL* value) override
    {
        if (!value)
            return E_POINTER;
        *value = m_errorState->failed ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ErrorInfo(IRfcServerErrorInfo** value) override
    {
        return m_errorState->info.copy_to(value);
    }

protected:
    IRfcServerImpl() : m_errorState(std::make_shared<ServerErrorState>()), m_functions(com::make<CFunctionCalls>())
    {
        this->add_connection_point(m_events);
    }

    const OptionMap& Options() const noexcept { return m_options; }
    const com::bstr& ProgramId() const noexcept { return m_programId; }
    const com::bstr& GatewayHost() const noexcept { return m_gatewayHost; }
    const com::bstr& GatewayService() const noexcept { return m_gatewayService; }
    CFunctionCalls& Functions() const noexcept { return *m_functions; }
    // The error state, for a listening thread that may outlive this object.
    const std::shared_ptr<ServerErrorState>& ErrorState() const noexcept { return m_errorState; }
    // The events, for a listening thread that may outlive this object.
    CProxy_RfcServerEvents Events() const { return CProxy_RfcServerEvents(m_events.sinks()); }

private:
    HRESULT Store(com::bstr& member, BSTR value)
    {
        return this->guard([&] { member = com::bstr(com::view(value)); });
    }

    com::bstr m_programId{L""}, m_gatewayHost{L""}, m_gatewayService{L""};
    OptionMap m_options;
    std::shared_ptr<ServerErrorState> m_errorState;
    com::ptr<CFunctionCalls> m_functions;
    com::ConnectionPoint m_events{this, DIID__RfcServerEvents};
};

} // namespace tolvane
