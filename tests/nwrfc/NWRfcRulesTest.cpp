// The NetWeaver session's rules that need no library: the connect string as the library will
// receive it, the masked traces, the search path and the trace level.
#include "nwrfc/NWRfcInit.h"
#include "nwrfc/NWRfcUtil.h"

#include <gtest/gtest.h>

using namespace tolvane;

namespace {

std::vector<std::wstring> Pairs(const std::wstring& connectString)
{
    std::vector<std::wstring> pairs;
    for (const nw::ConnectionPair& pair : nw::ParseConnectString(nw::EscapeConnectString(connectString)))
        pairs.push_back(pair.name + L"=" + pair.value);
    return pairs;
}

HRESULT ParseResult(const std::wstring& connectString)
{
    try {
        nw::ParseConnectString(nw::EscapeConnectString(connectString));
        return S_OK;
    } catch (const MessageError& e) {
        return MessageResult(e.number());
    } catch (const com::hresult_error& e) {
        return e.code();
    }
}

std::wstring ProcessPath()
{
    wchar_t value[32768] = {};
    GetEnvironmentVariableW(L"PATH", value, 32768);
    return value;
}

} // namespace

TEST(ConnectString, PairsReachTheLibraryAsTheTokenizerRulesGiveThem)
{
    const struct {
        const wchar_t* text;
        std::vector<std::wstring> pairs;
    } cases[] = {
        {L"ASHOST=host SYSNR=00 CLIENT=001", {L"ashost=host", L"sysnr=00", L"client=001"}},
        {L"PATH=/usr/sap/trans", {L"path=/usr/sap/trans"}},
        {L"TRACE_DIR=C:\\sap\\trace", {L"trace_dir=C:\\sap\\trace"}},
        {L"NAME=\"with spaces inside\" X=1", {L"name=with spaces inside", L"x=1"}},
        {L"TWO=a\\\\b", {L"two=a\\b"}},
        {L"QUOTE=say\\\"hi", {L"quote=say\"hi"}},
        {L"FINAL=end\\", {L"final=end\\"}},
        {L"EMPTY= X=a=b", {L"empty=", L"x=a=b"}},
        {L"MixedCase=Value", {L"mixedcase=Value"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pairs(c.text), c.pairs) << c.text;
}

TEST(ConnectString, ATokenWithoutANameFailsWith546)
{
    for (const wchar_t* text : {L"A=1 ", L"A=1  B=2", L" A=1", L"A=1 NOEQUALS", L"A=1 =2"})
        EXPECT_EQ(ParseResult(text), MessageResult(msg::InvalidConnectString)) << text;
}

TEST(ConnectString, TracesShowNeitherPasswordsNorTickets)
{
    const std::wstring escaped = nw::EscapeConnectString(L"ASHOST=h PassWD=\"se cret\" MYSAPSSO2=AjQxMDM= USER=u");
    EXPECT_EQ(nw::MaskedConnectString(escaped), L"ASHOST=h PassWD=******** MYSAPSSO2=******** USER=u");
    const std::vector<nw::ConnectionPair> pairs = {{L"user", L"u"}, {L"passwd", L"secret"}, {L"mysapsso2", L"t"}};
    EXPECT_EQ(nw::MaskedPairs(pairs), L"user=u,passwd=********,mysapsso2=********,");
}

TEST(InitSteps, TheSearchPathGainsTheLibraryFolderOnlyWhenItLacksIt)
{
    const std::wstring saved = ProcessPath();
    SetEnvironmentVariableW(L"PATH", L"C:\\windows;C:\\SAP\\NWRFCSDK\\LIB;D:\\tools");
    const struct {
        const wchar_t* folder;
        const wchar_t* expected;
    } cases[] = {
        {L"c:\\sap\\nwrfcsdk\\lib", L"C:\\windows;C:\\SAP\\NWRFCSDK\\LIB;D:\\tools"},
        {L"C:\\SAP", L"C:\\windows;C:\\SAP\\NWRFCSDK\\LIB;D:\\tools"}, // part of a longer entry
        {L"", L"C:\\windows;C:\\SAP\\NWRFCSDK\\LIB;D:\\tools"},
        {L"E:\\rfc", L"C:\\windows;C:\\SAP\\NWRFCSDK\\LIB;D:\\tools;E:\\rfc"},
    };
    for (const auto& c : cases) {
        nw::ExtendSearchPath(c.folder);
        EXPECT_EQ(ProcessPath(), c.expected) << c.folder;
    }
    SetEnvironmentVariableW(L"PATH", saved.c_str());
}

TEST(InitSteps, TraceLevelsMapToTheLibrarysThree)
{
    const std::pair<const wchar_t*, unsigned> cases[] = {
        {L"ERROR", 1},   {L"error", 1}, {L"1", 1},       {L"Information", 3}, {L"3", 3},
        {L"WARNING", 2}, {L"2", 2},     {L"", 2},        {L"7", 2},           {L"01", 2},
    };
    for (const auto& [text, level] : cases)
        EXPECT_EQ(nw::LibraryTraceLevel(text), level) << text;
}

TEST(TypeCodes, TheFourteenSharedCodesMapToThemselvesAndNothingElseDoes)
{
    for (long code = -2; code < 45; ++code) {
        const bool shared = (code >= 0 && code <= 10) || code == 17 || code == 29 || code == 30;
        EXPECT_EQ(nw::AbapTypeOf(static_cast<nwrfc::RFCTYPE>(code)), shared ? code : -1) << code;
        EXPECT_EQ(static_cast<long>(nw::RfcTypeOf(code)), shared ? code : static_cast<long>(nwrfc::RFCTYPE_NULL)) << code;
    }
}
