#pragma once
// Sessions against sapsim, written as a C++ client would use them.
#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Variant.h"
#include "idl/Tolvane_h.h"
#include "support/SimAdmin.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace test {

struct Logon {
    const wchar_t* user = L"DEMO";
    const wchar_t* password = L"demo1234";
    const wchar_t* client = L"001";
};

// Aims a session at 127.0.0.1:`port` and sets the logon data.
void AimSession(ISoapSession* session, long port, Logon logon = {});
// A new SOAP session aimed at 127.0.0.1:`port` with the logon data set, not connected.
com::ptr<ISoapSession> NewSoapSession(long port, Logon logon = {});
// A session connected to sapsim (the test fails when it cannot connect).
com::ptr<ISoapSession> ConnectedSession(Logon logon = {});

struct ErrorState {
    bool error = false;
    long group = 0;
    std::wstring groupText, message;
};
ErrorState ErrorOf(ISession* session);

com::ptr<IFunctionCall> Import(ISession* session, const wchar_t* module);
com::ptr<IRfcParameter> Parameter(IFunctionCall* call, const wchar_t* list, const wchar_t* name);
void Set(IFunctionCall* call, const wchar_t* name, const com::variant& value);
com::variant Get(IFunctionCall* call, const wchar_t* name, const wchar_t* list = L"Exporting");
std::wstring Text(const com::variant& value);

IHttpSystemData* SystemData(ISoapSession* session);

// Client, user, password and language "EN" into the session's logon data.
void SetLogon(ISession* session, const Logon& logon);

com::variant Bytes(std::initializer_list<unsigned char> bytes);
std::vector<unsigned char> BytesOf(const com::variant& v);
SYSTEMTIME TimeOf(const com::variant& v);

// Z_SIM_ECHO_TYPES with a value of every ABAP type, and the test that each came back as sent
// in the form every transport reads it (INT as 4 bytes, INT1 as a 2-byte 0..255).
void SetEveryType(IFunctionCall* call);
void ExpectEveryTypeEchoed(IFunctionCall* call);

} // namespace test
