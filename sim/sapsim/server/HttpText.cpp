#include "server/HttpText.h"

#include "text/Base64.h"

#include <cctype>

namespace sapsim {
namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::string HttpText::urlDecode(std::string_view text, bool plusIsSpace)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += plusIsSpace && text[i] == '+' ? ' ' : text[i];
    }
    return out;
}

std::map<std::string, std::string> HttpText::query(std::string_view query)
{
    std::map<std::string, std::string> out;
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty())
            continue;
        const size_t eq = pair.find('=');
        const std::string name = lower(urlDecode(pair.substr(0, eq), true));
        out[name] = eq == std::string_view::npos ? std::string() : urlDecode(pair.substr(eq + 1), true);
    }
    return out;
}

std::map<std::string, std::string> HttpText::cookies(std::string_view header)
{
    std::map<std::string, std::string> out;
    while (!header.empty()) {
        const size_t semi = header.find(';');
        const std::string_view pair = trim(header.substr(0, semi));
        header = semi == std::string_view::npos ? std::string_view() : header.substr(semi + 1);
        const size_t eq = pair.find('=');
        if (eq == std::string_view::npos || eq == 0)
            continue;
        std::string_view value = trim(pair.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        out.emplace(std::string(trim(pair.substr(0, eq))), std::string(value));
    }
    return out;
}

std::optional<std::pair<std::string, std::string>> HttpText::basicCredentials(std::string_view header)
{
    header = trim(header);
    if (header.size() < 6 || lower(header.substr(0, 6)) != "basic ")
        return std::nullopt;
    const auto decoded = Base64::decode(trim(header.substr(6)));
    if (!decoded)
        return std::nullopt;
    const size_t colon = decoded->find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    return std::make_pair(decoded->substr(0, colon), decoded->substr(colon + 1));
}

std::string HttpText::lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace sapsim
