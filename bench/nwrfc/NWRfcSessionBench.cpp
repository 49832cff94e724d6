// Tolvane.NWRfcSession against sapsim's gateway through the stand-in library, as an early-bound
// C++ client uses it; bench/nwrfc/run.sh runs it beside the raw client of the stand-in (the
// same work done by hand through the library's C interface) and a VBScript client.
//   1. STFC_CONNECTION calls per second: CallFunction with one prepared call, synchronously;
//   2. RFC_READ_TABLE of ZSIM_BIG through the table reader: seconds for N rows, read into
//      typed rows; beside it the same call through CallFunction alone (the DATA rows as text,
//      nothing typed), which shows how much of the reader's time is the call and how much the
//      typing of its rows. Each is read several times: the first, the median and the best are
//      shown. The interface of RFC_READ_TABLE is imported before, as the raw client looks up
//      its function description before its clock starts;
//   3. the raw client and the session in turn, in this process, so that both meet the machine
//      in the same state: STFC_CONNECTION in blocks of calls, and the reads of the same rows
//      (medians, bests and the ratios).
// Usage: nwrfc_session_bench <gateway port> <folder of sapnwrfc.dll> [calls] [rows]
#include "nwrfc/NWRfcLibrary.h"
#include "nwrfc/NWRfcSession.h"

#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

// STFC_CONNECTION prepared for calls, its descriptions cached by a first call.
com::ptr<IFunctionCall> PingCall(IRfcSession* session)
{
    com::ptr<IFunctionCall> call;
    session->ImportCall(com::bstr(L"STFC_CONNECTION").get(), VARIANT_FALSE, call.put());
    com::ptr<IRfcParameters> importing;
    call->get_Importing(importing.put());
    com::ptr<IRfcParameter> text;
    importing->get_Item(com::variant(L"REQUTEXT").get(), text.put());
    text->put_value(com::variant(L"benchmark").get());
    session->CallFunction(call.get(), VARIANT_TRUE);
    return call;
}

void Calls(IRfcSession* session, int calls)
{
    com::ptr<IFunctionCall> call = PingCall(session);
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i)
        session->CallFunction(call.get(), VARIANT_TRUE);
    const double seconds = Seconds(start);
    std::printf("session STFC_CONNECTION: %d calls in %.3f s = %.0f calls/s\n", calls, seconds, calls / seconds);
}

void SetImporting(IRfcParameters* importing, const wchar_t* name, const com::variant& value)
{
    com::ptr<IRfcParameter> parameter;
    importing->get_Item(com::variant(name).get(), parameter.put());
    parameter->put_value(value.get());
}

struct TableRead {
    HRESULT hr = S_OK;
    long count = 0;
    double seconds = 0;
};

long RowCount(IRfcRows* rows)
{
    long count = 0;
    rows->get_Count(&count);
    return count;
}

// Through the table reader, into typed rows; a fresh reader each time, as a client takes one.
TableRead ReadTableOnce(IRfcSession* session, long rows)
{
    com::ptr<ITableReader> reader;
    session->GetTableReader(com::bstr(L"ZSIM_BIG").get(), reader.put());
    TableRead read;
    const auto start = Clock::now();
    read.hr = reader->Read(rows);
    read.seconds = Seconds(start);
    com::ptr<IRfcRows> result;
    reader->get_Rows(result.put());
    read.count = RowCount(result.get());
    return read;
}

// RFC_READ_TABLE with the parameters the table reader sends, its rows left as DATA text.
TableRead CallReadTableOnce(IRfcSession* session, long rows)
{
    com::ptr<IFunctionCall> call;
    session->ImportCall(com::bstr(L"RFC_READ_TABLE").get(), VARIANT_TRUE, call.put());
    com::ptr<IRfcParameters> importing;
    call->get_Importing(importing.put());
    SetImporting(importing.get(), L"QUERY_TABLE", com::variant(L"ZSIM_BIG"));
    SetImporting(importing.get(), L"DELIMITER", com::variant(L" "));
    SetImporting(importing.get(), L"NO_DATA", com::variant(L" "));
    SetImporting(importing.get(), L"ROWCOUNT", com::variant(rows));
    SetImporting(importing.get(), L"ROWSKIPS", com::variant(0L));
    TableRead read;
    const auto start = Clock::now();
    read.hr = session->CallFunction(call.get(), VARIANT_TRUE);
    read.seconds = Seconds(start);
    com::ptr<IRfcParameters> tables;
    call->get_Tables(tables.put());
    com::ptr<IRfcParameter> data;
    tables->get_Item(com::variant(L"DATA").get(), data.put());
    com::ptr<IRfcRows> result;
    data->get_Rows(result.put());
    read.count = RowCount(result.get());
    return read;
}

