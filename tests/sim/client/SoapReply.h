#pragma once

#include <rapidxml/rapidxml.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace simtest {

using Row = std::map<std::string, std::string>;

// A SOAP response read with a parser other than the server's. Paths name elements by local name
// below the response element (or the fault's detail element), separated by '/'.
class SoapReply {
public:
    using Node = rapidxml::xml_node<char>;

    SoapReply(int status, std::string body);

    int status() const { return m_status; }
    bool parsed() const { return m_body != nullptr; }
    const std::string& document() const { return m_text; }

    // The element inside the Body: the response element or the Fault.
    const Node* bodyElement() const;
    std::string localName(const Node* node) const;
    std::string namespaceOf(const Node* node) const;

    bool has(const std::string& path) const;
    std::string text(const std::string& path) const;
    Row record(const std::string& path) const;
    std::vector<Row> rows(const std::string& path) const;
    // Every child element of the response element, in order.
    std::vector<std::string> parameterNames() const;

    std::string faultCode() const;
    // The detail's child element (MODULE.Exception or Error) and its content.
    const Node* faultDetail() const;
    std::string exceptionName() const;
    std::string exceptionText() const;
    std::string errorType() const;
    std::string errorMessage() const;

private:
    const Node* find(const Node* from, const std::string& path) const;
    const Node* child(const Node* parent, const std::string& name) const;

    int m_status;
    std::string m_text;
    std::vector<char> m_buffer;
    std::shared_ptr<rapidxml::xml_document<char>> m_doc;
    const Node* m_body = nullptr;
};

} // namespace simtest
