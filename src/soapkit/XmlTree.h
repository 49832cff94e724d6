#pragma once
// One XML document in memory, shared by the envelope and every node object handed out for
// it: a rapidxml tree (parsed in place from its own buffer, or built), the lock that makes it
// safe to use from several threads, and namespace-aware reading and building on top of
// rapidxml, which itself knows only qualified names.
#include "XmlLimits.h"

#include <rapidxml/rapidxml.hpp>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace soapkit {

using XmlNode = rapidxml::xml_node<char>;

class XmlTree {
public:
    XmlTree() = default;
    XmlTree(const XmlTree&) = delete;
    XmlTree& operator=(const XmlTree&) = delete;

    // Parses UTF-8 text within the limits, in place: the tree keeps the buffer. Throws SoapError
    // (parse error) for malformed XML, a prefix without a declaration, or a document beyond the
    // limits.
    static std::shared_ptr<XmlTree> parse(std::vector<char> text, const XmlLimits& limits);

    // Held by whoever reads or changes the tree.
    std::mutex& mutex() const noexcept { return mutex_; }
    // Changes with every structural edit, so that cached child lists know they are stale.
    unsigned generation() const noexcept { return generation_; }

    XmlNode* document() noexcept { return &doc_; }
    // The outermost element, or null.
    XmlNode* root() noexcept;

    // Appends an element to `parent` (an element or the document) in namespace `ns` (empty:
    // unqualified), declaring the namespace on it when the scope does not already bind it.
    XmlNode* append_element(XmlNode* parent, std::string_view local, std::string_view ns, std::string_view prefix = {});
    void set_attribute(XmlNode* element, std::string_view name, std::string_view value);
    // Replaces the element's content (text and child elements) with `text`.
    void set_text(XmlNode* element, std::string_view text);
    void remove_children(XmlNode* element);

    // The tree as XML text (no declaration).
    std::string serialize() const;

private:
    const char* keep(std::string_view text);

    mutable std::mutex mutex_;
    std::vector<char> buffer_; // the parsed text; the parsed nodes point into it
    rapidxml::xml_document<char> doc_;
    unsigned generation_ = 0;
};

std::string_view local_name(const XmlNode* element) noexcept;
std::string_view prefix_of(const XmlNode* element) noexcept;
// The namespace a prefix ("" for the default namespace) stands for at `scope`; empty when the
// default namespace is not declared, nothing when a prefix is not declared.
std::optional<std::string_view> lookup_namespace(const XmlNode* scope, std::string_view prefix) noexcept;
// The namespace URI of an element ("" for an unqualified one).
std::string_view namespace_of(const XmlNode* element) noexcept;
// The value of the attribute `local` in namespace `ns`, if the element has it.
std::optional<std::string_view> attribute_of(const XmlNode* element, std::string_view ns, std::string_view local) noexcept;

// The character content of an element: its text and CDATA children, joined.
std::string text_of(const XmlNode* element);
// The same without a copy where the content is one piece (or none); `joined` holds it otherwise.
std::string_view text_view(const XmlNode* element, std::string& joined);

XmlNode* first_element(const XmlNode* parent) noexcept;
XmlNode* next_element(const XmlNode* element) noexcept;
// The first child element with this local name and namespace, or null.
XmlNode* find_element(const XmlNode* parent, std::string_view local, std::string_view ns) noexcept;

} // namespace soapkit

namespace soapkit {

// Whether no element of `text` has more than one piece of text content, and no CDATA section:
// then the tree keeps each element's text in the element itself.
bool has_one_text_per_element(std::string_view text);

// A name an element may carry without a prefix: a letter, '_' or a non-ASCII character first,
// then also digits, '-' and '.'.
bool is_xml_name(std::string_view name) noexcept;

} // namespace soapkit
