#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace sapsim {

// Small pieces of HTTP text handling: URL decoding, query strings, cookie headers and the
// credentials of HTTP Basic authentication.
class HttpText {
public:
    // %XX sequences decoded; with `plusIsSpace`, '+' too (query strings).
    static std::string urlDecode(std::string_view text, bool plusIsSpace = false);
    static std::map<std::string, std::string> query(std::string_view query);
    static std::map<std::string, std::string> cookies(std::string_view header);
    // User and password of an "Authorization: Basic ..." header.
    static std::optional<std::pair<std::string, std::string>> basicCredentials(std::string_view header);
    static std::string lower(std::string_view text);
};

} // namespace sapsim
