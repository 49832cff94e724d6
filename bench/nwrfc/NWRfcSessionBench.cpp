// Tolvane.NWRfcSession against sapsim's gateway through the stand-in library, as an early-bound
// C++ client uses it; bench/nwrfc/run.sh runs it beside the raw client of the stand-in (the
// same work done by hand through the library's C interface) and a VBScript client.
//   1. STFC_CONNECTION calls per second: CallFunction with one prepared call, synchronously;
//   2. RFC_READ_TABLE of ZSIM_BIG through the table reader: seconds for N rows, read into
//      typed rows.
// Usage: nwrfc_session_bench <gateway port> <folder of sapnwrfc.dll> [calls] [rows]
#include "nwrfc/NWRfcSession.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

com::ptr<IRfcSession> Connect(const std::wstring& gateway, const std::wstring& folder)
{
    auto session = com::make<tolvane::CNWRfcSession>();
    session->put_Option(com::bstr(L"nwrfc.path").get(), com::bstr(folder).get());
    com::ptr<IRfcSystemData> system;
    session->get_RfcSystemData(system.put());
    system->put_ConnectString(com::bstr(L"ASHOST=127.0.0.1 SYSNR=00 GWSERV=" + gateway).get());
    com::ptr<ILogonData> logon;
    session->get_LogonData(logon.put());
    logon->put_Client(com::bstr(L"001").get());
    logon->put_User(com::bstr(L"DEMO").get());
    logon->put_Password(com::bstr(L"demo1234").get());
    logon->put_Language(com::bstr(L"EN").get());
    if (FAILED(session->Connect()))
        return nullptr;
    return session;
}

void Calls(IRfcSession* session, int calls)
{
    com::ptr<IFunctionCall> call;
    session->ImportCall(com::bstr(L"STFC_CONNECTION").get(), VARIANT_FALSE, call.put());
    com::ptr<IRfcParameters> importing;
    call->get_Importing(importing.put());
    com::ptr<IRfcParameter> text;
    importing->get_Item(com::variant(L"REQUTEXT").get(), text.put());
    text->put_value(com::variant(L"benchmark").get());
    session->CallFunction(call.get(), VARIANT_TRUE); // descriptions cached before the clock starts
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i)
        session->CallFunction(call.get(), VARIANT_TRUE);
    const double seconds = Seconds(start);
    std::printf("session STFC_CONNECTION: %d calls in %.3f s = %.0f calls/s\n", calls, seconds, calls / seconds);
}

void ReadTable(IRfcSession* session, long rows)
{
    com::ptr<ITableReader> reader;
    session->GetTableReader(com::bstr(L"ZSIM_BIG").get(), reader.put());
    const auto start = Clock::now();
    const HRESULT hr = reader->Read(rows);
    const double seconds = Seconds(start);
    com::ptr<IRfcRows> read;
    reader->get_Rows(read.put());
    long count = 0;
    read->get_Count(&count);
    std::printf("session RFC_READ_TABLE (table reader): hr 0x%08lx, %ld rows in %.3f s\n", static_cast<unsigned long>(hr),
                count, seconds);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: nwrfc_session_bench <gateway port> <folder of sapnwrfc.dll> [calls] [rows]\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        com::ptr<IRfcSession> session = Connect(Wide(argv[1]), Wide(argv[2]));
        if (!session) {
            std::fprintf(stderr, "cannot connect\n");
            return 1;
        }
        Calls(session.get(), argc > 3 ? std::atoi(argv[3]) : 10000);
        ReadTable(session.get(), argc > 4 ? std::atol(argv[4]) : 10000);
    }
    CoUninitialize();
    return 0;
}
