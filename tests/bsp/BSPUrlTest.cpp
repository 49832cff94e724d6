// The URL rules of the BSP window as tables: the URL an application opens at, the parameters
// handed back in the exit page's URL, and where the window opens.
#include "bsp/BSPUrl.h"
#include "bsp/WindowPlacement.h"

#include <gtest/gtest.h>

using tolvane::NameValue;

namespace {

const tolvane::ApplicationServer kServer{L"http", L"sap01", 8000, L"100", L"EN"};

} // namespace

TEST(BSPUrl, ApplicationUrls)
{
    struct Case {
        const wchar_t* what;
        const wchar_t* application;
        tolvane::ApplicationServer server;
        std::vector<NameValue> parameters;
        const wchar_t* url;
    };
    const Case cases[] = {
        {L"a path without leading slash gets one, then client and language", L"sap/bc/bsp/sap/app/start.htm", kServer,
         {}, L"http://sap01:8000/sap/bc/bsp/sap/app/start.htm?sap-client=100&sap-language=EN"},
        {L"a path with its slash", L"/app.htm", kServer, {}, L"http://sap01:8000/app.htm?sap-client=100&sap-language=EN"},
        {L"a whole URL is kept, client and language added", L"https://other:44300/x/y.htm?z=1", kServer, {},
         L"https://other:44300/x/y.htm?z=1&sap-client=100&sap-language=EN"},
        {L"a protocol holding :// is not given another", L"app.htm", {L"https://", L"h", 1, L"", L""}, {},
         L"https://h:1/app.htm"},
        {L"a sap-client already there is not doubled", L"app.htm?sap-client=200", kServer, {},
         L"http://sap01:8000/app.htm?sap-client=200&sap-language=EN"},
        {L"neither is a sap-language", L"app.htm?sap-language=DE", kServer, {},
         L"http://sap01:8000/app.htm?sap-language=DE&sap-client=100"},
        {L"an empty client or language adds nothing", L"app.htm", {L"http", L"h", 80, L"", L"DE"}, {},
         L"http://h:80/app.htm?sap-language=DE"},
        {L"parameters follow in order", L"app.htm", kServer, {{L"b", L"2"}, {L"a", L"1"}, {L"b", L"3"}},
         L"http://sap01:8000/app.htm?sap-client=100&sap-language=EN&b=2&a=1&b=3"},
        {L"the first parameter opens the query", L"app.htm", {L"http", L"h", 0, L"", L""}, {{L"a", L""}, {L"b", L"2"}},
         L"http://h:0/app.htm?a=&b=2"},
        {L"nothing is escaped", L"my app.htm", {L"http", L"h", 1, L"", L""}, {{L"x y", L"1&2=3"}},
         L"http://h:1/my app.htm?x y=1&2=3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tolvane::ApplicationUrl(c.application, c.server, c.parameters), c.url) << c.what;

    // A long application is not cut.
    const std::wstring longPath(5000, L'p');
    EXPECT_EQ(tolvane::ApplicationUrl(longPath, {L"http", L"h", 1, L"", L""}, {}).size(), 11 + longPath.size());
}

TEST(BSPUrl, ReturnedParameters)
{
    struct Case {
        const wchar_t* what;
        const wchar_t* url;
        std::vector<NameValue> parameters;
    };
    const Case cases[] = {
        {L"pairs after the question mark", L"http://h/exit.htm?a=1&b=2", {{L"a", L"1"}, {L"b", L"2"}}},
        {L"no question mark, no parameters", L"http://h/exit.htm", {}},
        {L"the last question mark wins", L"http://h/p?x=1?c=3&d=4", {{L"c", L"3"}, {L"d", L"4"}}},
        {L"sap-params holds base64 of a=1&b=2", L"http://h/exit.htm?sap-params=YT0xJmI9Mg==",
         {{L"a", L"1"}, {L"b", L"2"}}},
        {L"in its place among the others", L"http://h/exit.htm?x=9&sap-params=YT0xJmI9Mg==&y=8",
         {{L"x", L"9"}, {L"a", L"1"}, {L"b", L"2"}, {L"y", L"8"}}},
        {L"decoded as UTF-8", L"http://h/e?sap-params=bj1HcsO8w59l", {{L"n", L"Gr\u00fc\u00dfe"}}},
        {L"an undecodable sap-params comes back as it is", L"http://h/e?sap-params=%%%&a=1",
         {{L"sap-params", L"%%%"}, {L"a", L"1"}}},
        {L"an empty sap-params stands for nothing", L"http://h/e?sap-params=&a=1", {{L"a", L"1"}}},
        {L"a name without value, empty pieces skipped", L"http://h/e?a&&b=", {{L"a", L""}, {L"b", L""}}},
        {L"the value is everything after the first =", L"http://h/e?t=x=y", {{L"t", L"x=y"}}},
        {L"nothing is unescaped", L"http://h/e?q=a%20b+c", {{L"q", L"a%20b+c"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tolvane::ReturnedParameters(c.url), c.parameters) << c.what;
}

TEST(BSPUrl, WindowRectangles)
{
    struct Case {
        const char* what;
        long left, top, width, height;
        RECT rect;
    };
    const SIZE screen{1920, 1080};
    const Case cases[] = {
        {"as asked", 100, 100, 500, 300, {100, 100, 600, 400}},
        {"Left beyond the screen: half its width", 5000, 100, 500, 300, {960, 100, 1460, 400}},
        {"Top beyond the screen: half its height", 10, 1081, 500, 300, {10, 540, 510, 840}},
        {"at the very edge it would be as invisible", 1920, 1080, 50, 60, {960, 540, 1010, 600}},
        {"a pixel inside it stays", 1919, 1079, 50, 60, {1919, 1079, 1969, 1139}},
        {"left of and above the screen it stays", -300, -20, 50, 60, {-300, -20, -250, 40}},
    };
    for (const Case& c : cases) {
        const RECT r = tolvane::ApplicationWindowRect(c.left, c.top, c.width, c.height, screen);
        EXPECT_EQ(r.left, c.rect.left) << c.what;
        EXPECT_EQ(r.top, c.rect.top) << c.what;
        EXPECT_EQ(r.right, c.rect.right) << c.what;
        EXPECT_EQ(r.bottom, c.rect.bottom) << c.what;
    }
}
