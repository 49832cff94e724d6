#include "SoapTestSupport.h"

#include "soap/SoapSession.h"

#include "com/SafeArray.h"

#include <fstream>

namespace test {

void AimSession(ISoapSession* session, long port, Logon logon)
{
    com::ptr<IHttpSystemData> system;
    session->get_HttpSystemData(system.put());
    system->put_Host(com::bstr(L"127.0.0.1").get());
    system->put_Port(port);
    SetLogon(session, logon);
}

com::ptr<ISoapSession> NewSoapSession(long port, Logon logon)
{
    com::ptr<ISoapSession> session = com::make<tolvane::CSoapSession>();
    AimSession(session.get(), port, logon);
    return session;
}

com::ptr<ISoapSession> ConnectedSession(Logon logon)
{
    auto session = NewSoapSession(SimPort(), logon);
    EXPECT_EQ(session->Connect(), S_OK);
    VARIANT_BOOL connected = VARIANT_FALSE;
    session->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_TRUE) << ErrorOf(session.get()).message;
    return session;
}

ErrorState ErrorOf(ISession* session)
{
    ErrorState state;
    VARIANT_BOOL error = VARIANT_FALSE;
    session->get_Error(&error);
    state.error = error == VARIANT_TRUE;
    com::ptr<IRfcError> info;
    session->get_ErrorInfo(info.put());
    ERRORGROUP group{};
    info->get_ERRORGROUP(&group);
    state.group = group;
    com::bstr text, message;
    info->get_ErrorGroupTxt(text.put());
    info->get_Message(message.put());
    state.groupText = text.str();
    state.message = message.str();
    return state;
}

com::ptr<IFunctionCall> Import(ISession* session, const wchar_t* module)
{
    com::ptr<IFunctionCall> call;
    EXPECT_EQ(session->ImportCall(com::bstr(module).get(), VARIANT_FALSE, call.put()), S_OK) << module;
    return call;
}

com::ptr<IRfcParameter> Parameter(IFunctionCall* call, const wchar_t* list, const wchar_t* name)
{
    com::ptr<IRfcParameters> parameters;
    const std::wstring_view which(list);
    if (which == L"Importing")
        call->get_Importing(parameters.put());
    else if (which == L"Exporting")
        call->get_Exporting(parameters.put());
    else if (which == L"Changing")
        call->get_Changing(parameters.put());
    else
        call->get_Tables(parameters.put());
    com::ptr<IRfcParameter> parameter;
    EXPECT_EQ(parameters->get_Item(com::variant(name).get(), parameter.put()), S_OK) << name;
    return parameter;
}

void Set(IFunctionCall* call, const wchar_t* name, const com::variant& value)
{
    if (auto p = Parameter(call, L"Importing", name)) {
        EXPECT_EQ(p->put_value(value.get()), S_OK);
    }
}

com::variant Get(IFunctionCall* call, const wchar_t* name, const wchar_t* list)
{
    com::variant value;
    if (auto p = Parameter(call, list, name))
        p->get_value(value.put());
    return value;
}

std::wstring Text(const com::variant& value)
{
    com::variant text;
    if (FAILED(value.try_as(VT_BSTR, text)))
        return L"<vt " + std::to_wstring(value.vt()) + L">";
    return std::wstring(com::view(V_BSTR(text.addr())));
}

IHttpSystemData* SystemData(ISoapSession* session)
{
    com::ptr<IHttpSystemData> system;
    session->get_HttpSystemData(system.put());
    return system.get(); // the session keeps it alive
}

void SetLogon(ISession* session, const Logon& logon)
{
    com::ptr<ILogonData> data;
    session->get_LogonData(data.put());
    data->put_Client(com::bstr(logon.client).get());
    data->put_User(com::bstr(logon.user).get());
    data->put_Password(com::bstr(logon.password).get());
    data->put_Language(com::bstr(L"EN").get());
}

com::variant Bytes(std::initializer_list<unsigned char> bytes)
{
    com::safearray array = com::safearray::bytes(bytes.size());
    {
        com::array_data<unsigned char> data(array.get());
        std::copy(bytes.begin(), bytes.end(), data.data());
    }
    com::variant v;
    V_VT(v.put()) = VT_ARRAY | VT_UI1;
    V_ARRAY(v.addr()) = array.detach();
    return v;
}

std::vector<unsigned char> BytesOf(const com::variant& v)
{
    if (v.vt() != (VT_ARRAY | VT_UI1))
        return {};
    com::array_data<unsigned char> data(V_ARRAY(v.addr()));
    return {data.data(), data.data() + data.size()};
}

SYSTEMTIME TimeOf(const com::variant& v)
{
    SYSTEMTIME st{};
    if (v.vt() == VT_DATE)
        VariantTimeToSystemTime(V_DATE(v.addr()), &st);
    return st;
}

void SetEveryType(IFunctionCall* call)
{
    Set(call, L"I_CHAR", com::variant(L"Hello"));
    Set(call, L"I_NUMC", com::variant(42L));
    Set(call, L"I_DATE", com::variant(L"20180719"));
    Set(call, L"I_TIME", com::variant(L"07:05:09"));
    Set(call, L"I_BCD", com::variant(L"-1234.56"));
    Set(call, L"I_RAW", Bytes({0xDE, 0xAD, 0xBE, 0xEF}));
    Set(call, L"I_FLOAT", com::variant(2.5));
    Set(call, L"I_INT", com::variant(-2147483647L));
    Set(call, L"I_INT2", com::variant(short{-32768}));
    Set(call, L"I_INT1", com::variant(L"255"));
    Set(call, L"I_STRING", com::variant(L"Gr\u00fc\u00dfe & <tags>  "));
    Set(call, L"I_XSTRING", Bytes({0, 1, 2}));
}

void ExpectEveryTypeEchoed(IFunctionCall* call)
{
    EXPECT_EQ(Text(Get(call, L"E_CHAR")), L"Hello");
    EXPECT_EQ(Text(Get(call, L"E_NUMC")), L"00042");
    const SYSTEMTIME date = TimeOf(Get(call, L"E_DATE"));
    EXPECT_EQ(date.wYear * 10000 + date.wMonth * 100 + date.wDay, 20180719);
    const SYSTEMTIME time = TimeOf(Get(call, L"E_TIME"));
    EXPECT_EQ(time.wHour * 10000 + time.wMinute * 100 + time.wSecond, 70509);
    EXPECT_EQ(Text(Get(call, L"E_BCD")), L"-1234.56");
    EXPECT_EQ(BytesOf(Get(call, L"E_RAW")), (std::vector<unsigned char>{0xDE, 0xAD, 0xBE, 0xEF}));
    com::variant f = Get(call, L"E_FLOAT");
    ASSERT_EQ(f.vt(), VT_R8);
    EXPECT_EQ(V_R8(f.addr()), 2.5);
    com::variant i = Get(call, L"E_INT");
    ASSERT_EQ(i.vt(), VT_I4); // a script can use it
    EXPECT_EQ(V_I4(i.addr()), -2147483647);
    EXPECT_EQ(V_I2(Get(call, L"E_INT2").addr()), -32768);
    com::variant b = Get(call, L"E_INT1");
    ASSERT_EQ(b.vt(), VT_I2);
    EXPECT_EQ(V_I2(b.addr()), 255);
    EXPECT_EQ(Text(Get(call, L"E_STRING")), L"Gr\u00fc\u00dfe & <tags>  "); // trailing blanks kept
    EXPECT_EQ(BytesOf(Get(call, L"E_XSTRING")), (std::vector<unsigned char>{0, 1, 2}));
}

} // namespace test
