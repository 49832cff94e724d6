#include "CaughtException.h"

#include "com/HResultError.h"
#include "session/Messages.h"
#include "session/XTolvane.h"

#include <boost/format.hpp>

namespace tolvane {

std::wstring CaughtExceptionText() noexcept
{
    try {
        try {
            throw;
        } catch (const BaseException& e) {
            return e.Message();
        } catch (const MessageError& e) {
            return MessageText(e.number());
        } catch (const com::hresult_error& e) {
            return (boost::wformat(L"Error %2$#8x: %1%") % com::error_text(e.code()) % static_cast<unsigned>(e.code())).str();
        }
    } catch (...) {
    }
    return L"unexpected error";
}

} // namespace tolvane
