#include "Base64.h"

namespace soapkit {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char c) noexcept
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool is_space(char c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

std::string base64_encode(std::span<const uint8_t> bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t v = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
        text += kAlphabet[v >> 18 & 63];
        text += kAlphabet[v >> 12 & 63];
        text += kAlphabet[v >> 6 & 63];
        text += kAlphabet[v & 63];
    }
    if (const size_t rest = bytes.size() - i; rest > 0) {
        const uint32_t v = bytes[i] << 16 | (rest == 2 ? bytes[i + 1] << 8 : 0);
        text += kAlphabet[v >> 18 & 63];
        text += kAlphabet[v >> 12 & 63];
        text += rest == 2 ? kAlphabet[v >> 6 & 63] : '=';
        text += '=';
    }
    return text;
}

std::optional<std::vector<uint8_t>> base64_decode(std::string_view text)
{
    std::string clean;
    clean.reserve(text.size());
    for (char c : text)
        if (!is_space(c))
            clean += c;
    if (clean.size() % 4 != 0)
        return std::nullopt;
    std::vector<uint8_t> bytes;
    bytes.reserve(clean.size() / 4 * 3);
    for (size_t i = 0; i < clean.size(); i += 4) {
        const bool last = i + 4 == clean.size();
        const int pad = (clean[i + 3] == '=') + (clean[i + 2] == '=');
        if (pad > 0 && (!last || (pad == 1 && clean[i + 2] == '=')))
            return std::nullopt;
        int v[4] = {0, 0, 0, 0};
        for (int k = 0; k < 4 - pad; ++k)
            if ((v[k] = sextet(clean[i + k])) < 0)
                return std::nullopt;
        const uint32_t bits = v[0] << 18 | v[1] << 12 | (pad < 2 ? v[2] << 6 : 0) | (pad < 1 ? v[3] : 0);
        bytes.push_back(static_cast<uint8_t>(bits >> 16));
        if (pad < 2)
            bytes.push_back(static_cast<uint8_t>(bits >> 8 & 0xFF));
        if (pad < 1)
            bytes.push_back(static_cast<uint8_t>(bits & 0xFF));
    }
    return bytes;
}

} // namespace soapkit
