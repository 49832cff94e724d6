#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sapsim {

// Binary fields travel as base64 (xsd:base64Binary) in SOAP documents.
class Base64 {
public:
    static std::string encode(std::string_view bytes);
    // White space is skipped, as XML Schema allows it inside base64 text; anything else that is
    // not base64 (bad characters, bad padding) gives no result.
    static std::optional<std::string> decode(std::string_view text);
};

} // namespace sapsim
