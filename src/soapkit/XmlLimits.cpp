#include "XmlLimits.h"

#include "SoapError.h"
#include "SoapKit.h"

#include <string>

namespace soapkit {
namespace {

// Position just after `terminator`, searched from `from`; the end when it is missing.
size_t skip_past(std::string_view text, size_t from, std::string_view terminator)
{
    const size_t at = text.find(terminator, from);
    return at == std::string_view::npos ? text.size() : at + terminator.size();
}

// Position just after the '>' that ends a tag starting at `from`, honouring quoted values.
// Sets `self_closing` when the tag ends with "/>".
size_t skip_tag(std::string_view text, size_t from, bool& self_closing)
{
    char quote = 0;
    for (size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            self_closing = i > from && text[i - 1] == '/';
            return i + 1;
        }
    }
    self_closing = false;
    return text.size();
}

} // namespace

unsigned nesting_depth(std::string_view text, unsigned stop_at)
{
    unsigned depth = 0, deepest = 0;
    size_t i = 0;
    while ((i = text.find('<', i)) != std::string_view::npos) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<!--")) {
            i = skip_past(text, i + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            i = skip_past(text, i + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            i = skip_past(text, i + 2, "?>");
        } else if (rest.starts_with("<!")) {
            i = skip_past(text, i + 2, ">");
        } else if (rest.starts_with("</")) {
            if (depth > 0)
                --depth;
            i = skip_past(text, i + 2, ">");
        } else {
            bool self_closing = false;
            i = skip_tag(text, i + 1, self_closing);
            if (depth + 1 > deepest)
                deepest = depth + 1;
            if (deepest > stop_at)
                return deepest;
            if (!self_closing)
                ++depth;
        }
    }
    return deepest;
}

void check_limits(std::string_view text, const XmlLimits& limits)
{
    if (text.size() > limits.max_bytes)
        fail(result::ParseError, L"the document has " + std::to_wstring(text.size()) + L" bytes, more than the limit of " +
                                     std::to_wstring(limits.max_bytes));
    if (text.find("<!DOCTYPE") != std::string_view::npos)
        fail(result::ParseError, L"the document carries a document type declaration, which SOAP does not allow");
    if (nesting_depth(text, limits.max_depth) > limits.max_depth)
        fail(result::ParseError, L"the document nests elements deeper than the limit of " +
                                     std::to_wstring(limits.max_depth) + L" levels");
}

} // namespace soapkit
