// The raw client: plain C++ calling the stand-in sapnwrfc.dll through LoadLibrary and
// GetProcAddress, as the product does, against a running sapsim. It measures what the
// NetWeaver session and server benchmarks divide by:
//   STFC_CONNECTION calls per second on one connection,
//   seconds for an RFC_READ_TABLE of N rows (the call, reading the rows back through the API
//   and destroying the function, as every client must): the first of several reads, the
//   median and the best,
//   calls per second answered by a registered server (sapsim calling it in a loop).
// Usage: standin_bench.exe <gateway port> <http port> [calls] [rows]   (see run.sh)
#include "BenchHttp.h"
#include "BenchSupport.h"
#include "NwRfcAbi.h"

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace {

#define BENCH_FUNCTIONS(X)                                                                                              \
    X(RfcOpenConnection) X(RfcCloseConnection) X(RfcGetFunctionDesc) X(RfcCreateFunction) X(RfcDestroyFunction) X(RfcInvoke) \
    X(RfcSetChars) X(RfcGetTable) X(RfcGetRowCount) X(RfcMoveToFirstRow) X(RfcMoveToNextRow) X(RfcGetString)           \
    X(RfcAppendNewRow) X(RfcRegisterServer) X(RfcListenAndDispatch) X(RfcInstallGenericServerFunction)                 \
    X(RfcCreateFunctionDesc) X(RfcAddParameter) X(RfcGetChars)

struct Api {
#define BENCH_DECLARE(name) decltype(&::name) name = nullptr;
    BENCH_FUNCTIONS(BENCH_DECLARE)
#undef BENCH_DECLARE
} api;

// The stand-in lives where an installed SDK would: in a folder of its own (nwrfcsdk) beside
// the programs, so that the product's tests can run without it on their search path.
std::wstring StandInPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"nwrfcsdk\\sapnwrfc.dll";
}

bool load()
{
    HMODULE library = LoadLibraryW(StandInPath().c_str());
    if (library == nullptr)
        return false;
#define BENCH_LOAD(name) api.name = reinterpret_cast<decltype(api.name)>(reinterpret_cast<void*>(GetProcAddress(library, #name)));
    BENCH_FUNCTIONS(BENCH_LOAD)
#undef BENCH_LOAD
    return true;
}

std::wstring gatewayPort;
unsigned short httpPort = 0;

RFC_CONNECTION_HANDLE connect()
{
    RFC_CONNECTION_PARAMETER p[] = {{L"ashost", L"127.0.0.1"}, {L"sysnr", L"00"}, {L"gwserv", gatewayPort.c_str()},
                                    {L"client", L"001"}, {L"user", L"DEMO"}, {L"passwd", L"demo1234"}, {L"lang", L"EN"}};
    RFC_ERROR_INFO e{};
    RFC_CONNECTION_HANDLE c = api.RfcOpenConnection(p, 7, &e);
    if (c == nullptr)
        std::fwprintf(stderr, L"logon failed: %ls\n", e.message);
    return c;
}

void setText(DATA_CONTAINER_HANDLE h, const wchar_t* name, const wchar_t* value)
{
    RFC_ERROR_INFO e{};
    api.RfcSetChars(h, name, value, static_cast<unsigned>(std::wcslen(value)), &e);
}

void connectionCalls(RFC_CONNECTION_HANDLE c, int calls)
{
    RFC_ERROR_INFO e{};
    RFC_FUNCTION_HANDLE f = api.RfcCreateFunction(api.RfcGetFunctionDesc(c, L"STFC_CONNECTION", &e), &e);
    setText(f, L"REQUTEXT", L"benchmark");
    const double start = bench::Now();
    int ok = 0;
    for (int i = 0; i < calls; ++i)
        ok += api.RfcInvoke(c, f, &e) == RFC_OK;
    const double seconds = bench::Now() - start;
    std::printf("STFC_CONNECTION: %d calls (%d ok) in %.3f s = %.0f calls/s\n", calls, ok, seconds, calls / seconds);
    api.RfcDestroyFunction(f, &e);
}

struct TableRead {
    RFC_RC rc = RFC_OK;
    unsigned count = 0;
    size_t characters = 0;
    double call = 0;
    double rows = 0;
    double destroy = 0; // freeing the function handle, with the rows the library holds
    double total() const { return call + rows + destroy; }
};

TableRead readTableOnce(RFC_CONNECTION_HANDLE c, int rows)
{
    RFC_ERROR_INFO e{};
    RFC_FUNCTION_HANDLE f = api.RfcCreateFunction(api.RfcGetFunctionDesc(c, L"RFC_READ_TABLE", &e), &e);
    setText(f, L"QUERY_TABLE", L"ZSIM_BIG");
    setText(f, L"DELIMITER", L"|");
    setText(f, L"ROWCOUNT", std::to_wstring(rows).c_str());
    TableRead result;
    const double start = bench::Now();
    result.rc = api.RfcInvoke(c, f, &e);
    const double invoked = bench::Now();
    RFC_TABLE_HANDLE data = nullptr;
    api.RfcGetTable(f, L"DATA", &data, &e);
    api.RfcGetRowCount(data, &result.count, &e);
    wchar_t buffer[600];
    unsigned length = 0;
    for (RFC_RC move = api.RfcMoveToFirstRow(data, &e); move == RFC_OK && result.count > 0;
         move = api.RfcMoveToNextRow(data, &e)) {
        api.RfcGetString(data, L"WA", buffer, 600, &length, &e);
        result.characters += length;
    }
    const double readBack = bench::Now();
    api.RfcDestroyFunction(f, &e);
    result.call = invoked - start;
    result.rows = readBack - invoked;
    result.destroy = bench::Now() - readBack;
    return result;
}

