#include "server/HttpConnection.h"

#include "server/Lifecycle.h"
#include "server/RequestHandler.h"

#include <array>

namespace sapsim {
namespace {

bool parseError(const beast::error_code& ec)
{
    return ec.category() == http::make_error_code(http::error::bad_target).category() &&
           ec != http::error::end_of_stream && ec != http::error::partial_message;
}

int statusFor(const beast::error_code& ec)
{
    if (ec == http::error::body_limit)
        return 413;
    if (ec == http::error::header_limit)
        return 431;
    return 400;
}

std::string text(beast::string_view s)
{
    return std::string(s.data(), s.size());
}

HttpRequest toRequest(http::request<http::string_body>& message)
{
    HttpRequest request;
    request.method = text(message.method_string());
    request.target = text(message.target());
    for (const auto& field : message) {
        std::string name = text(field.name_string());
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string& value = request.headers[name];
        if (!value.empty())
            value += name == "cookie" ? "; " : ", ";
        value += text(field.value());
    }
    request.body = std::move(message.body());
    return request;
}

} // namespace

HttpConnection::HttpConnection(SOCKET socket, RequestHandler& handler, Lifecycle& lifecycle, const HttpLimits& limits)
    : m_socket(socket), m_handler(handler), m_lifecycle(lifecycle), m_limits(limits)
{
    // One blocking call may wait this long; deadlines between calls bound a request as a whole.
    m_socket.setTimeouts(m_limits.idleTimeout, m_limits.transferTimeout);
}

HttpConnection::~HttpConnection()
{
    if (m_thread.joinable())
        m_thread.join();
}

void HttpConnection::start()
{
    m_thread = std::thread([this] { run(); });
}

void HttpConnection::stop()
{
    std::lock_guard lock(m_mutex);
    m_stopped = true;
    if (m_idle)
        m_socket.close();
}

void HttpConnection::run()
{
    beast::flat_buffer buffer;
    try {
        while (!m_lifecycle.stopping() && serveOne(buffer)) {
        }
    } catch (const std::exception&) {
        // A failure of one connection must not end the process; the client sees the close.
    }
    lingeringClose();
    m_finished = true;
}

// Reads and answers one request; false when the connection has to close.
bool HttpConnection::serveOne(beast::flat_buffer& buffer)
{
    Parser parser;
    parser.header_limit(static_cast<std::uint32_t>(m_limits.maxHeader));
    parser.body_limit(m_limits.maxBody);
    {
        std::lock_guard lock(m_mutex);
        if (m_stopped)
            return false;
        m_idle = true;
    }
    beast::error_code ec = readHeader(buffer, parser);
    {
        std::lock_guard lock(m_mutex);
        m_idle = false;
        if (m_stopped && m_socket.closed())
            return false;
    }
    if (!ec) {
        const auto length = parser.content_length();
        if (length && *length > m_limits.maxBody) {
            sendStatus(413, "request body larger than " + std::to_string(m_limits.maxBody) + " bytes\n");
            return false;
        }
        ec = readBody(buffer, parser);
    }
    if (ec) {
        if (parseError(ec))
            sendStatus(statusFor(ec), "malformed request: " + ec.message() + "\n");
        return false;
    }
    return respond(parser);
}

beast::error_code HttpConnection::readHeader(beast::flat_buffer& buffer, Parser& parser)
{
    const auto deadline = Clock::now() + m_limits.idleTimeout;
    beast::error_code ec;
    while (!ec && !parser.is_header_done()) {
        http::read_some(m_socket, buffer, parser, ec);
        if (!ec && !parser.is_header_done() && Clock::now() > deadline)
            ec = beast::error::timeout;
    }
    return ec;
}

beast::error_code HttpConnection::readBody(beast::flat_buffer& buffer, Parser& parser)
{
    if (beast::iequals(parser.get()[http::field::expect], "100-continue") && !parser.is_done()) {
        static const std::string interim = "HTTP/1.1 100 Continue\r\n\r\n";
        beast::error_code ec;
        asio::write(m_socket, asio::buffer(interim), ec);
        if (ec)
            return ec;
    }
    const auto deadline = Clock::now() + m_limits.transferTimeout;
    beast::error_code ec;
    while (!ec && !parser.is_done()) {
        http::read_some(m_socket, buffer, parser, ec);
        if (!ec && !parser.is_done() && Clock::now() > deadline)
            ec = beast::error::timeout;
    }
    return ec;
}

bool HttpConnection::respond(Parser& parser)
{
    auto& message = parser.get();
    const bool keepAlive = message.keep_alive();
    HttpResponse response;
    try {
        HttpRequest request = toRequest(message);
        response = m_handler.handle(request);
    } catch (const std::exception& e) {
        response = HttpResponse{500, {{"Content-Type", "text/plain"}}, std::string("internal error: ") + e.what() + "\n", true};
    }
    if (response.drop)
        return false;
    const bool stopServer = response.stopServer;
    const bool reuse = keepAlive && !response.close && !m_lifecycle.stopping();
    const bool again = send(std::move(response), reuse);
    if (stopServer)
        m_lifecycle.requestStop();
    return again;
}

void HttpConnection::sendStatus(int status, const std::string& text)
{
    send(HttpResponse{status, {{"Content-Type", "text/plain; charset=utf-8"}}, text, true}, false);
}

bool HttpConnection::send(HttpResponse response, bool keepAlive)
{
    http::response<http::string_body> message{static_cast<http::status>(response.status), 11};
    message.set(http::field::server, "sapsim");
    for (const auto& [name, value] : response.headers)
        message.insert(name, value);
    message.body() = std::move(response.body);
    message.keep_alive(keepAlive);
    message.prepare_payload();
    beast::error_code ec;
    http::write(m_socket, message, ec);
    return !ec && keepAlive;
}

// Closing a socket with unread input resets the connection, and the client may then lose the
// error response sent just before. So stop sending first and read what is still coming, for a
// bounded time and amount.
void HttpConnection::lingeringClose()
{
    if (m_socket.closed())
        return;
    m_socket.shutdownSend();
    m_socket.setTimeouts(lingerTime, lingerTime);
    const auto deadline = Clock::now() + lingerTime;
    std::array<char, 16 * 1024> sink;
    size_t drained = 0;
    beast::error_code ec;
    while (!ec && drained < lingerBytes && Clock::now() < deadline)
        drained += m_socket.read_some(asio::buffer(sink), ec);
    m_socket.close();
}

} // namespace sapsim
