// The raw client: plain C++ calling the stand-in librfc32u.dll through LoadLibrary and
// GetProcAddress, as the product does, against a running sapsim. It measures what the classic
// session and server benchmarks divide by:
//   a synchronous STFC_CONNECTION by the library's own call-and-receive (time per call), and by
//   call, listen (polled without pause) and receive;
//   a table parameter of N rows received: Z_SIM_GENERATE_ROWS (every ABAP type, the row layout
//   read from the partner) and RFC_READ_TABLE (rows of 512 characters);
//   calls per second answered by a registered server (sapsim calling it in a loop).
// Usage: standin_classic_bench.exe <gateway port> <http port> [calls] [rows]   (see run.sh)
#include "BenchHttp.h"
#include "BenchSupport.h"
#include "ClassicRfcAbi.h"

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace {

#define BENCH_FUNCTIONS(X)                                                                                                   \
    X(RfcOpenExU) X(RfcCloseU) X(RfcCallReceiveExU) X(RfcCallExU) X(RfcListenU) X(RfcReceiveExU) X(RfcGetStructureInfoFlatU) \
    X(RfcReleaseStructInfoU) X(ItFillU) X(ItDeleteU) X(ItGetLineU) X(RfcAcceptU) X(RfcInstallFunctionU) X(RfcWaitForRequestU)  \
    X(RfcDispatchU) X(RfcGetDataU) X(RfcSendDataU)

struct Api {
#define BENCH_DECLARE(name) decltype(&::name) name = nullptr;
    BENCH_FUNCTIONS(BENCH_DECLARE)
#undef BENCH_DECLARE
} api;

// The stand-in lives where an installed SDK would: in a folder of its own (rfcsdk) beside the programs.
bool load()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    HMODULE library = LoadLibraryW((folder + L"rfcsdk\\librfc32u.dll").c_str());
    if (library == nullptr)
        return false;
#define BENCH_LOAD(name) api.name = reinterpret_cast<decltype(api.name)>(reinterpret_cast<void*>(GetProcAddress(library, #name)));
    BENCH_FUNCTIONS(BENCH_LOAD)
#undef BENCH_LOAD
    return true;
}

std::wstring gatewayPort;
unsigned short httpPort = 0;

RFC_HANDLE connect()
{
    std::wstring text = L"ASHOST=127.0.0.1 SYSNR=00 GWSERV=" + gatewayPort + L" CLIENT=001 USER=DEMO PASSWD=demo1234 LANG=EN";
    RFC_ERROR_INFO_EX e{};
    const RFC_HANDLE h = api.RfcOpenExU(text.data(), &e);
    if (h == RFC_HANDLE_NULL)
        std::fwprintf(stderr, L"logon failed: %ls\n", e.message);
    return h;
}

// One RFC_PARAMETER entry and its terminator.
struct OneParameter {
    std::wstring name;
    RFC_PARAMETER entries[2] = {};
    OneParameter(const wchar_t* n, RFCTYPE type, unsigned leng, void* addr) : name(n)
    {
        entries[0] = {name.data(), static_cast<unsigned>(name.size()), type, leng, addr};
    }
};

void connectionCalls(RFC_HANDLE h, int calls)
{
    std::wstring text(255, L' ');
    text.replace(0, 9, L"benchmark");
    wchar_t echo[255];
    OneParameter in(L"REQUTEXT", RFCTYPE_CHAR, 510, text.data()), out(L"ECHOTEXT", RFCTYPE_CHAR, 510, echo);
    RFC_TABLE noTables[1] = {};
    std::wstring function = L"STFC_CONNECTION";
    rfc_char_t* exception = nullptr;
    int ok = 0;
    double start = bench::Now();
    for (int i = 0; i < calls; ++i)
        ok += api.RfcCallReceiveExU(h, function.data(), in.entries, out.entries, nullptr, noTables, &exception) == RFC_OK;
    double seconds = bench::Now() - start;
    std::printf("STFC_CONNECTION by call-and-receive: %d calls (%d ok) in %.3f s = %.1f us per call, %.0f calls/s\n", calls, ok, seconds,
                seconds * 1e6 / calls, calls / seconds);
    ok = 0;
    long long polls = 0;
    start = bench::Now();
    for (int i = 0; i < calls; ++i) {
        api.RfcCallExU(h, function.data(), in.entries, nullptr, noTables);
        RFC_RC rc;
        while ((rc = api.RfcListenU(h)) == RFC_RETRY)
            ++polls;
        ok += rc == RFC_OK && api.RfcReceiveExU(h, out.entries, nullptr, noTables, &exception) == RFC_OK;
    }
    seconds = bench::Now() - start;
    std::printf("STFC_CONNECTION by call, listen and receive: %d calls (%d ok, %lld polls answered RETRY) in %.3f s = %.1f us per call\n",
                calls, ok, polls, seconds, seconds * 1e6 / calls);
}

