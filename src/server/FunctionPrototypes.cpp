#include "FunctionPrototypes.h"

#include "com/Bstr.h"

namespace tolvane {

void FunctionPrototypes::Install(IFunctionCall* call)
{
    // Through the XML form: a copy with types of its own.
    com::bstr name, documentation, form;
    com::check(call->get_Function(name.put()));
    com::check(call->get_Documentation(documentation.put()));
    com::check(call->ToXML(form.put()));
    auto prototype = com::make<CFunctionCall>();
    com::check(prototype->FromXML(form.get()));
    prototype->SetFunction(name.view());
    prototype->SetDocumentation(documentation.view());
    std::lock_guard lock(m_lock);
    m_installed.insert_or_assign(name.str(), prototype);
}

com::ptr<CFunctionCall> FunctionPrototypes::Find(const std::wstring& name) const
{
    std::lock_guard lock(m_lock);
    auto found = m_installed.find(name);
    return found == m_installed.end() ? nullptr : found->second;
}

com::ptr<CFunctionCall> FunctionPrototypes::NewCall(const std::wstring& name) const
{
    if (com::ptr<CFunctionCall> prototype = Find(name))
        return CloneSignature(prototype.get());
    auto empty = com::make<CFunctionCall>();
    empty->SetFunction(name);
    return empty;
}

std::vector<com::ptr<CFunctionCall>> FunctionPrototypes::All() const
{
    std::lock_guard lock(m_lock);
    std::vector<com::ptr<CFunctionCall>> all;
    all.reserve(m_installed.size());
    for (const auto& [name, prototype] : m_installed)
        all.push_back(prototype);
    return all;
}

} // namespace tolvane
