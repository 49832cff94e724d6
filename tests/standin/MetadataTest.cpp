// Descriptions read from sapsim's repository, cached per system, and built by the caller.
#include "StandIn.h"

#include <gtest/gtest.h>

#include <array>
#include <cwchar>
#include <map>

using namespace standin;

namespace {

std::wstring trimmed(std::wstring s)
{
    s.erase(s.find_last_not_of(L' ') + 1);
    return s;
}

// RFC_GET_UNICODE_STRUCTURE's FIELDS by name: offset and length with one and two bytes per character.
std::map<std::wstring, std::array<int, 4>> unicodeLayout(RFC_CONNECTION_HANDLE c, const wchar_t* structure)
{
    Function f(c, L"RFC_GET_UNICODE_STRUCTURE");
    setChars(f.handle(), L"TABNAME", structure);
    Error e;
    EXPECT_EQ(RFC_OK, f.invoke(c, e)) << e.text();
    std::map<std::wstring, std::array<int, 4>> out;
    RFC_TABLE_HANDLE rows = f.table(L"FIELDS");
    for (unsigned i = 0; i < rowCount(rows); ++i) {
        nw().RfcMoveTo(rows, i, &e);
        out[trimmed(chars(rows, L"FIELDNAME", 30))] = {integer(rows, L"OFFSET_B1"), integer(rows, L"LENGTH_B1"),
                                                       integer(rows, L"OFFSET_B2"), integer(rows, L"LENGTH_B2")};
    }
    return out;
}

RFC_PARAMETER_DESC parameter(const wchar_t* name, RFCTYPE type, RFC_DIRECTION direction, unsigned nuc, unsigned uc,
                             RFC_TYPE_DESC_HANDLE typeDesc = nullptr)
{
    RFC_PARAMETER_DESC p{};
    std::wcsncpy(p.name, name, 30);
    p.type = type;
    p.direction = direction;
    p.nucLength = nuc;
    p.ucLength = uc;
    p.typeDescHandle = typeDesc;
    return p;
}

RFC_FIELD_DESC field(const wchar_t* name, RFCTYPE type, unsigned nucOffset, unsigned nuc, unsigned ucOffset, unsigned uc)
{
    RFC_FIELD_DESC f{};
    std::wcsncpy(f.name, name, 30);
    f.type = type;
    f.nucOffset = nucOffset;
    f.nucLength = nuc;
    f.ucOffset = ucOffset;
    f.ucLength = uc;
    return f;
}

// The address of a temporary, valid until the end of the call it is passed to.
template <class T>
const T* ptr(const T& value)
{
    return &value;
}

} // namespace

TEST(Metadata, FunctionDescriptionMatchesTheRepository)
{
    Connection c(logon());
    Error e;
    RFC_FUNCTION_DESC_HANDLE desc = nw().RfcGetFunctionDesc(c.handle(), L"stfc_structure", &e);
    ASSERT_NE(nullptr, desc) << e.text();
    RFC_ABAP_NAME name;
    nw().RfcGetFunctionName(desc, name, &e);
    EXPECT_EQ("STFC_STRUCTURE", utf8(name));

    struct Expected {
        const char* name;
        RFCTYPE type;
        RFC_DIRECTION direction;
        unsigned nucLength, ucLength;
    } expected[] = {{"IMPORTSTRUCT", RFCTYPE_STRUCTURE, RFC_IMPORT, 144, 264},
                    {"ECHOSTRUCT", RFCTYPE_STRUCTURE, RFC_EXPORT, 144, 264},
                    {"RESPTEXT", RFCTYPE_CHAR, RFC_EXPORT, 255, 510},
                    {"RFCTABLE", RFCTYPE_TABLE, RFC_TABLES, 144, 264}};
    unsigned count = 0;
    nw().RfcGetParameterCount(desc, &count, &e);
    ASSERT_EQ(std::size(expected), count);
    for (unsigned i = 0; i < count; ++i) {
        RFC_PARAMETER_DESC p{};
        ASSERT_EQ(RFC_OK, nw().RfcGetParameterDescByIndex(desc, i, &p, &e));
        EXPECT_EQ(expected[i].name, utf8(p.name));
        EXPECT_EQ(expected[i].type, p.type) << expected[i].name;
        EXPECT_EQ(expected[i].direction, p.direction) << expected[i].name;
        EXPECT_EQ(expected[i].nucLength, p.nucLength) << expected[i].name;
        EXPECT_EQ(expected[i].ucLength, p.ucLength) << expected[i].name;
        EXPECT_EQ(p.type == RFCTYPE_CHAR, p.typeDescHandle == nullptr) << expected[i].name;
    }
    RFC_PARAMETER_DESC byName{};
    EXPECT_EQ(RFC_OK, nw().RfcGetParameterDescByName(desc, L"RFCTABLE", &byName, &e));
    EXPECT_EQ(RFC_NOT_FOUND, nw().RfcGetParameterDescByName(desc, L"NONE", &byName, &e));
    EXPECT_EQ(nullptr, nw().RfcGetFunctionDesc(c.handle(), L"Z_DOES_NOT_EXIST", &e));
    EXPECT_EQ(RFC_NOT_FOUND, e.code);

    RFC_FUNCTION_DESC_HANDLE raise = nw().RfcGetFunctionDesc(c.handle(), L"Z_SIM_RAISE", &e);
    unsigned exceptions = 0;
    nw().RfcGetExceptionCount(raise, &exceptions, &e);
    ASSERT_EQ(1u, exceptions);
    RFC_EXCEPTION_DESC x{};
    nw().RfcGetExceptionDescByIndex(raise, 0, &x, &e);
    EXPECT_EQ("TEST_EXCEPTION", utf8(x.key));
}

