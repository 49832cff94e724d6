#pragma once
// CRfcStringList: an ordered list of strings, counted from 1 (the table reader's selection
// lines and column names).
#include "com/Dispatch.h"
#include "com/Object.h"
#include "idl/Tolvane_h.h"

#include <string>
#include <vector>

namespace tolvane {

class CRfcStringList : public com::Object<CRfcStringList, com::Dispatch<IStringList>> {
public:
    HRESULT STDMETHODCALLTYPE get_Count(long* value) override;
    HRESULT STDMETHODCALLTYPE Add(BSTR value) override;
    HRESULT STDMETHODCALLTYPE Remove(long index) override;
    HRESULT STDMETHODCALLTYPE RemoveAll() override;
    HRESULT STDMETHODCALLTYPE IndexOf(BSTR value, long* index) override;
    HRESULT STDMETHODCALLTYPE get_Item(long index, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** value) override;

    const std::vector<std::wstring>& Strings() const noexcept { return m_strings; }
    std::vector<std::wstring>& Strings() noexcept { return m_strings; }

private:
    std::vector<std::wstring> m_strings;
};

} // namespace tolvane
