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

size_t skip_markup(std::string_view text, size_t at, Markup& kind)
{
    const std::string_view rest = text.substr(at);
    kind = Markup::Other;
    if (rest.starts_with("<!--"))
        return skip_past(text, at + 4, "-->");
    if (rest.starts_with("<![CDATA["))
        return skip_past(text, at + 9, "]]>");
    if (rest.starts_with("<?"))
        return skip_past(text, at + 2, "?>");
    if (rest.starts_with("<!"))
        return skip_past(text, at + 2, ">");
    if (rest.starts_with("</")) {
        kind = Markup::Close;
        return skip_past(text, at + 2, ">");
    }
    bool self_closing = false;
    const size_t end = skip_tag(text, at + 1, self_closing);
    kind = self_closing ? Markup::SelfClosing : Markup::Open;
    return end;
}

unsigned nesting_depth(std::string_view text, unsigned stop_at)
{
    unsigned depth = 0, deepest = 0;
    size_t i = 0;
    while ((i = text.find('<', i)) != std::string_view::npos) {
        Markup kind = Markup::Other;
        i = skip_markup(text, i, kind);
        if (kind == Markup::Close) {
            if (depth > 0)
                --depth;
        } else if (kind != Markup::Other) {
            if (depth + 1 > deepest)
                deepest = depth + 1;
            if (deepest > stop_at)
                return deepest;
            if (kind == Markup::Open)
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
