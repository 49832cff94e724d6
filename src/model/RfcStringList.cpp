#include "RfcStringList.h"

#include "com/Bstr.h"
#include "com/Enumerator.h"

#include <algorithm>

namespace tolvane {

HRESULT CRfcStringList::get_Count(long* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<long>(m_strings.size());
    return S_OK;
}

HRESULT CRfcStringList::Add(BSTR value)
{
    try {
        m_strings.emplace_back(com::view(value));
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT CRfcStringList::Remove(long index)
{
    if (index < 1 || static_cast<size_t>(index) > m_strings.size())
        return E_INVALIDARG;
    m_strings.erase(m_strings.begin() + (index - 1));
    return S_OK;
}

HRESULT CRfcStringList::RemoveAll()
{
    m_strings.clear();
    return S_OK;
}

HRESULT CRfcStringList::IndexOf(BSTR value, long* index)
{
    if (!index)
        return E_POINTER;
    auto found = std::find(m_strings.begin(), m_strings.end(), com::view(value));
    *index = found == m_strings.end() ? -1 : static_cast<long>(found - m_strings.begin()) + 1;
    return S_OK;
}

HRESULT CRfcStringList::get_Item(long index, BSTR* value)
{
    if (!value)
        return E_POINTER;
    if (index < 1)
        return E_INVALIDARG;
    if (static_cast<size_t>(index) > m_strings.size())
        return E_FAIL;
    return guard([&] { *value = com::bstr(m_strings[static_cast<size_t>(index - 1)]).detach(); });
}

HRESULT CRfcStringList::get__NewEnum(IUnknown** value)
{
    return guard([&] {
        std::vector<com::variant> items;
        items.reserve(m_strings.size());
        for (const auto& s : m_strings)
            items.emplace_back(std::wstring_view(s));
        return com::new_enum(std::move(items), unknown(), value);
    });
}

} // namespace tolvane
