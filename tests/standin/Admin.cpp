#include "Admin.h"

#include "StandIn.h"

#include <winsock2.h>

#include <stdexcept>

namespace standin {
namespace {

// One HTTP/1.1 exchange on a fresh connection, read until the server closes it.
AdminReply exchange(const std::string& method, const std::string& endpoint, const std::string& body)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const DWORD timeout = 60000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(httpPort());
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        closesocket(s);
        throw std::runtime_error("sapsim's HTTP port is not reachable");
    }
    const std::string request = method + " /sim/gateway/" + endpoint + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" +
                                "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    send(s, request.data(), static_cast<int>(request.size()), 0);
    std::string response;
    char buffer[8192];
    for (int n; (n = recv(s, buffer, sizeof buffer, 0)) > 0;)
        response.append(buffer, static_cast<size_t>(n));
    closesocket(s);
    AdminReply reply;
    if (response.size() < 12)
        throw std::runtime_error("no HTTP answer from sapsim");
    reply.status = std::stoi(response.substr(9, 3));
    const size_t start = response.find("\r\n\r\n");
    reply.body = nlohmann::json::parse(response.substr(start + 4));
    return reply;
}

} // namespace

AdminReply adminPost(const std::string& endpoint, const nlohmann::json& body)
{
    return exchange("POST", endpoint, body.dump());
}

AdminReply adminGet(const std::string& endpoint)
{
    return exchange("GET", endpoint, "");
}

} // namespace standin
