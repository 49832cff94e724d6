// Field to variant, for every ABAP type, and round trips through both directions. Every field
// ends at the edge of readable memory, so a conversion that reads past it faults.
#include "ConvertTestSupport.h"
#include "convert/FieldConversion.h"
#include "idl/Tolvane_h.h"
#include "session/Trace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>

using namespace tolvane;
using namespace convert_test;

namespace {

using ByteVector = std::vector<uint8_t>;

ByteVector operator+(ByteVector a, const ByteVector& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

ByteVector BytesOfText(std::wstring_view text)
{
    ByteVector bytes(text.size() * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

template <class T>
ByteVector BytesOfValue(T value)
{
    ByteVector bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

// Reads a field with exactly the bytes of `image`, `length` being the byte length handed over.
com::variant Read(const ByteVector& image, int type, int length, int decimals = 0)
{
    EdgeField field(image.size());
    if (!image.empty())
        field.SetBytes(image);
    com::variant out = Text(L"stale");
    RfcDataToVariant(out, field.data(), type, length, decimals);
    return out;
}

com::variant ReadText(std::wstring_view text, int type)
{
    return Read(BytesOfText(text), type, static_cast<int>(text.size() * sizeof(wchar_t)));
}

// ---- character fields -----------------------------------------------------------------------

TEST(CharacterFieldToVariant, DropsTrailingBlanksOnly)
{
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"AB   ", L"AB"},   {L"     ", L""},     {L"  A  ", L"  A"}, {L"", L""},
        {L"A\tB ", L"A\tB"}, {L"ABCDE", L"ABCDE"}, {std::wstring(L"A\0 ", 3), std::wstring(L"A\0", 2)},
    };
    for (const auto& [image, text] : rows)
        EXPECT_EQ(StringOf(ReadText(image, TYPE_CHAR)), text) << testing::PrintToString(image);
}

TEST(CharacterFieldToVariant, NumFieldsKeepLeadingZeros)
{
    EXPECT_EQ(StringOf(ReadText(L"000042", TYPE_NUM)), L"000042");
    EXPECT_EQ(StringOf(ReadText(L"0000  ", TYPE_NUM)), L"0000");
}

TEST(CharacterFieldToVariant, AnOddByteLengthReadsTheWholeCharactersOnly)
{
    EXPECT_EQ(StringOf(Read(BytesOfText(L"AB") + ByteVector{'C'}, TYPE_CHAR, 5)), L"AB");
}

// ---- packed numbers -------------------------------------------------------------------------

TEST(PackedFieldToVariant, GivesTheTextOfTheNumber)
{
    const std::tuple<ByteVector, int, std::wstring> rows[] = {
        {{0x12, 0x3D}, 2, L"-1.23"},
        {{0x00, 0x0C}, 0, L"0"},
        {{0x00, 0x5C}, 3, L"0.005"},
        {{0x99, 0x99, 0x9C}, 0, L"99999"},
        {ByteVector(15, 0x99) + ByteVector{0x9D}, 31, L"-0." + std::wstring(31, L'9')},
    };
    for (const auto& [image, decimals, text] : rows)
        EXPECT_EQ(StringOf(Read(image, TYPE_BCD, static_cast<int>(image.size()), decimals)), text);
}

TEST(PackedFieldToVariant, TheLongestNegativeNumberWithDecimalsIsNotCut)
{
    ByteVector image(16, 0x12);
    image.back() = 0x1D;
    EXPECT_EQ(StringOf(Read(image, TYPE_BCD, 16, 10)), L"-121212121212121212121.2121212121");
}

TEST(PackedFieldToVariant, AnImageThatIsNoNumberFails)
{
    for (const ByteVector& image : {ByteVector{0xA1, 0x2C}, ByteVector{0x12, 0x34}}) {
        const auto error = Thrown([&] { Read(image, TYPE_BCD, 2); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->Kind(), BCD_CONVERSION_INVALID);
        EXPECT_EQ(error->Message(), L"BCD_CONVERSION_INVALID(7) : (RfcDataToVariant(), RFCTYPE_BCD, value = '')");
    }
    EXPECT_TRUE(Thrown([&] { Read({}, TYPE_BCD, 0); }));
    EXPECT_TRUE(Thrown([&] { Read(ByteVector(17, 0x00), TYPE_BCD, 17); }));
}

// ---- dates and times ------------------------------------------------------------------------

TEST(DateFieldToVariant, AllZerosAndNonCalendarDatesGiveEmpty)
{
    const com::variant date = ReadText(L"20180719", TYPE_DATE);
    ASSERT_EQ(date.vt(), VT_DATE);
    EXPECT_EQ(V_DATE(date.addr()), DateValue(2018, 7, 19));
    for (const wchar_t* image : {L"00000000", L"20181301", L"20180200", L"20180230", L"ABCDEFGH"})
        EXPECT_EQ(ReadText(image, TYPE_DATE).vt(), VT_EMPTY) << image;
}

TEST(TimeFieldToVariant, MidnightIsADateNotEmpty)
{
    const com::variant midnight = ReadText(L"000000", TYPE_TIME);
    ASSERT_EQ(midnight.vt(), VT_DATE);
    EXPECT_EQ(V_DATE(midnight.addr()), 0.0);
    const com::variant afternoon = ReadText(L"133000", TYPE_TIME);
    ASSERT_EQ(afternoon.vt(), VT_DATE);
    EXPECT_DOUBLE_EQ(V_DATE(afternoon.addr()), 0.5625);
}

TEST(DateAndTimeFields, AreReadAtTheirFixedSizeWhateverTheLength)
{
    EXPECT_EQ(Read(BytesOfText(L"20180719"), TYPE_DATE, 0).vt(), VT_DATE);
    EXPECT_EQ(Read(BytesOfText(L"133000"), TYPE_TIME, 0).vt(), VT_DATE);
}

// ---- numbers and bytes ----------------------------------------------------------------------

TEST(NumberFieldToVariant, GivesTheTypedValue)
{
    const com::variant i4 = Read(BytesOfValue<int32_t>(std::numeric_limits<int32_t>::min()), TYPE_INT, 4);
    EXPECT_EQ(i4.vt(), VT_I4);
    EXPECT_EQ(V_I4(i4.addr()), std::numeric_limits<int32_t>::min());
    const com::variant i4max = Read(BytesOfValue<int32_t>(std::numeric_limits<int32_t>::max()), TYPE_INT, 4);
    EXPECT_EQ(V_I4(i4max.addr()), std::numeric_limits<int32_t>::max());

    const com::variant i2 = Read(BytesOfValue<int16_t>(-32768), TYPE_INT2, 2);
    EXPECT_EQ(i2.vt(), VT_I2);
    EXPECT_EQ(V_I2(i2.addr()), -32768);
    EXPECT_EQ(V_I2(Read(BytesOfValue<int16_t>(32767), TYPE_INT2, 2).addr()), 32767);

    const com::variant f = Read(BytesOfValue(-1.5), TYPE_FLOAT, 8);
    EXPECT_EQ(f.vt(), VT_R8);
    EXPECT_EQ(V_R8(f.addr()), -1.5);
}

TEST(NumberFieldToVariant, FloatKeepsNaNAndInfinities)
{
    EXPECT_TRUE(std::isnan(V_R8(Read(BytesOfValue(std::numeric_limits<double>::quiet_NaN()), TYPE_FLOAT, 8).addr())));
    EXPECT_EQ(V_R8(Read(BytesOfValue(std::numeric_limits<double>::infinity()), TYPE_FLOAT, 8).addr()),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(V_R8(Read(BytesOfValue(-std::numeric_limits<double>::infinity()), TYPE_FLOAT, 8).addr()),
              -std::numeric_limits<double>::infinity());
}

TEST(NumberFieldToVariant, Int1IsASignedByteVariantCarryingTheByteUnchanged)
{
    for (uint8_t byte : {uint8_t{0}, uint8_t{127}, uint8_t{128}, uint8_t{200}, uint8_t{255}}) {
        const com::variant v = Read({byte}, TYPE_INT1, 1);
        EXPECT_EQ(v.vt(), VT_I1);
        EXPECT_EQ(static_cast<uint8_t>(V_I1(v.addr())), byte);
    }
}

TEST(ByteFieldToVariant, GivesAByteArrayOfTheFieldLength)
{
    EXPECT_EQ(BytesOf(Read({1, 2, 3}, TYPE_BYTE, 3)), ByteVector({1, 2, 3}));
    EXPECT_EQ(BytesOf(Read({}, TYPE_BYTE, 0)), ByteVector());
    EXPECT_EQ(BytesOf(Read({9}, TYPE_BYTE, -1)), ByteVector());
}

// ---- strings --------------------------------------------------------------------------------

com::variant ReadString(const char* utf8)
{
    return Read(BytesOfValue(utf8), TYPE_STRING, 0);
}

TEST(StringFieldToVariant, DecodesUtf8)
{
    EXPECT_EQ(StringOf(ReadString("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80")),
              L"Gr\x00FC\x00DF" L"e \x20AC \xD83D\xDE00");
    EXPECT_EQ(StringOf(ReadString("")), L"");
    EXPECT_EQ(StringOf(ReadString(nullptr)), L"");
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + name;
}

TEST(StringFieldToVariant, InvalidUtf8GivesEmptyAndATraceLine)
{
    const std::wstring path = TempPath(L"tolvane-convert-test.trc");
    DeleteFileW(path.c_str());
    ASSERT_TRUE(ostrel::TraceCreate(L"convert", path, false));
    const com::variant result = ReadString("ab\xFF");
    ostrel::TraceClose();

    EXPECT_EQ(result.vt(), VT_EMPTY);
    std::ifstream file(path.c_str());
    const std::string trace((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(trace.find("error while converting UTF8 to multibyte: " + std::to_string(ERROR_NO_UNICODE_TRANSLATION)),
              std::string::npos)
        << trace;
    file.close();
    DeleteFileW(path.c_str());
}

TEST(XStringFieldToVariant, GivesTheBytesOfTheByteString)
{
    uint8_t content[] = {0xCA, 0xFE};
    EXPECT_EQ(BytesOf(Read(BytesOfValue(RfcXStringImage{2, content}), TYPE_XSTRING, 0)), ByteVector({0xCA, 0xFE}));
    EXPECT_EQ(BytesOf(Read(BytesOfValue(RfcXStringImage{0, nullptr}), TYPE_XSTRING, 0)), ByteVector());
    EXPECT_EQ(BytesOf(Read(BytesOfValue(RfcXStringImage{5, nullptr}), TYPE_XSTRING, 0)), ByteVector());
    EXPECT_EQ(BytesOf(Read(BytesOfValue(RfcXStringImage{-1, content}), TYPE_XSTRING, 0)), ByteVector());
}

// ---- missing data and other types -----------------------------------------------------------

TEST(DataToVariant, MissingDataAndOtherTypesGiveEmpty)
{
    com::variant out = Text(L"stale");
    RfcDataToVariant(out, nullptr, TYPE_CHAR, 10, 0);
    EXPECT_EQ(out.vt(), VT_EMPTY);
    for (int type : {int{TYPE_ITAB}, int{TYPE_STRUCTURE}, 11, 99, -1})
        EXPECT_EQ(Read(ByteVector(8, 0x41), type, 8).vt(), VT_EMPTY) << type;
}

// ---- both directions ------------------------------------------------------------------------

struct RoundTrip {
    const char* name;
    int type;
    int length;
    int decimals;
    com::variant sent;
    com::variant received;
};

size_t UnicodeBytes(int type, int length)
{
    switch (type) {
    case TYPE_CHAR:
    case TYPE_NUM:
        return 2 * static_cast<size_t>(length);
    case TYPE_DATE:
        return 16;
    case TYPE_TIME:
        return 12;
    case TYPE_BCD:
        return static_cast<size_t>(length) / 2 + 1;
    case TYPE_BYTE:
        return static_cast<size_t>(length);
    case TYPE_STRING:
        return sizeof(RfcStringHandle);
    case TYPE_XSTRING:
        return sizeof(RfcXStringImage);
    default:
        return 8;
    }
}

TEST(FieldRoundTrip, EveryTypeComesBackAsItsReceivedForm)
{
    com::variant int1;
    V_VT(int1.addr()) = VT_I1;
    V_I1(int1.addr()) = static_cast<CHAR>(200);
    const RoundTrip rows[] = {
        {"CHAR", TYPE_CHAR, 10, 0, Text(L"Hello"), Text(L"Hello")},
        {"NUM", TYPE_NUM, 6, 0, I4(42), Text(L"000042")},
        {"BCD", TYPE_BCD, 7, 2, Text(L"-12.345"), Text(L"-12.35")},
        {"DATE", TYPE_DATE, 8, 0, Text(L"20180719"), Date(2018, 7, 19)},
        {"DATE zero", TYPE_DATE, 8, 0, Empty(), Empty()},
        {"TIME", TYPE_TIME, 6, 0, Text(L"23:59:58"), Date(1899, 12, 30, 23, 59, 58)},
        {"BYTE", TYPE_BYTE, 3, 0, Bytes({1, 2}), Bytes({1, 2, 0})},
        {"FLOAT", TYPE_FLOAT, 0, 0, R8(-0.25), R8(-0.25)},
        {"INT", TYPE_INT, 0, 0, I2(-7), I4(-7)},
        {"INT2", TYPE_INT2, 0, 0, I4(-32768), I2(-32768)},
        {"INT1", TYPE_INT1, 0, 0, I4(200), int1},
        {"STRING", TYPE_STRING, 0, 0, Text(L"\x00E9t\x00E9"), Text(L"\x00E9t\x00E9")},
        {"XSTRING", TYPE_XSTRING, 0, 0, Bytes({0, 255}), Bytes({0, 255})},
    };
    for (const auto& row : rows) {
        MemoryStringHandles strings;
        EdgeField field(UnicodeBytes(row.type, row.length));
        const wchar_t fill = FieldFillChar(row.type);
        if (fill)
            field.FillChars(fill);
        else
            field.Fill(0);
        RfcVariantToData(field.data(), row.type, row.length, row.decimals, row.sent.get(), strings);
        com::variant received;
        RfcDataToVariant(received, field.data(), row.type, static_cast<int>(field.size()), row.decimals);

        ASSERT_EQ(received.vt(), row.received.vt()) << row.name;
        if (received.vt() == (VT_ARRAY | VT_UI1))
            EXPECT_EQ(BytesOf(received), BytesOf(row.received)) << row.name;
        else if (received.vt() == VT_I1) // which the system's comparison does not always take
            EXPECT_EQ(V_I1(received.addr()), V_I1(row.received.addr())) << row.name;
        else if (received.vt() == VT_DATE) // times are worked out, not parsed: allow rounding
            EXPECT_NEAR(V_DATE(received.addr()), V_DATE(row.received.addr()), 1e-9) << row.name;
        else
            EXPECT_EQ(VarCmp(received.addr(), const_cast<VARIANT*>(row.received.addr()), LOCALE_USER_DEFAULT, 0),
                      static_cast<HRESULT>(VARCMP_EQ))
                << row.name;
    }
}

} // namespace
