#include "XmlLimits.h"

#include "SoapError.h"
#include "SoapKit.h"

#include <string>

namespace soapkit {

void check_limits(std::string_view text, const XmlLimits& limits)
{
    if (text.size() > limits.max_bytes)
        fail(result::ParseError, L"the document has " + std::to_wstring(text.size()) + L" bytes, more than the limit of " +
                                     std::to_wstring(limits.max_bytes));
    switch (com::xml::check_bounds(text, limits.max_depth)) {
    case com::xml::Verdict::Declaration:
        fail(result::ParseError, L"the document carries a document type declaration, which SOAP does not allow");
    case com::xml::Verdict::TooDeep:
        fail(result::ParseError, L"the document nests elements deeper than the limit of " +
                                     std::to_wstring(limits.max_depth) + L" levels");
    case com::xml::Verdict::Within:
        break;
    }
}

} // namespace soapkit
