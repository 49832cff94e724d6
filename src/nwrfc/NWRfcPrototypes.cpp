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
    // Through the XML form: a copy with types of its own, which no other apartment owns, so that
    // every listening thread may read it.
    com::bstr name, form;
    com::check(call->get_Function(name.put()));
    com::check(call->ToXML(form.put()));
    auto prototype = com::make<CFunctionCall>();
    com::check(prototype->FromXML(form.get()));
    prototype->SetFunction(name.view());
    std::lock_guard lock(m_lock);
    // A description the library may still hold is left alone; the new prototype gets its own.
    m_installed.insert_or_assign(name.str(), Prototype{prototype, nullptr});
}

com::ptr<CFunctionCall> NWRfcPrototypes::NewCall(const std::wstring& name)
{
    com::ptr<CFunctionCall> prototype;
    {
        std::lock_guard lock(m_lock);
        if (auto found = m_installed.find(name); found != m_installed.end())
            prototype = found->second.call;
    }
    if (prototype)
        return CloneSignature(prototype.get());
    auto empty = com::make<CFunctionCall>();
    empty->SetFunction(name);
    return empty;
}

nwrfc::RFC_FUNCTION_DESC_HANDLE NWRfcPrototypes::Describe(const nwrfc::EntryPoints& rfc, const std::wstring& name,
                                                          nwrfc::RFC_ERROR_INFO& errorInfo)
{
    std::lock_guard lock(m_lock);
    if (auto found = m_installed.find(name); found != m_installed.end()) {
        if (!found->second.description)
            found->second.description = NWRFCCreateFunctionDesc(rfc, found->second.call.get(), errorInfo);
        return found->second.description;
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
