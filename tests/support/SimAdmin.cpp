#include "SimAdmin.h"

#include "EventSink.h"
#include "com/Apartment.h"

#include <windows.h>
#include <winhttp.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace test {
namespace {

struct InternetHandle {
    void operator()(HINTERNET handle) const noexcept { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, InternetHandle>;

// The number at the end of the first line of the file the environment variable names; 0 without it.
long PortFrom(const char* variable)
{
    const char* file = std::getenv(variable);
    if (!file)
        return 0;
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return std::strtol(line.substr(line.rfind(':') + 1).c_str(), nullptr, 10);
}

} // namespace

long SimPort()
{
    static const long port = PortFrom("SAPSIM_URL_FILE");
    return port;
}

long GatewayPort()
{
    static const long port = PortFrom("SAPSIM_GATEWAY_FILE");
    return port;
}

AdminReply AdminRequest(long httpPort, const std::string& method, const std::string& endpoint,
                        const nlohmann::json& body)
{
    AdminReply reply;
    Handle session(WinHttpOpen(L"tests", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0));
    Handle connection(WinHttpConnect(session.get(), L"127.0.0.1", static_cast<INTERNET_PORT>(httpPort), 0));
    const std::wstring verb(method.begin(), method.end()), path = L"/sim/gateway/" + std::wstring(endpoint.begin(), endpoint.end());
    Handle request(WinHttpOpenRequest(connection.get(), verb.c_str(), path.c_str(), nullptr, nullptr, nullptr, 0));
    WinHttpSetTimeouts(request.get(), 10000, 10000, 60000, 60000);
    std::string text = body.is_null() ? std::string() : body.dump();
    if (!request ||
        !WinHttpSendRequest(request.get(), L"Content-Type: application/json\r\n", static_cast<DWORD>(-1), text.data(),
                            static_cast<DWORD>(text.size()), static_cast<DWORD>(text.size()), 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr))
        return reply;
    DWORD status = 0, size = sizeof status;
    WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                        &status, &size, WINHTTP_NO_HEADER_INDEX);
    reply.status = static_cast<int>(status);
    std::string answer;
    char buffer[8192];
    for (DWORD read = 0; WinHttpReadData(request.get(), buffer, sizeof buffer, &read) && read > 0;)
        answer.append(buffer, read);
    reply.body = nlohmann::json::parse(answer, nullptr, false);
    if (reply.body.is_discarded())
        reply.body = nullptr;
    return reply;
}

AdminReply AdminRequestPumping(long httpPort, const std::string& method, const std::string& endpoint,
                               const nlohmann::json& body)
{
    AdminReply reply;
    com::Event done;
    std::thread helper([&] {
        reply = AdminRequest(httpPort, method, endpoint, body);
        done.set();
    });
    PumpUntil(done.get(), 120000);
    helper.join();
    return reply;
}

} // namespace test