void generatedRows(RFC_HANDLE h, int rows)
{
    std::wstring structure = L"ZSIM_ALLTYPES";
    unsigned count = 0, b1 = 0, b2 = 0, b4 = 0;
    RFC_UNICODE_TYPE_ELEMENT* fields = nullptr;
    RFCTYPE kind{};
    RFC_TYPEHANDLE type = 0;
    rfc_char_t* exception = nullptr;
    api.RfcGetStructureInfoFlatU(h, structure.data(), 1, nullptr, nullptr, &count, &fields, &kind, &b1, &b2, &b4, nullptr, &type, &exception);
    api.RfcReleaseStructInfoU(nullptr, fields);
    RFC_INT n = rows;
    OneParameter in(L"ROWCOUNT", RFCTYPE_INT, 4, &n);
    RFC_PARAMETER none[1] = {};
    std::wstring table = L"ROWS";
    RFC_TABLE tables[2] = {{table.data(), 4, type, b2, nullptr, RFC_ITMODE_BYREFERENCE, 0}, {}};
    std::wstring function = L"Z_SIM_GENERATE_ROWS";
    const double start = bench::Now();
    const RFC_RC rc = api.RfcCallReceiveExU(h, function.data(), in.entries, none, nullptr, tables, &exception);
    const double seconds = bench::Now() - start;
    std::printf("Z_SIM_GENERATE_ROWS: rc %d, %u rows of %u bytes (every ABAP type) received in %.3f s\n", rc, api.ItFillU(tables[0].ithandle),
                b2, seconds);
    api.ItDeleteU(tables[0].ithandle);
}

void readTable(RFC_HANDLE h, int rows)
{
    std::wstring name(30, L' '), delimiter(1, L'|'), count = std::to_wstring(rows);
    name.replace(0, 8, L"ZSIM_BIG");
    RFC_INT rowCount = rows;
    std::wstring p1 = L"QUERY_TABLE", p2 = L"DELIMITER", p3 = L"ROWCOUNT";
    RFC_PARAMETER in[4] = {{p1.data(), 11, RFCTYPE_CHAR, 60, name.data()}, {p2.data(), 9, RFCTYPE_CHAR, 2, delimiter.data()},
                           {p3.data(), 8, RFCTYPE_INT, 4, &rowCount}, {}};
    RFC_PARAMETER none[1] = {};
    std::wstring data = L"DATA";
    RFC_TABLE tables[2] = {{data.data(), 4, RFCTYPE_CHAR, 1024, nullptr, RFC_ITMODE_BYREFERENCE, 0}, {}};
    std::wstring function = L"RFC_READ_TABLE";
    rfc_char_t* exception = nullptr;
    const double start = bench::Now();
    const RFC_RC rc = api.RfcCallReceiveExU(h, function.data(), in, none, nullptr, tables, &exception);
    const double seconds = bench::Now() - start;
    std::printf("RFC_READ_TABLE: rc %d, %u rows of 512 characters received in %.3f s\n", rc, api.ItFillU(tables[0].ithandle), seconds);
    api.ItDeleteU(tables[0].ithandle);
}

RFC_RC DLL_CALL_BACK_FUNCTION echo(RFC_HANDLE h)
{
    wchar_t text[40] = {};
    OneParameter in(L"TEXT", RFCTYPE_CHAR, 80, text), out(L"ECHO", RFCTYPE_CHAR, 80, text);
    RFC_TABLE noTables[1] = {};
    const RFC_RC rc = api.RfcGetDataU(h, in.entries, noTables);
    return rc != RFC_OK ? rc : api.RfcSendDataU(h, out.entries, noTables);
}

void servedCalls(int calls)
{
    std::wstring global = L"%%USER_GLOBAL_SERVER", a = L"-aBENCH.CLASSIC", g = L"-g127.0.0.1", x = L"-x" + gatewayPort;
    api.RfcInstallFunctionU(global.data(), echo, nullptr);
    rfc_char_t* argv[] = {a.data(), g.data(), x.data(), nullptr};
    const RFC_HANDLE server = api.RfcAcceptU(argv);
    if (server == RFC_HANDLE_NULL) {
        std::fprintf(stderr, "registration failed\n");
        return;
    }
    std::atomic<bool> stop{false};
    std::thread listener([&] {
        while (!stop) {
            const RFC_RC waiting = api.RfcWaitForRequestU(server, 1);
            if (waiting != RFC_OK && waiting != RFC_RETRY)
                break;
            if (waiting == RFC_OK && api.RfcDispatchU(server) == RFC_CLOSED)
                break;
        }
    });
    const double start = bench::Now();
    const std::string reply = bench::HttpPost(httpPort, "/sim/gateway/call", "{\"programId\":\"BENCH.CLASSIC\",\"function\":\"Z_BENCH_ECHO\",\"values\":{\"TEXT\":\"benchmark\"},\"repeat\":" +
                                                            std::to_string(calls) + "}");
    const double seconds = bench::Now() - start;
    std::printf("registered server: %d calls in %.3f s = %.0f calls/s (sapsim's answer: %s)\n", calls, seconds, calls / seconds, reply.c_str());
    stop = true;
    listener.join();
    api.RfcCloseU(server);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || !load()) {
        std::fprintf(stderr, "usage: standin_classic_bench <gateway port> <http port> [calls] [rows]; librfc32u.dll in rfcsdk beside it\n");
        return 2;
    }
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    gatewayPort = std::to_wstring(std::stoi(argv[1]));
    httpPort = static_cast<unsigned short>(std::stoi(argv[2]));
    const int calls = argc > 3 ? std::stoi(argv[3]) : 10000;
    const int rows = argc > 4 ? std::stoi(argv[4]) : 10000;
    const RFC_HANDLE h = connect();
    if (h == RFC_HANDLE_NULL)
        return 1;
    connectionCalls(h, calls);
    generatedRows(h, rows);
    readTable(h, rows);
    api.RfcCloseU(h);
    servedCalls(calls);
    std::printf("memory committed at the end: %.1f MiB\n", bench::CommittedBytes() / 1048576.0);
    return 0;
}
