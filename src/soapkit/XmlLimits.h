#pragma once
// Bounds on a document before it reaches the parser. The parser recurses once per nesting
// level and allocates per node, so an oversized or absurdly deep response must be turned away
// first: it becomes a parse error, never a stack overflow or an unbounded allocation.
#include <cstddef>
#include <string_view>

namespace soapkit {

struct XmlLimits {
    size_t max_bytes = 128u * 1024u * 1024u;
    unsigned max_depth = 128;
};

// Throws SoapError (parse error) when `text` is larger than the limit, nests elements deeper
// than the limit, or carries a document type declaration (SOAP forbids them, and refusing
// them keeps entity expansion out).
void check_limits(std::string_view text, const XmlLimits& limits);

// The deepest element nesting of `text`, stopping early once `stop_at` is exceeded. A linear
// scan that knows comments, CDATA sections, processing instructions and quoted attribute
// values; it assumes nothing else about well-formedness (the parser checks that).
unsigned nesting_depth(std::string_view text, unsigned stop_at);

// Markup as the scans above see it: a start tag, an end tag, an empty-element tag, or anything
// else (comment, CDATA section, processing instruction, declaration).
enum class Markup { Other, Open, Close, SelfClosing };
// The markup that starts with the '<' at `at`: its kind, and the position just after it (the
// end of the text when it is not closed). A '>' inside a quoted attribute value ends no tag.
size_t skip_markup(std::string_view text, size_t at, Markup& kind);

} // namespace soapkit
