// Descriptions read from the partner (function interfaces, flat structures) and structures the
// caller installs.
#include "ClassicApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

using namespace classic;

namespace {

std::map<std::string, RFC_U_FUNINT> interfaceOf(RFC_HANDLE h, const wchar_t* function, RFC_RC& rc, std::string& exception)
{
    std::wstring name = function;
    std::wstring table = L"funcinfo";
    ITAB_H rows = rfc().ItCreateU(table.data(), sizeof(RFC_U_FUNINT), 1, 0);
    rfc_char_t* raised = nullptr;
    rc = rfc().RfcGetFunctionInfoAsTableU(h, name.data(), &rows, &raised);
    exception = utf8(raised);
    std::map<std::string, RFC_U_FUNINT> out;
    for (unsigned line = 1; line <= rfc().ItFillU(rows); ++line) {
        RFC_U_FUNINT row{};
        EXPECT_EQ(0, rfc().ItCpyLineU(rows, line, &row));
        out[utf8(trimmed(row.Parameter, 30).c_str())] = row;
    }
    rfc().ItDeleteU(rows);
    return out;
}

} // namespace

TEST(Metadata, FunctionInterfaceRowsInTheUnicodeLayout)
{
    Connection c;
    RFC_RC rc{};
    std::string exception;
    const auto rows = interfaceOf(c.handle(), L"Z_SIM_ECHO_TYPES", rc, exception);
    ASSERT_EQ(RFC_OK, rc) << exception;
    struct Case {
        const char* parameter;
        wchar_t paramClass, exid;
        int lengthB1, lengthB2, decimals;
        wchar_t optional;
    };
    const Case cases[] = {
        {"I_CHAR", L'I', L'C', 10, 20, 0, L'X'},
        {"I_BCD", L'I', L'P', 8, 8, 2, L'X'},
        {"E_DATE", L'E', L'D', 8, 16, 0, L' '},
        {"E_INT", L'E', L'I', 4, 4, 0, L' '},
        {"I_STRUCT", L'I', L'u', 0, 0, 0, L'X'},
        {"T_ROWS", L'T', L'u', 0, 0, 0, L'X'},
    };
    const Structure alltypes = installFromPartner(c.handle(), L"ZSIM_ALLTYPES");
    for (const Case& k : cases) {
        SCOPED_TRACE(k.parameter);
        ASSERT_EQ(1u, rows.count(k.parameter));
        const RFC_U_FUNINT& r = rows.at(k.parameter);
        EXPECT_EQ(k.paramClass, r.Paramclass[0]);
        EXPECT_EQ(k.exid, r.Exid[0]);
        EXPECT_EQ(k.decimals, r.Decimals);
        EXPECT_EQ(k.optional == L'X', r.Optional[0] == L'X');
        if (k.exid == L'u') {
            EXPECT_EQ("ZSIM_ALLTYPES", utf8(trimmed(r.Tabname, 30).c_str()));
            EXPECT_EQ(static_cast<int>(alltypes.length), r.Length_b2) << "the row's length in this platform's layout";
        } else {
            EXPECT_EQ(k.lengthB1, r.Length_b1);
            EXPECT_EQ(k.lengthB2, r.Length_b2);
        }
    }
    const auto tableType = interfaceOf(c.handle(), L"Z_SIM_TABLE_TYPE", rc, exception);
    EXPECT_EQ(L'h', tableType.at("T_ITEMS").Exid[0]) << "a table parameter typed by a table type";
    EXPECT_EQ("ZSIM_ALLTYPES_TT", utf8(trimmed(tableType.at("T_ITEMS").Tabname, 30).c_str()));

    interfaceOf(c.handle(), L"Z_NO_SUCH_MODULE", rc, exception);
    EXPECT_EQ(RFC_EXCEPTION, rc);
    EXPECT_EQ("FU_NOT_FOUND", exception);
}

TEST(Metadata, FlatStructureMatchesTheDictionarysTwoByteLayout)
{
    Connection c;
    // RFCTEST as the partner's own description reports it (RFC_GET_UNICODE_STRUCTURE).
    const Structure s = installFromPartner(c.handle(), L"RFCTEST");
    const std::pair<const char*, unsigned> offsets[] = {{"RFCFLOAT", 0}, {"RFCCHAR1", 8}, {"RFCINT2", 10}, {"RFCINT1", 12},
                                                        {"RFCCHAR4", 14}, {"RFCINT4", 24}, {"RFCHEX3", 28}, {"RFCCHAR2", 32},
                                                        {"RFCTIME", 36}, {"RFCDATE", 48}, {"RFCDATA1", 64}, {"RFCDATA2", 164}};
    for (const auto& [name, offset] : offsets)
        EXPECT_EQ(offset, s.field(name).c2_offset) << name;
    EXPECT_EQ(264u, s.length);
    EXPECT_EQ(static_cast<unsigned>(RFCTYPE_INT2), s.field("RFCINT2").type);
    EXPECT_EQ(0u + RFCTYPE_DATE, s.field("RFCDATE").type);
    EXPECT_EQ(16u, s.field("RFCDATE").c2_length);
    EXPECT_EQ(8u, s.field("RFCDATE").c1_length);
    EXPECT_NE(0u, s.handle) << "installed on request";
    EXPECT_EQ(s.handle, installFromPartner(c.handle(), L"RFCTEST").handle) << "installing again gives the same handle";
}

