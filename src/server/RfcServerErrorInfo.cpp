#include "RfcServerErrorInfo.h"

namespace tolvane {

HRESULT CRfcServerErrorInfo::get_ErrorGroupTxt(BSTR* value)
{
    std::lock_guard lock(m_lock);
    return m_groupText.copy_to(value);
}

HRESULT CRfcServerErrorInfo::get_Message(BSTR* value)
{
    std::lock_guard lock(m_lock);
    return m_message.copy_to(value);
}

HRESULT CRfcServerErrorInfo::SetErrorInfo(long group, BSTR groupText, BSTR message, long rc)
{
    return guard([&] { Set(group, com::view(groupText), com::view(message), rc); });
}

void CRfcServerErrorInfo::Set(long group, std::wstring_view groupText, std::wstring_view message, long rc)
{
    com::bstr text(groupText), what(message);
    std::lock_guard lock(m_lock);
    m_group = group;
    m_groupText = std::move(text);
    m_message = std::move(what);
    m_rc = rc;
}

bool CRfcServerErrorInfo::Restart() const
{
    std::lock_guard lock(m_lock);
    return m_restart != VARIANT_FALSE;
}

} // namespace tolvane
