// Parameters and parameter lists.
#include "ModelTestSupport.h"
#include "model/RfcParameter.h"

using namespace test;

namespace {

com::ptr<IRfcParameter> ParameterOf(IRfcParameters* list, const com::variant& index)
{
    auto [hr, p] = ItemAt<IRfcParameter>(list, index);
    EXPECT_EQ(hr, S_OK);
    return p;
}

long InternalType(IRfcParameter* p)
{
    long type = -1;
    EXPECT_EQ(p->get_InternalType(&type), S_OK);
    return type;
}

} // namespace

TEST(RfcParameter, ANewParameterIsRequestedAndNotOptional)
{
    auto p = com::make<tolvane::CRfcParameter>();
    VARIANT_BOOL optional = 42, requested = 42;
    p->get_Optional(&optional);
    p->get_IsRequested(&requested);
    EXPECT_EQ(optional, VARIANT_FALSE);
    EXPECT_EQ(requested, VARIANT_TRUE);
    EXPECT_EQ(InternalType(p.get()), 0);
    com::bstr description;
    EXPECT_EQ(p->get_Description(description.put()), S_OK);
    EXPECT_TRUE(description.empty());
}

TEST(RfcParameter, DefineWorksOnceAndDefineScalarAnyNumberOfTimes)
{
    auto p = com::make<tolvane::CRfcParameter>();
    auto row = Struct(L"ROW", {Scalar(L"A", TYPE_CHAR, 1)});
    ASSERT_EQ(p->Define(com::bstr(L"S").get(), row.get()), S_OK);
    EXPECT_EQ(NameOf(p.get()), L"S");
    EXPECT_EQ(p->Define(com::bstr(L"OTHER").get(), row.get()), kAlreadyInitialized);
    EXPECT_EQ(NameOf(p.get()), L"S");

    ASSERT_EQ(p->DefineScalar(com::bstr(L"N").get(), TYPE_NUM, 5, 0, com::variant(L"00042").get()), S_OK);
    EXPECT_EQ(InternalType(p.get()), 1);
    com::variant value;
    p->get_value(value.put());
    EXPECT_EQ(com::view(V_BSTR(value.addr())), L"00042");
    // The scalar's descriptor has an empty name; the parameter has the name.
    com::ptr<IRfcType> type;
    p->get_RfcType(type.put());
    EXPECT_EQ(Name(type.get()), L"");
    short length = 0;
    type->get_ScalarLength(&length);
    EXPECT_EQ(length, 5);

    // An omitted value stays the missing-argument marker, which is not empty.
    ASSERT_EQ(p->DefineScalar(com::bstr(L"N").get(), TYPE_INT, 0, 0, com::variant::missing().get()), S_OK);
    p->get_value(value.put());
    EXPECT_EQ(value.vt(), VT_ERROR);
    VARIANT_BOOL empty = VARIANT_TRUE;
    p->get_IsEmpty(&empty);
    EXPECT_EQ(empty, VARIANT_FALSE);
}

TEST(RfcParameters, AddersAppendEvenWhenDefiningFails)
{
    auto call = NewCall(L"Z_TEST");
    auto list = Importing(call.get());
    ASSERT_EQ(list->AddParameter(com::bstr(L"UNDEFINED").get(), NewType().get()), S_OK);
    EXPECT_EQ(Count(list.get()), 1);
    EXPECT_EQ(InternalType(ParameterOf(list.get(), com::variant(L"UNDEFINED")).get()), 0);

    ASSERT_EQ(list->AddScalar(com::bstr(L"I").get(), TYPE_INT, 0, 0, com::variant(5L).get()), S_OK);
    EXPECT_EQ(InternalType(ParameterOf(list.get(), com::variant(L"I")).get()), 1);
    EXPECT_EQ(Count(list.get()), 2);
}

TEST(RfcParameters, AddTableNamesTheTableAfterTheParameter)
{
    auto call = NewCall(L"Z_TEST");
    com::ptr<IRfcParameters> tables;
    call->get_Tables(tables.put());
    auto rowType = Struct(L"ROW", {Scalar(L"A", TYPE_CHAR, 1)});
    ASSERT_EQ(tables->AddTable(com::bstr(L"T").get(), rowType.get()), S_OK);
    auto t = ParameterOf(tables.get(), com::variant(L"T"));
    com::ptr<IRfcType> type, row;
    t->get_RfcType(type.put());
    EXPECT_EQ(Name(type.get()), L"T");
    EXPECT_EQ(Kind(type.get()), RFCTYPEKIND_TABLE);
    type->get_RowType(row.put());
    EXPECT_EQ(row, rowType);

    EXPECT_EQ(tables->AddTable(com::bstr(L"X").get(), nullptr), E_INVALIDARG);
    EXPECT_EQ(tables->AddTable(com::bstr(L"X").get(), Scalar(L"C", TYPE_CHAR, 1).get()), kNotAStructure);
    EXPECT_EQ(Count(tables.get()), 1);
}

TEST(RfcParameters, RemoveParameterFollowsTheIndexRules)
{
    auto call = NewCall(L"Z_TEST");
    auto list = Importing(call.get());
    for (const wchar_t* name : {L"A", L"B", L"C"})
        list->AddScalar(com::bstr(name).get(), TYPE_CHAR, 1, 0, com::variant::missing().get());
    ASSERT_EQ(list->RemoveParameter(com::bstr(L"2").get()), S_OK); // a position
    EXPECT_EQ(NameOf(ParameterOf(list.get(), com::variant(2L)).get()), L"C");
    ASSERT_EQ(list->RemoveParameter(com::bstr(L"A").get()), S_OK);
    EXPECT_EQ(list->RemoveParameter(com::bstr(L"A").get()), E_INVALIDARG);
    EXPECT_EQ(Count(list.get()), 1);
}
