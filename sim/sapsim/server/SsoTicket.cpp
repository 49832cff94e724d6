#include "server/SsoTicket.h"

#include "dictionary/ScalarCodec.h"
#include "server/HttpText.h"
#include "text/Base64.h"

#include <boost/uuid/detail/sha1.hpp>

#include <cstdlib>
#include <random>
#include <vector>

namespace sapsim {
namespace {

constexpr size_t blockSize = 64;

std::string sha1(const std::string& data)
{
    boost::uuids::detail::sha1 hash;
    hash.process_bytes(data.data(), data.size());
    boost::uuids::detail::sha1::digest_type digest;
    hash.get_digest(digest);
    std::string out;
    for (unsigned word : digest)
        for (int shift = 24; shift >= 0; shift -= 8)
            out += static_cast<char>((word >> shift) & 0xFF);
    return out;
}

std::string hmac(const std::string& key, const std::string& message)
{
    std::string k = key.size() > blockSize ? sha1(key) : key;
    k.resize(blockSize, '\0');
    std::string inner(blockSize, '\0'), outer(blockSize, '\0');
    for (size_t i = 0; i < blockSize; ++i) {
        inner[i] = static_cast<char>(k[i] ^ 0x36);
        outer[i] = static_cast<char>(k[i] ^ 0x5C);
    }
    return sha1(outer + sha1(inner + message));
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

int64_t nowSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Compares without leaving the position of the first difference in the timing.
bool sameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (size_t i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

} // namespace

SsoTicket::SsoTicket()
{
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device(), static_cast<unsigned>(nowSeconds())};
    std::mt19937 generator(seed);
    for (int i = 0; i < 32; ++i)
        m_key += static_cast<char>(generator() & 0xFF);
}

std::string SsoTicket::issue(const std::string& client, const std::string& user) const
{
    const int64_t now = nowSeconds();
    const int64_t expiry = now + std::chrono::duration_cast<std::chrono::seconds>(validity).count();
    const std::string payload = "1|" + client + "|" + user + "|" + std::to_string(now) + "|" + std::to_string(expiry);
    return Base64::encode(payload + "|" + sign(payload));
}

std::optional<SsoTicket::Holder> SsoTicket::verify(const std::string& ticket) const
{
    const auto decoded = Base64::decode(HttpText::urlDecode(ticket));
    if (!decoded)
        return std::nullopt;
    const size_t last = decoded->rfind('|');
    if (last == std::string::npos)
        return std::nullopt;
    const std::string payload = decoded->substr(0, last);
    if (!sameText(sign(payload), decoded->substr(last + 1)))
        return std::nullopt;
    const auto parts = split(payload, '|');
    if (parts.size() != 5 || parts[0] != "1")
        return std::nullopt;
    if (std::strtoll(parts[4].c_str(), nullptr, 10) < nowSeconds())
        return std::nullopt;
    return Holder{parts[1], parts[2]};
}

std::string SsoTicket::sign(const std::string& payload) const
{
    return ScalarCodec::hex(hmac(m_key, payload));
}

} // namespace sapsim
