#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sapsim {

class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct XmlAttribute {
    std::string ns;
    std::string name;
    std::string value;
};

// One element with its namespace already resolved. `text` is all character data directly
// inside the element (CDATA included), in document order.
struct XmlElement {
    std::string ns;
    std::string name;
    std::string text;
    std::vector<XmlAttribute> attributes;
    std::vector<const XmlElement*> children;

    bool is(std::string_view nsUri, std::string_view localName) const
    {
        return ns == nsUri && name == localName;
    }
    bool hasBlankTextOnly() const
    {
        return text.find_first_not_of(" \t\r\n") == std::string::npos;
    }
    const XmlElement* child(std::string_view nsUri, std::string_view localName) const
    {
        for (const XmlElement* c : children)
            if (c->is(nsUri, localName))
                return c;
        return nullptr;
    }
};

// Owns the elements of one parsed document; elements never move, so pointers stay valid.
class XmlDocument {
public:
    const XmlElement* root() const { return m_elements.empty() ? nullptr : &m_elements.front(); }
    size_t size() const { return m_elements.size(); }

private:
    friend class XmlParser;
    std::deque<XmlElement> m_elements;
};

} // namespace sapsim
