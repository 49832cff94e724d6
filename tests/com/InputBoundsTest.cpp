// Bounds on input from outside: size arithmetic that refuses to wrap, and the nesting scan
// that guards the recursive XML parser.
#include "com/SafeArray.h"
#include "com/SafeMath.h"
#include "com/XmlBounds.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace {

HRESULT CodeOf(auto&& computation)
{
    try {
        computation();
        return S_OK;
    } catch (const com::hresult_error& e) {
        return e.code();
    }
}

std::string Repeat(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

} // namespace

TEST(SafeMath, ResultsThatDoNotFitAreRefusedInsteadOfWrapping)
{
    const struct {
        const char* what;
        HRESULT (*run)();
        HRESULT expected;
    } cases[] = {
        {"product that fits", [] { return CodeOf([] { EXPECT_EQ(com::checked_mul<uint64_t>(65536, 65537), 4295032832u); }); }, S_OK},
        {"product past 32 bits", [] { return CodeOf([] { com::checked_mul<uint32_t>(65536, 65537); }); }, E_INVALIDARG},
        {"product past 64 bits", [] { return CodeOf([] { com::checked_mul<size_t>(SIZE_MAX / 2, 3); }); }, E_INVALIDARG},
        {"sum past the top", [] { return CodeOf([] { com::checked_add<long>(LONG_MAX, 1); }); }, E_INVALIDARG},
        {"negative count as unsigned", [] { return CodeOf([] { com::checked_cast<ULONG>(-1L); }); }, E_INVALIDARG},
#ifdef _WIN64 // a 32-bit size_t never exceeds ULONG
        {"element count past ULONG", [] { return CodeOf([] { com::safearray::vector(VT_UI1, size_t{1} << 33); }); }, E_INVALIDARG},
#endif
        {"cast that fits", [] { return CodeOf([] { EXPECT_EQ(com::checked_cast<short>(32767), 32767); }); }, S_OK},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.run(), c.expected) << c.what;
}

TEST(XmlBounds, MarkupThatHidesAngleBracketsIsSkippedWhole)
{
    using com::xml::Verdict;
    const std::string closes = Repeat("</a>", 300);
    const struct {
        const char* what;
        std::string text;
        Verdict expected;
    } cases[] = {
        {"at the bound", Repeat("<a>", 10), Verdict::Within},
        {"one past the bound", Repeat("<a>", 11), Verdict::TooDeep},
        {"empty elements do not nest", "<a>" + Repeat("<b/>", 100) + "</a>", Verdict::Within},
        {"closings inside a processing instruction", "<?p " + closes + " ?>" + Repeat("<a>", 11), Verdict::TooDeep},
        {"a '>' inside a processing instruction", "<?p a>b " + closes + " ?>" + Repeat("<a>", 11), Verdict::TooDeep},
        {"closings inside a comment", "<!-- " + closes + " -->" + Repeat("<a>", 11), Verdict::TooDeep},
        {"closings inside CDATA", "<a><![CDATA[" + closes + "]]>" + Repeat("<a>", 10), Verdict::TooDeep},
        {"closings inside attribute values", "<a x='" + closes + "'>" + Repeat("<a>", 10), Verdict::TooDeep},
        {"more closings than openings", closes + Repeat("<a>", 11), Verdict::TooDeep},
        {"document type", "<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>", Verdict::Declaration},
        {"document type after a comment", "<!-- c --><!DOCTYPE a><a/>", Verdict::Declaration},
        {"XML declaration", "<?xml version=\"1.0\"?><a/>", Verdict::Within},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(com::xml::check_bounds(c.text, 10), c.expected) << c.what;
        const std::wstring wide(c.text.begin(), c.text.end());
        EXPECT_EQ(com::xml::check_bounds(wide, 10), c.expected) << c.what << " (wide)";
    }
}
