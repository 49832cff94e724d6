// Every ABAP type through the library's raw Unicode layouts, both ways: scalars, a structure
// and table rows; the packed-number and string helpers.
#include "ClassicApi.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace classic;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes chars(const std::wstring& text)
{
    Bytes b(text.size() * 2);
    std::memcpy(b.data(), text.data(), b.size());
    return b;
}

template <class T>
Bytes bytesOf(T value)
{
    Bytes b(sizeof value);
    std::memcpy(b.data(), &value, sizeof value);
    return b;
}

// One value of each type: its caller type, its bytes (the text of a STRING, the content of an
// XSTRING) and how the partner writes it as text (empty: not compared).
struct Value {
    const char* field; // in ZSIM_ALLTYPES; Z_SIM_ECHO_TYPES has I_<field> and E_<field>
    RFCTYPE type;
    unsigned leng;
    Bytes raw;
    std::string text;
};

const std::vector<Value>& values()
{
    static const std::vector<Value> v = {
        {"CHAR", RFCTYPE_CHAR, 20, chars(field(L"Grüße", 10)), "Grüße"},
        {"NUMC", RFCTYPE_NUM, 10, chars(L"00042"), "00042"},
        {"DATE", RFCTYPE_DATE, 16, chars(L"20240229"), "20240229"},
        {"TIME", RFCTYPE_TIME, 12, chars(L"235959"), "235959"},
        {"BCD", RFCTYPE_BCD, 8, {0, 0, 0, 0, 0, 0x12, 0x34, 0x5D}, "-123.45"},
        {"RAW", RFCTYPE_BYTE, 4, {0xDE, 0xAD, 0xBE, 0xEF}, ""},
        {"FLOAT", RFCTYPE_FLOAT, 8, bytesOf(1.5), "1.5"},
        {"INT", RFCTYPE_INT, 4, bytesOf<int32_t>(-42), "-42"},
        {"INT2", RFCTYPE_INT2, 2, bytesOf<int16_t>(-32768), "-32768"},
        {"INT1", RFCTYPE_INT1, 1, {200}, "200"},
        {"STRING", RFCTYPE_STRING, 0, {0xC3, 0xBC, 'b', 'e', 'r'}, "über"},
        {"XSTRING", RFCTYPE_XSTRING, 0, {1, 2, 0, 3}, ""},
    };
    return v;
}

// The memory of one value as the library takes it: the bytes themselves, or an RFC_STRING /
// RFC_XSTRING pointing at them.
class Buffer {
public:
    explicit Buffer(const Value& v) : m_type(v.type), m_data(v.raw)
    {
        m_data.push_back(0);
        m_string = reinterpret_cast<RFC_STRING>(m_data.data());
        m_xstring = {static_cast<RFC_INT>(v.raw.size()), m_data.data()};
        if (v.type != RFCTYPE_STRING && v.type != RFCTYPE_XSTRING)
            m_data.pop_back();
    }
    // An empty buffer of the value's size, to receive into.
    static Buffer empty(const Value& v)
    {
        Value blank = v;
        blank.raw.assign(v.raw.size(), 0);
        Buffer b(blank);
        b.m_string = nullptr;
        b.m_xstring = {0, nullptr};
        return b;
    }
    ~Buffer()
    {
        if (m_type == RFCTYPE_STRING && m_string != reinterpret_cast<RFC_STRING>(m_data.data()))
            rfc().RfcFreeStringU(m_string);
        if (m_type == RFCTYPE_XSTRING && m_xstring.content != m_data.data())
            rfc().RfcResizeXStringU(&m_xstring, 0);
    }
    Buffer(Buffer&&) = default;

