#pragma once

#include "RfcCall.h"
#include "SoapReply.h"

#include <utility>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <chrono>
#include <map>
#include <optional>
#include <string>

namespace simtest {

struct Logon {
    std::string user = "DEMO";
    std::string password = "demo1234";
    std::string client = "001";
    std::string language = "EN";
};

struct HttpReply {
    int status = 0;
    std::map<std::string, std::string> headers; // lower-case names
    std::string body;
    std::string header(const std::string& name) const
    {
        const auto it = headers.find(name);
        return it == headers.end() ? std::string() : it->second;
    }
};

// An HTTP/1.1 client on one keep-alive connection to the running sapsim, with a time limit on
// every exchange so that a misbehaving server fails a test instead of hanging it.
class SimClient {
public:
    explicit SimClient(Logon logon = {});

    // Sends an RFC call to /sap/bc/soap/rfc; `query` is appended to the URL (for session_mode).
    SoapReply call(const RfcCall& call, const std::string& query = {},
                   const std::map<std::string, std::string>& headers = {});
    HttpReply request(const std::string& method, const std::string& target, const std::string& body,
                      const std::map<std::string, std::string>& headers = {}, bool withLogon = true);
    std::string soapTarget(const std::string& query = {}) const;

    // Set while the last exchange left the connection open.
    bool connected() const { return m_stream.has_value(); }
    int connectionsOpened() const { return m_connections; }

    static unsigned short port();
    static std::string repository();
    static constexpr std::chrono::seconds timeout{60};

private:
    void connect();

    Logon m_logon;
    boost::asio::io_context m_io;
    std::optional<boost::beast::tcp_stream> m_stream;
    boost::beast::flat_buffer m_buffer;
    int m_connections = 0;
};

// Sends bytes on a fresh connection and reads until the server closes it (or the time limit).
std::string rawExchange(const std::string& bytes, std::chrono::seconds limit = std::chrono::seconds(30));

} // namespace simtest
