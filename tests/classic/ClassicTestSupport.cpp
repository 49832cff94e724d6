#include "ClassicTestSupport.h"

#include "classic/RfcSession.h"
#include "session/Trace.h"
#include "support/TextFile.h"

namespace test {

com::ptr<IRfcSession> NewClassicSession(Logon logon, const std::wstring& extra)
{
    auto session = com::make<tolvane::CRfcSession>();
    SystemData(session.get())->put_ConnectString(com::bstr(GatewayConnectString() + extra).get());
    SetLogon(session.get(), logon);
    return session;
}

com::ptr<IRfcSession> ConnectedClassicSession(Logon logon, const std::wstring& extra)
{
    auto session = NewClassicSession(logon, extra);
    EXPECT_EQ(session->Connect(), S_OK);
    VARIANT_BOOL connected = VARIANT_FALSE;
    session->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_TRUE) << ErrorOf(session.get()).message;
    return session;
}

std::wstring StartTrace(ISession* session, const wchar_t* name)
{
    const std::wstring path = TempFilePath(name);
    ostrel::TraceClose();
    DeleteFileW(path.c_str());
    session->put_Option(com::bstr(L"trace.file").get(), com::bstr(path).get());
    return path;
}

std::wstring StopTrace(const std::wstring& path)
{
    ostrel::TraceClose();
    std::wstring text = ReadUtf8Text(path);
    DeleteFileW(path.c_str());
    return text;
}

} // namespace test
