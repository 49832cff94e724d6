#pragma once

#include "rfc/FunctionCall.h"
#include "rfc/RfcError.h"
#include "xml/XmlParser.h"

#include <memory>
#include <string>
#include <string_view>

namespace sapsim {

struct SoapRequest {
    std::unique_ptr<XmlDocument> document;
    const XmlElement* call = nullptr; // the request element inside the body
    std::string functionName;         // with "/" restored
};

// RFC over SOAP: the request element names the module in the RFC functions namespace, with
// every "/" written "_-"; the response element is "<name>.Response" and an exception's detail
// element "<name>.Exception", both with the same escaping.
class SoapCodec {
public:
    static constexpr std::string_view rfcNamespace = "urn:sap-com:document:sap:rfc:functions";
    static constexpr std::string_view envelopeNamespace = "http://schemas.xmlsoap.org/soap/envelope/";

    // Throws SystemFailure (REQUEST_INVALID) when the body is not an RFC request.
    static SoapRequest parse(std::string_view body, const XmlParser::Limits& limits);
    // Fills the call's inputs from the request; throws SystemFailure.
    static void readParameters(const SoapRequest& request, FunctionCall& call);

    static std::string response(const FunctionCall& call);
    static std::string exceptionFault(const FunctionDef& def, const AbapException& e);
    static std::string systemFault(const SystemFailure& failure);

    static std::string elementName(std::string_view functionName);
    static std::string functionName(std::string_view elementName);
};

} // namespace sapsim
