// Type names, descriptions and value displays of variants.
#include "ConvertTestSupport.h"
#include "convert/VariantDescription.h"

using namespace tolvane;
using namespace convert_test;

namespace {

TEST(VariantTypeName, EveryNamedCodeUnknownCodesAndFlags)
{
    const std::pair<VARTYPE, const wchar_t*> rows[] = {
        {0, L"VT_EMPTY"}, {1, L"VT_NULL"}, {2, L"VT_I2"}, {3, L"VT_I4"}, {4, L"VT_R4"}, {5, L"VT_R8"}, {6, L"VT_CY"},
        {7, L"VT_DATE"}, {8, L"VT_BSTR"}, {9, L"VT_DISPATCH"}, {10, L"VT_ERROR"}, {11, L"VT_BOOL"},
        {12, L"VT_VARIANT"}, {13, L"VT_UNKNOWN"}, {14, L"VT_DECIMAL"}, {16, L"VT_I1"}, {17, L"VT_UI1"},
        {18, L"VT_UI2"}, {19, L"VT_UI4"}, {20, L"VT_I8"}, {21, L"VT_UI8"}, {22, L"VT_INT"}, {23, L"VT_UINT"},
        {24, L"VT_VOID"}, {25, L"VT_HRESULT"}, {26, L"VT_PTR"}, {27, L"VT_SAFEARRAY"}, {28, L"VT_CARRAY"},
        {29, L"VT_USERDEFINED"}, {30, L"VT_LPSTR"}, {31, L"VT_LPWSTR"}, {36, L"VT_RECORD"}, {37, L"VT_INT_PTR"},
        {38, L"VT_UINT_PTR"}, {64, L"VT_FILETIME"}, {65, L"VT_BLOB"}, {66, L"VT_STREAM"}, {67, L"VT_STORAGE"},
        {68, L"VT_STREAMED_OBJECT"}, {69, L"VT_STORED_OBJECT"}, {70, L"VT_BLOB_OBJECT"}, {71, L"VT_CF"},
        {72, L"VT_CLSID"}, {73, L"VT_VERSIONED_STREAM"}, {4095, L"VT_BSTR_BLOB"},
        // codes without a name
        {15, L"UNKNOWN_VT(15)"}, {32, L"UNKNOWN_VT(32)"}, {35, L"UNKNOWN_VT(35)"}, {39, L"UNKNOWN_VT(39)"},
        {63, L"UNKNOWN_VT(63)"}, {74, L"UNKNOWN_VT(74)"}, {0x0100, L"UNKNOWN_VT(256)"}, {4094, L"UNKNOWN_VT(4094)"},
        // flags, in their fixed order
        {0x2011, L"VT_UI1|VT_ARRAY"}, {0x400C, L"VT_VARIANT|VT_BYREF"}, {0x1003, L"VT_I4|VT_VECTOR"},
        {0x8000, L"VT_EMPTY|VT_RESERVED"}, {0x6008, L"VT_BSTR|VT_ARRAY|VT_BYREF"},
        {0xF000, L"VT_EMPTY|VT_VECTOR|VT_ARRAY|VT_BYREF|VT_RESERVED"},
        {0xFFFF, L"VT_BSTR_BLOB|VT_VECTOR|VT_ARRAY|VT_BYREF|VT_RESERVED"}, {0x2100, L"UNKNOWN_VT(256)|VT_ARRAY"},
    };
    for (const auto& [code, name] : rows)
        EXPECT_EQ(VariantTypeName(code), name) << code;
}

TEST(DescribeVariant, IsTheTextAndTheTypeName)
{
    long target = 5;
    VARIANT byReference;
    V_VT(&byReference) = VT_I4 | VT_BYREF;
    V_I4REF(&byReference) = &target;
    EXPECT_EQ(DescribeVariant(I4(42).get()), L"42 (VT_I4)");
    EXPECT_EQ(DescribeVariant(Text(L"abc").get()), L"abc (VT_BSTR)");
    EXPECT_EQ(DescribeVariant(byReference), L"5 (VT_I4|VT_BYREF)");
    EXPECT_EQ(DescribeVariant(Empty().get()), L" (VT_EMPTY)");
    EXPECT_EQ(DescribeVariant(Null().get()), L" (VT_NULL)"); // no text
}

TEST(VariantValueDisplay, MarksValuesWithoutReadableText)
{
    com::variant otherError;
    V_VT(otherError.addr()) = VT_ERROR;
    V_ERROR(otherError.addr()) = E_FAIL;
    com::variant variants;
    V_VT(variants.addr()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(variants.addr()) = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    com::variant bytes = ByteArray({1, 2});
    VARIANT byReference;
    V_VT(&byReference) = VT_ARRAY | VT_UI1 | VT_BYREF;
    V_ARRAYREF(&byReference) = &V_ARRAY(bytes.addr());
    const std::pair<VARIANT, const wchar_t*> rows[] = {
        {Null().get(), L"{null}"}, {Empty().get(), L"{empty}"}, {com::variant::missing().get(), L"{empty}"},
        {otherError.get(), L"{empty}"}, {bytes.get(), L"{binary}"}, {variants.get(), L"{binary}"},
        {byReference, L"{binary}"}, {I4(-42).get(), L"-42"},
    };
    for (const auto& [value, display] : rows)
        EXPECT_EQ(VariantValueDisplay(value), display) << VariantTypeName(V_VT(&value));
    EXPECT_EQ(VariantValueDisplay(Text(L"abc").get()), L"abc");
}

} // namespace
