#pragma once

#include <string>

namespace simtest {

// A hand-built RFC-over-SOAP request: the module's element in the RFC namespace with the
// parameters as unqualified children.
class RfcCall {
public:
    explicit RfcCall(std::string module) : m_module(std::move(module)) {}

    // A scalar parameter; the text is escaped.
    RfcCall& param(const std::string& name, const std::string& text)
    {
        m_params += "<" + name + ">" + escape(text) + "</" + name + ">";
        return *this;
    }
    // Markup as it is (structures, tables, deliberate mistakes).
    RfcCall& raw(const std::string& xml)
    {
        m_params += xml;
        return *this;
    }

    std::string envelope() const
    {
        std::string element = m_module;
        for (size_t at = element.find('/'); at != std::string::npos; at = element.find('/', at + 2))
            element.replace(at, 1, "_-");
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
               "<env:Envelope xmlns:env=\"http://schemas.xmlsoap.org/soap/envelope/\"><env:Body>"
               "<m:" + element + " xmlns:m=\"urn:sap-com:document:sap:rfc:functions\">" + m_params +
               "</m:" + element + "></env:Body></env:Envelope>";
    }

    static std::string escape(const std::string& text)
    {
        std::string out;
        for (char c : text) {
            switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            default: out += c;
            }
        }
        return out;
    }

private:
    std::string m_module;
    std::string m_params;
};

} // namespace simtest
