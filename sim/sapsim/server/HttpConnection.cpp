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

HttpRequest toRequest(http::request<http::string_body>& message)
{
    HttpRequest request;
    request.method = std::string(message.method_string().data(), message.method_string().size());
    request.target = std::string(message.target().data(), message.target().size());
    for (const auto& field : message) {
        std::string name(field.name_string().data(), field.name_string().size());
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string& value = request.headers[name];
        if (!value.empty())
            value += name == "cookie" ? "; " : ", ";
        value += std::string_view(field.value().data(), field.value().size());
    }
    request.body = std::move(message.body());
    return request;
}

} // namespace

HttpConnection::HttpConnection(std::unique_ptr<asio::io_context> io, tcp::socket socket, RequestHandler& handler,
                               Lifecycle& lifecycle, const HttpLimits& limits)
    : m_io(std::move(io)), m_stream(std::move(socket)), m_handler(handler), m_lifecycle(lifecycle), m_limits(limits)
{
    beast::error_code ignored;
    m_stream.socket().set_option(tcp::no_delay(true), ignored);
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
    asio::post(*m_io, [this] {
        m_stopRequested = true;
        if (m_idle) {
            beast::error_code ignored;
            m_stream.socket().close(ignored);
        }
    });
}

// Starts one asynchronous operation and runs the I/O context until it has completed (or its
// time limit has cut it short).
template <class Start>
beast::error_code HttpConnection::wait(Start start)
{
    beast::error_code result;
    start([&result](beast::error_code ec, std::size_t) { result = ec; });
    m_io->restart();
    m_io->run();
    return result;
}

void HttpConnection::run()
{
    beast::flat_buffer buffer;
    try {
        while (!m_stopRequested && !m_lifecycle.stopping() && serveOne(buffer)) {
        }
    } catch (const std::exception&) {
        // A failure of one connection must not end the process; the client sees the close.
    }
    lingeringClose();
    m_finished = true;
}

// Closing a socket with unread input resets the connection, and the client may then lose the
// error response sent just before. So stop sending first and read what is still coming, for a
// bounded time and amount.
void HttpConnection::lingeringClose()
{
    beast::error_code ec;
    m_stream.socket().shutdown(tcp::socket::shutdown_send, ec);
    std::array<char, 16 * 1024> sink;
    size_t drained = 0;
    m_stream.expires_after(lingerTime);
    while (!ec && drained < lingerBytes) {
        size_t n = 0;
        ec = wait([&](auto handler) {
            m_stream.async_read_some(asio::buffer(sink), [&n, handler](beast::error_code e, std::size_t got) mutable {
                n = got;
                handler(e, got);
            });
        });
        drained += n;
    }
    m_stream.socket().close(ec);
}

// Reads and answers one request; false when the connection has to close.
bool HttpConnection::serveOne(beast::flat_buffer& buffer)
{
    http::request_parser<http::string_body> parser;
    parser.header_limit(static_cast<std::uint32_t>(m_limits.maxHeader));
    parser.body_limit(m_limits.maxBody);

    m_idle = true;
    m_stream.expires_after(m_limits.idleTimeout);
    beast::error_code ec = wait([&](auto handler) { http::async_read_header(m_stream, buffer, parser, handler); });
    m_idle = false;
    if (ec) {
        if (parseError(ec))
            sendStatus(statusFor(ec), "malformed request: " + ec.message() + "\n");
        return false;
    }
    const auto length = parser.content_length();
    if (length && *length > m_limits.maxBody) {
        sendStatus(413, "request body larger than " + std::to_string(m_limits.maxBody) + " bytes\n");
        return false;
    }
    const auto expect = parser.get()[http::field::expect];
    if (beast::iequals(expect, "100-continue")) {
        static const std::string interim = "HTTP/1.1 100 Continue\r\n\r\n";
        m_stream.expires_after(m_limits.transferTimeout);
        if (wait([&](auto handler) { asio::async_write(m_stream, asio::buffer(interim), handler); }))
            return false;
    }
    m_stream.expires_after(m_limits.transferTimeout);
    ec = wait([&](auto handler) { http::async_read(m_stream, buffer, parser, handler); });
    if (ec) {
        if (parseError(ec))
            sendStatus(statusFor(ec), "malformed request: " + ec.message() + "\n");
        return false;
    }

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
    m_stream.expires_after(m_limits.transferTimeout);
    const beast::error_code ec = wait([&](auto handler) { http::async_write(m_stream, message, handler); });
    return !ec && keepAlive;
}

} // namespace sapsim
