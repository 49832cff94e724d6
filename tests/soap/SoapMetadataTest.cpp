// Importing interfaces and types from the server over SOAP.
#include "SoapTestSupport.h"

using namespace test;

namespace {

struct Scalar {
    ABAPTYPE type;
    short length;
    short decimals;
};

Scalar ScalarOf(IRfcType* type)
{
    Scalar s{};
    type->get_ScalarType(&s.type);
    type->get_ScalarLength(&s.length);
    type->get_ScalarDecimals(&s.decimals);
    return s;
}

com::ptr<IRfcType> TypeOf(IFunctionCall* call, const wchar_t* list, const wchar_t* name)
{
    com::ptr<IRfcType> type;
    if (auto p = Parameter(call, list, name))
        p->get_RfcType(type.put());
    return type;
}

RFCTYPEKIND Kind(IRfcType* type)
{
    RFCTYPEKIND kind = RFCTYPEKIND_UNDEFINED;
    if (type)
        type->get_Kind(&kind);
    return kind;
}

std::wstring Name(IRfcType* type)
{
    com::bstr name;
    type->get_name(name.put());
    return name.str();
}

bool Has(IFunctionCall* call, const wchar_t* name)
{
    com::ptr<IRfcParameters> importing;
    call->get_Importing(importing.put());
    VARIANT_BOOL has = VARIANT_FALSE;
    importing->HasKey(com::bstr(name).get(), &has);
    return has == VARIANT_TRUE;
}

} // namespace

TEST(SoapMetadata, ScalarsPackedNumbersAndStructuresOfAnInterface)
{
    auto session = ConnectedSession();
    auto call = Import(session.get(), L"Z_SIM_ECHO_TYPES");
    Scalar chars = ScalarOf(TypeOf(call.get(), L"Importing", L"I_CHAR").get());
    EXPECT_EQ(chars.type, TYPE_CHAR);
    EXPECT_EQ(chars.length, 10);
    Scalar packed = ScalarOf(TypeOf(call.get(), L"Importing", L"I_BCD").get());
    EXPECT_EQ(packed.type, TYPE_BCD);
    EXPECT_EQ(packed.length, 15); // 8 bytes hold 15 digits
    EXPECT_EQ(packed.decimals, 2);
    EXPECT_EQ(ScalarOf(TypeOf(call.get(), L"Importing", L"I_INT1").get()).type, TYPE_INT1);
    EXPECT_EQ(ScalarOf(TypeOf(call.get(), L"Exporting", L"E_XSTRING").get()).type, TYPE_XSTRING);

    auto structure = TypeOf(call.get(), L"Importing", L"I_STRUCT");
    EXPECT_EQ(Kind(structure.get()), RFCTYPEKIND_STRUCT);
    EXPECT_EQ(Name(structure.get()), L"ZSIM_ALLTYPES");
    com::ptr<IRfcTypes> components;
    structure->get_StructFields(components.put());
    long count = 0;
    components->get_Count(&count);
    EXPECT_EQ(count, 12);
    long lengthC1 = 0, length = 0;
    structure->get_structLengthC1(&lengthC1);
    structure->get_StructLength(&length);
    EXPECT_GT(lengthC1, 0);
    EXPECT_EQ(length, 2 * lengthC1);

    // A table parameter of a structure is a table of it.
    auto rows = TypeOf(call.get(), L"Tables", L"T_ROWS");
    EXPECT_EQ(Kind(rows.get()), RFCTYPEKIND_TABLE);
    com::ptr<IRfcType> rowType;
    rows->get_RowType(rowType.put());
    EXPECT_EQ(rowType, structure); // one cached descriptor

    VARIANT_BOOL optional = VARIANT_FALSE;
    Parameter(call.get(), L"Importing", L"I_CHAR")->get_Optional(&optional);
    EXPECT_EQ(optional, VARIANT_TRUE);
    com::bstr description;
    Parameter(call.get(), L"Importing", L"I_CHAR")->get_Description(description.put());
    EXPECT_EQ(description.view(), L"Character");
}

TEST(SoapMetadata, TableTypesAndDeepParameters)
{
    auto session = ConnectedSession();
    auto tableType = Import(session.get(), L"Z_SIM_TABLE_TYPE");
    com::ptr<IRfcParameters> tables;
    tableType->get_Tables(tables.put());
    long count = 0;
    tables->get_Count(&count);
    ASSERT_EQ(count, 1);
    com::ptr<IRfcParameter> table;
    tables->get_Item(com::variant(1L).get(), table.put());
    com::ptr<IRfcType> type, row;
    table->get_RfcType(type.put());
    EXPECT_EQ(Kind(type.get()), RFCTYPEKIND_TABLE);
    EXPECT_EQ(Name(type.get()), L"");
    type->get_RowType(row.put());
    EXPECT_EQ(Name(row.get()), L"ZSIM_ALLTYPES");

    // The deep parameter is left out whatever the caller asks for.
    for (VARIANT_BOOL ignore : {VARIANT_FALSE, VARIANT_TRUE}) {
        com::ptr<ITypeCache> cache;
        session->get_TypeCache(cache.put());
        cache->Clear();
        com::ptr<IFunctionCall> deep;
        ASSERT_EQ(session->ImportCall(com::bstr(L"Z_SIM_DEEP").get(), ignore, deep.put()), S_OK);
        com::ptr<IRfcParameters> importing;
        deep->get_Importing(importing.put());
        importing->get_Count(&count);
        EXPECT_EQ(count, 1) << "only the scalar";
    }
}

TEST(SoapMetadata, StructureImportFailuresBecomeMessages)
{
    auto session = ConnectedSession();
    com::ptr<IRfcType> type;
    EXPECT_EQ(session->ImportType(com::bstr(L"ZSIM_NO_SUCH_TYPE").get(), type.put()), static_cast<HRESULT>(0x8004020C));
    EXPECT_EQ(session->ImportType(com::bstr(L"ZSIM_DEEP").get(), type.put()), static_cast<HRESULT>(0x80040206));
    ASSERT_EQ(session->ImportType(com::bstr(L"RFCTEST").get(), type.put()), S_OK);
    com::ptr<IRfcType> again;
    ASSERT_EQ(session->ImportType(com::bstr(L"RFCTEST").get(), again.put()), S_OK);
    EXPECT_EQ(again, type); // from the cache

    auto offline = NewSoapSession(SimPort());
    EXPECT_EQ(offline->ImportType(com::bstr(L"RFCTEST").get(), type.put()), static_cast<HRESULT>(0x80040208));
}

TEST(SoapMetadata, AFailedInterfaceImportLeavesAnEmptyPrototypeAndTheError)
{
    auto session = ConnectedSession();
    com::ptr<IFunctionCall> call;
    ASSERT_EQ(session->ImportCall(com::bstr(L"Z_NO_SUCH_MODULE").get(), VARIANT_FALSE, call.put()), S_OK);
    EXPECT_FALSE(Has(call.get(), L"ANYTHING"));
    ErrorState error = ErrorOf(session.get());
    EXPECT_TRUE(error.error);
    EXPECT_EQ(error.message, L"FU_NOT_FOUND");
}
