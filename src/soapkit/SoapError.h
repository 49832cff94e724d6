#pragma once
// The component's own failure: an HRESULT with a description for the caller. Thrown inside a
// method body; the exception boundary (guard) publishes it as error information whose Source
// is the reporting class's ProgID.
#include "com/Boundary.h"

#include <exception>
#include <string>

namespace soapkit {

class SoapError : public std::exception, public com::reportable_error {
public:
    SoapError(HRESULT code, std::wstring description) : code_(code), description_(std::move(description)) {}

    HRESULT code() const noexcept { return code_; }
    const std::wstring& description() const noexcept { return description_; }
    const char* what() const noexcept override { return "SOAP component error"; }
    HRESULT report(const com::ErrorSource& source) const noexcept override;

private:
    HRESULT code_;
    std::wstring description_;
};

[[noreturn]] void fail(HRESULT code, std::wstring description);

} // namespace soapkit
