// Byte fields and byte arrays.
#include "ConvertTestSupport.h"
#include "convert/RawBytes.h"

#include <gtest/gtest.h>

using namespace tolvane;
using namespace convert_test;

namespace {

using ByteVector = std::vector<uint8_t>;

TEST(RawToVariantSafeArray, MakesAOneDimensionalByteArrayFromZero)
{
    const uint8_t bytes[] = {0x00, 0x7F, 0x80, 0xFF};
    com::variant out = I4(1);
    RfcRawToVariantSafeArray(out, bytes, 4);
    EXPECT_EQ(out.vt(), VT_ARRAY | VT_UI1);
    EXPECT_EQ(BytesOf(out), ByteVector({0x00, 0x7F, 0x80, 0xFF}));
}

TEST(RawToVariantSafeArray, ZeroBytesMakeAnEmptyArrayAndMissingBytesZeros)
{
    com::variant out;
    RfcRawToVariantSafeArray(out, nullptr, 0);
    EXPECT_EQ(BytesOf(out), ByteVector());
    RfcRawToVariantSafeArray(out, nullptr, 3);
    EXPECT_EQ(BytesOf(out), ByteVector({0, 0, 0}));
}

TEST(RawToVariantSafeArray, ReadsNoByteBeyondTheCount)
{
    EdgeField field(3);
    field.SetBytes({1, 2, 3});
    com::variant out;
    RfcRawToVariantSafeArray(out, field.data(), 3);
    EXPECT_EQ(BytesOf(out), ByteVector({1, 2, 3}));
}

struct ToRawRow {
    const char* name;
    com::variant value;
    size_t count;
    size_t returned;
    ByteVector written;
};

TEST(VariantSafeArrayToRaw, CopiesCutsOrFillsUpWithZeros)
{
    const ToRawRow rows[] = {
        {"null fills the count with zeros", Null(), 3, 0, {0, 0, 0}},
        {"empty fills the count with zeros", Empty(), 2, 0, {0, 0}},
        {"array of the count", Bytes({1, 2, 3}), 3, 3, {1, 2, 3}},
        {"longer array is cut", Bytes({1, 2, 3, 4, 5}), 3, 3, {1, 2, 3}},
        {"shorter array is followed by zeros", Bytes({1, 2}), 4, 4, {1, 2, 0, 0}},
        {"count 0 takes the array's size", Bytes({9, 8, 7}), 0, 3, {9, 8, 7}},
        {"lower bound other than 0", Bytes({4, 5}, 1), 2, 2, {4, 5}},
        {"empty array", Bytes({}), 2, 2, {0, 0}},
        {"string by the system's conversion", Text(L"AB"), 4, 4, {'A', 0, 'B', 0}},
    };
    for (const auto& row : rows) {
        EdgeField field(row.written.size());
        field.Fill(0xEE);
        EXPECT_EQ(RfcVariantSafeArrayToRaw(field.data(), row.value.get(), row.count), row.returned) << row.name;
        EXPECT_EQ(field.Bytes(), row.written) << row.name;
    }
}

TEST(VariantSafeArrayToRaw, ReadsAnArrayPassedByReference)
{
    com::variant bytes = Bytes({1, 2});
    VARIANT ref;
    V_VT(&ref) = VT_ARRAY | VT_UI1 | VT_BYREF;
    V_ARRAYREF(&ref) = &V_ARRAY(bytes.addr());
    uint8_t buffer[2] = {};
    EXPECT_EQ(RfcVariantSafeArrayToRaw(buffer, ref, 2), 2u);
    EXPECT_EQ(ByteVector(buffer, buffer + 2), ByteVector({1, 2}));
}

TEST(VariantSafeArrayToRaw, RefusesWhatIsNoOneDimensionalByteArray)
{
    uint8_t buffer[4] = {};
    const auto notConvertible = Thrown([&] { RfcVariantSafeArrayToRaw(buffer, R8(1.5).get(), 4); });
    ASSERT_TRUE(notConvertible);
    EXPECT_EQ(notConvertible->Kind(), XSTRING_ARRAYDIMS_EXCEPTION);
    EXPECT_EQ(notConvertible->Context(), L"RfcVariantSafeArrayToRaw(),1");
    EXPECT_EQ(notConvertible->Description(), L"");

    const auto twoDimensions = Thrown([&] { RfcVariantSafeArrayToRaw(buffer, TwoDimensionalBytes().get(), 4); });
    ASSERT_TRUE(twoDimensions);
    EXPECT_EQ(twoDimensions->Kind(), XSTRING_ARRAYDIMS_EXCEPTION);
    EXPECT_EQ(twoDimensions->Context(), L"RfcVariantSafeArrayToRaw(),2");
    EXPECT_EQ(twoDimensions->Message(),
              L"XSTRING_ARRAYDIMS_EXCEPTION(1) : (RfcVariantSafeArrayToRaw(),2, value = '{binary}')");
}

TEST(CopyVariantBytes, ACountOfZeroWritesNothing)
{
    EdgeField field(0);
    CopyVariantBytes(field.data(), Bytes({1, 2, 3}).get(), 0);
    CopyVariantBytes(field.data(), Null().get(), 0);
    SUCCEED(); // any byte written would have faulted
}

} // namespace