    void* address() { return m_type == RFCTYPE_STRING ? static_cast<void*>(&m_string) : m_type == RFCTYPE_XSTRING ? static_cast<void*>(&m_xstring) : m_data.data(); }
    // What the buffer holds, in the form of Value::raw.
    Bytes held() const
    {
        if (m_type == RFCTYPE_STRING)
            return m_string == nullptr ? Bytes() : Bytes(m_string, m_string + std::strlen(reinterpret_cast<const char*>(m_string)));
        if (m_type == RFCTYPE_XSTRING)
            return Bytes(m_xstring.content, m_xstring.content + m_xstring.length);
        return m_data;
    }

private:
    RFCTYPE m_type;
    Bytes m_data;
    RFC_STRING m_string = nullptr;
    RFC_XSTRING m_xstring{0, nullptr};
};

// Writes the value into a row at the element's offset (strings as the library's handles).
void place(uint8_t* row, const RFC_UNICODE_TYPE_ELEMENT& e, Buffer& b)
{
    const Bytes held = b.held();
    if (e.type == RFCTYPE_STRING || e.type == RFCTYPE_XSTRING)
        std::memcpy(row + e.c2_offset, b.address(), e.type == RFCTYPE_STRING ? sizeof(RFC_STRING) : sizeof(RFC_XSTRING));
    else
        std::memcpy(row + e.c2_offset, held.data(), held.size());
}

Bytes taken(const uint8_t* row, const RFC_UNICODE_TYPE_ELEMENT& e)
{
    if (e.type == RFCTYPE_STRING) {
        RFC_STRING s = nullptr;
        std::memcpy(&s, row + e.c2_offset, sizeof s);
        return Bytes(s, s + std::strlen(reinterpret_cast<const char*>(s)));
    }
    if (e.type == RFCTYPE_XSTRING) {
        RFC_XSTRING x{};
        std::memcpy(&x, row + e.c2_offset, sizeof x);
        return Bytes(x.content, x.content + x.length);
    }
    return Bytes(row + e.c2_offset, row + e.c2_offset + e.c2_length);
}

} // namespace

TEST(Values, EveryScalarTypeTravelsBothWaysUnchanged)
{
    Connection c;
    std::vector<Buffer> in, out;
    Parameters exporting, importing;
    for (const Value& v : values()) {
        in.emplace_back(v);
        out.push_back(Buffer::empty(v));
        exporting.add(L"I_" + wide(v.field), v.type, v.leng, in.back().address());
        importing.add(L"E_" + wide(v.field), v.type, v.leng, out.back().address());
    }
    Tables none;
    ASSERT_EQ(RFC_OK, callReceive(c.handle(), L"Z_SIM_ECHO_TYPES", exporting, importing, none)) << lastError().message;
    for (size_t i = 0; i < values().size(); ++i)
        EXPECT_EQ(values()[i].raw, out[i].held()) << values()[i].field;
}

TEST(Values, ThePartnerReadsTheBytesAsTheirValues)
{
    Connection c;
    std::vector<Buffer> in;
    std::vector<std::wstring> texts(values().size(), std::wstring(64, L'?'));
    Parameters exporting, importing;
    for (size_t i = 0; i < values().size(); ++i) {
        in.emplace_back(values()[i]);
        exporting.add(L"I_" + wide(values()[i].field), values()[i].type, values()[i].leng, in.back().address());
        importing.add(L"E_" + wide(values()[i].field), RFCTYPE_CHAR, 128, texts[i].data());
    }
    Tables none;
    ASSERT_EQ(RFC_OK, callReceive(c.handle(), L"Z_SIM_ECHO_TYPES", exporting, importing, none)) << lastError().message;
    for (size_t i = 0; i < values().size(); ++i) {
        if (!values()[i].text.empty()) {
            EXPECT_EQ(values()[i].text, utf8(trimmed(texts[i].data(), 64).c_str())) << values()[i].field;
        }
    }
}

