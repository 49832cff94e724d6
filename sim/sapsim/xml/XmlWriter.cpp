#include "xml/XmlWriter.h"

namespace sapsim {

void XmlWriter::open(std::string_view qname)
{
    m_out += '<';
    m_out += qname;
    m_out += '>';
}

void XmlWriter::close(std::string_view qname)
{
    m_out += "</";
    m_out += qname;
    m_out += '>';
}

void XmlWriter::element(std::string_view qname, std::string_view text)
{
    if (text.empty()) {
        m_out += '<';
        m_out += qname;
        m_out += "/>";
        return;
    }
    open(qname);
    escape(m_out, text);
    close(qname);
}

void XmlWriter::text(std::string_view text)
{
    escape(m_out, text);
}

void XmlWriter::escape(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\r': out += "&#13;"; break;
        case '\t':
        case '\n': out += c; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out += "\xEF\xBF\xBD";
            else
                out += c;
        }
    }
}

} // namespace sapsim
