#pragma once
// The URL rules of the BSP application window, as plain functions: the URL an application is
// shown at, and the parameters an application hands back in the URL of its exit page.
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

struct NameValue {
    std::wstring name;
    std::wstring value;
    friend bool operator==(const NameValue&, const NameValue&) = default;
};

// Where an application runs, from the HTTP system data and the logon data.
struct ApplicationServer {
    std::wstring protocol;
    std::wstring host;
    long port = 0;
    std::wstring client;
    std::wstring language;
};

// `application` itself when it holds "://"; otherwise protocol, host, port and the application
// as path. sap-client and sap-language are added unless the URL has them already, then the
// parameters in order. Nothing is escaped: the caller owns the syntax of every part.
std::wstring ApplicationUrl(std::wstring_view application, const ApplicationServer& server,
                            const std::vector<NameValue>& parameters);

// The name=value pairs after the last "?" of `url`, separated by "&"; a pair named sap-params
// stands for the pairs of its base64-decoded (UTF-8) value. Nothing is unescaped.
std::vector<NameValue> ReturnedParameters(std::wstring_view url);

} // namespace tolvane
