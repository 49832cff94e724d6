// Byte fields and byte arrays.
#include "ConvertTestSupport.h"
#include "convert/RawBytes.h"

using namespace tolvane;
using namespace convert_test;

namespace {

TEST(RawToVariantSafeArray, MakesAOneDimensionalByteArrayFromZero)
{
    EdgeField field(4, {0x00, 0x7F, 0x80, 0xFF});
    com::variant out = I4(1);
    RfcRawToVariantSafeArray(out, field.data(), 4);
    EXPECT_EQ(BytesOf(out), Bytes({0x00, 0x7F, 0x80, 0xFF}));
    RfcRawToVariantSafeArray(out, nullptr, 0);
    EXPECT_EQ(BytesOf(out), Bytes());
    RfcRawToVariantSafeArray(out, nullptr, 3);
    EXPECT_EQ(BytesOf(out), Bytes({0, 0, 0}));
}

TEST(VariantSafeArrayToRaw, CopiesCutsOrFillsUpWithZeros)
{
    com::variant bytes = ByteArray({1, 2});
    VARIANT byReference;
    V_VT(&byReference) = VT_ARRAY | VT_UI1 | VT_BYREF;
    V_ARRAYREF(&byReference) = &V_ARRAY(bytes.addr());
    const struct {
        const char* name;
        com::variant value;
        size_t count, returned;
        Bytes written;
    } rows[] = {
        {"null fills the count with zeros", Null(), 3, 0, {0, 0, 0}},
        {"empty fills the count with zeros", Empty(), 2, 0, {0, 0}},
        {"array of the count", ByteArray({1, 2, 3}), 3, 3, {1, 2, 3}},
        {"longer array is cut", ByteArray({1, 2, 3, 4, 5}), 3, 3, {1, 2, 3}},
        {"shorter array is followed by zeros", ByteArray({1, 2}), 4, 4, {1, 2, 0, 0}},
        {"count 0 takes the array's size", ByteArray({9, 8, 7}), 0, 3, {9, 8, 7}},
        {"lower bound other than 0", ByteArray({4, 5}, 1), 2, 2, {4, 5}},
        {"array by reference", com::variant(byReference), 2, 2, {1, 2}},
        {"string by the system's conversion", Text(L"AB"), 4, 4, {'A', 0, 'B', 0}},
    };
    for (const auto& row : rows) {
        EdgeField field(row.written.size(), Bytes(row.written.size(), 0xEE));
        EXPECT_EQ(RfcVariantSafeArrayToRaw(field.data(), row.value.get(), row.count), row.returned) << row.name;
        EXPECT_EQ(field.Content(), row.written) << row.name;
    }
}

TEST(VariantSafeArrayToRaw, RefusesWhatIsNoOneDimensionalByteArray)
{
    uint8_t buffer[4] = {};
    EXPECT_EQ(Thrown([&] { RfcVariantSafeArrayToRaw(buffer, R8(1.5).get(), 4); }).value().Context(),
              L"RfcVariantSafeArrayToRaw(),1");
    EXPECT_EQ(Thrown([&] { RfcVariantSafeArrayToRaw(buffer, TwoDimensionalBytes().get(), 4); }).value().Message(),
              L"XSTRING_ARRAYDIMS_EXCEPTION(1) : (RfcVariantSafeArrayToRaw(),2, value = '{binary}')");
}

TEST(CopyVariantBytes, ACountOfZeroWritesNothing)
{
    EdgeField field(0); // any byte written faults
    CopyVariantBytes(field.data(), ByteArray({1, 2, 3}).get(), 0);
    CopyVariantBytes(field.data(), Null().get(), 0);
    EXPECT_TRUE(Thrown([&] { CopyVariantBytes(field.data(), R8(1.5).get(), 0); }));
}

} // namespace
