// The trace log as a file on disk: line layout, levels, continuation, cut, the options.
#include "session/TextFormat.h"
#include "session/Trace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

using namespace ostrel;

namespace {

std::wstring TempFile(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

// The file's bytes (UTF-8, CR LF line ends).
std::string Contents(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class TraceTest : public testing::Test {
protected:
    void SetUp() override
    {
        TraceClose();
        TraceLevelSet(TRACE_OFF);
        DeleteFileW(path.c_str());
        DeleteFileW(other.c_str());
    }
    void TearDown() override
    {
        TraceClose();
        TraceLevelSet(TRACE_OFF);
        DeleteFileW(path.c_str());
        DeleteFileW(other.c_str());
    }

    const std::wstring path = TempFile(L"tolvane-trace-test.log");
    const std::wstring other = TempFile(L"tolvane-trace-other.log");
};

const char kStamp[] = R"(\d{8} \d{2}:\d{2}:\d{2})";

} // namespace

TEST_F(TraceTest, AHeaderLineAndItsContinuationReadAsOneLine)
{
    ASSERT_TRUE(TraceCreate(L"Tolvane", path, true));
    TraceFormat(L"trying to connect %s (%s)...", L"DEV", L"sap01");
    TraceContinue(L"ok\n");
    TraceFormat(L"calling module '%s'\n", L"STFC_CONNECTION");
    const std::regex expected(std::string("^") + kStamp + "\t\\[Tolvane\\]\ttrying to connect DEV \\(sap01\\)\\.\\.\\.ok\r\n" +
                              kStamp + "\t\\[Tolvane\\]\tcalling module 'STFC_CONNECTION'\r\n$");
    EXPECT_TRUE(std::regex_match(Contents(path), expected)) << Contents(path);
}

TEST_F(TraceTest, TextIsWrittenAsUtf8)
{
    ASSERT_TRUE(TraceCreate(L"Tolvane", path, true));
    TraceContinue(L"Stra\u00dfe \u20ac\n");
    EXPECT_EQ(Contents(path), "Stra\xc3\x9f" "e \xe2\x82\xac\r\n");
}

TEST_F(TraceTest, LongLinesAreCutAt2048Characters)
{
    ASSERT_TRUE(TraceCreate(L"Tolvane", path, true));
    const std::wstring text(3000, L'x');
    TraceFormat(L"%s\n", text.c_str());
    const std::string line = Contents(path);
    EXPECT_EQ(line.size(), kTraceLineLimit);
    EXPECT_EQ(line.back(), 'x'); // the newline was cut off with the rest

    // Only trace lines are cut: a text built with the same formatter (a URL) keeps all of it.
    EXPECT_EQ(tolvane::FormatText(L"%s?%s", text.c_str(), text.c_str()).size(), 6001u);
}

TEST_F(TraceTest, LevelCheckedLinesFollowTheTraceLevel)
{
    ASSERT_TRUE(TraceCreate(L"NWRfcServer", path, true));
    TraceLevelSet(TRACE_ERROR);
    TraceLog(TRACE_INFORMATION, L"RfcOpenConnection: RFC_OK", L"Connect", L"file.cpp", 10);
    TraceLog(TRACE_ERROR, L"failed", L"Connect", L"file.cpp", 12);
    TraceFormat(L"printf-style lines are not level-checked\n");
    TraceLog(TRACE_ERROR, L"plain message\n", L"", L"file.cpp", 14);
    const std::string s = Contents(path);
    EXPECT_EQ(s.find("RFC_OK"), std::string::npos);
    EXPECT_TRUE(std::regex_search(s, std::regex(std::string(kStamp) + "\t\\[NWRfcServer\\]\tConnect\\(12\\): failed\r\n")));
    EXPECT_NE(s.find("printf-style lines are not level-checked"), std::string::npos);
    EXPECT_NE(s.find("]\tplain message\r\n"), std::string::npos);

    TraceLevelSet(TRACE_INFORMATION);
    TraceLogText(TRACE_INFORMATION, L"now it shows", L"", L"", 0);
    EXPECT_NE(Contents(path).find("now it shows"), std::string::npos);
}

TEST_F(TraceTest, CheckHrLogsFailuresWithTheSystemText)
{
    ASSERT_TRUE(TraceCreate(L"Tolvane", path, true));
    TraceLevelSet(TRACE_ERROR);
    EXPECT_EQ(TraceCheckHr(S_OK, L"never shown", L"f", L"", 1), S_OK);
    EXPECT_EQ(TraceCheckHr(static_cast<HRESULT>(0x8004020A), L"CallFunction failed:", L"f", L"", 2),
              static_cast<HRESULT>(0x8004020A));
    const std::string s = Contents(path);
    EXPECT_EQ(s.find("never shown"), std::string::npos);
    EXPECT_NE(s.find("f(2): CallFunction failed: IDispatch error #10"), std::string::npos) << s;
}

TEST_F(TraceTest, ABlockStandsBetweenDashedLines)
{
    ASSERT_TRUE(TraceCreate(L"Tolvane", path, true));
    TraceBlock(L"<env/>");
    EXPECT_EQ(Contents(path),
              "------------------------------\r\n<env/>\r\n------------------------------\r\n");
}

TEST_F(TraceTest, AfterCloseNothingIsWrittenUntilATraceIsCreatedAgain)
{
    ASSERT_TRUE(TraceCreate(L"Tolvane", path, true));
    EXPECT_FALSE(TraceCreate(L"Other", other, true)); // one trace per process
    TraceContinue(L"first\n");
    TraceClose();
    EXPECT_FALSE(TraceIsOpen());
    TraceContinue(L"lost\n");
    ASSERT_TRUE(TraceCreate(L"Tolvane", path, true));
    TraceContinue(L"second\n");
    EXPECT_EQ(Contents(path), "first\r\nsecond\r\n");

    // Without append the file starts empty.
    TraceClose();
    ASSERT_TRUE(TraceCreate(L"Tolvane", path, false));
    EXPECT_EQ(Contents(path), "");
}

TEST_F(TraceTest, TheTraceFileOptionExpandsTheEnvironmentAndWritesTheVersion)
{
    SetEnvironmentVariableW(L"TOLVANE_TRACE_DIR", TempFile(L"").c_str());
    ASSERT_TRUE(ApplyTraceOption(L"trace.file", L"%TOLVANE_TRACE_DIR%tolvane-trace-test.log", L"Tolvane"));
    EXPECT_TRUE(TraceIsOpen());
    EXPECT_EQ(TraceLevelGet(), TRACE_INFORMATION);

    // A second file name keeps writing into the first file, with the version line again.
    ASSERT_TRUE(ApplyTraceOption(L"trace.file", other, L"Tolvane"));
    const std::string s = Contents(path);
    const std::regex version(std::string(kStamp) + "\t\\[Tolvane\\]\tTolvane version=3\\.0\\.2\\.0\r\n");
    EXPECT_EQ(std::distance(std::sregex_iterator(s.begin(), s.end(), version), std::sregex_iterator()), 2);
    EXPECT_EQ(GetFileAttributesW(other.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(TraceTest, AnEmptyTraceFileOpensNothingButSetsTheLevel)
{
    ASSERT_TRUE(ApplyTraceOption(L"trace.file", L"", L"Tolvane"));
    EXPECT_FALSE(TraceIsOpen());
    EXPECT_EQ(TraceLevelGet(), TRACE_INFORMATION);
}

TEST_F(TraceTest, TheTraceLevelOptionTakesWordsAndDigitsInAnyCase)
{
    TraceLevelSet(TRACE_INFORMATION);
    EXPECT_TRUE(ApplyTraceOption(L"trace.level", L"warning", L"Tolvane"));
    EXPECT_EQ(TraceLevelGet(), TRACE_WARNING);
    EXPECT_TRUE(ApplyTraceOption(L"trace.level", L"1", L"Tolvane"));
    EXPECT_EQ(TraceLevelGet(), TRACE_ERROR);
    EXPECT_TRUE(ApplyTraceOption(L"trace.level", L"Information", L"Tolvane"));
    EXPECT_EQ(TraceLevelGet(), TRACE_INFORMATION);
    EXPECT_TRUE(ApplyTraceOption(L"trace.level", L"verbose", L"Tolvane"));
    EXPECT_EQ(TraceLevelGet(), TRACE_INFORMATION);

    // Option names are case-sensitive: these are only stored by their owner.
    EXPECT_FALSE(ApplyTraceOption(L"TRACE.FILE", path, L"Tolvane"));
    EXPECT_FALSE(ApplyTraceOption(L"Trace.Level", L"1", L"Tolvane"));
    EXPECT_FALSE(TraceIsOpen());
}
