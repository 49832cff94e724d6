#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sapsim {

// An HTTP request as the request handler sees it: header names in lower case, repeated headers
// joined (cookies with "; ", others with ", ").
struct HttpRequest {
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers;
    std::string body;

    std::string header(const std::string& lowerName) const
    {
        const auto it = headers.find(lowerName);
        return it == headers.end() ? std::string() : it->second;
    }
};

struct HttpResponse {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    bool close = false;      // close the connection after this response
    bool drop = false;       // close the connection without sending anything
    bool stopServer = false; // stop the server once the response is sent
};

} // namespace sapsim
