#include "ConnectString.h"

#include "ApiFailure.h"
#include "WideText.h"

namespace classicrfc {
namespace {

bool blank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

bool nameChar(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'_';
}

class Reader {
public:
    explicit Reader(std::wstring_view text) : m_text(text) {}

    bool atEnd()
    {
        while (m_pos < m_text.size() && blank(m_text[m_pos]))
            ++m_pos;
        return m_pos == m_text.size();
    }

    std::wstring name()
    {
        const size_t start = m_pos;
        while (m_pos < m_text.size() && nameChar(m_text[m_pos]))
            ++m_pos;
        if (m_pos == start || m_pos == m_text.size() || m_text[m_pos] != L'=')
            invalidParameter("connect string: a parameter name followed by '=' expected at position " + std::to_string(start + 1));
        ++m_pos;
        return std::wstring(m_text.substr(start, m_pos - 1 - start));
    }

    std::wstring value()
    {
        if (m_pos < m_text.size() && m_text[m_pos] == L'"')
            return quoted();
        const size_t start = m_pos;
        while (m_pos < m_text.size() && !blank(m_text[m_pos]))
            ++m_pos;
        return std::wstring(m_text.substr(start, m_pos - start));
    }

private:
    std::wstring quoted()
    {
        const size_t start = m_pos++;
        std::wstring out;
        while (m_pos < m_text.size()) {
            const wchar_t c = m_text[m_pos++];
            if (c == L'"') {
                if (m_pos < m_text.size() && !blank(m_text[m_pos]))
                    invalidParameter("connect string: a blank expected after the quoted value at position " + std::to_string(start + 1));
                return out;
            }
            if (c == L'\\' && m_pos < m_text.size() && (m_text[m_pos] == L'"' || m_text[m_pos] == L'\\'))
                out += m_text[m_pos++];
            else
                out += c;
        }
        invalidParameter("connect string: the quoted value at position " + std::to_string(start + 1) + " has no closing quote");
    }

    std::wstring_view m_text;
    size_t m_pos = 0;
};

} // namespace

ConnectString ConnectString::parse(std::wstring_view text)
{
    ConnectString out;
    Reader reader(text);
    while (!reader.atEnd()) {
        const std::wstring name = reader.name();
        out.m_received.emplace_back(utf8(name), utf8(reader.value()));
    }
    return out;
}

std::string ConnectString::get(std::string_view upperName) const
{
    for (auto it = m_received.rbegin(); it != m_received.rend(); ++it)
        if (upper(it->first) == upperName)
            return it->second;
    return {};
}

bool ConnectString::has(std::string_view upperName) const
{
    for (const auto& [name, value] : m_received)
        if (upper(name) == upperName)
            return true;
    return false;
}

} // namespace classicrfc
