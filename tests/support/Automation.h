#pragma once
// Late binding as a script client does it: names resolved with GetIDsOfNames, calls made with
// IDispatch::Invoke, failures read back from the EXCEPINFO.
#include "com/ComPtr.h"
#include "com/Variant.h"

#include <oaidl.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace test {

struct InvokeResult {
    HRESULT hr = E_FAIL;
    com::variant value;
    SCODE scode = 0;          // from EXCEPINFO when hr is DISP_E_EXCEPTION
    std::wstring description; // from EXCEPINFO
    std::wstring source;      // from EXCEPINFO

    // The result code the script sees: the exception's code when the call raised one.
    HRESULT error() const { return hr == DISP_E_EXCEPTION ? scode : hr; }
};

// Arguments in call order.
InvokeResult Invoke(IDispatch* object, std::wstring_view member, WORD flags, std::vector<com::variant> args = {});
InvokeResult Get(IDispatch* object, std::wstring_view member, std::vector<com::variant> args = {});
InvokeResult Call(IDispatch* object, std::wstring_view member, std::vector<com::variant> args = {});
InvokeResult Put(IDispatch* object, std::wstring_view member, com::variant value, std::vector<com::variant> index = {});

template <class... A>
std::vector<com::variant> Args(A&&... a)
{
    std::vector<com::variant> v;
    (v.emplace_back(std::forward<A>(a)), ...);
    return v;
}

// The dispatch object held by a result (fails the test if there is none).
com::ptr<IDispatch> Object(const InvokeResult& result);

// The text of a string variant.
std::wstring Text(const com::variant& value);

// Every item an _NewEnum enumerator yields, in order.
std::vector<com::variant> Enumerate(IDispatch* collection);

} // namespace test
