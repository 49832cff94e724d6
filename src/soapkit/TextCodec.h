#pragma once
// Text between the forms the component meets: UTF-16 at the automation surface, UTF-8 inside
// the XML tree and on the wire, and response bodies in whatever character set the server names.
#include <string>
#include <string_view>
#include <vector>

namespace soapkit {

std::string to_utf8(std::wstring_view text);
std::wstring to_wide(std::string_view utf8);
// UTF-8 text as a new BSTR (never null; throws std::bad_alloc).
wchar_t* new_bstr(std::string_view utf8);

// A response body in the named character set, as UTF-8. An empty name means UTF-8 unless the
// body starts with a UTF-16 byte order mark. A UTF-8 byte order mark is dropped. The buffer has
// room for one more character, the terminator that parsing in place appends.
// Throws SoapError (parse error) for a character set it does not know.
std::vector<char> decode_to_utf8(std::string_view bytes, std::wstring_view charset);

// ASCII lower case, for names of character sets, header fields and host names.
std::wstring lower_ascii(std::wstring_view text);
std::string lower_ascii(std::string_view text);

} // namespace soapkit
