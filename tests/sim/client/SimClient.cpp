#include "SimClient.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace simtest {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

std::string base64(const std::string& in)
{
    static const char* abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        const unsigned n = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8 | (unsigned char)in[i + 2];
        out += {abc[n >> 18], abc[(n >> 12) & 63], abc[(n >> 6) & 63], abc[n & 63]};
    }
    if (i + 1 == in.size()) {
        const unsigned n = (unsigned char)in[i] << 16;
        out += {abc[n >> 18], abc[(n >> 12) & 63], '=', '='};
    } else if (i + 2 == in.size()) {
        const unsigned n = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8;
        out += {abc[n >> 18], abc[(n >> 12) & 63], abc[(n >> 6) & 63], '='};
    }
    return out;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr)
        throw std::runtime_error(std::string("environment variable ") + name + " is not set");
    return value;
}

// Runs the context until the operation started by `start` completes.
template <class Start>
beast::error_code wait(asio::io_context& io, Start start)
{
    beast::error_code result = asio::error::timed_out;
    start([&](beast::error_code ec, std::size_t) { result = ec; });
    io.restart();
    io.run();
    return result;
}

} // namespace

unsigned short SimClient::port()
{
    static const unsigned short value = [] {
        std::ifstream in(environment("SAPSIM_URL_FILE"));
        std::string url;
        std::getline(in, url);
        const size_t colon = url.rfind(':');
        if (url.rfind("http://127.0.0.1:", 0) != 0 || colon == std::string::npos)
            throw std::runtime_error("no sapsim URL in " + environment("SAPSIM_URL_FILE"));
        return static_cast<unsigned short>(std::stoi(url.substr(colon + 1)));
    }();
    return value;
}

std::string SimClient::repository()
{
    return environment("SAPSIM_REPOSITORY");
}

SimClient::SimClient(Logon logon) : m_logon(std::move(logon)) {}

void SimClient::connect()
{
    m_stream.emplace(m_io);
    m_stream->expires_after(timeout);
    const tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), port());
    if (const auto ec = wait(m_io, [&](auto h) { m_stream->async_connect(endpoint, [h](beast::error_code e) { h(e, 0); }); }))
        throw std::runtime_error("cannot connect to sapsim: " + ec.message());
    m_stream->socket().set_option(tcp::no_delay(true));
    m_buffer.clear();
    ++m_connections;
}

std::string SimClient::soapTarget(const std::string& query) const
{
    return "/sap/bc/soap/rfc?sap-client=" + m_logon.client + "&sap-language=" + m_logon.language + query;
}

HttpReply SimClient::request(const std::string& method, const std::string& target, const std::string& body,
                             const std::map<std::string, std::string>& headers, bool withLogon)
{
    if (!m_stream)
        connect();
    http::request<http::string_body> message{http::string_to_verb(method), target, 11};
    message.set(http::field::host, "127.0.0.1");
    message.set(http::field::content_type, "text/xml; charset=utf-8");
    if (withLogon && !m_logon.user.empty())
        message.set(http::field::authorization, "Basic " + base64(m_logon.user + ":" + m_logon.password));
    for (const auto& [name, value] : headers)
        message.set(name, value);
    message.body() = body;
    message.prepare_payload();

    m_stream->expires_after(timeout);
    auto ec = wait(m_io, [&](auto h) { http::async_write(*m_stream, message, h); });
    // The header through the parser, the body with large reads into its string: the parser's
    // own reads of at most 64 KiB make big answers slow under Wine.
    http::response_parser<http::buffer_body> parser;
    parser.body_limit(512 * 1024 * 1024);
    if (!ec)
        ec = wait(m_io, [&](auto h) { http::async_read_header(*m_stream, m_buffer, parser, h); });
    HttpReply reply;
    if (!ec && !parser.content_length())
        ec = http::error::bad_content_length;
    if (!ec) {
        reply.body.resize(static_cast<size_t>(*parser.content_length()));
        const size_t buffered = std::min(reply.body.size(), m_buffer.size());
        asio::buffer_copy(asio::buffer(reply.body), m_buffer.data(), buffered);
        m_buffer.consume(buffered);
        auto rest = asio::buffer(reply.body.data() + buffered, reply.body.size() - buffered);
        ec = wait(m_io, [&](auto h) { asio::async_read(*m_stream, rest, h); });
    }
    if (ec) {
        m_stream.reset();
        throw std::runtime_error(method + " " + target + " failed: " + ec.message());
    }
    const auto& response = parser.get();
    reply.status = static_cast<int>(response.result_int());
    for (const auto& field : response) {
        std::string name(field.name_string().data(), field.name_string().size());
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        reply.headers[name] = std::string(field.value().data(), field.value().size());
    }
    if (!response.keep_alive())
        m_stream.reset();
    return reply;
}

SoapReply SimClient::call(const RfcCall& call, const std::string& query, const std::map<std::string, std::string>& headers)
{
    HttpReply reply = request("POST", soapTarget(query), call.envelope(), headers);
    return SoapReply(reply.status, std::move(reply.body));
}

std::string rawExchange(const std::string& bytes, std::chrono::seconds limit)
{
    asio::io_context io;
    beast::tcp_stream stream(io);
    stream.expires_after(limit);
    const tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), SimClient::port());
    if (wait(io, [&](auto h) { stream.async_connect(endpoint, [h](beast::error_code e) { h(e, 0); }); }))
        throw std::runtime_error("cannot connect to sapsim");
    wait(io, [&](auto h) { asio::async_write(stream, asio::buffer(bytes), h); });
    std::string received;
    std::array<char, 4096> chunk;
    while (true) {
        std::size_t n = 0;
        beast::error_code result;
        stream.async_read_some(asio::buffer(chunk), [&](beast::error_code ec, std::size_t got) {
            result = ec;
            n = got;
        });
        io.restart();
        io.run();
        received.append(chunk.data(), n);
        if (result)
            break;
    }
    return received;
}

} // namespace simtest
