// The exception boundary: what each kind of failure inside a method becomes for the caller.
#include "com/Boundary.h"
#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "idl/Tolvane_h.h"
#include "session/Messages.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct ThreadError {
    bool present = false;
    std::wstring description, source;
    GUID guid{};
};

ThreadError TakeErrorInfo()
{
    ThreadError error;
    com::ptr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info)
        return error;
    error.present = true;
    com::bstr text, source;
    info->GetDescription(text.put());
    info->GetSource(source.put());
    info->GetGUID(&error.guid);
    error.description = text.str();
    error.source = source.str();
    return error;
}

const com::ErrorSource kSoapSource{&CLSID_SoapSession, &IID_ISession};

} // namespace

TEST(ErrorBoundary, MessageErrorsCarryTheirTextSourceAndInterface)
{
    HRESULT hr = com::guard(kSoapSource, [] { throw tolvane::MessageError(tolvane::msg::AlreadyConnected); });
    EXPECT_EQ(hr, static_cast<HRESULT>(0x8004020B));
    ThreadError error = TakeErrorInfo();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(error.description, L"Already connected to the server");
    EXPECT_EQ(error.source, L"Tolvane.SoapSession.1");
    EXPECT_TRUE(IsEqualGUID(error.guid, IID_ISession));
}

TEST(ErrorBoundary, AMessageWithoutTextStillGivesItsCode)
{
    HRESULT hr = com::guard({}, [] { throw tolvane::MessageError(700); });
    EXPECT_EQ(hr, static_cast<HRESULT>(0x800402BC));
    ThreadError error = TakeErrorInfo();
    EXPECT_EQ(error.description, L"Unknown Error");
    EXPECT_EQ(error.source, L""); // no class: no Source
}

TEST(ErrorBoundary, ComErrorsKeepTheCalleesDescription)
{
    HRESULT hr = com::guard({}, [] { throw com::hresult_error(E_ACCESSDENIED, L"logon refused"); });
    EXPECT_EQ(hr, E_ACCESSDENIED);
    EXPECT_EQ(TakeErrorInfo().description, L"logon refused");

    // A code without description leaves no stale error information behind.
    tolvane::RaiseMessage(tolvane::msg::NotConnected, {});
    hr = com::guard({}, [] { throw com::hresult_error(E_POINTER); });
    EXPECT_EQ(hr, E_POINTER);
    EXPECT_FALSE(TakeErrorInfo().present);
}

TEST(ErrorBoundary, UnforeseenExceptionsBecomeMessage519AndOutOfMemoryItsCode)
{
    EXPECT_EQ(com::guard({}, [] { throw std::runtime_error("boom"); }), static_cast<HRESULT>(0x80040207));
    EXPECT_EQ(TakeErrorInfo().description, L"An unexpected error has occured - check trace for details");
    EXPECT_EQ(com::guard({}, [] { throw 42; }), static_cast<HRESULT>(0x80040207));
    EXPECT_EQ(com::guard({}, [] { throw std::bad_alloc(); }), E_OUTOFMEMORY);
}

TEST(ErrorBoundary, BodiesReturnTheirOwnResult)
{
    EXPECT_EQ(com::guard({}, [] {}), S_OK);
    EXPECT_EQ(com::guard({}, [] { return S_FALSE; }), S_FALSE);
    EXPECT_EQ(com::guard({}, [] { com::require_out(static_cast<int*>(nullptr)); }), E_POINTER);
}

TEST(ErrorBoundary, ErrorTextForTracesNamesInterfaceCodesAndUnknownOnes)
{
    EXPECT_EQ(com::error_text(static_cast<HRESULT>(0x8004020A)), L"IDispatch error #10");
    EXPECT_EQ(com::error_text(static_cast<HRESULT>(0xA0001234)), L"Unknown error 0xA0001234");
    EXPECT_FALSE(com::error_text(E_OUTOFMEMORY).empty());
}
