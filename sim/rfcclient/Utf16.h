#pragma once

#include <string>
#include <string_view>

namespace simrfc {

// UTF-16 (the libraries' wide characters) and UTF-8 (the wire's texts). A lone surrogate or an
// invalid UTF-8 byte becomes U+FFFD.
std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view text);

} // namespace simrfc
