// Fields: the value tree built when a field receives its type, and what a field reports.
#include "ModelTestSupport.h"

using namespace test;

namespace {

com::ptr<IRfcFields> FieldsOf(IRfcField* field)
{
    com::ptr<IRfcFields> fields;
    EXPECT_EQ(field->get_Fields(fields.put()), S_OK);
    return fields;
}

long InternalType(IRfcField* field)
{
    long type = -1;
    EXPECT_EQ(field->get_InternalType(&type), S_OK);
    return type;
}

} // namespace

TEST(RfcField, AStructureTypeBuildsOneFieldPerComponent)
{
    auto a = Scalar(L"A", TYPE_CHAR, 5);
    auto s = Struct(L"S", {a, Scalar(L"B", TYPE_INT)});
    auto field = NewField();
    ASSERT_EQ(field->put_RfcType(s.get()), S_OK);
    auto fields = FieldsOf(field.get());
    ASSERT_EQ(Count(fields.get()), 2);
    auto fa = FieldOf(fields.get(), L"A");
    com::ptr<IRfcType> type;
    fa->get_RfcType(type.put());
    EXPECT_EQ(type, a);
    EXPECT_EQ(NameOf(fa.get()), L"A");
    EXPECT_EQ(ItemAt<IRfcField>(fields.get(), com::variant(L"a")).first, E_INVALIDARG);

    // Built once: later changes of the descriptor do not reach the field.
    ASSERT_EQ(s->AddScalarStructField(com::bstr(L"C").get(), TYPE_CHAR, 1, 0, -1, -1, -1, -1), S_OK);
    EXPECT_EQ(Count(FieldsOf(field.get()).get()), 2);
}

TEST(RfcField, NestedStructuresAndTablesBuildTheirOwnTrees)
{
    auto row = Struct(L"ROW", {Scalar(L"X", TYPE_CHAR, 1)});
    auto inner = Struct(L"INNER", {Scalar(L"D", TYPE_DATE)});
    auto outer = Struct(L"OUTER", {inner, Table(L"LINES", row)});
    auto field = NewField();
    ASSERT_EQ(field->put_RfcType(outer.get()), S_OK);
    auto fields = FieldsOf(field.get());
    auto innerFields = FieldsOf(FieldOf(fields.get(), L"INNER").get());
    EXPECT_EQ(Count(innerFields.get()), 1);
    com::ptr<IRfcRows> rows;
    ASSERT_EQ(FieldOf(fields.get(), L"LINES")->get_Rows(rows.put()), S_OK);
    EXPECT_EQ(Count(rows.get()), 0);
    com::ptr<IRfcType> rowType;
    rows->get_RfcType(rowType.put());
    EXPECT_EQ(rowType, row);
}

TEST(RfcField, ATypeThatCannotBeBuiltLeavesTheFieldAsItWas)
{
    auto field = NewField();
    ASSERT_EQ(field->put_RfcType(Scalar(L"C", TYPE_CHAR, 3).get()), S_OK);
    ASSERT_EQ(field->put_value(com::variant(L"abc").get()), S_OK);

    auto empty = NewType();
    empty->DefineStruct(com::bstr(L"EMPTY").get());
    EXPECT_EQ(field->put_RfcType(empty.get()), kNotInitialized);
    EXPECT_EQ(field->put_RfcType(NewType().get()), kNotInitialized);
    EXPECT_EQ(field->put_RfcType(nullptr), E_POINTER);
    auto broken = Struct(L"BROKEN", {Scalar(L"A", TYPE_CHAR, 1)});
    broken->AddComplexStructField(empty.get()); // a component that cannot be built
    EXPECT_EQ(field->put_RfcType(broken.get()), kNotInitialized);
    EXPECT_EQ(InternalType(field.get()), 1);
    com::ptr<IRfcType> kept;
    field->get_RfcType(kept.put());
    EXPECT_EQ(Name(kept.get()), L"C");
    EXPECT_EQ(com::view(V_BSTR(ValueOf(field.get()).addr())), L"abc");
}

TEST(RfcField, AStructureThatContainsItselfFailsInsteadOfRecursingForever)
{
    auto s = Struct(L"LOOP", {Scalar(L"A", TYPE_CHAR, 1)});
    ASSERT_EQ(s->AddComplexStructField(s.get()), S_OK);
    auto field = NewField();
    EXPECT_EQ(field->put_RfcType(s.get()), E_INVALIDARG);
    // Break the cycle so the descriptor can be freed.
    com::ptr<IRfcTypes> components;
    s->get_StructFields(components.put());
    components->RemoveAll();
}

