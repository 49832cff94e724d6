#include "text/Base64.h"

#include <array>
#include <cstdint>

namespace sapsim {
namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> makeReverse()
{
    std::array<int8_t, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<int8_t>(i);
    return table;
}

constexpr auto reverse = makeReverse();

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::string Base64::encode(std::string_view bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t n = (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8) | uint8_t(bytes[i + 2]);
        out += alphabet[(n >> 18) & 63];
        out += alphabet[(n >> 12) & 63];
        out += alphabet[(n >> 6) & 63];
        out += alphabet[n & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t n = uint8_t(bytes[i]) << 16;
        if (rest == 2)
            n |= uint8_t(bytes[i + 1]) << 8;
        out += alphabet[(n >> 18) & 63];
        out += alphabet[(n >> 12) & 63];
        out += rest == 2 ? alphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> Base64::decode(std::string_view text)
{
    std::string out;
    out.reserve(text.size() / 4 * 3);
    uint32_t buffer = 0;
    int bits = 0;
    int padding = 0;
    size_t symbols = 0;
    for (char c : text) {
        if (isSpace(c))
            continue;
        if (c == '=') {
            ++padding;
            ++symbols;
            continue;
        }
        const int v = reverse[static_cast<unsigned char>(c)];
        if (v < 0 || padding > 0)
            return std::nullopt;
        ++symbols;
        buffer = (buffer << 6) | uint32_t(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    if (symbols % 4 != 0 || padding > 2)
        return std::nullopt;
    // Leftover bits must be zero, or the text was not produced by an encoder.
    if (bits > 0 && (buffer & ((1u << bits) - 1)) != 0)
        return std::nullopt;
    return out;
}

} // namespace sapsim
