#pragma once
// Bounds on a document before it reaches the parser. The parser recurses once per nesting
// level and allocates per node, so an oversized or absurdly deep response must be turned away
// first: it becomes a parse error, never a stack overflow or an unbounded allocation.
#include "com/XmlBounds.h"

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

using com::xml::Markup;
using com::xml::nesting_depth;
using com::xml::skip_markup;

} // namespace soapkit