TEST(RfcField, InternalTypeClassifiesScalarsFlatAndDeepStructuresAndTables)
{
    auto field = NewField();
    EXPECT_EQ(InternalType(field.get()), 0);
    auto flat = Struct(L"FLAT", {Scalar(L"C", TYPE_CHAR, 4), Scalar(L"I", TYPE_INT)});
    ASSERT_EQ(field->put_RfcType(flat.get()), S_OK);
    EXPECT_EQ(InternalType(field.get()), 2);

    // The classification reads the descriptor as it is now.
    flat->AddScalarStructField(com::bstr(L"S").get(), TYPE_STRING, 0, 0, -1, -1, -1, -1);
    EXPECT_EQ(InternalType(field.get()), 3);

    auto withStructure = Struct(L"NESTED", {Struct(L"INNER", {Scalar(L"C", TYPE_CHAR, 1)})});
    ASSERT_EQ(field->put_RfcType(withStructure.get()), S_OK);
    EXPECT_EQ(InternalType(field.get()), 3);
    ASSERT_EQ(field->put_RfcType(Table(L"T", flat).get()), S_OK);
    EXPECT_EQ(InternalType(field.get()), 3);
    ASSERT_EQ(field->put_RfcType(Scalar(L"X", TYPE_XSTRING).get()), S_OK);
    EXPECT_EQ(InternalType(field.get()), 1);
}

TEST(RfcField, EmptinessOfScalarsTablesAndStructures)
{
    auto field = NewField();
    ASSERT_EQ(field->put_RfcType(Scalar(L"C", TYPE_CHAR, 3).get()), S_OK);
    EXPECT_TRUE(IsEmpty(field.get()));
    field->put_value(com::variant(L"").get());
    EXPECT_FALSE(IsEmpty(field.get())); // an empty string is a value
    field->put_value(com::variant(0L).get());
    EXPECT_FALSE(IsEmpty(field.get()));
    field->put_value(com::variant::null().get());
    EXPECT_TRUE(IsEmpty(field.get()));

    auto row = Struct(L"ROW", {Scalar(L"X", TYPE_CHAR, 1)});
    ASSERT_EQ(field->put_RfcType(Table(L"T", row).get()), S_OK);
    EXPECT_TRUE(IsEmpty(field.get()));
    com::ptr<IRfcRows> rows;
    field->get_Rows(rows.put());
    com::ptr<IRfcFields> added;
    ASSERT_EQ(rows->AddRow(added.put()), S_OK);
    EXPECT_FALSE(IsEmpty(field.get()));

    ASSERT_EQ(field->put_RfcType(Struct(L"S", {Scalar(L"A", TYPE_INT), Scalar(L"B", TYPE_INT)}).get()), S_OK);
    EXPECT_TRUE(IsEmpty(field.get()));
    FieldOf(FieldsOf(field.get()).get(), L"B")->put_value(com::variant(7L).get());
    EXPECT_FALSE(IsEmpty(field.get()));

    // Without a type the question has no answer: success, and the result is left alone.
    VARIANT_BOOL untouched = 42;
    EXPECT_EQ(NewField()->get_IsEmpty(&untouched), S_OK);
    EXPECT_EQ(untouched, 42);
}

TEST(RfcField, ValuesAreStoredUnchangedInAnyState)
{
    auto field = NewField();
    com::variant initial = ValueOf(field.get());
    EXPECT_EQ(initial.vt(), VT_BSTR);
    EXPECT_EQ(com::view(V_BSTR(initial.addr())), L"");

    ASSERT_EQ(field->put_value(com::variant(3.5).get()), S_OK); // no type: stored all the same
    EXPECT_EQ(V_R8(ValueOf(field.get()).addr()), 3.5);
    ASSERT_EQ(field->put_RfcType(Scalar(L"I", TYPE_INT).get()), S_OK);
    EXPECT_EQ(ValueOf(field.get()).vt(), VT_EMPTY); // a scalar type clears the value
    ASSERT_EQ(field->put_value(com::variant(L"not a number").get()), S_OK);
    EXPECT_EQ(com::view(V_BSTR(ValueOf(field.get()).addr())), L"not a number");
}

TEST(RfcField, FieldsAndRowsAskForTheRightKindOfType)
{
    auto field = NewField();
    com::ptr<IRfcFields> fields;
    com::ptr<IRfcRows> rows;
    EXPECT_EQ(field->get_Fields(fields.put()), kNotInitialized);
    EXPECT_EQ(field->get_Rows(rows.put()), kNotInitialized);
    field->put_RfcType(Scalar(L"C", TYPE_CHAR, 1).get());
    EXPECT_EQ(field->get_Fields(fields.put()), kNotAStructure);
    EXPECT_EQ(field->get_Rows(rows.put()), kNotATable);
    EXPECT_EQ(test::ThreadErrorDescription(), L"Object is not a table");
}
