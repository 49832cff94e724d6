#pragma once
// CBSPParameter: one name and value that a BSP application is given or hands back.
#include "com/Bstr.h"
#include "com/Dispatch.h"
#include "com/Object.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CBSPParameter
    : public com::Object<CBSPParameter, com::Dispatch<IBSPParameter>, com::SupportErrorInfo<IBSPParameter>> {
public:
    CBSPParameter(std::wstring_view name, std::wstring_view value) : m_name(name), m_value(value) {}

    HRESULT STDMETHODCALLTYPE get_name(BSTR* value) override { return m_name.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_name(BSTR value) override { return Store(m_name, value); }
    HRESULT STDMETHODCALLTYPE get_value(BSTR* value) override { return m_value.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_value(BSTR value) override { return Store(m_value, value); }

private:
    HRESULT Store(com::bstr& member, BSTR value)
    {
        return guard([&] { member = com::bstr(com::view(value)); });
    }

    com::bstr m_name;
    com::bstr m_value;
};

} // namespace tolvane
