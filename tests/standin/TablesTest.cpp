// Structures and tables: STFC_STRUCTURE, RFC_READ_TABLE and the table cursor.
#include "StandIn.h"

#include <gtest/gtest.h>

using namespace standin;

TEST(Tables, StructureAndTableTravelBothWays)
{
    Connection c(logon());
    Function f(c.handle(), L"STFC_STRUCTURE");
    Error e;
    RFC_STRUCTURE_HANDLE in = f.structure(L"IMPORTSTRUCT");
    setChars(in, L"RFCCHAR4", L"ABCD");
    ASSERT_EQ(RFC_OK, nw().RfcSetInt(in, L"RFCINT4", 7, &e));
    RFC_TABLE_HANDLE table = f.table(L"RFCTABLE");
    ASSERT_EQ(RFC_OK, nw().RfcAppendNewRows(table, 2, &e));
    setChars(nw().RfcGetCurrentRow(table, &e), L"RFCCHAR4", L"ROW1");
    ASSERT_EQ(RFC_OK, nw().RfcMoveToNextRow(table, &e));
    setChars(nw().RfcGetCurrentRow(table, &e), L"RFCCHAR4", L"ROW2");
    ASSERT_EQ(RFC_OK, f.invoke(c.handle(), e)) << e.text();

    EXPECT_EQ(L"ABCD", string(f.structure(L"ECHOSTRUCT"), L"RFCCHAR4"));
    EXPECT_EQ(7, integer(f.structure(L"ECHOSTRUCT"), L"RFCINT4"));
    EXPECT_NE(std::wstring::npos, string(f.handle(), L"RESPTEXT").find(L"2 rows received"));
    ASSERT_EQ(3u, rowCount(table)) << "the module appends a copy of IMPORTSTRUCT";
    ASSERT_EQ(RFC_OK, nw().RfcMoveTo(table, 2, &e));
    EXPECT_EQ(L"ABCD", string(table, L"RFCCHAR4")) << "a table handle reads its current row";
    ASSERT_EQ(RFC_OK, nw().RfcMoveToFirstRow(table, &e));
    EXPECT_EQ(L"ROW1", string(table, L"RFCCHAR4"));
}

TEST(Tables, CursorMovesAndItsEnds)
{
    Connection c(logon());
    Function f(c.handle(), L"STFC_STRUCTURE");
    RFC_TABLE_HANDLE t = f.table(L"RFCTABLE");
    Error e;
    EXPECT_EQ(RFC_OK, nw().RfcMoveToFirstRow(t, &e)) << "an empty table has no first row, and that is fine";
    EXPECT_EQ(nullptr, nw().RfcGetCurrentRow(t, &e));
    EXPECT_EQ(RFC_TABLE_MOVE_EOF, e.code);
    EXPECT_EQ(RFC_TABLE_MOVE_EOF, nw().RfcMoveToNextRow(t, &e));

    RFC_STRUCTURE_HANDLE first = nw().RfcAppendNewRow(t, &e);
    setChars(first, L"RFCCHAR4", L"A");
    ASSERT_EQ(RFC_OK, nw().RfcAppendNewRows(t, 3, &e));
    EXPECT_NE(first, nw().RfcGetCurrentRow(t, &e)) << "the cursor is on the first new row";
    setChars(t, L"RFCCHAR4", L"B");
    EXPECT_EQ(RFC_OK, nw().RfcMoveToPreviousRow(t, &e));
    EXPECT_EQ(first, nw().RfcGetCurrentRow(t, &e));
    EXPECT_EQ(RFC_TABLE_MOVE_BOF, nw().RfcMoveToPreviousRow(t, &e));
    EXPECT_EQ(RFC_OK, nw().RfcMoveToLastRow(t, &e));
    EXPECT_EQ(RFC_TABLE_MOVE_EOF, nw().RfcMoveToNextRow(t, &e));
    EXPECT_EQ(RFC_TABLE_MOVE_EOF, nw().RfcMoveTo(t, 4, &e));

    ASSERT_EQ(RFC_OK, nw().RfcMoveToFirstRow(t, &e));
    ASSERT_EQ(RFC_OK, nw().RfcDeleteCurrentRow(t, &e));
    EXPECT_EQ(3u, rowCount(t));
    EXPECT_EQ(L"B", string(t, L"RFCCHAR4")) << "the next row moved up under the cursor";
    EXPECT_EQ(RFC_INVALID_HANDLE, nw().RfcSetChars(first, L"RFCCHAR4", L"X", 1, &e)) << "a deleted row's handle is dead";
    ASSERT_EQ(RFC_OK, nw().RfcDeleteAllRows(t, &e));
    EXPECT_EQ(0u, rowCount(t));
    EXPECT_EQ(RFC_OK, nw().RfcAppendNewRows(t, 0, &e));
    EXPECT_EQ(0u, rowCount(t));
}