TEST(Values, ThePartnerConvertsBetweenTheCallersTypeAndItsOwn)
{
    Connection c;
    std::wstring number = field(L"-7", 10), packed = field(L"12.5", 10);
    RFC_INT integer = 0;
    RFC_BCD bcd[8] = {};
    Parameters exporting, importing;
    exporting.add(L"I_INT", RFCTYPE_CHAR, 20, number.data()).add(L"I_BCD", RFCTYPE_CHAR, 20, packed.data());
    importing.add(L"E_INT", RFCTYPE_INT, 4, &integer).add(L"E_BCD", RFCTYPE_BCD, 8, bcd);
    Tables none;
    ASSERT_EQ(RFC_OK, callReceive(c.handle(), L"Z_SIM_ECHO_TYPES", exporting, importing, none)) << lastError().message;
    EXPECT_EQ(-7, integer);
    EXPECT_EQ((Bytes{0, 0, 0, 0, 0, 0x01, 0x25, 0x0C}), Bytes(bcd, bcd + 8)) << "12.50 with the interface's two decimals";
}

TEST(Values, StructureAndTableRowsInThePartnersLayout)
{
    Connection c;
    const Structure s = installFromPartner(c.handle(), L"ZSIM_ALLTYPES");
    std::vector<Buffer> buffers;
    Bytes row(s.length), echoed(s.length);
    for (const Value& v : values()) {
        buffers.emplace_back(v);
        place(row.data(), s.field(v.field), buffers.back());
    }
    const ITAB_H rows = rfc().ItCreateU(nullptr, s.length, 3, 0);
    for (int i = 0; i < 3; ++i)
        std::memcpy(rfc().ItAppLineU(rows), row.data(), row.size());
    Parameters exporting, importing;
    exporting.add(L"I_STRUCT", s.handle, s.length, row.data());
    importing.add(L"E_STRUCT", s.handle, s.length, echoed.data());
    Tables tables;
    tables.add(L"T_ROWS", s.handle, s.length, rows);
    ASSERT_EQ(RFC_OK, callReceive(c.handle(), L"Z_SIM_ECHO_TYPES", exporting, importing, tables)) << lastError().message;
    ASSERT_EQ(3u, rfc().ItFillU(rows));
    for (const Value& v : values()) {
        EXPECT_EQ(v.raw, taken(echoed.data(), s.field(v.field))) << "E_STRUCT-" << v.field;
        EXPECT_EQ(v.raw, taken(static_cast<const uint8_t*>(rfc().ItGetLineU(rows, 3)), s.field(v.field))) << "T_ROWS-" << v.field;
    }
    rfc().ItDeleteU(rows);
}

TEST(Values, GeneratedRowsArriveWithTheValuesThePartnerMade)
{
    Connection c;
    const Structure s = installFromPartner(c.handle(), L"ZSIM_ALLTYPES");
    RFC_INT count = 3;
    Parameters exporting, none;
    exporting.add(L"ROWCOUNT", RFCTYPE_INT, 4, &count);
    Tables tables;
    tables.add(L"ROWS", s.handle, s.length, nullptr);
    ASSERT_EQ(RFC_OK, callReceive(c.handle(), L"Z_SIM_GENERATE_ROWS", exporting, none, tables)) << lastError().message;
    const ITAB_H rows = tables.at(0).ithandle;
    EXPECT_EQ(1, tables.at(0).newitab) << "the library made the table";
    ASSERT_EQ(3u, rfc().ItFillU(rows));
    const auto* row = static_cast<const uint8_t*>(rfc().ItGetLineU(rows, 2));
    auto text = [&](const char* f) { return utf8(reinterpret_cast<const SAP_UC*>(row + s.field(f).c2_offset), s.field(f).c2_length / 2); };
    auto bytes = [&](const char* f) { return taken(row, s.field(f)); };
    EXPECT_EQ("ROW2      ", text("CHAR"));
    EXPECT_EQ("00002", text("NUMC"));
    EXPECT_EQ("20000102", text("DATE"));
    EXPECT_EQ("000114", text("TIME"));
    EXPECT_EQ((Bytes{0, 0, 0, 0, 0, 0, 0x22, 0x5C}), bytes("BCD"));
    EXPECT_EQ((Bytes{0, 0, 0, 2}), bytes("RAW"));
    EXPECT_EQ(bytesOf(2.5), bytes("FLOAT"));
    EXPECT_EQ(bytesOf<int32_t>(-994), bytes("INT"));
    EXPECT_EQ(bytesOf<int16_t>(-14998), bytes("INT2"));
    EXPECT_EQ(Bytes{2}, bytes("INT1"));
    EXPECT_EQ((Bytes{'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l'}), bytes("STRING"));
    EXPECT_EQ((Bytes{0, 2}), bytes("XSTRING"));
    rfc().ItDeleteU(rows);
}

