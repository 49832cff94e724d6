// What the server benchmarks serve: Z_BENCH_ECHO (TEXT in, ECHO out, 40 characters each), and
// the event sink of a C++ client that answers it by copying TEXT to ECHO.
#pragma once

#include "com/ComPtr.h"
#include "com/Variant.h"
#include "idl/Tolvane_h.h"
#include "model/FunctionCall.h"

#include <atomic>

namespace bench {

class EchoSink final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, DIID__RfcServerEvents)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        if (id != 1)
            return S_OK;
        com::ptr<IFunctionCall> call = com::share(V_DISPATCH(&params->rgvarg[0])).query<IFunctionCall>();
        com::ptr<IRfcParameters> importing, exporting;
        call->get_Importing(importing.put());
        call->get_Exporting(exporting.put());
        com::ptr<IRfcParameter> text, echo;
        importing->get_Item(com::variant(L"TEXT").get(), text.put());
        exporting->get_Item(com::variant(L"ECHO").get(), echo.put());
        com::variant value;
        text->get_value(value.put());
        echo->put_value(value.get());
        ++served;
        return S_OK;
    }
    std::atomic<long> served{0};
};

// `sink` advised at the server's events for as long as this lives.
class Advised {
public:
    Advised(IConnectionPointContainer* server, IDispatch* sink)
    {
        server->FindConnectionPoint(DIID__RfcServerEvents, point_.put());
        point_->Advise(sink, &cookie_);
    }
    ~Advised() { point_->Unadvise(cookie_); }
    Advised(const Advised&) = delete;
    Advised& operator=(const Advised&) = delete;

private:
    com::ptr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

inline com::ptr<IFunctionCall> EchoPrototype()
{
    com::ptr<IFunctionCall> prototype = com::make<tolvane::CFunctionCall>();
    prototype->put_Function(com::bstr(L"Z_BENCH_ECHO").get());
    com::ptr<IRfcParameters> importing, exporting;
    prototype->get_Importing(importing.put());
    prototype->get_Exporting(exporting.put());
    importing->AddScalar(com::bstr(L"TEXT").get(), TYPE_CHAR, 40, 0, com::variant().get());
    exporting->AddScalar(com::bstr(L"ECHO").get(), TYPE_CHAR, 40, 0, com::variant().get());
    return prototype;
}

} // namespace bench
