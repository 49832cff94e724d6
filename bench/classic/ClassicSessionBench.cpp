// Tolvane.RfcSession against sapsim's gateway through the stand-in librfc32u.dll, as an
// early-bound C++ client uses it; bench/classic/run.sh runs it beside the raw client of the
// stand-in (the same work done through the library's C interface):
//   1. a synchronous STFC_CONNECTION: time per call with one prepared call object;
//   2. Z_SIM_GENERATE_ROWS: N rows of every ABAP type received into the call's table.
// The library is found on the search path (run.sh puts its folder there).
// Usage: classic_session_bench <gateway port> [calls] [rows]
#include "BenchSupport.h"
#include "classic/RfcSession.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

com::ptr<IRfcSession> Connect(const char* gateway)
{
    auto session = com::make<tolvane::CRfcSession>();
    com::ptr<IRfcSystemData> system;
    session->get_RfcSystemData(system.put());
    const std::string port(gateway);
    system->put_ConnectString(com::bstr(L"ASHOST=127.0.0.1 SYSNR=00 GWSERV=" + std::wstring(port.begin(), port.end())).get());
    com::ptr<ILogonData> logon;
    session->get_LogonData(logon.put());
    logon->put_Client(com::bstr(L"001").get());
    logon->put_User(com::bstr(L"DEMO").get());
    logon->put_Password(com::bstr(L"demo1234").get());
    logon->put_Language(com::bstr(L"EN").get());
    if (FAILED(session->Connect()))
        return nullptr;
    VARIANT_BOOL connected = VARIANT_FALSE;
    session->get_IsConnected(&connected);
    return connected ? session : nullptr;
}

com::ptr<IRfcParameter> Parameter(IFunctionCall* call, HRESULT (STDMETHODCALLTYPE IFunctionCall::*list)(IRfcParameters**),
                                  const wchar_t* name)
{
    com::ptr<IRfcParameters> parameters;
    (call->*list)(parameters.put());
    com::ptr<IRfcParameter> parameter;
    parameters->get_Item(com::variant(name).get(), parameter.put());
    return parameter;
}

void Calls(IRfcSession* session, int calls)
{
    com::ptr<IFunctionCall> call;
    session->ImportCall(com::bstr(L"STFC_CONNECTION").get(), VARIANT_FALSE, call.put());
    Parameter(call.get(), &IFunctionCall::get_Importing, L"REQUTEXT")->put_value(com::variant(L"benchmark").get());
    session->CallFunction(call.get(), VARIANT_TRUE); // library bound and description imported before the clock starts
    int ok = 0;
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i)
        ok += session->CallFunction(call.get(), VARIANT_TRUE) == S_OK;
    const double seconds = Seconds(start);
    std::printf("session STFC_CONNECTION: %d calls (%d ok) in %.3f s = %.1f us per call, %.0f calls/s\n", calls, ok, seconds,
                seconds * 1e6 / calls, calls / seconds);
}

void GeneratedRows(IRfcSession* session, long rows)
{
    com::ptr<IFunctionCall> call;
    session->ImportCall(com::bstr(L"Z_SIM_GENERATE_ROWS").get(), VARIANT_FALSE, call.put());
    Parameter(call.get(), &IFunctionCall::get_Importing, L"ROWCOUNT")->put_value(com::variant(rows).get());
    const auto start = Clock::now();
    const HRESULT hr = session->CallFunction(call.get(), VARIANT_TRUE);
    const double seconds = Seconds(start);
    com::ptr<IRfcRows> received;
    Parameter(call.get(), &IFunctionCall::get_Tables, L"ROWS")->get_Rows(received.put());
    long count = 0;
    received->get_Count(&count);
    std::printf("session Z_SIM_GENERATE_ROWS: hr 0x%08lx, %ld rows (every ABAP type) received in %.3f s\n",
                static_cast<unsigned long>(hr), count, seconds);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: classic_session_bench <gateway port> [calls] [rows]; librfc32u.dll on the search path\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        com::ptr<IRfcSession> session = Connect(argv[1]);
        if (!session) {
            std::fprintf(stderr, "cannot connect\n");
            return 1;
        }
        Calls(session.get(), argc > 2 ? std::atoi(argv[2]) : 10000);
        GeneratedRows(session.get(), argc > 3 ? std::atol(argv[3]) : 10000);
    }
    std::printf("memory committed at the end: %.1f MiB\n", bench::CommittedBytes() / 1048576.0);
    CoUninitialize();
    return 0;
}