TEST(Metadata, TableTypesUnknownAndDeepStructures)
{
    Connection c;
    struct Case {
        const wchar_t* name;
        RFC_RC rc;
        RFCTYPE kind;
        std::string exception;
    };
    const Case cases[] = {
        {L"ZSIM_ALLTYPES", RFC_OK, RFCTYPE_STRUCTURE, ""},
        {L"ZSIM_ALLTYPES_TT", RFC_OK, RFCTYPE_ITAB, ""},
        {L"ZSIM_NOTHING", RFC_EXCEPTION, RFCTYPE_CHAR, "TABLE_NOT_ACTIVE"},
        {L"ZSIM_DEEP", RFC_EXCEPTION, RFCTYPE_CHAR, "UNSUPPORTED_TYPE"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(utf8(k.name));
        std::wstring name = k.name;
        unsigned count = 0, b1 = 0, b2 = 0, b4 = 0;
        RFC_UNICODE_TYPE_ELEMENT* fields = nullptr;
        RFCTYPE kind = RFCTYPE_CHAR;
        rfc_char_t* exception = nullptr;
        EXPECT_EQ(k.rc, rfc().RfcGetStructureInfoFlatU(c.handle(), name.data(), 0, nullptr, nullptr, &count, &fields, &kind, &b1, &b2, &b4,
                                                       nullptr, nullptr, &exception));
        EXPECT_EQ(k.kind, kind);
        if (k.rc == RFC_OK) {
            EXPECT_EQ(12u, count) << "the fields of ZSIM_ALLTYPES";
            EXPECT_EQ(std::string("XSTRING"), utf8(fields[11].name));
            EXPECT_EQ(sizeof(RFC_XSTRING), fields[11].c2_length);
        } else {
            EXPECT_EQ(k.exception, utf8(exception));
        }
        rfc().RfcReleaseStructInfoU(nullptr, fields);
    }
    std::wstring name = L"RFCTEST";
    ITAB_H rows = nullptr;
    RFCTYPE kind{};
    unsigned b1 = 0, b2 = 0, b4 = 0;
    ASSERT_EQ(RFC_OK, rfc().RfcGetStructureInfoAsTableU(c.handle(), name.data(), &rows, nullptr, &kind, &b1, &b2, &b4, nullptr, nullptr));
    ASSERT_EQ(12u, rfc().ItFillU(rows));
    RFC_U_FIELDS last{};
    rfc().ItCpyLineU(rows, 12, &last);
    EXPECT_EQ("RFCDATA2", utf8(trimmed(last.Fieldname, 30).c_str()));
    EXPECT_EQ(164, last.Offset_b2);
    EXPECT_EQ(100, last.Length_b2);
    EXPECT_EQ(144u, b1);
    rfc().ItDeleteU(rows);
}

TEST(Metadata, InstalledStructuresAreCheckedAndShared)
{
    std::wstring name = L"ZCALLER", text = L"TEXT", number = L"NUMBER", bad = L"BAD";
    RFC_UNICODE_TYPE_ELEMENT good[] = {{text.data(), RFCTYPE_CHAR, 0, 3, 0, 6, 0, 0, 0}, {number.data(), RFCTYPE_INT, 0, 4, 4, 4, 8, 0, 0}};
    RFC_TYPEHANDLE first = 0, second = 0;
    ASSERT_EQ(RFC_OK, rfc().RfcInstallUnicodeStructureU(name.data(), good, 2, 0, nullptr, &first));
    ASSERT_EQ(RFC_OK, rfc().RfcInstallUnicodeStructureU(name.data(), good, 2, 0, nullptr, &second));
    EXPECT_EQ(first, second);
    EXPECT_GT(first, static_cast<RFC_TYPEHANDLE>(RFCTYPE_XSTRING)) << "never a scalar type code";
    struct Case {
        RFC_UNICODE_TYPE_ELEMENT element;
        const char* why;
    };
    const Case refused[] = {
        {{bad.data(), 99, 0, 1, 0, 2, 0, 0, 0}, "unknown type"},
        {{bad.data(), RFCTYPE_DATE, 0, 8, 0, 8, 0, 0, 0}, "a date of 8 bytes"},
        {{bad.data(), RFCTYPE_STRING, 0, 2, 0, 2, 0, 0, 0}, "a string shorter than RFC_STRING"},
        {{bad.data(), RFCTYPE_BCD, 0, 17, 0, 17, 0, 0, 0}, "a packed number of 17 bytes"},
    };
    for (const Case& k : refused) {
        RFC_UNICODE_TYPE_ELEMENT element = k.element;
        RFC_TYPEHANDLE h = 0;
        EXPECT_EQ(RFC_INVALID_PARAMETER, rfc().RfcInstallUnicodeStructureU(name.data(), &element, 1, 0, nullptr, &h)) << k.why;
    }
    RFC_TYPEHANDLE h = 0;
    EXPECT_EQ(RFC_INVALID_PARAMETER, rfc().RfcInstallUnicodeStructureU(name.data(), good, 0, 0, nullptr, &h));
    EXPECT_EQ(RFC_INVALID_PARAMETER, rfc().RfcInstallUnicodeStructureU(name.data(), nullptr, 2, 0, nullptr, &h));
    RFCTYPE type{};
    EXPECT_EQ(RFC_OK, rfc().RfcExidToRfcTypeU(L's', &type));
    EXPECT_EQ(RFCTYPE_INT2, type);
    EXPECT_EQ(RFC_OK, rfc().RfcExidToRfcTypeU(L'b', &type));
    EXPECT_EQ(RFCTYPE_INT1, type);
    EXPECT_NE(RFC_OK, rfc().RfcExidToRfcTypeU(L'?', &type));
}
