#include "NWRfcTestSupport.h"

#include "com/Apartment.h"
#include "nwrfc/NWRfcSession.h"

#include <cstdlib>
#include <fstream>
#include <memory>

namespace test {

std::wstring StandInFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/"));
    return folder + L"\\nwrfcsdk";
}

std::wstring GatewayConnectString()
{
    return L"ASHOST=127.0.0.1 SYSNR=00 GWSERV=" + std::to_wstring(GatewayPort());
}

IRfcSystemData* SystemData(IRfcSession* session)
{
    com::ptr<IRfcSystemData> system;
    session->get_RfcSystemData(system.put());
    return system.get(); // the session keeps it alive
}

com::ptr<IRfcSession> NewNWSession(Logon logon, const std::wstring& extra)
{
    auto session = com::make<tolvane::CNWRfcSession>();
    session->put_Option(com::bstr(L"nwrfc.path").get(), com::bstr(StandInFolder()).get());
    SystemData(session.get())->put_ConnectString(com::bstr(GatewayConnectString() + extra).get());
    SetLogon(session.get(), logon);
    return session;
}

com::ptr<IRfcSession> ConnectedNWSession(Logon logon)
{
    auto session = NewNWSession(logon);
    EXPECT_EQ(session->Connect(), S_OK) << ErrorOf(session.get()).message;
    return session;
}

std::vector<std::wstring> ReceivedParameters(ISession* session)
{
    auto call = Import(session, L"Z_SIM_LOGON_PARAMETERS");
    EXPECT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    com::ptr<IRfcRows> rows;
    Parameter(call.get(), L"Tables", L"PARAMETERS")->get_Rows(rows.put());
    long count = 0;
    rows->get_Count(&count);
    std::vector<std::wstring> received;
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcFields> row;
        rows->get_Item(i, row.put());
        std::wstring pair;
        for (const wchar_t* column : {L"NAME", L"VALUE"}) {
            com::ptr<IRfcField> field;
            row->get_Item(com::variant(column).get(), field.put());
            com::variant value;
            field->get_value(value.put());
            pair += (pair.empty() ? L"" : L"=") + Text(value);
        }
        received.push_back(pair);
    }
    return received;
}

long Counter(ISession* session)
{
    auto call = Import(session, L"Z_SIM_COUNTER");
    EXPECT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    return V_I4(Get(call.get(), L"COUNT").addr());
}

long RowCount(IFunctionCall* call, const wchar_t* table)
{
    com::ptr<IRfcRows> rows;
    Parameter(call, L"Tables", table)->get_Rows(rows.put());
    long count = 0;
    rows->get_Count(&count);
    return count;
}

void Pump(DWORD ms)
{
    com::Event never;
    PumpUntil(never.get(), ms);
}

com::ptr<EventSink> ExpectBackgroundEchoOnThisThread(ISession* session)
{
    auto sink = EventSink::Create(DIID__SessionEvents);
    Advise(session, sink.get());
    auto finished = std::make_shared<com::Event>();
    sink->onEvent = [finished](DISPID, DISPPARAMS*) { finished->set(); };
    auto echo = Import(session, L"/SIM/ECHO");
    Set(echo.get(), L"TEXT", com::variant(L"later"));
    EXPECT_EQ(session->CallFunction(echo.get(), VARIANT_FALSE), S_OK);
    EXPECT_TRUE(PumpUntil(finished->get(), 10000));
    EXPECT_EQ(Text(Get(echo.get(), L"ECHO")), L"later");
    EXPECT_EQ(sink->LastThread(), GetCurrentThreadId());
    return sink;
}

} // namespace test
