#include "xml/XmlParser.h"

#include "text/Utf8.h"

#include <algorithm>
#include <cctype>

namespace sapsim {
namespace {

constexpr std::string_view xmlNamespace = "http://www.w3.org/XML/1998/namespace";

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The encoding named by an XML declaration at the start of `text`, empty when there is none.
std::string declaredEncoding(std::string_view text)
{
    if (text.substr(0, 5) != "<?xml")
        return {};
    const size_t end = text.find("?>");
    const std::string_view decl = text.substr(0, end);
    const size_t at = decl.find("encoding");
    if (at == std::string_view::npos)
        return {};
    const size_t quote = decl.find_first_of("\"'", at);
    if (quote == std::string_view::npos)
        return {};
    const size_t close = decl.find(decl[quote], quote + 1);
    if (close == std::string_view::npos)
        return {};
    return lower(decl.substr(quote + 1, close - quote - 1));
}

std::string toUtf8(std::string_view input)
{
    if (input.substr(0, 3) == "\xEF\xBB\xBF")
        input.remove_prefix(3);
    else if (input.substr(0, 2) == "\xFF\xFE" || input.substr(0, 2) == "\xFE\xFF") {
        auto text = Utf8::fromUtf16(input.substr(2), input[0] == '\xFE');
        if (!text)
            throw XmlError("malformed UTF-16 text");
        return *text;
    }
    const std::string encoding = declaredEncoding(input);
    if (encoding.empty() || encoding == "utf-8" || encoding == "utf8" || encoding == "us-ascii")
        return std::string(input);
    if (encoding == "iso-8859-1" || encoding == "latin1" || encoding == "latin-1")
        return Utf8::fromLatin1(input);
    throw XmlError("unsupported encoding '" + encoding + "'");
}

// Line ends are normalised before parsing, as XML processors do.
std::string normaliseLineEnds(std::string text)
{
    if (text.find('\r') == std::string::npos)
        return text;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool nameStart(unsigned char c)
{
    return std::isalpha(c) || c == '_' || c == ':' || c >= 0x80;
}

bool nameChar(unsigned char c)
{
    return nameStart(c) || std::isdigit(c) || c == '-' || c == '.';
}

bool xmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

bool controlChar(unsigned char c)
{
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

} // namespace

XmlDocument XmlParser::parse(std::string_view input, const Limits& limits)
{
    std::string text = normaliseLineEnds(toUtf8(input));
    if (!Utf8::valid(text))
        throw XmlError("the document is not valid UTF-8");
    XmlParser parser(std::move(text), limits);
    parser.parseDocument();
    return std::move(parser.m_doc);
}

XmlParser::XmlParser(std::string text, const Limits& limits)
    : m_text(std::move(text)), m_limits(limits)
{
}

void XmlParser::parseDocument()
{
    if (startsWith("<?xml") && m_text.size() > 5 && std::isspace(static_cast<unsigned char>(m_text[5])))
        skipProcessingInstruction();
    parseMisc();
    if (m_pos >= m_text.size() || m_text[m_pos] != '<')
        fail("no root element");
    parseStartTag();
    parseContent();
    parseMisc();
    if (m_pos < m_text.size())
        fail("content after the root element");
}

void XmlParser::parseMisc()
{
    while (true) {
        skipSpace();
        if (startsWith("<!--"))
            skipComment();
        else if (startsWith("<?"))
            skipProcessingInstruction();
        else if (startsWith("<!"))
            fail("document type declarations are not accepted");
        else
            return;
    }
}

// Runs until the element opened by the caller (and everything inside it) is closed.
void XmlParser::parseContent()
{
    while (!m_open.empty()) {
        if (m_pos >= m_text.size())
            fail("unexpected end of document inside <" + m_open.back().qname + ">");
        if (m_text[m_pos] != '<') {
            const size_t end = std::min(m_text.find('<', m_pos), m_text.size());
            appendText(m_open.back().element->text, std::string_view(m_text).substr(m_pos, end - m_pos), false);
            m_pos = end;
        } else if (startsWith("</")) {
            parseEndTag();
        } else if (startsWith("<!--")) {
            skipComment();
        } else if (startsWith("<![CDATA[")) {
            const size_t end = m_text.find("]]>", m_pos + 9);
            if (end == std::string::npos)
                fail("unterminated CDATA section");
            const std::string_view data = std::string_view(m_text).substr(m_pos + 9, end - m_pos - 9);
            for (char c : data)
                if (controlChar(static_cast<unsigned char>(c)))
                    fail("control character in CDATA section");
            m_open.back().element->text += data;
            m_pos = end + 3;
        } else if (startsWith("<!")) {
            fail("markup declarations are not accepted");
        } else if (startsWith("<?")) {
            skipProcessingInstruction();
        } else {
            parseStartTag();
        }
    }
}

void XmlParser::parseStartTag()
{
    ++m_pos;
    const std::string_view qname = readName();
    std::vector<std::pair<std::string, std::string>> raw;
    bool selfClosing = false;
    parseAttributes(raw, selfClosing);

    if (m_open.size() >= m_limits.maxDepth)
        fail("elements nested deeper than " + std::to_string(m_limits.maxDepth) + " levels");
    if (m_doc.m_elements.size() >= m_limits.maxElements)
        fail("more than " + std::to_string(m_limits.maxElements) + " elements");

    const size_t scopeMark = m_scopes.size();
    for (const auto& [name, value] : raw) {
        if (name == "xmlns")
            m_scopes.emplace_back("", value);
        else if (name.starts_with("xmlns:")) {
            if (value.empty())
                fail("namespace prefix '" + name.substr(6) + "' bound to an empty name");
            m_scopes.emplace_back(name.substr(6), value);
        }
    }
    XmlElement& element = m_doc.m_elements.emplace_back();
    if (!m_open.empty())
        m_open.back().element->children.push_back(&element);
    resolveNames(element, qname, raw);
    if (selfClosing)
        m_scopes.resize(scopeMark);
    else
        m_open.push_back({&element, std::string(qname), scopeMark});
}

void XmlParser::parseEndTag()
{
    m_pos += 2;
    const std::string_view qname = readName();
    skipSpace();
    if (m_pos >= m_text.size() || m_text[m_pos] != '>')
        fail("malformed end tag </" + std::string(qname) + ">");
    ++m_pos;
    if (m_open.empty() || m_open.back().qname != qname)
        fail("end tag </" + std::string(qname) + "> does not match <" +
             (m_open.empty() ? std::string() : m_open.back().qname) + ">");
    m_scopes.resize(m_open.back().scopeMark);
    m_open.pop_back();
}

void XmlParser::parseAttributes(std::vector<std::pair<std::string, std::string>>& raw, bool& selfClosing)
{
    while (true) {
        const size_t before = m_pos;
        skipSpace();
        if (m_pos >= m_text.size())
            fail("unexpected end of document in a start tag");
        if (m_text[m_pos] == '>') {
            ++m_pos;
            return;
        }
        if (startsWith("/>")) {
            m_pos += 2;
            selfClosing = true;
            return;
        }
        if (before == m_pos)
            fail("white space expected between attributes");
        std::string name(readName());
        skipSpace();
        if (m_pos >= m_text.size() || m_text[m_pos] != '=')
            fail("attribute '" + name + "' without a value");
        ++m_pos;
        skipSpace();
        if (m_pos >= m_text.size() || (m_text[m_pos] != '"' && m_text[m_pos] != '\''))
            fail("attribute '" + name + "' value not quoted");
        const char quote = m_text[m_pos++];
        const size_t end = m_text.find(quote, m_pos);
        if (end == std::string::npos)
            fail("unterminated value of attribute '" + name + "'");
        const std::string_view rawValue = std::string_view(m_text).substr(m_pos, end - m_pos);
        if (rawValue.find('<') != std::string_view::npos)
            fail("'<' in the value of attribute '" + name + "'");
        for (const auto& existing : raw)
            if (existing.first == name)
                fail("attribute '" + name + "' given twice");
        if (raw.size() >= m_limits.maxAttributes)
            fail("too many attributes");
        std::string value;
        appendText(value, rawValue, true);
        raw.emplace_back(std::move(name), std::move(value));
        m_pos = end + 1;
    }
}

void XmlParser::resolveNames(XmlElement& element, std::string_view qname,
                             const std::vector<std::pair<std::string, std::string>>& raw)
{
    const size_t colon = qname.find(':');
    if (colon == std::string_view::npos) {
        element.ns = resolvePrefix("");
        element.name = qname;
    } else {
        element.ns = resolvePrefix(qname.substr(0, colon));
        element.name = qname.substr(colon + 1);
    }
    for (const auto& [name, value] : raw) {
        if (name == "xmlns" || name.starts_with("xmlns:"))
            continue;
        const size_t c = name.find(':');
        if (c == std::string::npos)
            element.attributes.push_back({"", name, value});
        else
            element.attributes.push_back({resolvePrefix(std::string_view(name).substr(0, c)), name.substr(c + 1), value});
    }
}

std::string XmlParser::resolvePrefix(std::string_view prefix) const
{
    if (prefix == "xml")
        return std::string(xmlNamespace);
    for (auto it = m_scopes.rbegin(); it != m_scopes.rend(); ++it)
        if (it->first == prefix)
            return it->second;
    if (!prefix.empty())
        fail("undeclared namespace prefix '" + std::string(prefix) + "'");
    return {};
}

void XmlParser::appendText(std::string& out, std::string_view raw, bool attribute)
{
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (controlChar(static_cast<unsigned char>(c)))
            fail("control character in text");
        if (c != '&') {
            out += attribute && (c == '\t' || c == '\n') ? ' ' : c;
            continue;
        }
        const size_t semi = raw.find(';', i);
        if (semi == std::string_view::npos || semi - i > 12)
            fail("malformed entity reference");
        const std::string_view entity = raw.substr(i + 1, semi - i - 1);
        if (entity == "lt")
            out += '<';
        else if (entity == "gt")
            out += '>';
        else if (entity == "amp")
            out += '&';
        else if (entity == "apos")
            out += '\'';
        else if (entity == "quot")
            out += '"';
        else if (entity.size() > 1 && entity[0] == '#') {
            const bool hex = entity[1] == 'x';
            const std::string_view digits = entity.substr(hex ? 2 : 1);
            char32_t cp = 0;
            if (digits.empty())
                fail("malformed character reference");
            for (char d : digits) {
                const int v = std::isdigit(static_cast<unsigned char>(d)) ? d - '0'
                              : hex && std::isxdigit(static_cast<unsigned char>(d))
                                  ? std::tolower(static_cast<unsigned char>(d)) - 'a' + 10
                                  : -1;
                if (v < 0)
                    fail("malformed character reference");
                cp = cp * (hex ? 16 : 10) + char32_t(v);
                if (cp > 0x10FFFF)
                    fail("character reference out of range");
            }
            if (!xmlChar(cp))
                fail("character reference to a character XML does not allow");
            Utf8::append(out, cp);
        } else {
            fail("undefined entity '&" + std::string(entity) + ";'");
        }
        i = semi;
    }
}

void XmlParser::skipComment()
{
    const size_t end = m_text.find("-->", m_pos + 4);
    if (end == std::string::npos)
        fail("unterminated comment");
    m_pos = end + 3;
}

void XmlParser::skipProcessingInstruction()
{
    const size_t end = m_text.find("?>", m_pos + 2);
    if (end == std::string::npos)
        fail("unterminated processing instruction");
    m_pos = end + 2;
}

std::string_view XmlParser::readName()
{
    const size_t start = m_pos;
    if (m_pos >= m_text.size() || !nameStart(static_cast<unsigned char>(m_text[m_pos])))
        fail("name expected");
    while (m_pos < m_text.size() && nameChar(static_cast<unsigned char>(m_text[m_pos])))
        ++m_pos;
    const std::string_view name = std::string_view(m_text).substr(start, m_pos - start);
    if (name.front() == ':' || name.back() == ':' || std::count(name.begin(), name.end(), ':') > 1)
        fail("malformed name '" + std::string(name) + "'");
    return name;
}

void XmlParser::skipSpace()
{
    while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n'))
        ++m_pos;
}

bool XmlParser::startsWith(std::string_view s) const
{
    return std::string_view(m_text).substr(m_pos, s.size()) == s;
}

void XmlParser::fail(const std::string& message) const
{
    const size_t upTo = std::min(m_pos, m_text.size());
    const auto line = 1 + std::count(m_text.begin(), m_text.begin() + static_cast<std::ptrdiff_t>(upTo), '\n');
    throw XmlError("XML error at line " + std::to_string(line) + ": " + message);
}

} // namespace sapsim
