#pragma once

#include <string>
#include <string_view>

namespace sapsim {

// Appends markup to a string. Text is escaped so that it reads back unchanged: carriage returns
// become character references (a parser would otherwise fold them into line feeds), and control
// characters XML cannot carry at all are replaced by U+FFFD.
class XmlWriter {
public:
    explicit XmlWriter(std::string& out) : m_out(out) {}

    void raw(std::string_view markup) { m_out += markup; }
    void open(std::string_view qname);
    void close(std::string_view qname);
    // <name>text</name>, or <name/> when the text is empty.
    void element(std::string_view qname, std::string_view text);
    void text(std::string_view text);

    static void escape(std::string& out, std::string_view text);

private:
    std::string& m_out;
};

} // namespace sapsim
