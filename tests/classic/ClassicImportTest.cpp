// Metadata over the classic library: function interfaces and dictionary structures.
#include "ClassicTestSupport.h"

using namespace test;

namespace {

com::ptr<IRfcType> TypeOf(IRfcParameter* parameter)
{
    com::ptr<IRfcType> type;
    parameter->get_RfcType(type.put());
    return type;
}

std::wstring NameOf(IRfcType* type)
{
    com::bstr name;
    type->get_name(name.put());
    return name.str();
}

bool Has(IFunctionCall* call, const wchar_t* list, const wchar_t* name)
{
    com::ptr<IRfcParameters> parameters;
    if (std::wstring_view(list) == L"Importing")
        call->get_Importing(parameters.put());
    else
        call->get_Exporting(parameters.put());
    VARIANT_BOOL has = VARIANT_FALSE;
    parameters->HasKey(com::bstr(name).get(), &has);
    return has != VARIANT_FALSE;
}

} // namespace

TEST(ClassicImport, AnUnknownFunctionOrTypeFailsWithoutTouchingTheErrorState)
{
    auto session = ConnectedClassicSession();
    com::ptr<IFunctionCall> call;
    EXPECT_EQ(session->ImportCall(com::bstr(L"Z_NOTHING").get(), VARIANT_FALSE, call.put()),
              static_cast<HRESULT>(0x8004021C));
    com::ptr<IRfcType> type;
    EXPECT_EQ(session->ImportType(com::bstr(L"ZSIM_NOTHING").get(), type.put()), static_cast<HRESULT>(0x8004020C));
    EXPECT_FALSE(ErrorOf(session.get()).error);
}

TEST(ClassicImport, ADeepParameterIsRefusedUnlessItMayBeLeftOut)
{
    auto session = ConnectedClassicSession();
    com::ptr<IFunctionCall> call;
    EXPECT_EQ(session->ImportCall(com::bstr(L"Z_SIM_DEEP").get(), VARIANT_FALSE, call.put()),
              static_cast<HRESULT>(0x80040206));
    ASSERT_EQ(session->ImportCall(com::bstr(L"Z_SIM_DEEP").get(), VARIANT_TRUE, call.put()), S_OK);
    EXPECT_FALSE(Has(call.get(), L"Importing", L"I_DEEP"));
    EXPECT_TRUE(Has(call.get(), L"Importing", L"I_ID"));
    EXPECT_TRUE(Has(call.get(), L"Exporting", L"E_SUMMARY"));
}

TEST(ClassicImport, TableParametersGetTheirRowStructureFromTheCache)
{
    auto session = ConnectedClassicSession();
    auto generate = Import(session.get(), L"Z_SIM_GENERATE_ROWS");
    com::ptr<IRfcType> table = TypeOf(Parameter(generate.get(), L"Tables", L"ROWS").get());
    RFCTYPEKIND kind{};
    table->get_Kind(&kind);
    EXPECT_EQ(kind, RFCTYPEKIND_TABLE);
    EXPECT_EQ(NameOf(table.get()), L""); // made for the parameter
    com::ptr<IRfcType> row, cached;
    table->get_RowType(row.put());
    ASSERT_EQ(session->ImportType(com::bstr(L"ZSIM_ALLTYPES").get(), cached.put()), S_OK);
    EXPECT_EQ(row.get(), cached.get());

    auto typed = Import(session.get(), L"Z_SIM_TABLE_TYPE");
    EXPECT_EQ(NameOf(TypeOf(Parameter(typed.get(), L"Tables", L"T_ITEMS").get()).get()), L"ZSIM_ALLTYPES_TT");
}

TEST(ClassicImport, StructureFieldsTakeTheirLengthsInCharactersAndDigits)
{
    auto session = ConnectedClassicSession();
    com::ptr<IRfcType> structure;
    ASSERT_EQ(session->ImportType(com::bstr(L"ZSIM_ALLTYPES").get(), structure.put()), S_OK);
    com::ptr<IRfcTypes> fields;
    structure->get_StructFields(fields.put());
    const struct {
        const wchar_t* field;
        short length;
        long bytes;
    } cases[] = {{L"CHAR", 10, 20}, {L"NUMC", 5, 10}, {L"DATE", 8, 16}, {L"BCD", 15, 8}, {L"INT", 4, 4}};
    for (const auto& c : cases) {
        com::ptr<IRfcType> field;
        ASSERT_EQ(fields->get_Item(com::variant(c.field).get(), field.put()), S_OK) << c.field;
        short length = 0;
        long bytes = 0;
        field->get_ScalarLength(&length);
        field->get_StructLength(&bytes);
        EXPECT_EQ(length, c.length) << c.field;
        EXPECT_EQ(bytes, c.bytes) << c.field;
    }
}
