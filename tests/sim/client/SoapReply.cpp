#include "SoapReply.h"

namespace simtest {

SoapReply::SoapReply(int status, std::string body) : m_status(status), m_text(std::move(body))
{
    m_buffer.assign(m_text.begin(), m_text.end());
    m_buffer.push_back('\0');
    m_doc = std::make_shared<rapidxml::xml_document<char>>();
    try {
        m_doc->parse<rapidxml::parse_default>(m_buffer.data());
    } catch (const rapidxml::parse_error&) {
        return;
    }
    const Node* envelope = m_doc->first_node();
    if (envelope == nullptr || localName(envelope) != "Envelope")
        return;
    m_body = child(envelope, "Body");
}

std::string SoapReply::localName(const Node* node) const
{
    const std::string name(node->name(), node->name_size());
    const size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

std::string SoapReply::namespaceOf(const Node* node) const
{
    const std::string name(node->name(), node->name_size());
    const size_t colon = name.find(':');
    const std::string attribute = colon == std::string::npos ? "xmlns" : "xmlns:" + name.substr(0, colon);
    for (const Node* n = node; n != nullptr && n->type() == rapidxml::node_element; n = n->parent())
        if (const auto* a = n->first_attribute(attribute.c_str()))
            return std::string(a->value(), a->value_size());
    return {};
}

const SoapReply::Node* SoapReply::child(const Node* parent, const std::string& name) const
{
    if (parent == nullptr)
        return nullptr;
    for (const Node* c = parent->first_node(); c != nullptr; c = c->next_sibling())
        if (c->type() == rapidxml::node_element && localName(c) == name)
            return c;
    return nullptr;
}

const SoapReply::Node* SoapReply::bodyElement() const
{
    return m_body == nullptr ? nullptr : m_body->first_node();
}

const SoapReply::Node* SoapReply::find(const Node* from, const std::string& path) const
{
    size_t start = 0;
    while (from != nullptr && start <= path.size()) {
        const size_t slash = path.find('/', start);
        from = child(from, path.substr(start, slash - start));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return from;
}

bool SoapReply::has(const std::string& path) const
{
    return find(bodyElement(), path) != nullptr;
}

std::string SoapReply::text(const std::string& path) const
{
    const Node* n = find(bodyElement(), path);
    return n == nullptr ? "<missing " + path + ">" : std::string(n->value(), n->value_size());
}

Row SoapReply::record(const std::string& path) const
{
    Row row;
    const Node* n = find(bodyElement(), path);
    for (const Node* c = n ? n->first_node() : nullptr; c != nullptr; c = c->next_sibling())
        if (c->type() == rapidxml::node_element)
            row[localName(c)] = std::string(c->value(), c->value_size());
    return row;
}

std::vector<Row> SoapReply::rows(const std::string& path) const
{
    std::vector<Row> out;
    const Node* table = find(bodyElement(), path);
    for (const Node* item = table ? table->first_node() : nullptr; item != nullptr; item = item->next_sibling()) {
        if (item->type() != rapidxml::node_element)
            continue;
        Row row;
        for (const Node* c = item->first_node(); c != nullptr; c = c->next_sibling())
            if (c->type() == rapidxml::node_element)
                row[localName(c)] = std::string(c->value(), c->value_size());
        out.push_back(row);
    }
    return out;
}

std::vector<std::string> SoapReply::parameterNames() const
{
    std::vector<std::string> names;
    const Node* e = bodyElement();
    for (const Node* c = e ? e->first_node() : nullptr; c != nullptr; c = c->next_sibling())
        if (c->type() == rapidxml::node_element)
            names.push_back(std::string(c->name(), c->name_size()));
    return names;
}

std::string SoapReply::faultCode() const
{
    const Node* n = child(bodyElement(), "faultcode");
    return n == nullptr ? std::string() : std::string(n->value(), n->value_size());
}

const SoapReply::Node* SoapReply::faultDetail() const
{
    const Node* detail = child(bodyElement(), "detail");
    return detail == nullptr ? nullptr : detail->first_node();
}

namespace {

std::string childText(const SoapReply& reply, const SoapReply::Node* parent, const char* name)
{
    for (const SoapReply::Node* c = parent ? parent->first_node() : nullptr; c != nullptr; c = c->next_sibling())
        if (reply.localName(c) == name)
            return std::string(c->value(), c->value_size());
    return "<missing " + std::string(name) + ">";
}

} // namespace

std::string SoapReply::exceptionName() const { return childText(*this, faultDetail(), "Name"); }
std::string SoapReply::exceptionText() const { return childText(*this, faultDetail(), "Text"); }
std::string SoapReply::errorType() const { return childText(*this, faultDetail(), "type"); }
std::string SoapReply::errorMessage() const { return childText(*this, faultDetail(), "message"); }

} // namespace simtest
