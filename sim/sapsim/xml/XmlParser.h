#pragma once

#include "xml/XmlDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace sapsim {

// A strict, non-recursive parser for the XML a SOAP request may contain. It refuses document type
// declarations (and with them every entity but the five predefined ones and character
// references), limits the nesting depth and the number of elements, and accepts UTF-8 (with or
// without a byte order mark), ISO-8859-1 and US-ASCII as declared, and UTF-16 with a byte order
// mark. Every failure is an XmlError naming the line.
class XmlParser {
public:
    struct Limits {
        size_t maxDepth = 64;
        size_t maxElements = 2'000'000;
        size_t maxAttributes = 64;
    };

    static XmlDocument parse(std::string_view input, const Limits& limits);

private:
    XmlParser(std::string text, const Limits& limits);

    void parseDocument();
    void parseMisc();
    void parseContent();
    void parseStartTag();
    void parseEndTag();
    void parseAttributes(std::vector<std::pair<std::string, std::string>>& raw, bool& selfClosing);
    void resolveNames(XmlElement& element, std::string_view qname,
                      const std::vector<std::pair<std::string, std::string>>& raw);
    std::string resolvePrefix(std::string_view prefix) const;
    void appendText(std::string& out, std::string_view raw, bool attribute);
    void skipComment();
    void skipProcessingInstruction();
    std::string_view readName();
    void skipSpace();
    bool startsWith(std::string_view s) const;
    [[noreturn]] void fail(const std::string& message) const;

    struct Open {
        XmlElement* element;
        std::string qname;
        size_t scopeMark;
    };

    std::string m_text;
    size_t m_pos = 0;
    Limits m_limits;
    XmlDocument m_doc;
    std::vector<Open> m_open;
    std::vector<std::pair<std::string, std::string>> m_scopes;
};

} // namespace sapsim
