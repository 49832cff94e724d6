#include "rfc/SoapCodec.h"

#include "dictionary/ScalarCodec.h"
#include "rfc/ValueCodec.h"
#include "xml/XmlWriter.h"

namespace sapsim {
namespace {

constexpr std::string_view soap12Namespace = "http://www.w3.org/2003/05/soap-envelope";

[[noreturn]] void invalid(const std::string& message)
{
    throw SystemFailure(SystemFailure::requestInvalid, message);
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text.substr(i, from.size()) == from) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

void openEnvelope(std::string& out)
{
    out += "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<soap-env:Envelope xmlns:soap-env=\"";
    out += SoapCodec::envelopeNamespace;
    out += "\"><soap-env:Header/><soap-env:Body>";
}

void closeEnvelope(std::string& out)
{
    out += "</soap-env:Body></soap-env:Envelope>";
}

std::string fault(std::string_view code, std::string_view faultString, const std::string& detail)
{
    std::string out;
    openEnvelope(out);
    XmlWriter xml(out);
    xml.raw("<soap-env:Fault><faultcode>soap-env:");
    xml.raw(code);
    xml.raw("</faultcode>");
    xml.element("faultstring", faultString);
    xml.raw("<detail>");
    xml.raw(detail);
    xml.raw("</detail></soap-env:Fault>");
    closeEnvelope(out);
    return out;
}

const XmlElement* onlyChild(const XmlElement& parent, const char* what)
{
    if (parent.children.size() != 1)
        invalid(std::string(what) + " must hold exactly one element");
    if (!parent.hasBlankTextOnly())
        invalid(std::string(what) + " holds text");
    return parent.children.front();
}

} // namespace

SoapRequest SoapCodec::parse(std::string_view body, const XmlParser::Limits& limits)
{
    SoapRequest request;
    try {
        request.document = std::make_unique<XmlDocument>(XmlParser::parse(body, limits));
    } catch (const XmlError& e) {
        invalid(e.what());
    }
    const XmlElement* envelope = request.document->root();
    if (envelope->name != "Envelope" || (envelope->ns != envelopeNamespace && envelope->ns != soap12Namespace))
        invalid("the document is not a SOAP envelope");
    const XmlElement* bodyElement = envelope->child(envelope->ns, "Body");
    if (bodyElement == nullptr)
        invalid("the SOAP envelope has no Body");
    request.call = onlyChild(*bodyElement, "the SOAP Body");
    if (request.call->ns != rfcNamespace)
        invalid("the request element {" + request.call->ns + "}" + request.call->name +
                " is not in namespace " + std::string(rfcNamespace));
    if (!request.call->hasBlankTextOnly())
        invalid("the request element holds text");
    request.functionName = functionName(request.call->name);
    return request;
}

void SoapCodec::readParameters(const SoapRequest& request, FunctionCall& call)
{
    const FunctionDef& def = call.def();
    std::vector<bool> seen(def.parameters.size(), false);
    for (const XmlElement* element : request.call->children) {
        if (!element->ns.empty())
            throw SystemFailure(SystemFailure::parameterUnknown,
                                "parameter {" + element->ns + "}" + element->name + " must be unqualified");
        const int i = def.indexOf(element->name);
        if (i < 0)
            throw SystemFailure(SystemFailure::parameterUnknown,
                                def.name + " has no parameter " + element->name);
        const auto index = static_cast<size_t>(i);
        if (seen[index])
            invalid("parameter " + element->name + " given twice");
        seen[index] = true;
        const Parameter& p = def.parameters[index];
        // Clients may send exporting parameters along; their content means nothing here.
        if (!p.input())
            continue;
        call.value(index) = ValueCodec::read(*element, p.type, p.name);
        call.markSupplied(index);
    }
    for (size_t i = 0; i < def.parameters.size(); ++i) {
        const Parameter& p = def.parameters[i];
        if (!seen[i] && p.input() && !p.defaultValue.empty())
            call.value(i).scalar = ScalarCodec::fromText(p.type.scalar, p.defaultValue, ScalarCodec::Binary::Hex);
    }
}

std::string SoapCodec::response(const FunctionCall& call)
{
    const FunctionDef& def = call.def();
    const std::string element = "rfc:" + elementName(def.name) + ".Response";
    std::string out;
    openEnvelope(out);
    out += "<" + element + " xmlns:rfc=\"" + std::string(rfcNamespace) + "\">";
    for (ParamClass cls : {ParamClass::Exporting, ParamClass::Changing, ParamClass::Tables})
        for (size_t i = 0; i < def.parameters.size(); ++i)
            if (def.parameters[i].paramClass == cls)
                ValueCodec::write(out, def.parameters[i].name, call.value(i), def.parameters[i].type);
    out += "</" + element + ">";
    closeEnvelope(out);
    return out;
}

std::string SoapCodec::exceptionFault(const FunctionDef& def, const AbapException& e)
{
    std::string text = e.what();
    if (text.empty())
        for (const ExceptionDef& x : def.exceptions)
            if (x.name == e.name())
                text = x.text;
    const std::string element = "rfc:" + elementName(def.name) + ".Exception";
    std::string detail = "<" + element + " xmlns:rfc=\"" + std::string(rfcNamespace) + "\">";
    XmlWriter xml(detail);
    xml.element("Name", e.name());
    xml.element("Text", text);
    xml.close(element);
    return fault("Client", e.name(), detail);
}

std::string SoapCodec::systemFault(const SystemFailure& failure)
{
    std::string detail = "<rfc:Error xmlns:rfc=\"" + std::string(rfcNamespace) + "\">";
    XmlWriter xml(detail);
    xml.element("type", failure.type());
    xml.element("message", failure.what());
    xml.close("rfc:Error");
    return fault(failure.clientFault() ? "Client" : "Server", failure.what(), detail);
}

std::string SoapCodec::elementName(std::string_view functionName)
{
    return replaceAll(functionName, "/", "_-");
}

std::string SoapCodec::functionName(std::string_view elementName)
{
    return replaceAll(elementName, "_-", "/");
}

} // namespace sapsim
