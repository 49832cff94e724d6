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

TEST(SoapMetadata, AFailedInterfaceImportLeavesAnEmptyPrototypeAndTheErrorEveryTime)
{
    auto session = ConnectedSession();
    // Not cached: the second import asks the server again and fails again.
    for (int attempt = 1; attempt <= 2; ++attempt) {
        com::ptr<IFunctionCall> call;
        ASSERT_EQ(session->ImportCall(com::bstr(L"Z_NO_SUCH_MODULE").get(), VARIANT_FALSE, call.put()), S_OK);
        EXPECT_FALSE(Has(call.get(), L"ANYTHING"));
        ErrorState error = ErrorOf(session.get());
        EXPECT_TRUE(error.error) << attempt;
        EXPECT_EQ(error.message, L"FU_NOT_FOUND") << attempt;
    }
}

TEST(SoapSessionOperations, ReadsATableThroughTheTableReader)
{
    auto session = ConnectedSession();
    com::ptr<ITableReader> reader;
    ASSERT_EQ(session->GetTableReader(com::bstr(L"SFLIGHT").get(), reader.put()), S_OK);
    com::ptr<IStringList> query, fields;
    reader->get_Query(query.put());
    reader->get_Fields(fields.put());
    query->Add(com::bstr(L"CARRID = 'LH'").get());
    for (const wchar_t* field : {L"CARRID", L"CONNID", L"FLDATE", L"PRICE", L"SEATSOCC"})
        fields->Add(com::bstr(field).get());
    ASSERT_EQ(reader->Read(10, 0), S_OK);
    VARIANT_BOOL failed = VARIANT_TRUE;
    reader->get_Error(&failed);
    ASSERT_EQ(failed, VARIANT_FALSE);
    com::ptr<IRfcRows> rows;
    reader->get_Rows(rows.put());
    long count = 0;
    rows->get_Count(&count);
    ASSERT_EQ(count, 10);
    com::ptr<IRfcFields> row;
    rows->get_Item(1, row.put());
    com::ptr<IRfcField> field;
    row->get_Item(com::variant(L"CARRID").get(), field.put());
    com::variant carrier, date, seats;
    field->get_value(carrier.put());
    EXPECT_EQ(Text(carrier), L"LH");
    row->get_Item(com::variant(L"FLDATE").get(), field.put());
    field->get_value(date.put());
    EXPECT_EQ(date.vt(), VT_DATE);
    row->get_Item(com::variant(L"SEATSOCC").get(), field.put());
    field->get_value(seats.put());
    EXPECT_EQ(seats.vt(), VT_I4);

    // A selection the server refuses shows in the reader's error.
    query->RemoveAll();
    query->Add(com::bstr(L"NOSUCHFIELD = 1").get());
    ASSERT_EQ(reader->Read(10, 0), S_OK);
    reader->get_Error(&failed);
    EXPECT_EQ(failed, VARIANT_TRUE);
}

TEST(SoapSessionOperations, PasswordsAndUnicode)
{
    auto session = ConnectedSession();
    VARIANT_BOOL flag = VARIANT_FALSE;
    EXPECT_EQ(session->CheckPasswordExpired(&flag), S_FALSE);
    EXPECT_EQ(flag, VARIANT_FALSE);
    EXPECT_EQ(session->CheckUnicodeSupport(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);

    auto expired = ConnectedSession({L"EXPIRED", L"expired1", L"001"});
    EXPECT_EQ(expired->CheckPasswordExpired(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);
    EXPECT_FALSE(ErrorOf(expired.get()).error);

    // A changed password logs on; changing it back leaves the user as it was.
    auto changer = ConnectedSession({L"PWCHANGE", L"pwchange1", L"001"});
    ASSERT_EQ(changer->ChangePassword(com::bstr(L"pwchange2").get()), S_OK);
    ASSERT_FALSE(ErrorOf(changer.get()).error) << ErrorOf(changer.get()).message;
    auto after = ConnectedSession({L"PWCHANGE", L"pwchange2", L"001"});
    com::ptr<ILogonData> logon;
    after->get_LogonData(logon.put());
    ASSERT_EQ(after->ChangePassword(com::bstr(L"pwchange1").get()), S_OK);
    EXPECT_FALSE(ErrorOf(after.get()).error);
}
