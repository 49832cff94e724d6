#include "RfcError.h"

#include "com/Bstr.h"

namespace tolvane {

HRESULT CRfcError::get_ERRORGROUP(ERRORGROUP* value)
{
    return guard([&] {
        com::require_out(value);
        std::lock_guard lock(m_lock);
        *value = static_cast<ERRORGROUP>(m_contents.group);
    });
}

HRESULT CRfcError::put_ERRORGROUP(ERRORGROUP value)
{
    std::lock_guard lock(m_lock);
    m_contents.group = value;
    return S_OK;
}

HRESULT CRfcError::GetText(std::wstring Contents::*member, BSTR* value)
{
    return guard([&] {
        com::require_out(value);
        std::lock_guard lock(m_lock);
        *value = com::bstr(m_contents.*member).detach();
    });
}

HRESULT CRfcError::PutText(std::wstring Contents::*member, BSTR value)
{
    return guard([&] {
        std::wstring text(com::view(value));
        std::lock_guard lock(m_lock);
        m_contents.*member = std::move(text);
    });
}

HRESULT CRfcError::get_ErrorGroupTxt(BSTR* value) { return GetText(&Contents::groupText, value); }
HRESULT CRfcError::put_ErrorGroupTxt(BSTR value) { return PutText(&Contents::groupText, value); }
HRESULT CRfcError::get_Message(BSTR* value) { return GetText(&Contents::message, value); }
HRESULT CRfcError::put_Message(BSTR value) { return PutText(&Contents::message, value); }
HRESULT CRfcError::get_ModuleName(BSTR* value) { return GetText(&Contents::moduleName, value); }
HRESULT CRfcError::put_ModuleName(BSTR value) { return PutText(&Contents::moduleName, value); }

void CRfcError::Set(long group, std::wstring_view groupText, std::wstring_view message)
{
    std::wstring text(groupText), msg(message);
    std::lock_guard lock(m_lock);
    m_contents.group = group;
    m_contents.groupText = std::move(text);
    m_contents.message = std::move(msg);
}

void CRfcError::Clear()
{
    std::lock_guard lock(m_lock);
    m_contents = Contents{};
}

CRfcError::Contents CRfcError::Get() const
{
    std::lock_guard lock(m_lock);
    return m_contents;
}

void CRfcError::Assign(const Contents& contents)
{
    Contents copy = contents;
    std::lock_guard lock(m_lock);
    m_contents = std::move(copy);
}

} // namespace tolvane
