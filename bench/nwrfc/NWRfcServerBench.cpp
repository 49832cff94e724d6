// Calls per second served through Tolvane.NWRfcServer and a C++ event sink on the client's
// thread: sapsim calls the registered server N times (its admin endpoint with "repeat"), the
// sink copies TEXT to ECHO. bench/nwrfc/run.sh runs it beside the stand-in's raw registered
// server, which answers the same calls in its own callback.
// Usage: nwrfc_server_bench <gateway port> <http port> <folder of sapnwrfc.dll> [calls]
#include "BenchEchoSink.h"
#include "BenchSupport.h"
#include "com/Apartment.h"
#include "nwrfc/NWRfcServer.h"

#include <winhttp.h>

#include <cstring>
#include <cstdio>
#include <string>
#include <thread>

namespace {

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

std::string Post(long port, const std::wstring& path, const std::string& body)
{
    HINTERNET session = WinHttpOpen(L"bench", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
    HINTERNET connection = WinHttpConnect(session, L"127.0.0.1", static_cast<INTERNET_PORT>(port), 0);
    HINTERNET request = WinHttpOpenRequest(connection, L"POST", path.c_str(), nullptr, nullptr, nullptr, 0);
    WinHttpSetTimeouts(request, 10000, 10000, 600000, 600000);
    std::string answer;
    if (WinHttpSendRequest(request, L"Content-Type: application/json\r\n", static_cast<DWORD>(-1),
                           const_cast<char*>(body.data()), static_cast<DWORD>(body.size()), static_cast<DWORD>(body.size()), 0) &&
        WinHttpReceiveResponse(request, nullptr)) {
        char buffer[4096];
        for (DWORD read = 0; WinHttpReadData(request, buffer, sizeof buffer, &read) && read > 0;)
            answer.append(buffer, read);
    }
    WinHttpCloseHandle(request);
    WinHttpCloseHandle(connection);
    WinHttpCloseHandle(session);
    return answer;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: nwrfc_server_bench <gateway port> <http port> <folder of sapnwrfc.dll> [calls]\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int calls = argc > 4 ? std::atoi(argv[4]) : 2000;
    {
        auto server = com::make<tolvane::CNWRfcServer>();
        server->put_Option(com::bstr(L"nwrfc.path").get(), com::bstr(Wide(argv[3])).get());
        server->put_ProgramID(com::bstr(L"BENCH.TOLVANE").get());
        server->put_GatewayHost(com::bstr(L"127.0.0.1").get());
        server->put_GatewayService(com::bstr(Wide(argv[1])).get());
        server->InstallFunction(bench::EchoPrototype().get());
        bench::EchoSink sink;
        const bench::Advised advised(server.get(), &sink);
        if (FAILED(server->Serve())) {
            std::fprintf(stderr, "Serve failed\n");
            return 1;
        }
        com::Event done;
        std::string reply;
        const double start = bench::Now();
        std::thread caller([&] {
            reply = Post(std::atol(argv[2]), L"/sim/gateway/call",
                         "{\"programId\":\"BENCH.TOLVANE\",\"function\":\"Z_BENCH_ECHO\",\"values\":{\"TEXT\":\"benchmark\"},"
                         "\"repeat\":" + std::to_string(calls) + "}");
            done.set();
        });
        com::wait_pumping(done.get());
        const double seconds = bench::Now() - start;
        caller.join();
        std::printf("NWRfcServer with a C++ sink: %ld calls in %.3f s = %.0f calls/s (sapsim: %.120s)\n", sink.served.load(),
                    seconds, sink.served / seconds, reply.c_str());
        server->Shutdown();
    }
    CoUninitialize();
    return 0;
}
