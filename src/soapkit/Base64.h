#pragma once
// Base64 (RFC 4648, standard alphabet, with padding): the text form of byte arrays in SOAP
// element content, and of HTTP Basic credentials.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace soapkit {

std::string base64_encode(std::span<const uint8_t> bytes);

// White space anywhere in the text is ignored (servers may break lines). Empty when the text
// is not valid base64.
std::optional<std::vector<uint8_t>> base64_decode(std::string_view text);

} // namespace soapkit