// The raw client's read of the same rows, in this process through the library the session has
// bound: the C interface called by hand as standin_bench does it (the call, every row's text
// read back, the function destroyed).
class RawClient {
public:
    explicit RawClient(const std::wstring& gateway) : m_api(*nwrfc::Library::Bound())
    {
        m_getString = reinterpret_cast<GetString>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"sapnwrfc.dll"), "RfcGetString")));
        const nwrfc::RFC_CONNECTION_PARAMETER p[] = {{L"ashost", L"127.0.0.1"}, {L"sysnr", L"00"},
                                                     {L"gwserv", gateway.c_str()}, {L"client", L"001"},
                                                     {L"user", L"DEMO"},           {L"passwd", L"demo1234"},
                                                     {L"lang", L"EN"}};
        nwrfc::RFC_ERROR_INFO e{};
        m_connection = m_api.RfcOpenConnection(p, 7, &e);
        m_description = m_api.RfcGetFunctionDesc(m_connection, L"RFC_READ_TABLE", &e);
    }
    ~RawClient()
    {
        nwrfc::RFC_ERROR_INFO e{};
        if (m_ping)
            m_api.RfcDestroyFunction(m_ping, &e);
        m_api.RfcCloseConnection(m_connection, &e);
    }
    bool Ready() const noexcept { return m_getString && m_connection && m_description; }

    // Seconds for `calls` STFC_CONNECTION calls with one prepared function, as standin_bench.
    double Calls(int calls)
    {
        nwrfc::RFC_ERROR_INFO e{};
        if (!m_ping) {
            m_ping = m_api.RfcCreateFunction(m_api.RfcGetFunctionDesc(m_connection, L"STFC_CONNECTION", &e), &e);
            SetText(m_ping, L"REQUTEXT", L"benchmark");
        }
        const auto start = Clock::now();
        for (int i = 0; i < calls; ++i)
            m_api.RfcInvoke(m_connection, m_ping, &e);
        return Seconds(start);
    }

    double ReadOnce(long rows)
    {
        nwrfc::RFC_ERROR_INFO e{};
        nwrfc::RFC_FUNCTION_HANDLE f = m_api.RfcCreateFunction(m_description, &e);
        SetText(f, L"QUERY_TABLE", L"ZSIM_BIG");
        SetText(f, L"DELIMITER", L"|");
        SetText(f, L"ROWCOUNT", std::to_wstring(rows));
        const auto start = Clock::now();
        m_api.RfcInvoke(m_connection, f, &e);
        nwrfc::RFC_TABLE_HANDLE data = nullptr;
        m_api.RfcGetTable(f, L"DATA", &data, &e);
        unsigned count = 0;
        m_api.RfcGetRowCount(data, &count, &e);
        wchar_t buffer[600];
        unsigned length = 0;
        for (nwrfc::RFC_RC move = m_api.RfcMoveToFirstRow(data, &e); move == nwrfc::RFC_OK && count > 0;
             move = m_api.RfcMoveToNextRow(data, &e))
            m_getString(data, L"WA", buffer, 600, &length, &e);
        m_api.RfcDestroyFunction(f, &e);
        return Seconds(start);
    }

private:
    void SetText(nwrfc::RFC_FUNCTION_HANDLE f, const wchar_t* name, const std::wstring& text)
    {
        nwrfc::RFC_ERROR_INFO e{};
        m_api.RfcSetChars(f, name, text.c_str(), static_cast<unsigned>(text.size()), &e);
    }

    using GetString = nwrfc::RFC_RC(SAP_API*)(nwrfc::DATA_CONTAINER_HANDLE, const nwrfc::SAP_UC*, nwrfc::SAP_UC*,
                                              unsigned, unsigned*, nwrfc::RFC_ERROR_INFO*);

    const nwrfc::EntryPoints& m_api;
    GetString m_getString = nullptr;
    nwrfc::RFC_CONNECTION_HANDLE m_connection = nullptr;
    nwrfc::RFC_FUNCTION_DESC_HANDLE m_description = nullptr;
    nwrfc::RFC_FUNCTION_HANDLE m_ping = nullptr;
};

