#include "XmlTree.h"

#include "SoapError.h"
#include "SoapKit.h"
#include "TextCodec.h"

namespace soapkit {
namespace {

constexpr std::string_view kXmlPrefixNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr char kEmpty[] = "";

std::string_view name_of(const XmlNode* node) noexcept { return {node->name(), node->name_size()}; }
std::string_view value_of(const rapidxml::xml_base<char>* node) noexcept { return {node->value(), node->value_size()}; }

bool is_element(const XmlNode* node) noexcept { return node->type() == rapidxml::node_element; }

void append_escaped(std::string& out, std::string_view text, bool attribute)
{
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += attribute ? "&quot;" : "\""; break;
        default:
            // Line ends and tabs survive in attributes and carriage returns in text only as
            // references; other control characters have no literal form in XML at all, and a
            // reference carries them to servers that accept it.
            if (u < 0x20 && (attribute || c == '\r' || (c != '\n' && c != '\t'))) {
                out += "&#";
                out += std::to_string(u);
                out += ';';
            } else {
                out += c;
            }
        }
    }
}

void write_close(std::string& out, const XmlNode* element)
{
    out += "</";
    out += name_of(element);
    out += '>';
}

void write_open(std::string& out, const XmlNode* node)
{
    if (node->type() == rapidxml::node_data) {
        append_escaped(out, value_of(node), false);
        return;
    }
    if (node->type() == rapidxml::node_cdata) {
        out += "<![CDATA[";
        out += value_of(node);
        out += "]]>";
        return;
    }
    if (!is_element(node))
        return;
    out += '<';
    out += name_of(node);
    for (auto* a = node->first_attribute(); a; a = a->next_attribute()) {
        out += ' ';
        out.append(a->name(), a->name_size());
        out += "=\"";
        append_escaped(out, value_of(a), true);
        out += '"';
    }
    if (node->first_node()) {
        out += '>';
    } else if (node->value_size() > 0) {
        // Content parsed into the element itself (see XmlTree::parse).
        out += '>';
        append_escaped(out, value_of(node), false);
        write_close(out, node);
    } else {
        out += "/>";
    }
}

// Every element prefix must be declared: namespaces are matched by URI, so an undeclared one
// has no meaning. Iterative, like every walk over a tree of unbounded depth.
void check_prefixes(const XmlNode* document)
{
    for (const XmlNode* node = first_element(document); node;) {
        const std::string_view prefix = prefix_of(node);
        if (!prefix.empty() && !lookup_namespace(node, prefix))
            fail(result::ParseError, L"the namespace prefix '" + to_wide(prefix) + L"' is not declared");
        if (const XmlNode* child = first_element(node)) {
            node = child;
            continue;
        }
        while (node && !next_element(node)) {
            node = node->parent();
            if (node == document)
                node = nullptr;
        }
        if (node)
            node = next_element(node);
    }
}

bool is_blank(std::string_view text) noexcept
{
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

// Whether no element's content has more than one piece of text (text between markup that is
// not all white space, which is what the parser makes a text node of) and there is no CDATA.
// Then the parser can leave each element's text in the element instead of a node of its own:
// a table of many small values then needs half the nodes, and a large response half the fresh
// memory, which costs more than the parsing itself.
bool has_one_text_per_element(std::string_view text)
{
    if (text.find("<![CDATA[") != std::string_view::npos)
        return false;
    std::vector<bool> has_text; // per open element
    size_t i = 0;
    for (;;) {
        const size_t open = text.find('<', i);
        const std::string_view piece = text.substr(i, open == std::string_view::npos ? std::string_view::npos : open - i);
        if (!has_text.empty() && !is_blank(piece)) {
            if (has_text.back())
                return false;
            has_text.back() = true;
        }
        if (open == std::string_view::npos)
            return true;
        Markup kind = Markup::Other;
        i = skip_markup(text, open, kind);
        if (kind == Markup::Open)
            has_text.push_back(false);
        else if (kind == Markup::Close && !has_text.empty())
            has_text.pop_back();
    }
}

std::shared_ptr<XmlTree> XmlTree::parse(std::vector<char> text, const XmlLimits& limits)
{
    check_limits(std::string_view(text.data(), text.size()), limits);
    auto tree = std::make_shared<XmlTree>();
    tree->buffer_ = std::move(text);
    tree->buffer_.push_back('\0');
    try {
        if (has_one_text_per_element(std::string_view(tree->buffer_.data(), tree->buffer_.size() - 1)))
            tree->doc_.parse<rapidxml::parse_validate_closing_tags | rapidxml::parse_no_data_nodes>(tree->buffer_.data());
        else
            tree->doc_.parse<rapidxml::parse_validate_closing_tags | rapidxml::parse_no_element_values>(
                tree->buffer_.data());
    } catch (const rapidxml::parse_error& e) {
        const auto offset = e.where<char>() - tree->buffer_.data();
        fail(result::ParseError,
             L"malformed XML at byte " + std::to_wstring(offset) + L": " + to_wide(e.what()));
    }
    check_prefixes(tree->document());
    if (!tree->root())
        fail(result::ParseError, L"the document has no element");
    return tree;
}

XmlNode* XmlTree::root() noexcept { return first_element(&doc_); }

const char* XmlTree::keep(std::string_view text)
{
    // rapidxml measures a zero-length source with strlen, so an empty text never reaches it.
    if (text.empty())
        return kEmpty;
    return doc_.allocate_string(text.data(), text.size());
}

XmlNode* XmlTree::append_element(XmlNode* parent, std::string_view local, std::string_view ns, std::string_view prefix)
{
    if (ns.empty())
        prefix = {};
    std::string qualified = prefix.empty() ? std::string(local) : std::string(prefix) + ":" + std::string(local);
    const char* name = keep(qualified);
    XmlNode* element = doc_.allocate_node(rapidxml::node_element, name, nullptr, qualified.size(), 0);
    parent->append_node(element);
    ++generation_;
    const std::optional<std::string_view> bound = lookup_namespace(element, prefix);
    if (ns.empty()) {
        if (bound && !bound->empty())
            set_attribute(element, "xmlns", "");
    } else if (!bound || *bound != ns) {
        set_attribute(element, prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix), ns);
    }
    return element;
}

