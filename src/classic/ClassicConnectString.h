#pragma once
// The connect string the classic library opens a connection with: the system data's own, then
// the logon data and the session's switches as KEY=value pairs. Values with blanks or special
// characters are written between double quotes, a backslash before every quote and backslash
// inside (the library reads a backslash as an escape).
#include <string>
#include <string_view>

namespace tolvane::classicrfc {

struct ConnectValues {
    std::wstring_view base{}; // the system data's connect string
    std::wstring_view client{}, user{}, password{}, language{}, ticket{}, certificate{}, extIdData{}, extIdType{};
    short visualMode = 0;
    bool debug = false;
};

std::wstring BuildConnectString(const ConnectValues& values);

// A user or password as the connect string carries it: quoted when it holds a blank, a quote,
// a backslash, a comma, a slash, an at sign, a colon, a semicolon or an underscore.
std::wstring QuotedLogonValue(std::wstring_view value);

// A connect string as traces show it: the values of PASSWD, NEWPASS, MYSAPSSO, MYSAPSSO2 and
// X509CERT (keys in any letter case, values quoted or not) replaced by asterisks, every one.
std::wstring MaskedConnectString(std::wstring_view text);

} // namespace tolvane::classicrfc