TEST(Metadata, TypesWithoutAProductTypeCode)
{
    Connection c(logon());
    Function f(c.handle(), L"Z_SIM_DECFLOAT");
    Error e;
    RFC_PARAMETER_DESC p16{}, p34{};
    RFC_FUNCTION_DESC_HANDLE desc = nw().RfcDescribeFunction(f.handle(), &e);
    nw().RfcGetParameterDescByName(desc, L"I_DECF16", &p16, &e);
    nw().RfcGetParameterDescByName(desc, L"E_DECF34", &p34, &e);
    EXPECT_EQ(RFCTYPE_DECF16, p16.type);
    EXPECT_EQ(8u, p16.nucLength);
    EXPECT_EQ(RFCTYPE_DECF34, p34.type);
    EXPECT_EQ(16u, p34.ucLength);
    ASSERT_EQ(RFC_OK, nw().RfcSetFloat(f.handle(), L"I_DECF16", 2.5, &e));
    setChars(f.handle(), L"I_DECF34", L"-0.125");
    ASSERT_EQ(RFC_OK, f.invoke(c.handle(), e)) << e.text();
    RFC_FLOAT x = 0;
    nw().RfcGetFloat(f.handle(), L"E_DECF16", &x, &e);
    EXPECT_EQ(2.5, x);
    nw().RfcGetFloat(f.handle(), L"E_DECF34", &x, &e);
    EXPECT_EQ(-0.125, x);
}

TEST(Metadata, StructureLayoutMatchesRfcGetUnicodeStructure)
{
    Connection c(logon());
    Error e;
    RFC_TYPE_DESC_HANDLE type = nw().RfcGetTypeDesc(c.handle(), L"RFCTEST", &e);
    ASSERT_NE(nullptr, type) << e.text();
    unsigned nuc = 0, uc = 0, count = 0;
    nw().RfcGetTypeLength(type, &nuc, &uc, &e);
    EXPECT_EQ(144u, nuc);
    EXPECT_EQ(264u, uc);
    const auto layout = unicodeLayout(c.handle(), L"RFCTEST");
    nw().RfcGetFieldCount(type, &count, &e);
    ASSERT_EQ(layout.size(), count);
    for (unsigned i = 0; i < count; ++i) {
        RFC_FIELD_DESC f{};
        nw().RfcGetFieldDescByIndex(type, i, &f, &e);
        const std::array<int, 4> reported = {static_cast<int>(f.nucOffset), static_cast<int>(f.nucLength),
                                             static_cast<int>(f.ucOffset), static_cast<int>(f.ucLength)};
        EXPECT_EQ(layout.at(f.name), reported) << utf8(f.name);
    }
    RFC_FIELD_DESC date{};
    ASSERT_EQ(RFC_OK, nw().RfcGetFieldDescByName(type, L"RFCDATE", &date, &e));
    EXPECT_EQ(RFCTYPE_DATE, date.type);
}

