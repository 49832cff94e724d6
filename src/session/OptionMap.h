#pragma once
// The options of a session, a server, logon data, a table reader or a BSP application: values
// stored under names that compare case-sensitively, character by character. A name never set
// reads as the empty string.
#include "com/Bstr.h"

#include <map>
#include <string>

namespace tolvane {

class OptionMap {
public:
    HRESULT Get(BSTR name, BSTR* value) const noexcept
    {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        try {
            auto found = m_values.find(com::view(name));
            *value = com::bstr(found == m_values.end() ? std::wstring_view() : std::wstring_view(found->second)).detach();
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    void Put(BSTR name, BSTR value) { m_values.insert_or_assign(std::wstring(com::view(name)), std::wstring(com::view(value))); }

    std::wstring Value(std::wstring_view name) const
    {
        auto found = m_values.find(name);
        return found == m_values.end() ? std::wstring() : found->second;
    }

private:
    std::map<std::wstring, std::wstring, std::less<>> m_values;
};

} // namespace tolvane
