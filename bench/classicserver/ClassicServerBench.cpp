// Calls served through Tolvane.RfcServer and a C++ event sink on the client's thread, for the
// default poll interval (50 ms) and for 500 ms:
//   calls in a row: sapsim calls the registered server N times (its admin endpoint with
//   "repeat"); the sink copies TEXT to ECHO;
//   single calls to an idle server: the time one call takes when it arrives while the server
//   waits between two looks for requests (the mean and the worst of K calls, spread over the
//   interval).
// bench/classicserver/run.sh runs it beside the stand-in's raw registered server.
// Usage: classic_server_bench <gateway port> <http port> [calls] [idle calls]
#include "BenchEchoSink.h"
#include "BenchHttp.h"
#include "BenchSupport.h"
#include "classic/RfcServer.h"
#include "com/Apartment.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::wstring gatewayPort;
unsigned short httpPort = 0;

// sapsim's answer to `calls` calls of Z_BENCH_ECHO in a row, while this thread pumps.
std::string CallInARow(int calls)
{
    com::Event done;
    std::string reply;
    std::thread caller([&] {
        reply = bench::HttpPost(httpPort, "/sim/gateway/call",
                                "{\"programId\":\"BENCH.TOLVANE.CLASSIC\",\"function\":\"Z_BENCH_ECHO\","
                                "\"values\":{\"TEXT\":\"benchmark\"},\"repeat\":" + std::to_string(calls) + "}");
        done.set();
    });
    com::wait_pumping(done.get());
    caller.join();
    reply.erase(reply.find_last_not_of("\r\n") + 1);
    return reply;
}

void Pump(DWORD milliseconds)
{
    com::Event never;
    com::wait_pumping(never.get(), milliseconds);
}

void Measure(const wchar_t* interval, int calls, int idleCalls)
{
    auto server = com::make<tolvane::CRfcServer>();
    if (*interval)
        server->put_Option(com::bstr(L"server.poll_interval").get(), com::bstr(interval).get());
    server->put_ProgramID(com::bstr(L"BENCH.TOLVANE.CLASSIC").get());
    server->put_GatewayHost(com::bstr(L"127.0.0.1").get());
    server->put_GatewayService(com::bstr(gatewayPort).get());
    server->InstallFunction(bench::EchoPrototype().get());
    bench::EchoSink sink;
    const bench::Advised advised(server.get(), &sink);
    VARIANT_BOOL failed = VARIANT_FALSE;
    if (FAILED(server->Serve()) || (server->get_Error(&failed), failed)) {
        std::fprintf(stderr, "Serve failed\n");
        std::exit(1);
    }
    const DWORD poll = *interval ? static_cast<DWORD>(std::wcstoul(interval, nullptr, 10)) : 50;
    const double start = bench::Now();
    const std::string reply = CallInARow(calls);
    const double seconds = bench::Now() - start;
    std::printf("RfcServer, poll interval %4lu ms, calls in a row: %ld calls in %.3f s = %.0f calls/s (sapsim: %.100s)\n",
                poll, sink.served.load(), seconds, sink.served / seconds, reply.c_str());

    double total = 0, worst = 0;
    for (int i = 0; i < idleCalls; ++i) {
        // Idle past the quick looks that follow a call, then at a different point of the interval.
        Pump(600 + poll + static_cast<DWORD>(i) * poll / static_cast<DWORD>(idleCalls));
        const double called = bench::Now();
        CallInARow(1);
        const double took = (bench::Now() - called) * 1000;
        total += took;
        worst = std::max(worst, took);
    }
    std::printf("RfcServer, poll interval %4lu ms, a call to an idle server: %.1f ms on average, %.1f ms at worst (%d calls)\n",
                poll, total / idleCalls, worst, idleCalls);
    server->Shutdown();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: classic_server_bench <gateway port> <http port> [calls] [idle calls]\n");
        return 2;
    }
    // The library where an installed SDK would be: in a folder of its own beside the program.
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    SetDllDirectoryW((folder + L"rfcsdk").c_str());
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    gatewayPort = std::to_wstring(std::atoi(argv[1]));
    httpPort = static_cast<unsigned short>(std::atoi(argv[2]));
    const int calls = argc > 3 ? std::atoi(argv[3]) : 5000;
    const int idleCalls = argc > 4 ? std::atoi(argv[4]) : 10;
    for (const wchar_t* interval : {L"", L"500"})
        Measure(interval, calls, idleCalls);
    CoUninitialize();
    WSACleanup();
    return 0;
}
