#include <winsock2.h>
#include <ws2tcpip.h>

#include "TestServer.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace test {
namespace {

struct WinsockInit {
    WinsockInit()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

void ensure_winsock()
{
    static WinsockInit init;
}

std::string lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Waits until `s` has something to read (true) or the server is stopping (false). Blocking calls
// are not relied on to return when another thread closes the socket.
bool readable(SOCKET s, const std::atomic<bool>& stopping)
{
    while (!stopping) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval pause{0, 20000};
        const int n = select(0, &set, nullptr, nullptr, &pause);
        if (n != 0)
            return n > 0;
    }
    return false;
}

bool send_all(SOCKET s, std::string_view data)
{
    while (!data.empty()) {
        const int n = send(s, data.data(), static_cast<int>(std::min<size_t>(data.size(), 1 << 20)), 0);
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Reads one request from `s`, with `pending` holding bytes already received. False at the end
// of the connection.
bool read_request(SOCKET s, std::string& pending, HttpRequestSeen& request, const std::atomic<bool>& stopping)
{
    size_t end;
    char buffer[16384];
    while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
        if (!readable(s, stopping))
            return false;
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        pending.append(buffer, static_cast<size_t>(n));
    }
    const std::string head = pending.substr(0, end);
    pending.erase(0, end + 4);
    size_t line_end = head.find("\r\n");
    const std::string line = head.substr(0, line_end);
    const size_t sp1 = line.find(' '), sp2 = line.rfind(' ');
    request.method = line.substr(0, sp1);
    request.target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    while (line_end != std::string::npos) {
        const size_t next = head.find("\r\n", line_end + 2);
        const std::string field = head.substr(line_end + 2, next == std::string::npos ? next : next - line_end - 2);
        const size_t colon = field.find(':');
        if (colon != std::string::npos) {
            std::string value = field.substr(colon + 1);
            value.erase(0, value.find_first_not_of(' '));
            request.headers[lower(field.substr(0, colon))] = value;
        }
        line_end = next;
    }
    const size_t length = request.has_header("content-length") ? std::stoul(request.header("content-length")) : 0;
    while (pending.size() < length) {
        if (!readable(s, stopping))
            return false;
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        pending.append(buffer, static_cast<size_t>(n));
    }
    request.body = pending.substr(0, length);
    pending.erase(0, length);
    return true;
}

std::string reply_head(const HttpReply& reply, bool with_length)
{
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + reply.reason + "\r\n";
    for (const auto& [name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    if (with_length)
        head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    else
        head += "Connection: close\r\n";
    return head + "\r\n";
}

} // namespace

struct TestServer::State {
    Handler handler;
    SOCKET listener = INVALID_SOCKET;
    unsigned short port = 0;
    HANDLE stopped = CreateEventW(nullptr, TRUE, FALSE, nullptr);

    mutable std::mutex mutex;
    mutable std::condition_variable arrived;
    std::vector<HttpRequestSeen> requests;
    std::vector<SOCKET> connections;
    std::vector<std::thread> threads;
    std::atomic<bool> stopping{false};

    ~State() { CloseHandle(stopped); }

    void accept_loop()
    {
        for (;;) {
            if (!readable(listener, stopping))
                return;
            SOCKET s = accept(listener, nullptr, nullptr);
            if (s == INVALID_SOCKET)
                return;
            std::lock_guard lock(mutex);
            if (stopping) {
                closesocket(s);
                return;
            }
            connections.push_back(s);
            threads.emplace_back([this, s] { serve(s); });
        }
    }

    // Answers one request; false when the connection is to end.
    bool answer(SOCKET s, const HttpReply& reply)
    {
        using Ending = HttpReply::Ending;
        switch (reply.ending) {
        case Ending::complete: return send_all(s, reply_head(reply, true) + reply.body);
        case Ending::close_silently: return false;
        case Ending::close_mid_body:
            send_all(s, reply_head(reply, true) + reply.body.substr(0, reply.partial_bytes));
            return false;
        case Ending::never: WaitForSingleObject(stopped, INFINITE); return false;
        case Ending::no_length_close: send_all(s, reply_head(reply, false) + reply.body); return false;
        }
        return false;
    }

    void serve(SOCKET s)
    {
        std::string pending;
        for (;;) {
            HttpRequestSeen request;
            if (!read_request(s, pending, request, stopping))
                break;
            {
                std::lock_guard lock(mutex);
                requests.push_back(request);
            }
            arrived.notify_all();
            if (!answer(s, handler(request)))
                break;
        }
        shutdown(s, SD_BOTH);
    }
};

TestServer::TestServer(Handler handler) : state_(std::make_shared<State>())
{
    ensure_winsock();
    state_->handler = std::move(handler);
    state_->listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(state_->listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(state_->listener, SOMAXCONN);
    int size = sizeof address;
    getsockname(state_->listener, reinterpret_cast<sockaddr*>(&address), &size);
    state_->port = ntohs(address.sin_port);
    std::lock_guard lock(state_->mutex);
    state_->threads.emplace_back([state = state_.get()] { state->accept_loop(); });
}

TestServer::~TestServer() { stop(); }

void TestServer::stop()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(state_->mutex);
        if (state_->stopping)
            return;
        state_->stopping = true;
        SetEvent(state_->stopped);
    }
    // Threads may still be added by the accept loop until it sees `stopping`; join in rounds.
    for (;;) {
        {
            std::lock_guard lock(state_->mutex);
            threads.swap(state_->threads);
        }
        if (threads.empty())
            break;
        for (std::thread& t : threads)
            t.join();
        threads.clear();
    }
    closesocket(state_->listener);
    for (SOCKET s : state_->connections)
        closesocket(s);
}

unsigned short TestServer::port() const { return state_->port; }

std::wstring TestServer::url(std::wstring_view path) const
{
    return L"http://127.0.0.1:" + std::to_wstring(state_->port) + std::wstring(path);
}

std::vector<HttpRequestSeen> TestServer::requests() const
{
    std::lock_guard lock(state_->mutex);
    return state_->requests;
}

bool TestServer::wait_for_requests(size_t count, DWORD ms) const
{
    std::unique_lock lock(state_->mutex);
    return state_->arrived.wait_for(lock, std::chrono::milliseconds(ms), [&] { return state_->requests.size() >= count; });
}

unsigned short unused_port()
{
    ensure_winsock();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int size = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(s);
    return ntohs(address.sin_port);
}

} // namespace test
