// Type names, descriptions and value displays of variants.
#include "ConvertTestSupport.h"
#include "convert/VariantDescription.h"

#include <gtest/gtest.h>

using namespace tolvane;
using namespace convert_test;

namespace {

struct NameRow {
    VARTYPE code;
    const wchar_t* name;
};

class TypeName : public testing::TestWithParam<NameRow> {};

TEST_P(TypeName, IsTheAutomationName)
{
    EXPECT_EQ(VariantTypeName(GetParam().code), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(EveryNamedCode, TypeName, testing::Values(
    NameRow{0, L"VT_EMPTY"}, NameRow{1, L"VT_NULL"}, NameRow{2, L"VT_I2"}, NameRow{3, L"VT_I4"},
    NameRow{4, L"VT_R4"}, NameRow{5, L"VT_R8"}, NameRow{6, L"VT_CY"}, NameRow{7, L"VT_DATE"},
    NameRow{8, L"VT_BSTR"}, NameRow{9, L"VT_DISPATCH"}, NameRow{10, L"VT_ERROR"}, NameRow{11, L"VT_BOOL"},
    NameRow{12, L"VT_VARIANT"}, NameRow{13, L"VT_UNKNOWN"}, NameRow{14, L"VT_DECIMAL"},
    NameRow{16, L"VT_I1"}, NameRow{17, L"VT_UI1"}, NameRow{18, L"VT_UI2"}, NameRow{19, L"VT_UI4"},
    NameRow{20, L"VT_I8"}, NameRow{21, L"VT_UI8"}, NameRow{22, L"VT_INT"}, NameRow{23, L"VT_UINT"},
    NameRow{24, L"VT_VOID"}, NameRow{25, L"VT_HRESULT"}, NameRow{26, L"VT_PTR"}, NameRow{27, L"VT_SAFEARRAY"},
    NameRow{28, L"VT_CARRAY"}, NameRow{29, L"VT_USERDEFINED"}, NameRow{30, L"VT_LPSTR"}, NameRow{31, L"VT_LPWSTR"},
    NameRow{36, L"VT_RECORD"}, NameRow{37, L"VT_INT_PTR"}, NameRow{38, L"VT_UINT_PTR"},
    NameRow{64, L"VT_FILETIME"}, NameRow{65, L"VT_BLOB"}, NameRow{66, L"VT_STREAM"}, NameRow{67, L"VT_STORAGE"},
    NameRow{68, L"VT_STREAMED_OBJECT"}, NameRow{69, L"VT_STORED_OBJECT"}, NameRow{70, L"VT_BLOB_OBJECT"},
    NameRow{71, L"VT_CF"}, NameRow{72, L"VT_CLSID"}, NameRow{73, L"VT_VERSIONED_STREAM"},
    NameRow{4095, L"VT_BSTR_BLOB"}));

INSTANTIATE_TEST_SUITE_P(UnnamedCodes, TypeName, testing::Values(
    NameRow{15, L"UNKNOWN_VT(15)"}, NameRow{32, L"UNKNOWN_VT(32)"}, NameRow{35, L"UNKNOWN_VT(35)"},
    NameRow{39, L"UNKNOWN_VT(39)"}, NameRow{63, L"UNKNOWN_VT(63)"}, NameRow{74, L"UNKNOWN_VT(74)"},
    NameRow{0x0100, L"UNKNOWN_VT(256)"}, NameRow{4094, L"UNKNOWN_VT(4094)"}));

INSTANTIATE_TEST_SUITE_P(Flags, TypeName, testing::Values(
    NameRow{0x2011, L"VT_UI1|VT_ARRAY"},
    NameRow{0x400C, L"VT_VARIANT|VT_BYREF"},
    NameRow{0x1003, L"VT_I4|VT_VECTOR"},
    NameRow{0x8000, L"VT_EMPTY|VT_RESERVED"},
    NameRow{0x6008, L"VT_BSTR|VT_ARRAY|VT_BYREF"},
    NameRow{0xF000, L"VT_EMPTY|VT_VECTOR|VT_ARRAY|VT_BYREF|VT_RESERVED"},
    NameRow{0xFFFF, L"VT_BSTR_BLOB|VT_VECTOR|VT_ARRAY|VT_BYREF|VT_RESERVED"},
    NameRow{0x2100, L"UNKNOWN_VT(256)|VT_ARRAY"}));

TEST(DescribeVariant, IsTheTextAndTheTypeName)
{
    EXPECT_EQ(DescribeVariant(I4(42).get()), L"42 (VT_I4)");
    EXPECT_EQ(DescribeVariant(Text(L"abc").get()), L"abc (VT_BSTR)");
    EXPECT_EQ(DescribeVariant(I2(-7).get()), L"-7 (VT_I2)");
    EXPECT_EQ(DescribeVariant(Empty().get()), L" (VT_EMPTY)");
}

TEST(DescribeVariant, AValueWithoutTextShowsOnlyItsType)
{
    EXPECT_EQ(DescribeVariant(Null().get()), L" (VT_NULL)");
    EXPECT_EQ(DescribeVariant(com::variant::missing().get()), L" (VT_ERROR)");
}

TEST(DescribeVariant, ReferencesAreDescribedByTheirTarget)
{
    long target = 5;
    VARIANT ref;
    V_VT(&ref) = VT_I4 | VT_BYREF;
    V_I4REF(&ref) = &target;
    EXPECT_EQ(DescribeVariant(ref), L"5 (VT_I4|VT_BYREF)");
}

struct DisplayRow {
    const char* name;
    com::variant value;
    const wchar_t* display;
};

TEST(ValueDisplay, MarksValuesWithoutReadableText)
{
    com::variant otherError;
    V_VT(otherError.addr()) = VT_ERROR;
    V_ERROR(otherError.addr()) = E_FAIL;
    SAFEARRAY* variants = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    com::variant variantArray;
    V_VT(variantArray.addr()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(variantArray.addr()) = variants;
    com::variant bytes = Bytes({1, 2});
    VARIANT byRefArray;
    V_VT(&byRefArray) = VT_ARRAY | VT_UI1 | VT_BYREF;
    V_ARRAYREF(&byRefArray) = &V_ARRAY(bytes.addr());

    const DisplayRow rows[] = {
        {"null", Null(), L"{null}"},
        {"empty", Empty(), L"{empty}"},
        {"omitted argument", com::variant::missing(), L"{empty}"},
        {"other error", otherError, L"{empty}"},
        {"byte array", bytes, L"{binary}"},
        {"variant array", variantArray, L"{binary}"},
        {"empty string", Text(L""), L""},
        {"string", Text(L"abc"), L"abc"},
        {"integer", I4(-42), L"-42"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(VariantValueDisplay(row.value.get()), row.display) << row.name;
    EXPECT_EQ(VariantValueDisplay(byRefArray), L"{binary}");
}

} // namespace