// The raw client and the table reader read in turn, so that both meet the machine in the same
// state; their medians and bests are compared.
void CompareReads(IRfcSession* session, RawClient& raw, long rows)
{
    std::vector<double> rawSeconds, readerSeconds;
    for (int i = 0; i < bench::kTableReads; ++i) {
        rawSeconds.push_back(raw.ReadOnce(rows));
        readerSeconds.push_back(ReadTableOnce(session, rows).seconds);
    }
    const double rawMedian = bench::Median(rawSeconds), readerMedian = bench::Median(readerSeconds);
    const double rawBest = *std::min_element(rawSeconds.begin(), rawSeconds.end());
    const double readerBest = *std::min_element(readerSeconds.begin(), readerSeconds.end());
    std::printf("RFC_READ_TABLE, raw client and table reader in turn, %d reads each: raw median %.3f s, best %.3f s; "
                "table reader median %.3f s, best %.3f s; reader/raw %.2f (medians), %.2f (bests)\n",
                bench::kTableReads, rawMedian, rawBest, readerMedian, readerBest, readerMedian / rawMedian,
                readerBest / rawBest);
}

// STFC_CONNECTION from the raw client and through the session in turn, in blocks of calls, so
// that both meet the machine in the same state.
void CompareCalls(IRfcSession* session, RawClient& raw, int calls)
{
    com::ptr<IFunctionCall> call = PingCall(session);
    constexpr int kBlocks = 10;
    const int perBlock = std::max(1, calls / kBlocks);
    double rawSeconds = 0, sessionSeconds = 0;
    for (int b = 0; b < kBlocks; ++b) {
        rawSeconds += raw.Calls(perBlock);
        const auto start = Clock::now();
        for (int i = 0; i < perBlock; ++i)
            session->CallFunction(call.get(), VARIANT_TRUE);
        sessionSeconds += Seconds(start);
    }
    const double total = double(kBlocks) * perBlock;
    std::printf("STFC_CONNECTION, raw client and session in turn, %d blocks of %d calls: raw %.0f calls/s, session %.0f "
                "calls/s (%.0f %% of raw)\n",
                kBlocks, perBlock, total / rawSeconds, total / sessionSeconds, 100.0 * rawSeconds / sessionSeconds);
}

// Several reads, since single figures vary on a shared machine: the first, the median and the
// best.
void ReadTable(const char* label, TableRead (*readOnce)(IRfcSession*, long), IRfcSession* session, long rows)
{
    const TableRead first = readOnce(session, rows);
    std::vector<double> seconds{first.seconds};
    for (int i = 1; i < bench::kTableReads; ++i)
        seconds.push_back(readOnce(session, rows).seconds);
    std::printf("session RFC_READ_TABLE (%s): hr 0x%08lx, %ld rows: first %.3f s, median of %d %.3f s, best %.3f s\n", label,
                static_cast<unsigned long>(first.hr), first.count, first.seconds, bench::kTableReads,
                bench::Median(seconds), *std::min_element(seconds.begin(), seconds.end()));
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
        const long rows = argc > 4 ? std::atol(argv[4]) : 10000;
        com::ptr<IFunctionCall> metadata;
        session->ImportCall(com::bstr(L"RFC_READ_TABLE").get(), VARIANT_TRUE, metadata.put());
        ReadTable("table reader", ReadTableOnce, session.get(), rows);
        ReadTable("CallFunction, untyped", CallReadTableOnce, session.get(), rows);
        RawClient raw(Wide(argv[1]));
        if (raw.Ready()) {
            CompareCalls(session.get(), raw, argc > 3 ? std::atoi(argv[3]) : 10000);
            CompareReads(session.get(), raw, rows);
        }
    }
    CoUninitialize();
    return 0;
}
