// White space trimmed from the ends of fixed-width text.
#include "convert/WhiteSpace.h"

#include <gtest/gtest.h>

#include <string>

using namespace tolvane;

namespace {

// Trailing blanks go in runs of eight before the rest are tested one by one: the cases sit on
// both sides of a run, mix other white space into the tail and keep blanks inside the text.
TEST(WhiteSpace, TrimsBothEndsAndOnlyWhiteSpace)
{
    const std::wstring blanks8(8, L' ');
    const struct {
        std::wstring text;
        std::wstring trimmedEnd;
        std::wstring trimmed;
    } rows[] = {
        {L"", L"", L""},
        {std::wstring(7, L' '), L"", L""},
        {blanks8, L"", L""},
        {std::wstring(17, L' '), L"", L""},
        {L"ab" + blanks8, L"ab", L"ab"},
        {L"ab" + std::wstring(9, L' '), L"ab", L"ab"},
        {L"ab" + std::wstring(7, L' '), L"ab", L"ab"},
        {L"a" + blanks8 + L"b" + blanks8 + blanks8, L"a" + blanks8 + L"b", L"a" + blanks8 + L"b"},
        {L"ab\t" + blanks8 + L"\t  ", L"ab", L"ab"},
        {L"ab\x3000" + blanks8, L"ab", L"ab"},
        {L"ab\n   x" + blanks8, L"ab\n   x", L"ab\n   x"},
        {L" \t" + blanks8 + L"ab" + blanks8, L" \t" + blanks8 + L"ab", L"ab"},
        {L"1234567" + blanks8, L"1234567", L"1234567"},
        {L"12345678", L"12345678", L"12345678"},
        {L"abcd    ", L"abcd", L"abcd"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TrimEnd(row.text), row.trimmedEnd) << testing::PrintToString(row.text);
        EXPECT_EQ(Trim(row.text), row.trimmed) << testing::PrintToString(row.text);
    }
}

} // namespace