TEST(Tables, ReadTableReturnsTheRowsAsked)
{
    Connection c(logon());
    Function f(c.handle(), L"RFC_READ_TABLE");
    setChars(f.handle(), L"QUERY_TABLE", L"SCARR");
    setChars(f.handle(), L"DELIMITER", L"|");
    setChars(f.handle(), L"ROWCOUNT", L"5");
    Error e;
    RFC_TABLE_HANDLE options = f.table(L"OPTIONS");
    setChars(nw().RfcAppendNewRow(options, &e), L"TEXT", L"CARRID <> 'XX'");
    ASSERT_EQ(RFC_OK, f.invoke(c.handle(), e)) << e.text();
    RFC_TABLE_HANDLE data = f.table(L"DATA");
    ASSERT_EQ(5u, rowCount(data));
    EXPECT_EQ(L"001|", string(data, L"WA").substr(0, 4));
    EXPECT_GT(rowCount(f.table(L"FIELDS")), 2u);
}

TEST(Tables, DeepStructureWithNestedStructureAndTable)
{
    Connection c(logon());
    Function f(c.handle(), L"Z_SIM_DEEP");
    Error e;
    RFC_STRUCTURE_HANDLE deep = f.structure(L"I_DEEP");
    setChars(deep, L"NAME", L"Deep");
    RFC_STRUCTURE_HANDLE address = nullptr;
    ASSERT_EQ(RFC_OK, nw().RfcGetStructure(deep, L"ADDRESS", &address, &e)) << e.text();
    setChars(address, L"ZIP", L"123");
    RFC_TABLE_HANDLE items = nullptr;
    ASSERT_EQ(RFC_OK, nw().RfcGetTable(deep, L"ITEMS", &items, &e)) << e.text();
    ASSERT_EQ(RFC_OK, nw().RfcAppendNewRows(items, 2, &e));
    setChars(items, L"CHAR", L"first");
    setChars(f.handle(), L"I_ID", L"5");
    ASSERT_EQ(RFC_OK, f.invoke(c.handle(), e)) << e.text();
    EXPECT_EQ(L"ID=5 NAME=Deep ITEMS=2", string(f.handle(), L"E_SUMMARY"));
    RFC_STRUCTURE_HANDLE echoed = f.structure(L"E_DEEP");
    RFC_STRUCTURE_HANDLE echoedAddress = nullptr;
    nw().RfcGetStructure(echoed, L"ADDRESS", &echoedAddress, &e);
    EXPECT_EQ(L"00123", string(echoedAddress, L"ZIP"));
    RFC_TABLE_HANDLE echoedItems = nullptr;
    nw().RfcGetTable(echoed, L"ITEMS", &echoedItems, &e);
    ASSERT_EQ(2u, rowCount(echoedItems));
    EXPECT_EQ(L"first", string(echoedItems, L"CHAR"));

    RFC_PARAMETER_DESC p{};
    nw().RfcGetParameterDescByName(nw().RfcDescribeFunction(f.handle(), &e), L"I_DEEP", &p, &e);
    RFC_FIELD_DESC nested{};
    ASSERT_EQ(RFC_OK, nw().RfcGetFieldDescByName(p.typeDescHandle, L"ITEMS", &nested, &e));
    EXPECT_EQ(RFCTYPE_TABLE, nested.type);
    EXPECT_EQ(8u, nested.ucLength) << "a table inside a structure is a reference";
    EXPECT_EQ(0u, nested.ucOffset % 8);
}
