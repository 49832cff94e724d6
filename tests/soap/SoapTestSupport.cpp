#include "SoapTestSupport.h"

#include "soap/SoapSession.h"

#include <fstream>

namespace test {

long SimPort()
{
    static long port = [] {
        const char* file = std::getenv("SAPSIM_URL_FILE");
        if (!file)
            return 0L;
        std::ifstream in(file);
        std::string url;
        std::getline(in, url);
        return std::stol(url.substr(url.rfind(':') + 1));
    }();
    return port;
}

void AimSession(ISoapSession* session, long port, Logon logon)
{
    com::ptr<IHttpSystemData> system;
    session->get_HttpSystemData(system.put());
    system->put_Host(com::bstr(L"127.0.0.1").get());
    system->put_Port(port);
    com::ptr<ILogonData> data;
    session->get_LogonData(data.put());
    data->put_Client(com::bstr(logon.client).get());
    data->put_User(com::bstr(logon.user).get());
    data->put_Password(com::bstr(logon.password).get());
    data->put_Language(com::bstr(L"EN").get());
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

} // namespace test