void XmlTree::set_attribute(XmlNode* element, std::string_view name, std::string_view value)
{
    for (auto* a = element->first_attribute(); a; a = a->next_attribute()) {
        if (std::string_view(a->name(), a->name_size()) == name) {
            a->value(keep(value), value.size());
            return;
        }
    }
    element->append_attribute(doc_.allocate_attribute(keep(name), keep(value), name.size(), value.size()));
}

void XmlTree::set_text(XmlNode* element, std::string_view text)
{
    remove_children(element);
    if (!text.empty())
        element->append_node(doc_.allocate_node(rapidxml::node_data, nullptr, keep(text), 0, text.size()));
}

void XmlTree::remove_children(XmlNode* element)
{
    element->value(kEmpty, 0);
    if (element->first_node()) {
        element->remove_all_nodes();
        ++generation_;
    }
}

std::string XmlTree::serialize() const
{
    std::string out;
    const XmlNode* node = doc_.first_node();
    while (node) {
        write_open(out, node);
        if (is_element(node) && node->first_node()) {
            node = node->first_node();
            continue;
        }
        while (node && !node->next_sibling()) {
            node = node->parent();
            if (node == &doc_)
                node = nullptr;
            else
                write_close(out, node);
        }
        if (node)
            node = node->next_sibling();
    }
    return out;
}

std::string_view local_name(const XmlNode* element) noexcept
{
    const std::string_view name = name_of(element);
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view prefix_of(const XmlNode* element) noexcept
{
    const std::string_view name = name_of(element);
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

std::optional<std::string_view> lookup_namespace(const XmlNode* scope, std::string_view prefix) noexcept
{
    if (prefix == "xml")
        return kXmlPrefixNamespace;
    for (const XmlNode* node = scope; node && is_element(node); node = node->parent()) {
        for (auto* a = node->first_attribute(); a; a = a->next_attribute()) {
            const std::string_view name(a->name(), a->name_size());
            if (prefix.empty() ? name == "xmlns" : (name.starts_with("xmlns:") && name.substr(6) == prefix))
                return value_of(a);
        }
    }
    if (prefix.empty())
        return std::string_view();
    return std::nullopt;
}

std::string_view namespace_of(const XmlNode* element) noexcept
{
    return lookup_namespace(element, prefix_of(element)).value_or(std::string_view());
}

std::optional<std::string_view> attribute_of(const XmlNode* element, std::string_view ns, std::string_view local) noexcept
{
    for (auto* a = element->first_attribute(); a; a = a->next_attribute()) {
        const std::string_view name(a->name(), a->name_size());
        const size_t colon = name.find(':');
        if (colon == std::string_view::npos || name.substr(colon + 1) != local)
            continue;
        const std::string_view prefix = name.substr(0, colon);
        if (prefix != "xmlns" && lookup_namespace(element, prefix) == ns)
            return value_of(a);
    }
    return std::nullopt;
}

std::string text_of(const XmlNode* element)
{
    std::string text;
    bool pieces = false;
    for (const XmlNode* n = element->first_node(); n; n = n->next_sibling()) {
        if (n->type() == rapidxml::node_data || n->type() == rapidxml::node_cdata) {
            text.append(n->value(), n->value_size());
            pieces = true;
        }
    }
    return pieces ? text : std::string(value_of(element));
}

std::string_view text_view(const XmlNode* element, std::string& joined)
{
    const XmlNode* piece = nullptr;
    for (const XmlNode* n = element->first_node(); n; n = n->next_sibling()) {
        if (n->type() != rapidxml::node_data && n->type() != rapidxml::node_cdata)
            continue;
        if (piece) {
            joined = text_of(element);
            return joined;
        }
        piece = n;
    }
    return piece ? value_of(piece) : value_of(element);
}

XmlNode* first_element(const XmlNode* parent) noexcept
{
    XmlNode* n = parent->first_node();
    while (n && !is_element(n))
        n = n->next_sibling();
    return n;
}

XmlNode* next_element(const XmlNode* element) noexcept
{
    XmlNode* n = element->next_sibling();
    while (n && !is_element(n))
        n = n->next_sibling();
    return n;
}

XmlNode* find_element(const XmlNode* parent, std::string_view local, std::string_view ns) noexcept
{
    for (XmlNode* n = first_element(parent); n; n = next_element(n))
        if (local_name(n) == local && namespace_of(n) == ns)
            return n;
    return nullptr;
}

} // namespace soapkit

namespace soapkit {

bool is_xml_name(std::string_view name) noexcept
{
    if (name.empty())
        return false;
    const auto letter = [](unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80; };
    if (!letter(static_cast<unsigned char>(name.front())))
        return false;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.')
            return false;
    }
    return true;
}

} // namespace soapkit
