#include "ErrorInfo.h"

#include "Boundary.h"
#include "Bstr.h"
#include "ComPtr.h"
#include "HResultError.h"

#include <oleauto.h>

#include <atomic>
#include <cwchar>

namespace com {
namespace {

std::wstring prog_id_of(const CLSID& clsid)
{
    if (IsEqualCLSID(clsid, CLSID_NULL))
        return {};
    LPOLESTR prog_id = nullptr;
    if (FAILED(ProgIDFromCLSID(clsid, &prog_id)) || !prog_id)
        return {};
    std::wstring result(prog_id);
    CoTaskMemFree(prog_id);
    return result;
}

std::atomic<UnexpectedExceptionHandler> g_unexpected{nullptr};

} // namespace

void set_unexpected_exception_handler(UnexpectedExceptionHandler handler) noexcept { g_unexpected = handler; }

HRESULT report_unexpected_exception(const ErrorSource& source) noexcept
{
    UnexpectedExceptionHandler handler = g_unexpected;
    return handler ? handler(source) : E_UNEXPECTED;
}

void set_error_info(std::wstring_view description, std::wstring_view source, const IID& iid) noexcept
{
    ptr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.put())))
        return;
    std::wstring text(description), src(source);
    create->SetDescription(text.data());
    if (!src.empty())
        create->SetSource(src.data());
    create->SetGUID(iid);
    if (auto info = create.try_query<IErrorInfo>())
        SetErrorInfo(0, info.get());
}

HRESULT report_error(HRESULT hr, std::wstring_view description, const ErrorSource& source) noexcept
{
    try {
        set_error_info(description, prog_id_of(*source.clsid), *source.iid);
    } catch (...) {
        // Out of memory while describing an error: the code alone still reaches the caller.
    }
    return hr;
}

hresult_error::hresult_error(HRESULT code) noexcept : code_(code) {}

hresult_error::hresult_error(HRESULT code, std::wstring description, const IID& iid)
    : code_(code), iid_(iid), description_(std::move(description))
{
}

hresult_error hresult_error::propagated(HRESULT code) noexcept
{
    hresult_error error(code);
    error.propagated_ = true;
    return error;
}

hresult_error hresult_error::from_thread(HRESULT code, const IID& iid)
{
    hresult_error error(code);
    error.iid_ = iid;
    ptr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) == S_OK && info) {
        bstr text, source;
        if (SUCCEEDED(info->GetDescription(text.put())))
            error.description_ = text.str();
        if (SUCCEEDED(info->GetSource(source.put())))
            error.source_ = source.str();
    }
    return error;
}

HRESULT hresult_error::report() const noexcept
{
    if (propagated_)
        return code_;
    if (description_.empty() && source_.empty())
        SetErrorInfo(0, nullptr);
    else
        set_error_info(description_, source_, iid_);
    return code_;
}

std::wstring error_text(HRESULT hr)
{
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(hr), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    if (n > 0 && buffer) {
        std::wstring text(buffer, n);
        LocalFree(buffer);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
            text.pop_back();
        return text;
    }
    wchar_t text[64];
    const auto code = static_cast<unsigned long>(hr);
    if (code >= 0x80040200UL && code <= 0x8004FFFFUL)
        swprintf(text, 64, L"IDispatch error #%d", static_cast<int>(HRESULT_CODE(hr) - 0x200));
    else
        swprintf(text, 64, L"Unknown error 0x%0lX", code);
    return text;
}

} // namespace com
