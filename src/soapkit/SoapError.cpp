#include "SoapError.h"

namespace soapkit {

HRESULT SoapError::report(const com::ErrorSource& source) const noexcept
{
    return com::report_error(code_, description_, source);
}

void fail(HRESULT code, std::wstring description)
{
    throw SoapError(code, std::move(description));
}

} // namespace soapkit
