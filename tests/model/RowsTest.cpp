// Table rows: adding rows of the row structure, file mode, and rows that share a name index.
#include "ModelTestSupport.h"
#include "model/RfcRows.h"

using namespace test;

namespace {

com::ptr<IRfcRows> RowsOfTable(const com::ptr<IRfcType>& rowType)
{
    auto field = NewField();
    EXPECT_EQ(field->put_RfcType(Table(L"T", rowType).get()), S_OK);
    com::ptr<IRfcRows> rows;
    EXPECT_EQ(field->get_Rows(rows.put()), S_OK);
    return rows;
}

com::ptr<IRfcFields> Row(IRfcRows* rows, long index)
{
    com::ptr<IRfcFields> row;
    EXPECT_EQ(rows->get_Item(index, row.put()), S_OK);
    return row;
}

} // namespace

TEST(RfcRows, AddRowsAppendsRowsOfTheRowStructure)
{
    auto rowType = Struct(L"ROW", {Scalar(L"A", TYPE_CHAR, 1), Scalar(L"B", TYPE_INT)});
    auto rows = RowsOfTable(rowType);
    ASSERT_EQ(rows->AddRows(3), S_OK);
    EXPECT_EQ(Count(rows.get()), 3);
    for (long i = 1; i <= 3; ++i)
        EXPECT_EQ(Count(Row(rows.get(), i).get()), 2);
    EXPECT_EQ(rows->AddRows(0), E_INVALIDARG);
    EXPECT_EQ(Count(rows.get()), 3);

    com::ptr<IRfcType> type;
    ASSERT_EQ(rows->get_RfcType(type.put()), S_OK);
    EXPECT_EQ(type, rowType); // the row structure, not the table
    EXPECT_EQ(rows->get_RfcType(nullptr), S_OK);

    com::ptr<IRfcFields> row;
    EXPECT_EQ(rows->get_Item(0, row.put()), E_INVALIDARG);
    EXPECT_EQ(rows->get_Item(4, row.put()), E_INVALIDARG);
    ASSERT_EQ(rows->RemoveAll(), S_OK);
    EXPECT_EQ(Count(rows.get()), 0);
}

TEST(RfcRows, RowsAreIndependentAlthoughTheyShareTheirNames)
{
    auto rows = RowsOfTable(Struct(L"ROW", {Scalar(L"A", TYPE_CHAR, 1), Scalar(L"B", TYPE_INT)}));
    ASSERT_EQ(rows->AddRows(2), S_OK);
    auto first = Row(rows.get(), 1), second = Row(rows.get(), 2);
    FieldOf(first.get(), L"A")->put_value(com::variant(L"x").get());
    EXPECT_EQ(ValueOf(FieldOf(second.get(), L"A").get()).vt(), VT_EMPTY);
    EXPECT_NE(FieldOf(first.get(), L"B"), FieldOf(second.get(), L"B"));

    // A field added to one row is that row's alone.
    auto extra = NewField();
    extra->put_name(com::bstr(L"EXTRA").get());
    ASSERT_EQ(first->AddField(extra.get()), S_OK);
    EXPECT_EQ(Count(first.get()), 3);
    EXPECT_EQ(FieldOf(first.get(), L"EXTRA"), extra);
    EXPECT_EQ(Count(second.get()), 2);
    EXPECT_EQ(ItemAt<IRfcField>(second.get(), com::variant(L"EXTRA")).first, E_INVALIDARG);
    EXPECT_EQ(FieldOf(second.get(), L"A").get() != nullptr, true);
}

