// Variant to field, for every ABAP type. Every field ends at the edge of readable memory, so a
// conversion that writes past it faults.
#include "ConvertTestSupport.h"

#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

using namespace tolvane;
using namespace convert_test;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

template <class T>
T WrittenValue(int type, const com::variant& value)
{
    T result;
    std::memcpy(&result, Write(type, 0, 0, value).data(), sizeof result);
    return result;
}

TEST(VariantToCharacterFields, WritesTheImage)
{
    const struct {
        const char* name;
        int type, length;
        com::variant value;
        std::wstring image;
    } rows[] = {
        {"CHAR cut at its length", TYPE_CHAR, 5, Text(L"ABCDEFG"), L"ABCDE"},
        {"CHAR keeps its fill after a short text", TYPE_CHAR, 5, Text(L"AB"), L"AB   "},
        {"CHAR of length 0", TYPE_CHAR, 0, Text(L"ABC"), L""},
        {"CHAR of negative length", TYPE_CHAR, -3, Text(L"ABC"), L""},
        {"CHAR from an integer", TYPE_CHAR, 4, I4(-42), L"-42 "},
        {"CHAR from empty", TYPE_CHAR, 3, Empty(), L"   "},
        {"CHAR outside the basic plane", TYPE_CHAR, 3, Text(L"\xD83D\xDE00z!"), L"\xD83D\xDE00z"},
        {"NUM right-aligned", TYPE_NUM, 6, I4(42), L"000042"},
        {"NUM of exactly its length", TYPE_NUM, 6, Text(L"123456"), L"123456"},
        {"NUM does not test for digits", TYPE_NUM, 6, Text(L"12a"), L"00012a"},
        {"NUM of length 0 from an empty text", TYPE_NUM, 0, Text(L""), L""},
        {"DATE from its text", TYPE_DATE, 8, Text(L"20180719"), L"20180719"},
        {"DATE from a date, whatever the length", TYPE_DATE, 0, Date(2018, 3, 5), L"20180305"},
        {"TIME from its text with colons", TYPE_TIME, 6, Text(L"07:05:09"), L"070509"},
        {"TIME from a date", TYPE_TIME, 6, Date(2018, 3, 5, 13, 30, 0), L"133000"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(WrittenText(row.type, row.length, row.value), row.image) << row.name;
}

TEST(VariantToNumberFields, WritesTheBoundaryValues)
{
    const struct {
        const char* name;
        int type;
        com::variant value;
        long long expected;
    } rows[] = {
        {"INT lowest", TYPE_INT, R8(-2147483648.0), -2147483648LL},
        {"INT highest", TYPE_INT, Text(L"2147483647"), 2147483647},
        {"INT from a boolean", TYPE_INT, com::variant(true), -1},
        {"INT2 lowest", TYPE_INT2, Text(L"-32768"), -32768},
        {"INT2 highest", TYPE_INT2, I4(32767), 32767},
        {"INT2 rounds halves to even", TYPE_INT2, R8(2.5), 2},
        {"INT1 lowest", TYPE_INT1, I4(0), 0},
        {"INT1 highest", TYPE_INT1, Text(L"255"), 255},
    };
    for (const auto& row : rows) {
        const long long written = row.type == TYPE_INT    ? WrittenValue<int32_t>(row.type, row.value)
                                  : row.type == TYPE_INT2 ? WrittenValue<int16_t>(row.type, row.value)
                                                          : WrittenValue<uint8_t>(row.type, row.value);
        EXPECT_EQ(written, row.expected) << row.name;
    }
    for (double value : {0.0, -0.0, 1.5, -1e-300, std::numeric_limits<double>::max(),
                         std::numeric_limits<double>::denorm_min(), kInf, -kInf}) {
        const double written = WrittenValue<double>(TYPE_FLOAT, R8(value));
        EXPECT_EQ(std::memcmp(&written, &value, sizeof value), 0) << value;
    }
    EXPECT_TRUE(std::isnan(WrittenValue<double>(TYPE_FLOAT, R8(kNaN))));
    EXPECT_EQ(WrittenValue<double>(TYPE_FLOAT, R4(-std::numeric_limits<float>::infinity())), -kInf);
}

TEST(VariantToPackedField, WritesTheImage)
{
    com::variant currency;
    V_VT(currency.addr()) = VT_CY;
    V_CY(currency.addr()).int64 = -12345; // -1.2345
    const struct {
        const char* name;
        int length, decimals;
        com::variant value;
        Bytes image;
    } rows[] = {
        {"integer", 5, 0, I4(-42), {0x00, 0x04, 0x2D}},
        {"text with decimals", 5, 2, Text(L"123.45"), {0x12, 0x34, 0x5C}},
        {"an even digit count still takes n / 2 + 1 bytes", 4, 0, Text(L"99999"), {0x99, 0x99, 0x9C}},
        {"currency rounded to the field's decimals", 5, 2, currency, {0x00, 0x12, 0x3D}},
        {"length 0 is one byte", 0, 0, Text(L"7"), {0x7C}},
        {"20-digit decimal", 31, 0, Text(L"12345678901234567890").as(VT_DECIMAL),
         {0, 0, 0, 0, 0, 0x01, 0x23, 0x45, 0x67, 0x89, 0x01, 0x23, 0x45, 0x67, 0x89, 0x0C}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Write(TYPE_BCD, row.length, row.decimals, row.value), row.image) << row.name;
}

TEST(VariantToByteField, CopiesCutsOrFillsUpWithZeros)
{
    EXPECT_EQ(Write(TYPE_BYTE, 4, 0, ByteArray({1, 2, 3, 4, 5, 6})), Bytes({1, 2, 3, 4}));
    EXPECT_EQ(Write(TYPE_BYTE, 4, 0, ByteArray({1, 2})), Bytes({1, 2, 0, 0}));
    EXPECT_EQ(Write(TYPE_BYTE, 3, 0, Null()), Bytes({0, 0, 0}));
    EXPECT_EQ(Write(TYPE_BYTE, 0, 0, ByteArray({1, 2, 3})), Bytes());
}

TEST(VariantToStringField, StoresAHandleToZeroTerminatedUtf8)
{
    MemoryStringHandles strings;
    auto stored = [&](const com::variant& value) {
        RfcStringHandle handle = nullptr;
        std::memcpy(&handle, Write(TYPE_STRING, 0, 0, value, strings).data(), sizeof handle);
        EXPECT_TRUE(strings.Owns(handle));
        return std::string(reinterpret_cast<const char*>(handle));
    };
    EXPECT_EQ(stored(Text(L"Gr\x00FC\x00DF" L"e \x20AC")), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC");
    EXPECT_EQ(strings.lastStringSize, 11u); // the UTF-8 bytes; the library adds the terminator
    EXPECT_EQ(stored(I4(12)), "12");
    EXPECT_EQ(stored(Text(L"")), "");

    strings.failNext = true;
    const auto error = Thrown([&] { Write(TYPE_STRING, 0, 0, Text(L"abc"), strings); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Message(), L"MEMORY_ALLOC_EXCEPTION(0) : (, value = '')");
}

TEST(VariantToXStringField, ResizesTheByteStringThroughTheLibraryAndCopies)
{
    MemoryStringHandles strings;
    RfcXStringImage image{0, nullptr};
    auto write = [&](const com::variant& value) {
        EdgeField field(sizeof image, BytesOfValue(image));
        RfcVariantToData(field.data(), TYPE_XSTRING, 0, 0, value.get(), strings);
        std::memcpy(&image, field.data(), sizeof image);
        return image.content ? Bytes(image.content, image.content + image.length) : Bytes();
    };
    EXPECT_EQ(write(ByteArray({0xDE, 0xAD, 0xBE, 0xEF})), Bytes({0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(image.length, 4);
    EXPECT_EQ(write(ByteArray({7})), Bytes({7})); // the held byte string is resized, not leaked
    EXPECT_EQ(strings.Live(), 1u);
    EXPECT_EQ(write(ByteArray({})), Bytes());
    EXPECT_EQ(image.content, nullptr);
    EXPECT_EQ(strings.Live(), 0u);

    for (const auto& value : {TwoDimensionalBytes(), Empty(), R8(1.5)}) {
        const auto error = Thrown([&] { write(value); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->Kind(), XSTRING_ARRAYDIMS_EXCEPTION);
        EXPECT_EQ(error->Context(), L"RfcVariantToData(),TYPE_XSTRING");
    }
    EXPECT_EQ(strings.calls, 3);
    strings.failNext = true;
    const auto error = Thrown([&] { write(ByteArray({1})); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Message(), L"MEMORY_ALLOC_EXCEPTION(0) : (RfcVariantToData(),TYPE_XSTRING, value = '')");
}

TEST(VariantToDataFailures, CarryKindMessageLocationAndValue)
{
    const std::wstring at = L"RfcVariantToData(),";
    const struct {
        const char* name;
        int type, length;
        com::variant value;
        uint32_t kind;
        std::wstring description, context;
        const wchar_t* display; // null: the system's own text
    } rows[] = {
        {"CHAR null", TYPE_CHAR, 5, Null(), STRING_CONVERSION, L"cannot convert to string", at + L"TYPE_CHAR", L"{null}"},
        {"CHAR array", TYPE_CHAR, 5, TwoDimensionalBytes(), STRING_CONVERSION, L"cannot convert to string",
         at + L"TYPE_CHAR", L"{binary}"},
        {"NUM null", TYPE_NUM, 5, Null(), STRING_CONVERSION, L"cannot convert to string", at + L"TYPE_NUM", L"{null}"},
        {"NUM n+1 characters", TYPE_NUM, 6, Text(L"1234567"), NUMERIC_CONVERSION, L"too large for field",
         at + L"TYPE_NUM", L"1234567"},
        {"NUM length 0", TYPE_NUM, 0, I4(1), NUMERIC_CONVERSION, L"too large for field", at + L"TYPE_NUM", L"1"},
        {"BCD too large", TYPE_BCD, 3, I4(1000), BCD_CONVERSION_TOO_LARGE, L"number too large", at + L"TYPE_BCD", L"1000"},
        {"BCD no number", TYPE_BCD, 3, Text(L"12x"), BCD_CONVERSION_INVALID, L"invalid format", at + L"TYPE_BCD", L"12x"},
        {"BCD over 16 bytes", TYPE_BCD, 32, I4(1), BCD_CONVERSION_INVALID, L"invalid format", at + L"TYPE_BCD", L"1"},
        {"BCD null", TYPE_BCD, 3, Null(), STRING_CONVERSION, L"", L"", L""},
        {"DATE month 13", TYPE_DATE, 8, Text(L"20181301"), DATE_TIME_CONVERSION, L"", L"", L""},
        {"TIME no time", TYPE_TIME, 6, Text(L"abc"), DATE_TIME_CONVERSION, L"not a valid time", at + L"TYPE_TIME", L"abc"},
        {"BYTE number", TYPE_BYTE, 4, I4(15), XSTRING_ARRAYDIMS_EXCEPTION, L"", L"RfcVariantSafeArrayToRaw(),1", L"15"},
        {"BYTE 2 dimensions", TYPE_BYTE, 4, TwoDimensionalBytes(), XSTRING_ARRAYDIMS_EXCEPTION, L"",
         L"RfcVariantSafeArrayToRaw(),2", L"{binary}"},
        {"FLOAT text", TYPE_FLOAT, 0, Text(L"abc"), NUMERIC_CONVERSION, L"cannot convert to float", at + L"TYPE_FLOAT", L"abc"},
        {"FLOAT null", TYPE_FLOAT, 0, Null(), NUMERIC_CONVERSION, L"cannot convert to float", at + L"TYPE_FLOAT", L"{null}"},
        {"INT +2^31", TYPE_INT, 0, Text(L"2147483648"), NUMERIC_CONVERSION, L"cannot convert to int", at + L"TYPE_INT",
         L"2147483648"},
        {"INT -2^31-1", TYPE_INT, 0, Text(L"-2147483649"), NUMERIC_CONVERSION, L"cannot convert to int", at + L"TYPE_INT",
         L"-2147483649"},
        {"INT NaN", TYPE_INT, 0, R8(kNaN), NUMERIC_CONVERSION, L"cannot convert to int", at + L"TYPE_INT", nullptr},
        {"INT infinity", TYPE_INT, 0, R8(-kInf), NUMERIC_CONVERSION, L"cannot convert to int", at + L"TYPE_INT", nullptr},
        {"INT2 70000", TYPE_INT2, 0, I4(70000), NUMERIC_CONVERSION, L"cannot convert to int2", at + L"TYPE_INT2", L"70000"},
        {"INT2 32768", TYPE_INT2, 0, I4(32768), NUMERIC_CONVERSION, L"cannot convert to int2", at + L"TYPE_INT2", L"32768"},
        {"INT2 32769", TYPE_INT2, 0, I4(32769), NUMERIC_CONVERSION, L"cannot convert to int2", at + L"TYPE_INT2", L"32769"},
        {"INT2 -32769", TYPE_INT2, 0, I4(-32769), NUMERIC_CONVERSION, L"cannot convert to int2", at + L"TYPE_INT2",
         L"-32769"},
        {"INT2 NaN", TYPE_INT2, 0, R4(float(kNaN)), NUMERIC_CONVERSION, L"cannot convert to int2", at + L"TYPE_INT2", nullptr},
        {"INT1 256", TYPE_INT1, 0, I4(256), NUMERIC_CONVERSION, L"cannot convert to int1", at + L"TYPE_INT1", L"256"},
        {"INT1 -1", TYPE_INT1, 0, I4(-1), NUMERIC_CONVERSION, L"cannot convert to int1", at + L"TYPE_INT1", L"-1"},
        {"INT1 NaN", TYPE_INT1, 0, R8(kNaN), NUMERIC_CONVERSION, L"cannot convert to int1", at + L"TYPE_INT1", nullptr},
        {"STRING null", TYPE_STRING, 0, Null(), STRING_CONVERSION, L"cannot convert to string", at + L"TYPE_STRING",
         L"{null}"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto error = Thrown([&] { Write(row.type, row.length, 0, row.value); });
        ASSERT_TRUE(error);
        EXPECT_EQ(std::make_tuple(error->Kind(), error->Description(), error->Context()),
                  std::make_tuple(row.kind, row.description, row.context));
        if (row.display) {
            EXPECT_EQ(error->Value(), row.display);
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
        {[] { Write(TYPE_BCD, 3, 0, Text(L"1000")); },
         L"BCD_CONVERSION_TOO_LARGE(6) : number too large(RfcVariantToData(),TYPE_BCD, value = '1000')"},
        {[] { Write(TYPE_BCD, 3, 0, Null()); }, L"STRING_CONVERSION(3) : (, value = '')"},
    };
    for (const auto& [write, message] : rows)
        EXPECT_EQ(Thrown(write).value().Message(), message);

    // A NUM field has been set to zeros before its length is tested.
    EdgeField field(12, BytesOfText(L"######"));
    MemoryStringHandles strings;
    EXPECT_TRUE(Thrown([&] { RfcVariantToData(field.data(), TYPE_NUM, 6, 0, Text(L"1234567").get(), strings); }));
    EXPECT_EQ(field.Text(), L"000000");
}

TEST(VariantToDataLimits, EveryTypeStaysInsideItsImageForAnyLength)
{
    for (int type : {TYPE_CHAR, TYPE_DATE, TYPE_BCD, TYPE_TIME, TYPE_BYTE, TYPE_NUM, TYPE_FLOAT, TYPE_INT, TYPE_INT2,
                     TYPE_INT1, TYPE_STRING, TYPE_XSTRING}) {
        const com::variant value = type == TYPE_CHAR ? Text(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ")
                                   : type == TYPE_NUM ? Text(L"")
                                   : type == TYPE_BYTE || type == TYPE_XSTRING ? ByteArray({1, 2, 3, 4, 5, 6, 7, 8, 9})
                                                                               : I4(1);
        for (int length : {0, 1, 2, 3, 7, 8})
            Write(type, length, 0, value); // a stray access faults
    }
}

TEST(VariantToDataLimits, OtherTypesWriteNothing)
{
    for (int type : {int{TYPE_ITAB}, int{TYPE_STRUCTURE}, 11, 99, -1}) {
        EdgeField field(8, Bytes(8, 0xEE));
        MemoryStringHandles strings;
        EXPECT_EQ(RfcVariantToData(field.data(), type, 8, 0, Text(L"abc").get(), strings), 0);
        EXPECT_EQ(field.Content(), Bytes(8, 0xEE)) << type;
        EXPECT_EQ(strings.calls, 0);
    }
}

TEST(FieldFillChar, BlankForCharZeroDigitForDatesTimesAndNumbersElseZero)
{
    const std::pair<int, wchar_t> rows[] = {
        {TYPE_CHAR, L' '}, {TYPE_DATE, L'0'}, {TYPE_TIME, L'0'}, {TYPE_NUM, L'0'}, {TYPE_BCD, 0}, {TYPE_BYTE, 0},
        {TYPE_FLOAT, 0}, {TYPE_INT, 0}, {TYPE_INT2, 0}, {TYPE_INT1, 0}, {TYPE_STRING, 0}, {TYPE_XSTRING, 0},
        {TYPE_ITAB, 0}, {TYPE_STRUCTURE, 0},
    };
    for (const auto& [type, fill] : rows)
        EXPECT_EQ(FieldFillChar(type), fill) << type;
}

} // namespace
