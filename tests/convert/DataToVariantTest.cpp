// Field to variant, for every ABAP type, and round trips through both directions. Every field
// ends at the edge of readable memory, so a conversion that reads past it faults.
#include "ConvertTestSupport.h"
#include "session/Trace.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

using namespace tolvane;
using namespace convert_test;

namespace {

com::variant ReadText(std::wstring_view text, int type)
{
    return Read(BytesOfText(text), type, int(text.size() * sizeof(wchar_t)));
}

TEST(CharacterFieldToVariant, DropsTrailingBlanksOnly)
{
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"AB   ", L"AB"}, {L"     ", L""}, {L"  A  ", L"  A"}, {L"", L""}, {L"A\tB ", L"A\tB"},
        {std::wstring(L"A\0 ", 3), std::wstring(L"A\0", 2)},
    };
    for (const auto& [image, text] : rows)
        EXPECT_EQ(StringOf(ReadText(image, TYPE_CHAR)), text) << testing::PrintToString(image);
    EXPECT_EQ(StringOf(ReadText(L"0042  ", TYPE_NUM)), L"0042");
    EXPECT_EQ(StringOf(Read(BytesOfText(L"ABC"), TYPE_CHAR, 5)), L"AB"); // whole characters only
}

TEST(PackedFieldToVariant, GivesTheTextOfTheNumber)
{
    Bytes longest(16, 0x12);
    longest.back() = 0x1D;
    const std::tuple<Bytes, int, std::wstring> rows[] = {
        {{0x12, 0x3D}, 2, L"-1.23"},
        {{0x00, 0x5C}, 3, L"0.005"},
        {{0x99, 0x99, 0x9C}, 0, L"99999"},
        {longest, 10, L"-121212121212121212121.2121212121"}, // 33 characters
        {longest, 31, L"-0.1212121212121212121212121212121"},
    };
    for (const auto& [image, decimals, text] : rows)
        EXPECT_EQ(StringOf(Read(image, TYPE_BCD, int(image.size()), decimals)), text);

    for (const Bytes& image : {Bytes{0xA1, 0x2C}, Bytes{0x12, 0x34}, Bytes{}, Bytes(17, 0x0C)}) {
        const auto error = Thrown([&] { Read(image, TYPE_BCD, int(image.size())); });
        ASSERT_TRUE(error) << image.size();
        EXPECT_EQ(error->Message(), L"BCD_CONVERSION_INVALID(7) : (RfcDataToVariant(), RFCTYPE_BCD, value = '')");
    }
}

TEST(DateAndTimeFieldToVariant, AreReadAtTheirFixedSize)
{
    const com::variant date = Read(BytesOfText(L"20180719"), TYPE_DATE, 0);
    ASSERT_EQ(date.vt(), VT_DATE);
    EXPECT_EQ(V_DATE(date.addr()), DateValue(2018, 7, 19));
    EXPECT_EQ(ReadText(L"00000000", TYPE_DATE).vt(), VT_EMPTY);
    EXPECT_EQ(ReadText(L"20180230", TYPE_DATE).vt(), VT_EMPTY); // no calendar date: empty too
    const com::variant midnight = Read(BytesOfText(L"000000"), TYPE_TIME, 0);
    ASSERT_EQ(midnight.vt(), VT_DATE); // not empty
    EXPECT_EQ(V_DATE(midnight.addr()), 0.0);
}

TEST(NumberFieldToVariant, GivesTheTypedValue)
{
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();
    const struct {
        Bytes image;
        int type;
        VARTYPE vt;
        double value;
    } rows[] = {
        {BytesOfValue(kMin), TYPE_INT, VT_I4, kMin},
        {BytesOfValue(kMax), TYPE_INT, VT_I4, kMax},
        {BytesOfValue(int16_t(-32768)), TYPE_INT2, VT_I2, -32768},
        {BytesOfValue(int16_t(32767)), TYPE_INT2, VT_I2, 32767},
        {BytesOfValue(-1.5), TYPE_FLOAT, VT_R8, -1.5},
        {BytesOfValue(std::numeric_limits<double>::infinity()), TYPE_FLOAT, VT_R8, std::numeric_limits<double>::infinity()},
        {BytesOfValue(-std::numeric_limits<double>::infinity()), TYPE_FLOAT, VT_R8, -std::numeric_limits<double>::infinity()},
    };
    for (const auto& row : rows) {
        const com::variant v = Read(row.image, row.type, 0);
        ASSERT_EQ(v.vt(), row.vt) << row.value;
        EXPECT_EQ(V_R8(v.as(VT_R8).addr()), row.value);
    }
    EXPECT_TRUE(std::isnan(V_R8(Read(BytesOfValue(std::numeric_limits<double>::quiet_NaN()), TYPE_FLOAT, 8).addr())));
    for (int byte : {0, 127, 128, 200, 255}) { // unsigned, whatever the top bit
        const com::variant v = Read({uint8_t(byte)}, TYPE_INT1, 1);
        EXPECT_EQ(v.vt(), VT_I2);
        EXPECT_EQ(V_I2(v.addr()), byte);
    }
}

