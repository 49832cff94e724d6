#pragma once
// Error information for automation callers: the IErrorInfo record that VBScript shows as
// Err.Description and Err.Source, and that ITypeInfo::Invoke turns into DISP_E_EXCEPTION.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <string_view>

namespace com {

// Who reports an error: the class whose registered ProgID becomes the Source, and the
// interface id stored as the record's GUID. Null ids mean no source and the null GUID.
struct ErrorSource {
    const CLSID* clsid = &CLSID_NULL;
    const IID* iid = &IID_NULL;
};

// Sets the thread's error information and returns `hr` unchanged.
HRESULT report_error(HRESULT hr, std::wstring_view description, const ErrorSource& source) noexcept;

// Sets the thread's error information from its parts (no ProgID lookup).
void set_error_info(std::wstring_view description, std::wstring_view source, const IID& iid) noexcept;

} // namespace com
