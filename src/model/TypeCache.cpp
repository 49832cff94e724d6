#include "TypeCache.h"

#include "session/Trace.h"

namespace tolvane {

HRESULT CTypeCache::GetType(BSTR name, IRfcType** type)
{
    return guard([&]() -> HRESULT {
        auto found = m_types.find(com::view(name));
        const std::wstring text(com::view(name));
        if (found == m_types.end()) {
            ostrel::TraceFormat(L"CTypeCache: type '%s' not in cache\n", text.c_str());
            return kCacheMiss;
        }
        ostrel::TraceFormat(L"CTypeCache: retrieved type '%s' from cache\n", text.c_str());
        return found->second.copy_to(type);
    });
}

HRESULT CTypeCache::AddType(BSTR name, IRfcType* type)
{
    if (!type)
        return E_POINTER;
    return guard([&] { m_types.insert_or_assign(std::wstring(com::view(name)), com::share(type)); });
}

HRESULT CTypeCache::Clear()
{
    m_types.clear();
    m_functions.clear();
    return S_OK;
}

HRESULT CTypeCache::GetFunction(BSTR name, IFunctionCall** call)
{
    return guard([&]() -> HRESULT {
        auto found = m_functions.find(com::view(name));
        const std::wstring text(com::view(name));
        if (found == m_functions.end()) {
            ostrel::TraceFormat(L"CTypeCache: function '%s' not in cache\n", text.c_str());
            return kCacheMiss;
        }
        ostrel::TraceFormat(L"CTypeCache: retrieved function '%s' from cache\n", text.c_str());
        // Every retrieval is a new call of its own; its parameter types are the cached ones.
        auto clone = CloneSignature(found->second.get());
        return com::ptr<IFunctionCall>(clone).copy_to(call);
    });
}

HRESULT CTypeCache::AddFunction(BSTR name, IFunctionCall* call)
{
    if (!call)
        return E_POINTER;
    return guard([&] { m_functions.insert_or_assign(std::wstring(com::view(name)), CloneSignature(call)); });
}

HRESULT CTypeCache::SaveToXML(BSTR) { return E_NOTIMPL; }

HRESULT CTypeCache::LoadFromXML(BSTR) { return E_NOTIMPL; }

} // namespace tolvane
