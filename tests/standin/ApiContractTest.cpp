// The library's surface: exports, version, texts, bad handles and null pointers, the trace.
#include "StandIn.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

using namespace standin;

TEST(ApiContract, EveryFunctionIsExportedByName)
{
    EXPECT_TRUE(nw().missing.empty()) << nw().missing.front();
    unsigned major = 0, minor = 0, patch = 0;
    EXPECT_NE(nullptr, nw().RfcGetVersion(&major, &minor, &patch));
    EXPECT_EQ(1u, major);
    EXPECT_EQ(1u, minor);
    EXPECT_EQ(0u, patch);
    EXPECT_EQ(RFC_OK, nw().RfcInit());
}

TEST(ApiContract, TextsOfCodesTypesAndDirections)
{
    EXPECT_EQ("RFC_OK", utf8(nw().RfcGetRcAsString(RFC_OK)));
    EXPECT_EQ("RFC_ABAP_EXCEPTION", utf8(nw().RfcGetRcAsString(RFC_ABAP_EXCEPTION)));
    EXPECT_EQ("RFC_AUTHORIZATION_FAILURE", utf8(nw().RfcGetRcAsString(RFC_AUTHORIZATION_FAILURE)));
    EXPECT_EQ("RFC_UNKNOWN_RC", utf8(nw().RfcGetRcAsString(static_cast<RFC_RC>(99))));
    EXPECT_EQ("RFCTYPE_XSTRING", utf8(nw().RfcGetTypeAsString(RFCTYPE_XSTRING)));
    EXPECT_EQ("RFCTYPE_BCD", utf8(nw().RfcGetTypeAsString(RFCTYPE_BCD)));
    EXPECT_EQ("RFCTYPE_UNKNOWN", utf8(nw().RfcGetTypeAsString(static_cast<RFCTYPE>(12))));
    EXPECT_EQ("RFC_TABLES", utf8(nw().RfcGetDirectionAsString(RFC_TABLES)));
    EXPECT_EQ("RFC_CHANGING", utf8(nw().RfcGetDirectionAsString(RFC_CHANGING)));
}

TEST(ApiContract, BadHandlesAndNullPointersAreRefusedNotFollowed)
{
    int notAnObject = 0;
    void* forged = &notAnObject;
    Connection c(logon());
    Function f(c.handle(), L"STFC_CONNECTION");
    wchar_t buffer[8];
    unsigned count = 0;
    using Call = std::function<RFC_RC(Error&)>;
    const struct Case {
        const char* what;
        RFC_RC code;
        Call call;
    } cases[] = {
        {"invoke on a forged connection", RFC_INVALID_HANDLE,
         [&](Error& e) { return nw().RfcInvoke(static_cast<RFC_CONNECTION_HANDLE>(forged), f.handle(), &e); }},
        {"invoke with a connection as the function", RFC_INVALID_HANDLE,
         [&](Error& e) { return nw().RfcInvoke(c.handle(), reinterpret_cast<RFC_FUNCTION_HANDLE>(c.handle()), &e); }},
        {"close a null connection", RFC_INVALID_HANDLE, [&](Error& e) { return nw().RfcCloseConnection(nullptr, &e); }},
        {"value of a forged container", RFC_INVALID_HANDLE,
         [&](Error& e) { return nw().RfcGetChars(static_cast<DATA_CONTAINER_HANDLE>(forged), L"X", buffer, 8, &e); }},
        {"rows of a function", RFC_INVALID_HANDLE, [&](Error& e) { return nw().RfcGetRowCount(f.handle(), &count, &e); }},
        {"parameters of a forged description", RFC_INVALID_HANDLE,
         [&](Error& e) { return nw().RfcGetParameterCount(static_cast<RFC_FUNCTION_DESC_HANDLE>(forged), &count, &e); }},
        {"submit a null transaction", RFC_INVALID_HANDLE, [&](Error& e) { return nw().RfcSubmitTransaction(nullptr, &e); }},
        {"listen on a client connection", RFC_INVALID_HANDLE, [&](Error& e) { return nw().RfcListenAndDispatch(c.handle(), 0, &e); }},
        {"null buffer", RFC_INVALID_PARAMETER, [&](Error& e) { return nw().RfcGetChars(f.handle(), L"ECHOTEXT", nullptr, 8, &e); }},
        {"null field name", RFC_INVALID_PARAMETER, [&](Error& e) { return nw().RfcSetChars(f.handle(), nullptr, L"x", 1, &e); }},
        {"null value with a length", RFC_INVALID_PARAMETER, [&](Error& e) { return nw().RfcSetChars(f.handle(), L"REQUTEXT", nullptr, 3, &e); }},
        {"null count", RFC_INVALID_PARAMETER,
         [&](Error& e) { return nw().RfcGetParameterCount(nw().RfcDescribeFunction(f.handle(), &e), nullptr, &e); }},
        {"null parameter array", RFC_INVALID_PARAMETER, [&](Error& e) { return nw().RfcOpenConnection(nullptr, 2, &e) ? RFC_OK : e.code; }},
        {"null parameter name", RFC_INVALID_PARAMETER, [&](Error& e) {
             RFC_CONNECTION_PARAMETER p{nullptr, L"x"};
             return nw().RfcOpenConnection(&p, 1, &e) ? RFC_OK : e.code;
         }},
        {"null trace directory", RFC_INVALID_PARAMETER, [&](Error& e) { return nw().RfcSetTraceDir(nullptr, &e); }},
        {"missing trace directory", RFC_INVALID_PARAMETER,
         [&](Error& e) { return nw().RfcSetTraceDir(const_cast<SAP_UC*>(L"C:\\no\\such\\dir"), &e); }},
    };
    for (const Case& test : cases) {
        Error e;
        EXPECT_EQ(test.code, test.call(e)) << test.what;
        EXPECT_EQ(test.code, e.code) << test.what;
        EXPECT_FALSE(e.text().empty()) << test.what;
    }
    EXPECT_EQ(RFC_INVALID_HANDLE, nw().RfcCloseConnection(static_cast<RFC_CONNECTION_HANDLE>(forged), nullptr))
        << "a null error record is allowed";
}

TEST(ApiContract, TraceHasCallsButNoSecrets)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const auto dir = std::filesystem::path(temp) / ("standin-trace-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    std::wstring dirText = dir.wstring();
    Error e;
    ASSERT_EQ(RFC_OK, nw().RfcSetTraceDir(dirText.data(), &e)) << e.text();
    ASSERT_EQ(RFC_OK, nw().RfcSetTraceLevel(nullptr, nullptr, 3, &e));
    {
        Connection c(logon());
        Function f(c.handle(), L"STFC_CONNECTION");
        setChars(f.handle(), L"REQUTEXT", L"traced");
        ASSERT_EQ(RFC_OK, f.invoke(c.handle(), e));
        Error refused;
        open(logon(L"DEMO", L"secret99"), refused);
    }
    nw().RfcSetTraceLevel(nullptr, nullptr, 0, &e);
    std::stringstream trace;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        trace << std::ifstream(entry.path()).rdbuf();
    const std::string text = trace.str();
    EXPECT_NE(std::string::npos, text.find("RfcInvoke STFC_CONNECTION")) << text;
    EXPECT_NE(std::string::npos, text.find("RFC_LOGON_FAILURE")) << text;
    EXPECT_NE(std::string::npos, text.find("passwd=********")) << text;
    EXPECT_EQ(std::string::npos, text.find("demo1234"));
    EXPECT_EQ(std::string::npos, text.find("secret99"));
    EXPECT_EQ(std::string::npos, text.find("traced")) << "values stay out of the trace";
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