TEST(Values, PackedNumbersAsTextAndBack)
{
    struct Case {
        std::wstring text;
        int decimals; // given; -1: from the text
        int length;
        int rc;
        Bytes packed;
        int decimalsAfter;
        std::wstring back; // RfcConvertBcdToCharU in 12 characters
    };
    const Case cases[] = {
        {L"123.45", -1, 4, 0, {0x00, 0x12, 0x34, 0x5C}, 2, L"    123.45 "},
        {L" -7.5 ", 2, 3, 0, {0x00, 0x75, 0x0D}, 2, L"      7.50-"},
        {L"7.5-", 0, 2, 0, {0x00, 0x8D}, 0, L"         8-"},
        {L"0.005", 2, 2, 0, {0x00, 0x1C}, 2, L"      0.01 "},
        {L"12345", 0, 2, 2, {}, 0, L""},
        {L"12a", 0, 4, 3, {}, 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.text.c_str()));
        std::wstring text = c.text;
        int decimals = c.decimals;
        Bytes packed(static_cast<size_t>(c.length));
        EXPECT_EQ(c.rc, rfc().RfcConvertCharToBcdU(text.data(), static_cast<int>(text.size()), &decimals, packed.data(), c.length));
        if (c.rc != 0)
            continue;
        EXPECT_EQ(c.packed, packed);
        EXPECT_EQ(c.decimalsAfter, decimals);
        wchar_t back[12] = {};
        EXPECT_EQ(0, rfc().RfcConvertBcdToCharU(packed.data(), c.length, decimals, back, 12));
        EXPECT_EQ(c.back, std::wstring(back));
    }
    RFC_BCD invalid[2] = {0x1A, 0x2C};
    wchar_t out[8] = {};
    EXPECT_EQ(3, rfc().RfcConvertBcdToCharU(invalid, 2, 0, out, 8)) << "a nibble that is no digit";
    RFC_BCD large[4] = {0x12, 0x34, 0x56, 0x7C};
    EXPECT_EQ(2, rfc().RfcConvertBcdToCharU(large, 4, 0, out, 4)) << "seven digits and the sign need more than three characters";
}

TEST(Values, LibraryStringsAndByteStrings)
{
    RFC_STRING s = rfc().RfcAllocStringU(5);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(0, s[0]);
    EXPECT_EQ(0, s[5]) << "size plus a terminating zero";
    rfc().RfcFreeStringU(s);
    rfc().RfcFreeStringU(nullptr);
    RFC_XSTRING x{0, nullptr};
    ASSERT_EQ(RFC_OK, rfc().RfcResizeXStringU(&x, 3));
    EXPECT_EQ(3, x.length);
    x.content[0] = 7;
    ASSERT_EQ(RFC_OK, rfc().RfcResizeXStringU(&x, 5));
    EXPECT_EQ(7, x.content[0]) << "resizing keeps the content";
    EXPECT_EQ(RFC_OK, rfc().RfcResizeXStringU(&x, 0));
    EXPECT_EQ(nullptr, x.content);
    EXPECT_NE(RFC_OK, rfc().RfcResizeXStringU(&x, -1));
}
