// One HTTP POST to sapsim on loopback, for the benchmarks that drive its admin endpoints.
#pragma once

#include <winsock2.h>

#include <string>

namespace bench {

// The response body; WSAStartup must have been called.
inline std::string HttpPost(unsigned short port, const std::string& path, const std::string& body)
{
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const std::string request = "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Length: " +
                                std::to_string(body.size()) + "\r\n\r\n" + body;
    send(s, request.data(), static_cast<int>(request.size()), 0);
    std::string response;
    char buffer[4096];
    for (int n; (n = recv(s, buffer, sizeof buffer, 0)) > 0;)
        response.append(buffer, static_cast<size_t>(n));
    closesocket(s);
    const size_t start = response.find("\r\n\r\n");
    return start == std::string::npos ? std::string() : response.substr(start + 4);
}

} // namespace bench