// Several reads, since single figures vary on a shared machine: the first, the median and the
// best (with the parts of the first and the best).
void readTable(RFC_CONNECTION_HANDLE c, int rows)
{
    const TableRead first = readTableOnce(c, rows);
    TableRead best = first;
    std::vector<double> totals{first.total()};
    for (int i = 1; i < bench::kTableReads; ++i) {
        const TableRead next = readTableOnce(c, rows);
        totals.push_back(next.total());
        if (next.total() < best.total())
            best = next;
    }
    std::printf("RFC_READ_TABLE: rc %d, %u rows (%zu characters): first %.3f s (call %.3f s, reading the rows %.3f s, "
                "destroying the function %.3f s), median of %d %.3f s, best %.3f s (call %.3f s, reading the rows %.3f s, "
                "destroying the function %.3f s)\n",
                first.rc, first.count, first.characters, first.total(), first.call, first.rows, first.destroy,
                bench::kTableReads, bench::Median(totals), best.total(), best.call, best.rows, best.destroy);
}

RFC_FUNCTION_DESC_HANDLE pingDescription()
{
    static RFC_FUNCTION_DESC_HANDLE desc = [] {
        RFC_ERROR_INFO e{};
        RFC_FUNCTION_DESC_HANDLE d = api.RfcCreateFunctionDesc(L"Z_BENCH_ECHO", &e);
        for (auto [name, direction] : {std::pair{L"TEXT", RFC_IMPORT}, std::pair{L"ECHO", RFC_EXPORT}}) {
            RFC_PARAMETER_DESC p{};
            std::wcscpy(p.name, name);
            p.type = RFCTYPE_CHAR;
            p.direction = direction;
            p.nucLength = 40;
            p.ucLength = 80;
            api.RfcAddParameter(d, &p, &e);
        }
        return d;
    }();
    return desc;
}

RFC_RC SAP_API describe(const SAP_UC*, RFC_ATTRIBUTES, RFC_FUNCTION_DESC_HANDLE* desc)
{
    *desc = pingDescription();
    return RFC_OK;
}

RFC_RC SAP_API echo(RFC_CONNECTION_HANDLE, RFC_FUNCTION_HANDLE call, RFC_ERROR_INFO*)
{
    RFC_ERROR_INFO e{};
    wchar_t text[40];
    api.RfcGetChars(call, L"TEXT", text, 40, &e);
    return api.RfcSetChars(call, L"ECHO", text, 40, &e);
}

void servedCalls(int calls)
{
    RFC_ERROR_INFO e{};
    api.RfcInstallGenericServerFunction(echo, describe, &e);
    RFC_CONNECTION_PARAMETER p[] = {{L"program_id", L"BENCH.SERVER"}, {L"gwhost", L"127.0.0.1"}, {L"gwserv", gatewayPort.c_str()}};
    RFC_CONNECTION_HANDLE server = api.RfcRegisterServer(p, 3, &e);
    if (server == nullptr) {
        std::fwprintf(stderr, L"registration failed: %ls\n", e.message);
        return;
    }
    std::atomic<bool> stop{false};
    std::thread listener([&] {
        RFC_ERROR_INFO le{};
        while (!stop)
            if (const RFC_RC rc = api.RfcListenAndDispatch(server, 1, &le); rc != RFC_OK && rc != RFC_RETRY)
                break;
    });
    const double start = bench::Now();
    const std::string reply = bench::HttpPost(httpPort, "/sim/gateway/call", "{\"programId\":\"BENCH.SERVER\",\"function\":\"Z_BENCH_ECHO\",\"values\":{\"TEXT\":\"benchmark\"},\"repeat\":" +
                                                            std::to_string(calls) + "}");
    const double seconds = bench::Now() - start;
    std::printf("registered server: %d calls in %.3f s = %.0f calls/s (sapsim's answer: %s)\n", calls, seconds, calls / seconds,
                reply.c_str());
    stop = true;
    listener.join();
    api.RfcCloseConnection(server, &e);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: standin_bench <gateway port> <http port> [calls] [rows]\n");
        return 2;
    }
    gatewayPort = std::wstring(argv[1], argv[1] + std::strlen(argv[1]));
    httpPort = static_cast<unsigned short>(std::atoi(argv[2]));
    const int calls = argc > 3 ? std::atoi(argv[3]) : 10000;
    const int rows = argc > 4 ? std::atoi(argv[4]) : 10000;
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    if (!load()) {
        std::fprintf(stderr, "sapnwrfc.dll not found\n");
        return 1;
    }
    RFC_CONNECTION_HANDLE c = connect();
    if (c == nullptr)
        return 1;
    connectionCalls(c, calls);
    readTable(c, rows);
    RFC_ERROR_INFO e{};
    api.RfcCloseConnection(c, &e);
    servedCalls(calls);
    return 0;
}
