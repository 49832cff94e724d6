#include "IntCall.h"

#include "Messages.h"
#include "XTolvane.h"
#include "com/HResultError.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

void CIntCall::RecordInternalFailure(const std::wstring& groupText, const std::wstring& message, unsigned failWith) noexcept
{
    m_outcome.failed = true;
    m_outcome.group = RFCERROR_INTERNAL;
    m_outcome.groupText = groupText;
    m_outcome.message = message;
    m_outcome.failWith = failWith;
}

void CIntCall::RecordCurrentException(const wchar_t* whatFailed) noexcept
{
    try {
        throw;
    } catch (const CXTolvane& e) {
        RecordInternalFailure(L"conversion error", e.Message(), e.MessageNumber());
    } catch (const MessageError& e) {
        RecordInternalFailure(L"conversion error", MessageText(e.number()), e.number());
    } catch (const com::hresult_error& e) {
        RecordInternalFailure(L"internal error", e.description(), msg::UnexpectedError);
    } catch (...) {
        RecordInternalFailure(L"internal error", whatFailed, msg::UnexpectedError);
    }
}

} // namespace tolvane