TEST(ByteFieldToVariant, GivesAByteArrayOfTheFieldLength)
{
    EXPECT_EQ(BytesOf(Read({1, 2, 3}, TYPE_BYTE, 3)), Bytes({1, 2, 3}));
    EXPECT_EQ(BytesOf(Read({}, TYPE_BYTE, 0)), Bytes());
    EXPECT_EQ(BytesOf(Read({9}, TYPE_BYTE, -1)), Bytes());
    uint8_t content[] = {0xCA, 0xFE};
    EXPECT_EQ(BytesOf(Read(BytesOfValue(RfcXStringImage{2, content}), TYPE_XSTRING, 0)), Bytes({0xCA, 0xFE}));
    EXPECT_EQ(BytesOf(Read(BytesOfValue(RfcXStringImage{5, nullptr}), TYPE_XSTRING, 0)), Bytes());
    EXPECT_EQ(BytesOf(Read(BytesOfValue(RfcXStringImage{-1, content}), TYPE_XSTRING, 0)), Bytes());
}

com::variant ReadString(const char* utf8) { return Read(BytesOfValue(utf8), TYPE_STRING, 0); }

TEST(StringFieldToVariant, DecodesUtf8)
{
    EXPECT_EQ(StringOf(ReadString("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80")),
              L"Gr\x00FC\x00DF" L"e \x20AC \xD83D\xDE00");
    EXPECT_EQ(StringOf(ReadString("")), L"");
    EXPECT_EQ(StringOf(ReadString(nullptr)), L"");
}

TEST(StringFieldToVariant, InvalidUtf8GivesEmptyAndATraceLine)
{
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    const std::wstring path = std::wstring(directory) + L"tolvane-convert-test.trc";
    ASSERT_TRUE(ostrel::TraceCreate(L"convert", path, false));
    const com::variant result = ReadString("ab\xFF");
    ostrel::TraceClose();
    EXPECT_EQ(result.vt(), VT_EMPTY);
    std::ifstream file(path.c_str());
    const std::string trace((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(trace.find("error while converting UTF8 to multibyte: " + std::to_string(ERROR_NO_UNICODE_TRANSLATION)),
              std::string::npos) << trace;
    file.close();
    DeleteFileW(path.c_str());
}

TEST(DataToVariant, MissingDataAndOtherTypesGiveEmpty)
{
    com::variant out = Text(L"stale");
    RfcDataToVariant(out, nullptr, TYPE_CHAR, 10, 0);
    EXPECT_EQ(out.vt(), VT_EMPTY);
    for (int type : {int{TYPE_ITAB}, int{TYPE_STRUCTURE}, 11, 99, -1})
        EXPECT_EQ(Read(Bytes(8, 0x41), type, 8).vt(), VT_EMPTY) << type;
}

TEST(FieldRoundTrip, EveryTypeComesBackInItsReceivedForm)
{
    const struct {
        const char* name;
        int type, length, decimals;
        com::variant sent, received;
    } rows[] = {
        {"CHAR", TYPE_CHAR, 10, 0, Text(L"Hello"), Text(L"Hello")},
        {"NUM", TYPE_NUM, 6, 0, I4(42), Text(L"000042")},
        {"BCD", TYPE_BCD, 7, 2, Text(L"-12.345"), Text(L"-12.35")},
        {"DATE", TYPE_DATE, 8, 0, Text(L"20180719"), Date(2018, 7, 19)},
        {"DATE zero", TYPE_DATE, 8, 0, Empty(), Empty()},
        {"TIME", TYPE_TIME, 6, 0, Text(L"23:59:58"), Date(1899, 12, 30, 23, 59, 58)},
        {"BYTE", TYPE_BYTE, 3, 0, ByteArray({1, 2}), ByteArray({1, 2, 0})},
        {"FLOAT", TYPE_FLOAT, 0, 0, R8(-0.25), R8(-0.25)},
        {"INT", TYPE_INT, 0, 0, I2(-7), I4(-7)},
        {"INT2", TYPE_INT2, 0, 0, I4(-32768), I2(-32768)},
        {"INT1", TYPE_INT1, 0, 0, I4(200), I2(200)},
        {"STRING", TYPE_STRING, 0, 0, Text(L"\x00E9t\x00E9"), Text(L"\x00E9t\x00E9")},
        {"XSTRING", TYPE_XSTRING, 0, 0, ByteArray({0, 255}), ByteArray({0, 255})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryStringHandles strings;
        const Bytes image = Write(row.type, row.length, row.decimals, row.sent, strings);
        const com::variant received = Read(image, row.type, int(image.size()), row.decimals);
        ASSERT_EQ(received.vt(), row.received.vt());
        if (received.vt() == VT_BSTR) {
            EXPECT_EQ(StringOf(received), StringOf(row.received));
        } else if (received.vt() == (VT_ARRAY | VT_UI1)) {
            EXPECT_EQ(BytesOf(received), BytesOf(row.received));
        } else if (received.vt() != VT_EMPTY) { // times are worked out, not parsed: allow for rounding
            EXPECT_NEAR(V_R8(received.as(VT_R8).addr()), V_R8(row.received.as(VT_R8).addr()), 1e-9);
        }
    }
}

} // namespace
