#include "Messages.h"

#include "Trace.h"
#include "com/Module.h"

namespace tolvane {

std::wstring MessageText(unsigned number) { return com::load_resource_string(number); }

HRESULT RaiseMessage(unsigned number, const com::ErrorSource& source) noexcept
{
    try {
        std::wstring text = MessageText(number);
        return com::report_error(MessageResult(number), text.empty() ? L"Unknown Error" : text, source);
    } catch (...) {
        return MessageResult(number);
    }
}

std::wstring DecodeInternalError(long errcode) { return MessageText(static_cast<unsigned>(errcode) & 0xFFFFu); }

} // namespace tolvane

namespace tolvane {

// Anything that escapes a method body unforeseen is traced and reported as message 519.
static HRESULT ReportUnexpectedException(const com::ErrorSource& source) noexcept
{
    ostrel::TraceFormat(L"unexpected error - terminating\n");
    return RaiseMessage(msg::UnexpectedError, source);
}

void InstallErrorPolicy() noexcept { com::set_unexpected_exception_handler(&ReportUnexpectedException); }

} // namespace tolvane
