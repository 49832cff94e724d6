#include "NWRfcPrototypes.h"

#include "NWRfcUtil.h"
#include "com/Bstr.h"

namespace tolvane {

NWRfcPrototypes& NWRfcPrototypes::Instance()
{
    // Never destroyed: listening threads may still ask while the process ends.
    static NWRfcPrototypes* table = new NWRfcPrototypes;
    return *table;
}

void NWRfcPrototypes::Install(IFunctionCall* call)
{
    com::bstr name;
    com::check(call->get_Function(name.put()));
    std::lock_guard lock(m_lock);
    m_functions.Install(call);
    // A description the library may still hold is left alone; the new prototype gets its own.
    m_described.erase(name.str());
}

nwrfc::RFC_FUNCTION_DESC_HANDLE NWRfcPrototypes::Describe(const nwrfc::EntryPoints& rfc, const std::wstring& name,
                                                          nwrfc::RFC_ERROR_INFO& errorInfo)
{
    std::lock_guard lock(m_lock);
    if (com::ptr<CFunctionCall> prototype = m_functions.Find(name)) {
        nwrfc::RFC_FUNCTION_DESC_HANDLE& description = m_described[name];
        if (!description)
            description = NWRFCCreateFunctionDesc(rfc, prototype.get(), errorInfo);
        return description;
    }
    if (auto found = m_unknown.find(name); found != m_unknown.end())
        return found->second;
    if (m_unknown.size() >= kUnknownNamesDescribed)
        return nullptr;
    auto empty = com::make<CFunctionCall>();
    empty->SetFunction(name);
    nwrfc::RFC_FUNCTION_DESC_HANDLE description = NWRFCCreateFunctionDesc(rfc, empty.get(), errorInfo);
    m_unknown.emplace(name, description);
    return description;
}

} // namespace tolvane
