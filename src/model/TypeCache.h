#pragma once
// CTypeCache: the type descriptors and function signatures a session has imported, so that a
// second import of the same name needs no round trip. One cache may serve several sessions.
#include "FunctionCall.h"
#include "KeyCompare.h"
#include "com/Dispatch.h"
#include "com/Object.h"

#include <map>

namespace tolvane {

// The success code of a lookup that found nothing (callers test for it).
constexpr HRESULT kCacheMiss = 0x490;

class CTypeCache : public com::Object<CTypeCache, com::Dispatch<ITypeCache>> {
public:
    HRESULT STDMETHODCALLTYPE GetType(BSTR name, IRfcType** type) override;
    HRESULT STDMETHODCALLTYPE AddType(BSTR name, IRfcType* type) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE GetFunction(BSTR name, IFunctionCall** call) override;
    HRESULT STDMETHODCALLTYPE AddFunction(BSTR name, IFunctionCall* call) override;
    HRESULT STDMETHODCALLTYPE SaveToXML(BSTR fileName) override;
    HRESULT STDMETHODCALLTYPE LoadFromXML(BSTR fileName) override;

private:
    std::map<std::wstring, com::ptr<IRfcType>, KeyLess> m_types;
    // Private clones, so that later changes of the caller's call do not reach the cache.
    std::map<std::wstring, com::ptr<CFunctionCall>, KeyLess> m_functions;
};

} // namespace tolvane
