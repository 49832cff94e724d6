#include "ClassicConnectString.h"

#include <array>
#include <cwctype>

namespace tolvane::classicrfc {
namespace {

void Append(std::wstring& text, std::wstring_view key, std::wstring_view value)
{
    if (value.empty())
        return;
    text += L' ';
    text += key;
    text += L'=';
    text += value;
}

std::wstring Upper(std::wstring_view text)
{
    std::wstring upper(text);
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    return upper;
}

bool IsSecretKey(std::wstring_view key)
{
    static constexpr std::array<std::wstring_view, 5> kSecrets = {L"PASSWD", L"NEWPASS", L"MYSAPSSO", L"MYSAPSSO2",
                                                                  L"X509CERT"};
    const std::wstring upper = Upper(key);
    for (std::wstring_view secret : kSecrets)
        if (upper == secret)
            return true;
    return false;
}

// The end of a value that starts at `start`: a quoted one ends after its closing quote (a
// backslash escapes the next character), any other at the next blank.
size_t ValueEnd(std::wstring_view text, size_t start)
{
    if (start < text.size() && text[start] == L'"') {
        for (size_t i = start + 1; i < text.size(); ++i) {
            if (text[i] == L'\\')
                ++i;
            else if (text[i] == L'"')
                return i + 1;
        }
        return text.size();
    }
    const size_t blank = text.find_first_of(L" \t\r\n", start);
    return blank == std::wstring_view::npos ? text.size() : blank;
}

} // namespace

std::wstring QuotedLogonValue(std::wstring_view value)
{
    if (value.find_first_of(L" \"\\,/@:;_") == std::wstring_view::npos)
        return std::wstring(value);
    std::wstring quoted = L"\"";
    for (wchar_t c : value) {
        if (c == L'"' || c == L'\\')
            quoted += L'\\';
        quoted += c;
    }
    quoted += L'"';
    return quoted;
}

std::wstring BuildConnectString(const ConnectValues& v)
{
    std::wstring text(v.base);
    Append(text, L"CLIENT", v.client);
    Append(text, L"USER", v.user.empty() ? std::wstring() : QuotedLogonValue(v.user));
    Append(text, L"PASSWD", v.password.empty() ? std::wstring() : QuotedLogonValue(v.password));
    Append(text, L"LANG", Upper(v.language));
    Append(text, L"MYSAPSSO2", v.ticket);
    Append(text, L"X509CERT", v.certificate);
    Append(text, L"EXTIDDATA", v.extIdData);
    Append(text, L"EXTIDTYPE", v.extIdType);
    if (v.visualMode != 0)
        Append(text, L"USE_SAPGUI", std::to_wstring(v.visualMode));
    if (v.debug)
        Append(text, L"ABAP_DEBUG", L"1");
    return text;
}

std::wstring MaskedConnectString(std::wstring_view text)
{
    std::wstring masked(text);
    size_t position = 0;
    while (position < text.size()) {
        const size_t start = text.find_first_not_of(L" \t\r\n", position);
        if (start == std::wstring_view::npos)
            break;
        const size_t equals = text.find(L'=', start);
        const size_t blank = text.find_first_of(L" \t\r\n", start);
        if (equals == std::wstring_view::npos || equals > blank) {
            position = blank == std::wstring_view::npos ? text.size() : blank;
            continue;
        }
        const size_t end = ValueEnd(text, equals + 1);
        if (IsSecretKey(text.substr(start, equals - start)))
            masked.replace(equals + 1, end - equals - 1, end - equals - 1, L'*');
        position = end;
    }
    return masked;
}

} // namespace tolvane::classicrfc
