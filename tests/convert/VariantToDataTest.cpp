// Variant to field, for every ABAP type. Every field ends at the edge of readable memory, so a
// conversion that writes past it faults.
#include "ConvertTestSupport.h"
#include "convert/FieldConversion.h"
#include "idl/Tolvane_h.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

using namespace tolvane;
using namespace convert_test;

namespace {

using ByteVector = std::vector<uint8_t>;

// The size of a field image of `type` with descriptor length `length`.
size_t ImageSize(int type, int length)
{
    const size_t n = static_cast<size_t>(std::max(length, 0));
    switch (type) {
    case TYPE_CHAR:
    case TYPE_NUM:
        return 2 * n;
    case TYPE_DATE:
        return 16;
    case TYPE_TIME:
        return 12;
    case TYPE_BCD:
        return n / 2 + 1;
    case TYPE_BYTE:
        return n;
    case TYPE_FLOAT:
        return 8;
    case TYPE_INT:
        return 4;
    case TYPE_INT2:
        return 2;
    case TYPE_INT1:
        return 1;
    case TYPE_STRING:
        return sizeof(RfcStringHandle);
    case TYPE_XSTRING:
        return sizeof(RfcXStringImage);
    default:
        return 8;
    }
}

// The field as the caller prepares it: filled with the type's fill character.
void Prepare(EdgeField& field, int type)
{
    const wchar_t fill = FieldFillChar(type);
    if (type == TYPE_CHAR || type == TYPE_NUM || type == TYPE_DATE || type == TYPE_TIME)
        field.FillChars(fill);
    else
        field.Fill(static_cast<uint8_t>(fill));
}

ByteVector Write(int type, int length, int decimals, const com::variant& value, RfcStringHandles& strings)
{
    EdgeField field(ImageSize(type, length));
    Prepare(field, type);
    EXPECT_EQ(RfcVariantToData(field.data(), type, length, decimals, value.get(), strings), 0);
    return field.Bytes();
}

ByteVector Write(int type, int length, int decimals, const com::variant& value)
{
    MemoryStringHandles strings;
    return Write(type, length, decimals, value, strings);
}

std::wstring WrittenText(int type, int length, const com::variant& value)
{
    const ByteVector bytes = Write(type, length, 0, value);
    std::wstring text(bytes.size() / 2, L'\0');
    std::memcpy(text.data(), bytes.data(), bytes.size());
    return text;
}

template <class T>
T WrittenValue(int type, const com::variant& value)
{
    const ByteVector bytes = Write(type, 0, 0, value);
    T result;
    std::memcpy(&result, bytes.data(), sizeof result);
    return result;
}

// ---- character fields -----------------------------------------------------------------------

struct TextRow {
    const char* name;
    int type;
    int length;
    com::variant value;
    std::wstring image;
};

TEST(VariantToCharacterFields, WritesTheImage)
{
    const TextRow rows[] = {
        {"CHAR cut at its length", TYPE_CHAR, 5, Text(L"ABCDEFG"), L"ABCDE"},
        {"CHAR keeps its fill after a short text", TYPE_CHAR, 5, Text(L"AB"), L"AB   "},
        {"CHAR of exactly its length", TYPE_CHAR, 3, Text(L"XYZ"), L"XYZ"},
        {"CHAR of length 0", TYPE_CHAR, 0, Text(L"ABC"), L""},
        {"CHAR of negative length", TYPE_CHAR, -3, Text(L"ABC"), L""},
        {"CHAR from an integer", TYPE_CHAR, 4, I4(-42), L"-42 "},
        {"CHAR from empty", TYPE_CHAR, 3, Empty(), L"   "},
        {"CHAR keeps leading blanks", TYPE_CHAR, 4, Text(L" A"), L" A  "},
        {"CHAR outside the basic plane", TYPE_CHAR, 3, Text(L"\xD83D\xDE00z"), L"\xD83D\xDE00z"},
        {"NUM from an integer", TYPE_NUM, 6, I4(42), L"000042"},
        {"NUM from a text of exactly its length", TYPE_NUM, 6, Text(L"123456"), L"123456"},
        {"NUM does not test for digits", TYPE_NUM, 6, Text(L"12a"), L"00012a"},
        {"NUM from an empty text", TYPE_NUM, 3, Text(L""), L"000"},
        {"NUM of length 0 from an empty text", TYPE_NUM, 0, Text(L""), L""},
        {"DATE from its text", TYPE_DATE, 8, Text(L"20180719"), L"20180719"},
        {"DATE from a date", TYPE_DATE, 8, Date(2018, 3, 5), L"20180305"},
        {"DATE from an empty string", TYPE_DATE, 8, Text(L""), L"00000000"},
        {"DATE ignores the length", TYPE_DATE, 0, Date(2018, 3, 5), L"20180305"},
        {"TIME from its text with colons", TYPE_TIME, 6, Text(L"07:05:09"), L"070509"},
        {"TIME from a date", TYPE_TIME, 6, Date(2018, 3, 5, 13, 30, 0), L"133000"},
        {"TIME from empty", TYPE_TIME, 6, Empty(), L"000000"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(WrittenText(row.type, row.length, row.value), row.image) << row.name;
}

// ---- numbers --------------------------------------------------------------------------------

struct IntRow {
    const char* name;
    int type;
    com::variant value;
    long long expected;
};

long long WrittenInteger(int type, const com::variant& value)
{
    switch (type) {
    case TYPE_INT:
        return WrittenValue<int32_t>(type, value);
    case TYPE_INT2:
        return WrittenValue<int16_t>(type, value);
    default:
        return WrittenValue<uint8_t>(type, value);
    }
}

TEST(VariantToIntegerFields, WritesTheBoundaryValues)
{
    const IntRow rows[] = {
        {"INT lowest", TYPE_INT, R8(-2147483648.0), std::numeric_limits<int32_t>::min()},
        {"INT highest", TYPE_INT, R8(2147483647.0), std::numeric_limits<int32_t>::max()},
        {"INT from text", TYPE_INT, Text(L"-123456"), -123456},
        {"INT from a 2-byte integer", TYPE_INT, I2(-5), -5},
        {"INT from a boolean", TYPE_INT, com::variant(true), -1},
        {"INT2 lowest", TYPE_INT2, I4(-32768), -32768},
        {"INT2 highest", TYPE_INT2, I4(32767), 32767},
        {"INT2 from text", TYPE_INT2, Text(L"-32768"), -32768},
        {"INT2 rounds halves to even", TYPE_INT2, R8(2.5), 2},
        {"INT1 lowest", TYPE_INT1, I4(0), 0},
        {"INT1 highest", TYPE_INT1, I4(255), 255},
        {"INT1 from text", TYPE_INT1, Text(L"200"), 200},
    };
    for (const auto& row : rows)
        EXPECT_EQ(WrittenInteger(row.type, row.value), row.expected) << row.name;
}

TEST(VariantToFloatField, KeepsEveryDouble)
{
    const double values[] = {0.0, -0.0, 1.5, -1e-300, std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (double value : values) {
        const double written = WrittenValue<double>(TYPE_FLOAT, R8(value));
        EXPECT_EQ(std::memcmp(&written, &value, sizeof value), 0) << value;
    }
    EXPECT_TRUE(std::isnan(WrittenValue<double>(TYPE_FLOAT, R8(std::numeric_limits<double>::quiet_NaN()))));
    EXPECT_EQ(WrittenValue<double>(TYPE_FLOAT, R4(-std::numeric_limits<float>::infinity())),
              -std::numeric_limits<double>::infinity());
    EXPECT_EQ(WrittenValue<double>(TYPE_FLOAT, I4(7)), 7.0);
}

// ---- packed numbers -------------------------------------------------------------------------

struct BcdRow {
    const char* name;
    int length;
    int decimals;
    com::variant value;
    ByteVector image;
};

TEST(VariantToPackedField, WritesTheImage)
{
    com::variant currency;
    V_VT(currency.addr()) = VT_CY;
    V_CY(currency.addr()).int64 = -12345; // -1.2345
    const BcdRow rows[] = {
        {"integer", 5, 0, I4(-42), {0x00, 0x04, 0x2D}},
        {"text with decimals", 5, 2, Text(L"123.45"), {0x12, 0x34, 0x5C}},
        {"even digit count still has n / 2 + 1 bytes", 4, 0, Text(L"99999"), {0x99, 0x99, 0x9C}},
        {"currency rounded to the field's decimals", 5, 2, currency, {0x00, 0x12, 0x3D}},
        {"length 0 is one byte", 0, 0, Text(L"7"), {0x7C}},
        {"empty string is zero", 3, 1, Text(L""), {0x00, 0x0C}},
        {"decimal variant of 20 digits", 31, 0, Text(L"12345678901234567890").as(VT_DECIMAL),
         {0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x23, 0x45, 0x67, 0x89, 0x01, 0x23, 0x45, 0x67, 0x89, 0x0C}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Write(TYPE_BCD, row.length, row.decimals, row.value), row.image) << row.name;
}

// ---- byte fields ----------------------------------------------------------------------------

TEST(VariantToByteField, CopiesCutsOrFillsUpWithZeros)
{
    EXPECT_EQ(Write(TYPE_BYTE, 4, 0, Bytes({1, 2, 3, 4})), ByteVector({1, 2, 3, 4}));
    EXPECT_EQ(Write(TYPE_BYTE, 4, 0, Bytes({1, 2, 3, 4, 5, 6})), ByteVector({1, 2, 3, 4}));
    EXPECT_EQ(Write(TYPE_BYTE, 4, 0, Bytes({1, 2})), ByteVector({1, 2, 0, 0}));
    EXPECT_EQ(Write(TYPE_BYTE, 3, 0, Null()), ByteVector({0, 0, 0}));
    EXPECT_EQ(Write(TYPE_BYTE, 0, 0, Bytes({1, 2, 3})), ByteVector());
}

// ---- strings through the library's handles --------------------------------------------------

std::string StringBehind(const ByteVector& field)
{
    RfcStringHandle handle = nullptr;
    std::memcpy(&handle, field.data(), sizeof handle);
    return handle ? std::string(reinterpret_cast<const char*>(handle)) : std::string("<null>");
}

TEST(VariantToStringField, StoresAHandleToZeroTerminatedUtf8)
{
    MemoryStringHandles strings;
    const ByteVector field = Write(TYPE_STRING, 0, 0, Text(L"Gr\x00FC\x00DF" L"e \x20AC"), strings);
    EXPECT_EQ(StringBehind(field), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC");
    EXPECT_EQ(strings.lastStringSize, 11u); // the UTF-8 bytes; the library adds the terminator
    RfcStringHandle handle = nullptr;
    std::memcpy(&handle, field.data(), sizeof handle);
    EXPECT_TRUE(strings.Owns(handle));

    EXPECT_EQ(StringBehind(Write(TYPE_STRING, 0, 0, I4(12), strings)), "12");
    EXPECT_EQ(StringBehind(Write(TYPE_STRING, 0, 0, Text(L""), strings)), "");
    EXPECT_EQ(strings.lastStringSize, 0u);
}

TEST(VariantToStringField, AFailedAllocationIsAMemoryError)
{
    MemoryStringHandles strings;
    strings.failNext = true;
    const auto error = Thrown([&] { Write(TYPE_STRING, 0, 0, Text(L"abc"), strings); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Kind(), MEMORY_ALLOC_EXCEPTION);
    EXPECT_EQ(error->Description() + error->Context() + error->Value(), L"");
}

struct XStringField {
    RfcXStringImage image;
    ByteVector content;
};

XStringField WriteXString(const com::variant& value, MemoryStringHandles& strings, RfcXStringImage start = {0, nullptr})
{
    EdgeField field(sizeof(RfcXStringImage));
    std::memcpy(field.data(), &start, sizeof start);
    RfcVariantToData(field.data(), TYPE_XSTRING, 0, 0, value.get(), strings);
    XStringField result{field.Value<RfcXStringImage>(), {}};
    if (result.image.content)
        result.content.assign(result.image.content, result.image.content + result.image.length);
    return result;
}

TEST(VariantToXStringField, SizesTheByteStringThroughTheLibraryAndCopies)
{
    MemoryStringHandles strings;
    const XStringField written = WriteXString(Bytes({0xDE, 0xAD, 0xBE, 0xEF}), strings);
    EXPECT_EQ(written.image.length, 4);
    EXPECT_TRUE(strings.Owns(written.image.content));
    EXPECT_EQ(written.content, ByteVector({0xDE, 0xAD, 0xBE, 0xEF}));

    // A field that already holds a byte string is resized, not leaked.
    const XStringField shorter = WriteXString(Bytes({7}), strings, written.image);
    EXPECT_EQ(shorter.content, ByteVector({7}));
    EXPECT_EQ(strings.Live(), 1u);

    const XStringField empty = WriteXString(Bytes({}), strings, shorter.image);
    EXPECT_EQ(empty.image.length, 0);
    EXPECT_EQ(empty.image.content, nullptr);
    EXPECT_EQ(strings.Live(), 0u);
}

TEST(VariantToXStringField, RefusesWhatIsNoOneDimensionalByteArray)
{
    MemoryStringHandles strings;
    for (const auto& value : {TwoDimensionalBytes(), Empty(), R8(1.5)}) {
        const auto error = Thrown([&] { WriteXString(value, strings); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->Kind(), XSTRING_ARRAYDIMS_EXCEPTION);
        EXPECT_EQ(error->Description(), L"");
        EXPECT_EQ(error->Context(), L"RfcVariantToData(),TYPE_XSTRING");
    }
    EXPECT_EQ(strings.calls, 0);
}

TEST(VariantToXStringField, AFailedResizeIsAMemoryError)
{
    MemoryStringHandles strings;
    strings.failNext = true;
    const auto error = Thrown([&] { WriteXString(Bytes({1}), strings); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Kind(), MEMORY_ALLOC_EXCEPTION);
    EXPECT_EQ(error->Context(), L"RfcVariantToData(),TYPE_XSTRING");
}

// ---- failures -------------------------------------------------------------------------------

struct FailureRow {
    const char* name;
    int type;
    int length;
    com::variant value;
    uint32_t kind;
    const wchar_t* description;
    const wchar_t* context;
    const wchar_t* display;
};

TEST(VariantToDataFailures, CarryKindMessageLocationAndValue)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const FailureRow rows[] = {
        {"CHAR from null", TYPE_CHAR, 5, Null(), STRING_CONVERSION, L"cannot convert to string",
         L"RfcVariantToData(),TYPE_CHAR", L"{null}"},
        {"CHAR from an array", TYPE_CHAR, 5, TwoDimensionalBytes(), STRING_CONVERSION, L"cannot convert to string",
         L"RfcVariantToData(),TYPE_CHAR", L"{binary}"},
        {"NUM from null", TYPE_NUM, 5, Null(), STRING_CONVERSION, L"cannot convert to string",
         L"RfcVariantToData(),TYPE_NUM", L"{null}"},
        {"NUM one character too long", TYPE_NUM, 6, Text(L"1234567"), NUMERIC_CONVERSION, L"too large for field",
         L"RfcVariantToData(),TYPE_NUM", L"1234567"},
        {"NUM of length 0", TYPE_NUM, 0, I4(1), NUMERIC_CONVERSION, L"too large for field",
         L"RfcVariantToData(),TYPE_NUM", L"1"},
        {"BCD too large", TYPE_BCD, 3, I4(1000), BCD_CONVERSION_TOO_LARGE, L"number too large",
         L"RfcVariantToData(),TYPE_BCD", L"1000"},
        {"BCD not a number", TYPE_BCD, 3, Text(L"12x"), BCD_CONVERSION_INVALID, L"invalid format",
         L"RfcVariantToData(),TYPE_BCD", L"12x"},
        {"BCD beyond 16 bytes", TYPE_BCD, 32, I4(1), BCD_CONVERSION_INVALID, L"invalid format",
         L"RfcVariantToData(),TYPE_BCD", L"1"},
        {"BCD from null", TYPE_BCD, 3, Null(), STRING_CONVERSION, L"", L"", L""},
        {"DATE month 13", TYPE_DATE, 8, Text(L"20181301"), DATE_TIME_CONVERSION, L"", L"", L""},
        {"TIME from text", TYPE_TIME, 6, Text(L"abc"), DATE_TIME_CONVERSION, L"not a valid time",
         L"RfcVariantToData(),TYPE_TIME", L"abc"},
        {"BYTE from a number", TYPE_BYTE, 4, R8(1.5), XSTRING_ARRAYDIMS_EXCEPTION, L"",
         L"RfcVariantSafeArrayToRaw(),1", L"1.5"},
        {"BYTE from two dimensions", TYPE_BYTE, 4, TwoDimensionalBytes(), XSTRING_ARRAYDIMS_EXCEPTION, L"",
         L"RfcVariantSafeArrayToRaw(),2", L"{binary}"},
        {"FLOAT from text", TYPE_FLOAT, 0, Text(L"abc"), NUMERIC_CONVERSION, L"cannot convert to float",
         L"RfcVariantToData(),TYPE_FLOAT", L"abc"},
        {"FLOAT from null", TYPE_FLOAT, 0, Null(), NUMERIC_CONVERSION, L"cannot convert to float",
         L"RfcVariantToData(),TYPE_FLOAT", L"{null}"},
        {"INT one above", TYPE_INT, 0, R8(2147483648.0), NUMERIC_CONVERSION, L"cannot convert to int",
         L"RfcVariantToData(),TYPE_INT", L"2147483648"},
        {"INT one below", TYPE_INT, 0, R8(-2147483649.0), NUMERIC_CONVERSION, L"cannot convert to int",
         L"RfcVariantToData(),TYPE_INT", L"-2147483649"},
        {"INT from NaN", TYPE_INT, 0, R8(nan), NUMERIC_CONVERSION, L"cannot convert to int",
         L"RfcVariantToData(),TYPE_INT", nullptr},
        {"INT from infinity", TYPE_INT, 0, R8(inf), NUMERIC_CONVERSION, L"cannot convert to int",
         L"RfcVariantToData(),TYPE_INT", nullptr},
        {"INT from text", TYPE_INT, 0, Text(L"12x"), NUMERIC_CONVERSION, L"cannot convert to int",
         L"RfcVariantToData(),TYPE_INT", L"12x"},
        {"INT2 70000", TYPE_INT2, 0, I4(70000), NUMERIC_CONVERSION, L"cannot convert to int2",
         L"RfcVariantToData(),TYPE_INT2", L"70000"},
        {"INT2 32768", TYPE_INT2, 0, I4(32768), NUMERIC_CONVERSION, L"cannot convert to int2",
         L"RfcVariantToData(),TYPE_INT2", L"32768"},
        {"INT2 32769", TYPE_INT2, 0, I4(32769), NUMERIC_CONVERSION, L"cannot convert to int2",
         L"RfcVariantToData(),TYPE_INT2", L"32769"},
        {"INT2 -32769", TYPE_INT2, 0, I4(-32769), NUMERIC_CONVERSION, L"cannot convert to int2",
         L"RfcVariantToData(),TYPE_INT2", L"-32769"},
        {"INT2 from NaN", TYPE_INT2, 0, R4(std::numeric_limits<float>::quiet_NaN()), NUMERIC_CONVERSION,
         L"cannot convert to int2", L"RfcVariantToData(),TYPE_INT2", nullptr},
        {"INT1 256", TYPE_INT1, 0, I4(256), NUMERIC_CONVERSION, L"cannot convert to int1",
         L"RfcVariantToData(),TYPE_INT1", L"256"},
        {"INT1 -1", TYPE_INT1, 0, I4(-1), NUMERIC_CONVERSION, L"cannot convert to int1",
         L"RfcVariantToData(),TYPE_INT1", L"-1"},
        {"INT1 from NaN", TYPE_INT1, 0, R8(nan), NUMERIC_CONVERSION, L"cannot convert to int1",
         L"RfcVariantToData(),TYPE_INT1", nullptr},
        {"STRING from null", TYPE_STRING, 0, Null(), STRING_CONVERSION, L"cannot convert to string",
         L"RfcVariantToData(),TYPE_STRING", L"{null}"},
    };
    for (const auto& row : rows) {
        const auto error = Thrown([&] { Write(row.type, row.length, 0, row.value); });
        ASSERT_TRUE(error) << row.name;
        EXPECT_EQ(error->Kind(), row.kind) << row.name;
        EXPECT_EQ(error->Description(), row.description) << row.name;
        EXPECT_EQ(error->Context(), row.context) << row.name;
        if (row.display) { // the system's text of NaN and infinity is its own business
            EXPECT_EQ(error->Value(), row.display) << row.name;
        }
    }
}

TEST(VariantToDataFailures, MessageTexts)
{
    const std::pair<std::function<void()>, const wchar_t*> rows[] = {
        {[] { Write(TYPE_CHAR, 5, 0, Null()); },
         L"STRING_CONVERSION(3) : cannot convert to string(RfcVariantToData(),TYPE_CHAR, value = '{null}')"},
        {[] { Write(TYPE_INT2, 0, 0, I4(70000)); },
         L"NUMERIC_CONVERSION(4) : cannot convert to int2(RfcVariantToData(),TYPE_INT2, value = '70000')"},
        {[] { Write(TYPE_NUM, 6, 0, Text(L"1234567")); },
         L"NUMERIC_CONVERSION(4) : too large for field(RfcVariantToData(),TYPE_NUM, value = '1234567')"},
        {[] { Write(TYPE_BCD, 3, 0, Text(L"1000")); },
         L"BCD_CONVERSION_TOO_LARGE(6) : number too large(RfcVariantToData(),TYPE_BCD, value = '1000')"},
        {[] { Write(TYPE_BCD, 3, 0, Null()); }, L"STRING_CONVERSION(3) : (, value = '')"},
    };
    for (const auto& [write, message] : rows) {
        const auto error = Thrown(write);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->Message(), message);
    }
}

TEST(VariantToDataFailures, ANumFieldIsZeroedBeforeItsLengthIsTested)
{
    EdgeField field(6 * sizeof(wchar_t));
    field.FillChars(L'#');
    MemoryStringHandles strings;
    EXPECT_TRUE(Thrown([&] { RfcVariantToData(field.data(), TYPE_NUM, 6, 0, Text(L"1234567").get(), strings); }));
    EXPECT_EQ(field.Text(), L"000000");
}

// ---- field limits ---------------------------------------------------------------------------

class EveryType : public testing::TestWithParam<int> {};

// A value that each type accepts at any length, as long as it can be.
com::variant ValueFor(int type)
{
    switch (type) {
    case TYPE_CHAR:
        return Text(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    case TYPE_NUM:
        return Text(L"");
    case TYPE_BYTE:
    case TYPE_XSTRING:
        return Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9});
    default:
        return I4(1);
    }
}

TEST_P(EveryType, LengthZeroStaysInsideTheImage)
{
    const int type = GetParam();
    EdgeField field(ImageSize(type, 0));
    Prepare(field, type);
    MemoryStringHandles strings;
    EXPECT_EQ(RfcVariantToData(field.data(), type, 0, 0, ValueFor(type).get(), strings), 0);
}

TEST_P(EveryType, LongValuesStayInsideTheImage)
{
    const int type = GetParam();
    for (int length : {1, 2, 3, 7, 8}) {
        EdgeField field(ImageSize(type, length));
        Prepare(field, type);
        MemoryStringHandles strings;
        EXPECT_EQ(RfcVariantToData(field.data(), type, length, 0, ValueFor(type).get(), strings), 0) << length;
    }
}

INSTANTIATE_TEST_SUITE_P(AbapTypes, EveryType,
                         testing::Values(TYPE_CHAR, TYPE_DATE, TYPE_BCD, TYPE_TIME, TYPE_BYTE, TYPE_NUM, TYPE_FLOAT,
                                         TYPE_INT, TYPE_INT2, TYPE_INT1, TYPE_STRING, TYPE_XSTRING));

TEST(VariantToOtherTypes, WriteNothing)
{
    for (int type : {int{TYPE_ITAB}, int{TYPE_STRUCTURE}, 11, 99, -1}) {
        EdgeField field(8);
        field.Fill(0xEE);
        MemoryStringHandles strings;
        EXPECT_EQ(RfcVariantToData(field.data(), type, 8, 0, Text(L"abc").get(), strings), 0);
        EXPECT_EQ(field.Bytes(), ByteVector(8, 0xEE)) << type;
        EXPECT_EQ(strings.calls, 0);
    }
}

TEST(FieldFillChar, BlankForCharZeroDigitForDatesTimesAndNumbersElseZero)
{
    const std::pair<int, wchar_t> rows[] = {
        {TYPE_CHAR, L' '},  {TYPE_DATE, L'0'},  {TYPE_TIME, L'0'}, {TYPE_NUM, L'0'},     {TYPE_BCD, 0},
        {TYPE_BYTE, 0},     {TYPE_FLOAT, 0},    {TYPE_INT, 0},     {TYPE_INT2, 0},       {TYPE_INT1, 0},
        {TYPE_STRING, 0},   {TYPE_XSTRING, 0},  {TYPE_ITAB, 0},    {TYPE_STRUCTURE, 0},
    };
    for (const auto& [type, fill] : rows)
        EXPECT_EQ(FieldFillChar(type), fill) << type;
}

} // namespace