// Rows share their memory with their fields, and freed rows lend theirs to the next table.
TEST(RfcRows, FieldsAndRowsOutliveTheirTableAndNewRowsStartEmpty)
{
    auto rowType = Struct(L"ROW", {Scalar(L"A", TYPE_CHAR, 1), Scalar(L"B", TYPE_INT)});
    com::ptr<IRfcField> keptField;
    com::ptr<IRfcFields> keptRow;
    {
        auto rows = RowsOfTable(rowType);
        ASSERT_EQ(rows->AddRows(50), S_OK);
        for (long i = 1; i <= 50; ++i)
            FieldOf(Row(rows.get(), i).get(), L"A")->put_value(com::variant(L"x").get());
        keptField = FieldOf(Row(rows.get(), 7).get(), L"B");
        keptField->put_value(com::variant(7L).get());
        keptRow = Row(rows.get(), 9);
    }
    EXPECT_EQ(V_I4(ValueOf(keptField.get()).addr()), 7);
    // A kept row still grows beyond the fields it was built with.
    auto extra = NewField();
    extra->put_name(com::bstr(L"EXTRA").get());
    ASSERT_EQ(keptRow->AddField(extra.get()), S_OK);
    EXPECT_EQ(Count(keptRow.get()), 3);
    EXPECT_EQ(com::view(V_BSTR(ValueOf(FieldOf(keptRow.get(), L"A").get()).addr())), L"x");
    EXPECT_EQ(FieldOf(keptRow.get(), L"EXTRA"), extra);

    auto rows = RowsOfTable(rowType);
    ASSERT_EQ(rows->AddRows(50), S_OK);
    for (long i = 1; i <= 50; ++i) {
        auto row = Row(rows.get(), i);
        EXPECT_EQ(Count(row.get()), 2);
        EXPECT_TRUE(IsEmpty(FieldOf(row.get(), L"A").get()));
        EXPECT_TRUE(IsEmpty(FieldOf(row.get(), L"B").get()));
    }
}

TEST(RfcRows, RowsCannotBeMadeWithoutARowStructure)
{
    auto rows = com::make<tolvane::CRfcRows>();
    EXPECT_EQ(rows->AddRows(1), E_POINTER);
    com::ptr<IRfcFields> row;
    EXPECT_EQ(rows->AddRow(row.put()), E_POINTER);
    EXPECT_EQ(rows->put_RfcType(Scalar(L"C", TYPE_CHAR, 1).get()), kNotATable);
    EXPECT_EQ(rows->put_RfcType(nullptr), E_POINTER);

    auto empty = NewType();
    empty->DefineStruct(com::bstr(L"EMPTY").get());
    auto table = NewType();
    ASSERT_EQ(table->DefineTable(com::bstr(L"T").get(), empty.get()), S_OK);
    ASSERT_EQ(rows->put_RfcType(table.get()), S_OK);
    EXPECT_EQ(rows->AddRows(2), E_POINTER);
    EXPECT_EQ(Count(rows.get()), 0);
}

TEST(RfcRows, AddItemTakesRowsOnly)
{
    auto rows = com::make<tolvane::CRfcRows>();
    EXPECT_EQ(rows->AddItem(NewField().get()), E_UNEXPECTED);
    auto field = NewField();
    field->put_RfcType(Struct(L"S", {Scalar(L"A", TYPE_CHAR, 1)}).get());
    com::ptr<IRfcFields> fields;
    field->get_Fields(fields.put());
    EXPECT_EQ(rows->AddItem(fields.get()), S_OK);
    EXPECT_EQ(rows->RemoveItem(2), E_INVALIDARG);
    EXPECT_EQ(rows->RemoveItem(1), S_OK);
    EXPECT_EQ(Count(rows.get()), 0);
}

TEST(RfcRows, FileModeIsSwitchedOnOnceWithinTheRowsColumns)
{
    auto rows = RowsOfTable(Struct(L"ROW", {Scalar(L"LINE", TYPE_BYTE, 255)}));
    EXPECT_EQ(rows->SetFileMode(2, 0), E_INVALIDARG);
    EXPECT_EQ(rows->SetFileMode(0, 0), E_INVALIDARG);
    EXPECT_EQ(rows->SetFileMode(1, 2), E_INVALIDARG);
    ASSERT_EQ(rows->SetFileMode(1, 0), S_OK);
    EXPECT_EQ(rows->SetFileMode(1, 0), kAlreadyInitialized);
    VARIANT_BOOL fileMode = VARIANT_FALSE;
    short dataCol = 0;
    rows->get_FileMode(&fileMode);
    rows->get_DataCol(&dataCol);
    EXPECT_EQ(fileMode, VARIANT_TRUE);
    EXPECT_EQ(dataCol, 1);
    rows->RemoveAll();
    rows->get_FileMode(&fileMode);
    EXPECT_EQ(fileMode, VARIANT_TRUE); // file mode stays

    EXPECT_EQ(com::make<tolvane::CRfcRows>()->SetFileMode(1, 0), kNotInitialized);
}
