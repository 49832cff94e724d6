// Internal tables: the ItXxx functions, and tables as calls send and receive them.
#include "ClassicApi.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace classic;

namespace {

std::string rowText(ITAB_H t, unsigned line)
{
    const auto* row = static_cast<const SAP_UC*>(rfc().ItGetLineU(t, line));
    return row == nullptr ? "<none>" : utf8(trimmed(row, rfc().ItLengU(t) / 2).c_str());
}

void append(ITAB_H t, const std::wstring& text)
{
    const std::wstring row = field(text, rfc().ItLengU(t) / 2);
    std::memcpy(rfc().ItAppLineU(t), row.data(), row.size() * 2);
}

} // namespace

TEST(Tables, RowsAreNumberedFromOneAndKeepTheirPlace)
{
    std::wstring name = L"T";
    const ITAB_H t = rfc().ItCreateU(name.data(), 8, 0, 0);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(8u, rfc().ItLengU(t));
    append(t, L"A");
    append(t, L"C");
    const std::wstring b = field(L"B", 4);
    std::memcpy(rfc().ItInsLineU(t, 2), b.data(), 8);
    EXPECT_EQ(3u, rfc().ItFillU(t));
    EXPECT_EQ("A", rowText(t, 1));
    EXPECT_EQ("B", rowText(t, 2));
    EXPECT_EQ("C", rowText(t, 3));
    EXPECT_EQ(nullptr, rfc().ItGetLineU(t, 0));
    EXPECT_EQ(nullptr, rfc().ItGetLineU(t, 4));
    EXPECT_EQ(nullptr, rfc().ItInsLineU(t, 5));
    wchar_t copy[4] = {};
    EXPECT_EQ(0, rfc().ItCpyLineU(t, 3, copy));
    EXPECT_EQ(L'C', copy[0]);
    EXPECT_EQ(-1, rfc().ItCpyLineU(t, 9, copy));
    const std::wstring z = field(L"Z", 4);
    EXPECT_EQ(0, rfc().ItPutLineU(t, 1, const_cast<wchar_t*>(z.data())));
    EXPECT_EQ("Z", rowText(t, 1));
    void* third = rfc().ItGetLineU(t, 3);
    EXPECT_EQ(0, rfc().ItDelLineU(t, 1));
    EXPECT_EQ(third, rfc().ItGetLineU(t, 2)) << "a row's memory stays where it was";
    EXPECT_EQ(1, rfc().ItDelLineU(t, 7));
    EXPECT_EQ(0, rfc().ItFreeU(t));
    EXPECT_EQ(0u, rfc().ItFillU(t));
    append(t, L"again");
    EXPECT_EQ(1u, rfc().ItFillU(t)) << "a freed table stays usable";
    EXPECT_EQ(0, rfc().ItDeleteU(t));
    EXPECT_EQ(-1, rfc().ItDeleteU(t));
    EXPECT_EQ(nullptr, rfc().ItCreateU(nullptr, 0, 0, 0));
}

TEST(Tables, ACallReplacesTheRowsOfItsTables)
{
    Connection c;
    const Structure s = installFromPartner(c.handle(), L"RFCTEST");
    std::vector<uint8_t> in = initialRow(s);
    const std::wstring text = field(L"SENT", 4);
    std::memcpy(in.data() + s.field("RFCCHAR4").c2_offset, text.data(), 8);
    std::vector<uint8_t> echo(s.length);
    wchar_t response[255] = {};
    const ITAB_H rows = rfc().ItCreateU(nullptr, s.length, 0, 0);
    for (int i = 0; i < 2; ++i)
        std::memcpy(rfc().ItAppLineU(rows), in.data(), in.size());
    Parameters exporting, importing;
    exporting.add(L"IMPORTSTRUCT", s.handle, s.length, in.data());
    importing.add(L"ECHOSTRUCT", s.handle, s.length, echo.data()).add(L"RESPTEXT", RFCTYPE_CHAR, sizeof response, response);
    Tables tables;
    tables.add(L"RFCTABLE", s.handle, s.length, rows);
    ASSERT_EQ(RFC_OK, callReceive(c.handle(), L"STFC_STRUCTURE", exporting, importing, tables)) << lastError().message;
    EXPECT_NE(std::string::npos, utf8(trimmed(response, 255).c_str()).find("2 rows received"));
    EXPECT_EQ(3u, rfc().ItFillU(rows)) << "the module appended one row";
    EXPECT_EQ(0, std::memcmp(echo.data(), in.data(), in.size()));
    EXPECT_EQ(0, std::memcmp(rfc().ItGetLineU(rows, 3), in.data(), in.size()));
    EXPECT_EQ(0, tables.at(0).newitab);
    rfc().ItDeleteU(rows);
}

TEST(Tables, ByValueTablesAreSentButNotReadBack)
{
    Connection c;
    const Structure s = installFromPartner(c.handle(), L"RFCTEST");
    std::vector<uint8_t> in(s.length), echo(s.length);
    const ITAB_H rows = rfc().ItCreateU(nullptr, s.length, 0, 0);
    rfc().ItAppLineU(rows);
    Parameters exporting, importing;
    exporting.add(L"IMPORTSTRUCT", s.handle, s.length, in.data());
    importing.add(L"ECHOSTRUCT", s.handle, s.length, echo.data());
    Tables tables;
    tables.add(L"RFCTABLE", s.handle, s.length, rows, RFC_ITMODE_BYVALUE);
    ASSERT_EQ(RFC_OK, callReceive(c.handle(), L"STFC_STRUCTURE", exporting, importing, tables)) << lastError().message;
    EXPECT_EQ(1u, rfc().ItFillU(rows));
    rfc().ItDeleteU(rows);
}