TEST(Metadata, DescriptionsAreCachedPerSystemAndOwnedByTheLibrary)
{
    Connection a(logon()), b(logon(L"RFCUSER", L"rfcuser1"));
    Error e;
    RFC_FUNCTION_DESC_HANDLE first = nw().RfcGetFunctionDesc(a.handle(), L"Z_SIM_ECHO_TYPES", &e);
    EXPECT_EQ(first, nw().RfcGetFunctionDesc(b.handle(), L"Z_SIM_ECHO_TYPES", &e)) << "same system, same description";
    RFC_PARAMETER_DESC s{};
    nw().RfcGetParameterDescByName(first, L"I_STRUCT", &s, &e);
    EXPECT_EQ(s.typeDescHandle, nw().RfcGetTypeDesc(b.handle(), L"ZSIM_ALLTYPES", &e)) << "types share the cache";
    EXPECT_EQ(RFC_ILLEGAL_STATE, nw().RfcDestroyFunctionDesc(first, &e));
    EXPECT_EQ(RFC_ILLEGAL_STATE, nw().RfcAddParameter(first, &s, &e));
}

TEST(Metadata, CallerBuiltDescriptionCallsTheSystem)
{
    Error e;
    RFC_TYPE_DESC_HANDLE row = nw().RfcCreateTypeDesc(L"RFCTEST", &e);
    ASSERT_NE(nullptr, row);
    ASSERT_EQ(RFC_OK, nw().RfcAddTypeField(row, ptr(field(L"RFCCHAR4", RFCTYPE_CHAR, 13, 4, 14, 8)), &e)) << e.text();
    ASSERT_EQ(RFC_OK, nw().RfcAddTypeField(row, ptr(field(L"RFCINT4", RFCTYPE_INT, 20, 4, 24, 4)), &e));
    EXPECT_EQ(RFC_INVALID_PARAMETER, nw().RfcSetTypeLength(row, 20, 24, &e)) << "shorter than its fields";
    RFC_FIELD_DESC itself = field(L"SELF", RFCTYPE_STRUCTURE, 24, 144, 28, 264);
    itself.typeDescHandle = row;
    EXPECT_EQ(RFC_INVALID_PARAMETER, nw().RfcAddTypeField(row, &itself, &e)) << "a structure cannot hold itself";
    RFC_FUNCTION_DESC_HANDLE desc = nw().RfcCreateFunctionDesc(L"STFC_STRUCTURE", &e);
    ASSERT_EQ(RFC_OK, nw().RfcAddParameter(desc, ptr(parameter(L"IMPORTSTRUCT", RFCTYPE_STRUCTURE, RFC_IMPORT, 144, 264, row)), &e));
    ASSERT_EQ(RFC_OK, nw().RfcAddParameter(desc, ptr(parameter(L"ECHOSTRUCT", RFCTYPE_STRUCTURE, RFC_EXPORT, 144, 264, row)), &e));
    ASSERT_EQ(RFC_OK, nw().RfcAddParameter(desc, ptr(parameter(L"RFCTABLE", RFCTYPE_TABLE, RFC_TABLES, 144, 264, row)), &e));
    EXPECT_EQ(nullptr, nw().RfcCreateFunction(desc, &e)) << "the type has no length yet";
    EXPECT_EQ(RFC_ILLEGAL_STATE, e.code);
    ASSERT_EQ(RFC_OK, nw().RfcSetTypeLength(row, 144, 264, &e));
    {
        Function f(desc);
        EXPECT_EQ(RFC_ILLEGAL_STATE, nw().RfcAddParameter(desc, ptr(parameter(L"MORE", RFCTYPE_INT, RFC_IMPORT, 4, 4)), &e))
            << "a description in use does not change";
        Connection c(logon());
        setChars(f.structure(L"IMPORTSTRUCT"), L"RFCCHAR4", L"MINE");
        ASSERT_EQ(RFC_OK, nw().RfcSetInt(f.structure(L"IMPORTSTRUCT"), L"RFCINT4", 99, &e));
        ASSERT_EQ(RFC_OK, f.invoke(c.handle(), e)) << e.text();
        EXPECT_EQ(L"MINE", string(f.structure(L"ECHOSTRUCT"), L"RFCCHAR4"));
        EXPECT_EQ(99, integer(f.structure(L"ECHOSTRUCT"), L"RFCINT4"));
        EXPECT_EQ(1u, rowCount(f.table(L"RFCTABLE")));
        EXPECT_EQ(desc, nw().RfcDescribeFunction(f.handle(), &e));
        EXPECT_EQ(row, nw().RfcDescribeType(f.structure(L"ECHOSTRUCT"), &e));
    }
    EXPECT_EQ(RFC_OK, nw().RfcDestroyFunctionDesc(desc, &e));
    EXPECT_EQ(RFC_OK, nw().RfcDestroyTypeDesc(row, &e));
    EXPECT_EQ(RFC_INVALID_HANDLE, nw().RfcDestroyTypeDesc(row, &e));
}
