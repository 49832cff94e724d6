// Calls over the NetWeaver library: values both ways, structures and tables, inactive and
// unrequested parameters, ABAP exceptions and messages, background calls, transactional
// units, the logon ticket, imports and the table reader.
#include "NWRfcTestSupport.h"
#include "support/EventSink.h"

#include "com/Apartment.h"

using namespace test;

namespace {

const HRESULT kUnknownTid = static_cast<HRESULT>(0x80040220);

} // namespace

TEST(NWRfcCall, ScalarsOfEveryTypeTravelBothWays)
{
    auto session = ConnectedNWSession();
    auto call = Import(session.get(), L"Z_SIM_ECHO_TYPES");
    SetEveryType(call.get());
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    ASSERT_FALSE(ErrorOf(session.get()).error) << ErrorOf(session.get()).message;
    ExpectEveryTypeEchoed(call.get());
}

TEST(NWRfcCall, ValuesThatDoNotFitFailTheCallBeforeAnythingIsSent)
{
    auto session = ConnectedNWSession();
    const struct {
        const wchar_t* parameter;
        com::variant value;
        HRESULT expected;
    } cases[] = {
        {L"I_INT", com::variant(3000000000.0), static_cast<HRESULT>(0x80040213)}, // no longer cut to 4 bytes
        {L"I_INT", com::variant(L"twelve"), static_cast<HRESULT>(0x80040213)},
        {L"I_INT2", com::variant(40000L), static_cast<HRESULT>(0x80040213)},
        {L"I_INT1", com::variant(-1L), static_cast<HRESULT>(0x80040213)},
        {L"I_FLOAT", com::variant(L"not a number"), static_cast<HRESULT>(0x80040213)},
        {L"I_DATE", com::variant(L"someday"), static_cast<HRESULT>(0x80040215)},
    };
    for (const auto& c : cases) {
        auto call = Import(session.get(), L"Z_SIM_ECHO_TYPES");
        Set(call.get(), c.parameter, c.value);
        EXPECT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), c.expected) << c.parameter;
    }
    EXPECT_EQ(Counter(session.get()), 1); // none of them reached the system
}

TEST(NWRfcCall, StructuresAndTablesOfZeroAndManyRows)
{
    auto session = ConnectedNWSession();
    auto structure = Import(session.get(), L"STFC_STRUCTURE");
    com::ptr<IRfcFields> fields;
    Parameter(structure.get(), L"Importing", L"IMPORTSTRUCT")->get_Fields(fields.put());
    com::ptr<IRfcField> field;
    fields->get_Item(com::variant(L"RFCCHAR4").get(), field.put());
    field->put_value(com::variant(L"ABCD").get());
    com::ptr<IRfcRows> rows;
    Parameter(structure.get(), L"Tables", L"RFCTABLE")->get_Rows(rows.put());
    rows->AddRows(2);
    ASSERT_EQ(session->CallFunction(structure.get(), VARIANT_TRUE), S_OK);
    EXPECT_EQ(RowCount(structure.get(), L"RFCTABLE"), 3); // the two sent and IMPORTSTRUCT appended
    Parameter(structure.get(), L"Exporting", L"ECHOSTRUCT")->get_Fields(fields.put());
    fields->get_Item(com::variant(L"RFCCHAR4").get(), field.put());
    com::variant echoed;
    field->get_value(echoed.put());
    EXPECT_EQ(Text(echoed), L"ABCD");

    for (long count : {0L, 2500L}) {
        auto generate = Import(session.get(), L"Z_SIM_GENERATE_ROWS");
        Set(generate.get(), L"ROWCOUNT", com::variant(count));
        ASSERT_EQ(session->CallFunction(generate.get(), VARIANT_TRUE), S_OK);
        EXPECT_EQ(RowCount(generate.get(), L"ROWS"), count);
    }
}

TEST(NWRfcCall, AnUnsetImportIsNotSuppliedAndAnUnrequestedExportIsNotReadBack)
{
    auto session = ConnectedNWSession();
    auto increment = Import(session.get(), L"Z_SIM_INCREMENT");
    Parameter(increment.get(), L"Changing", L"VALUE")->put_value(com::variant(5L).get());
    ASSERT_EQ(session->CallFunction(increment.get(), VARIANT_TRUE), S_OK);
    EXPECT_EQ(V_I4(Get(increment.get(), L"VALUE", L"Changing").addr()), 6); // STEP's default, 1

    auto echo = Import(session.get(), L"Z_SIM_ECHO_TYPES");
    Set(echo.get(), L"I_CHAR", com::variant(L"sent"));
    Set(echo.get(), L"I_NUMC", com::variant(7L));
    auto unrequested = Parameter(echo.get(), L"Exporting", L"E_CHAR");
    unrequested->put_IsRequested(VARIANT_FALSE);
    unrequested->put_value(com::variant(L"kept").get());
    ASSERT_EQ(session->CallFunction(echo.get(), VARIANT_TRUE), S_OK);
    EXPECT_EQ(Text(Get(echo.get(), L"E_CHAR")), L"kept");
    EXPECT_EQ(Text(Get(echo.get(), L"E_NUMC")), L"00007"); // later ones are still read
}

TEST(NWRfcCall, AnAbapExceptionSucceedsWithTheErrorAndTablesReadBack)
{
    auto session = ConnectedNWSession();
    auto call = Import(session.get(), L"Z_SIM_GENERATE_ROWS");
    Set(call.get(), L"ROWCOUNT", com::variant(300000L));
    com::ptr<IRfcRows> rows;
    Parameter(call.get(), L"Tables", L"ROWS")->get_Rows(rows.put());
    rows->AddRows(3);
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    const ErrorState error = ErrorOf(session.get());
    EXPECT_TRUE(error.error);
    EXPECT_EQ(error.group, 1); // the library's group of an ABAP exception
    EXPECT_EQ(error.message, L"TOO_MANY_ROWS");
    EXPECT_EQ(RowCount(call.get(), L"ROWS"), 0); // what the module left in its table
    VARIANT_BOOL connected = VARIANT_FALSE;
    session->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_TRUE);
}

TEST(NWRfcCall, AnAbapMessageEndsTheConnection)
{
    auto session = ConnectedNWSession();
    auto call = Import(session.get(), L"Z_SIM_MESSAGE");
    Set(call.get(), L"MSGTY", com::variant(L"E"));
    Set(call.get(), L"MSGID", com::variant(L"ZSIM"));
    Set(call.get(), L"MSGNO", com::variant(L"001"));
    Set(call.get(), L"MSGV1", com::variant(L"first"));
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    EXPECT_TRUE(ErrorOf(session.get()).error);
    VARIANT_BOOL connected = VARIANT_TRUE;
    session->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_FALSE);
}

TEST(NWRfcCall, ABackgroundCallFinishesOnTheClientsThreadAndAnAbortedOneSilently)
{
    auto session = ConnectedNWSession();
    auto sink = ExpectBackgroundEchoOnThisThread(session.get());
    auto echo = Import(session.get(), L"/SIM/ECHO");

    auto sleep = Import(session.get(), L"Z_SIM_SLEEP");
    Set(sleep.get(), L"MILLISECONDS", com::variant(200L));
    ASSERT_EQ(session->CallFunction(sleep.get(), VARIANT_FALSE), S_OK);
    EXPECT_EQ(session->CallFunction(echo.get(), VARIANT_TRUE), static_cast<HRESULT>(0x8004020A));
    ASSERT_EQ(session->AbortCall(), S_OK);
    VARIANT_BOOL active = VARIANT_TRUE;
    session->get_CallActive(&active);
    EXPECT_EQ(active, VARIANT_FALSE);
    Pump(50);
    EXPECT_EQ(sink->Calls(1), 1);
    EXPECT_EQ(Text(Get(sleep.get(), L"COMPLETED")), L""); // not stored
}

TEST(NWRfcCall, ATransactionalUnitRunsOnceAndItsIdEndsWithTheConfirmation)
{
    auto session = ConnectedNWSession();
    com::bstr tid;
    ASSERT_EQ(session->CreateTransID(tid.put()), S_OK);
    EXPECT_EQ(tid.length(), 24u);
    auto unit = Import(session.get(), L"Z_SIM_COUNTER");
    for (int submit = 0; submit < 3; ++submit)
        ASSERT_EQ(session->CallTRFCFunction(tid.get(), unit.get()), S_OK) << ErrorOf(session.get()).message;
    EXPECT_EQ(Counter(session.get()), 2); // once for the unit, once now
    ASSERT_EQ(session->ConfirmTransID(tid.get()), S_OK);
    EXPECT_EQ(session->ConfirmTransID(tid.get()), kUnknownTid);
    EXPECT_EQ(session->CallTRFCFunction(com::bstr(L"0123456789ABCDEF01234567").get(), unit.get()), kUnknownTid);
}

TEST(NWRfcCall, TheLogonTicketComesFromTheModuleTheOptionNames)
{
    auto session = ConnectedNWSession();
    com::bstr ticket;
    EXPECT_EQ(session->GetSSO2Ticket(ticket.put()), static_cast<HRESULT>(0x80040221));
    session->put_Option(com::bstr(L"sso2.create_ticket_module").get(), com::bstr(L"Z_SIM_SSO2_TICKET").get());
    ASSERT_EQ(session->GetSSO2Ticket(ticket.put()), S_OK);
    ASSERT_FALSE(ticket.empty());

    auto byTicket = NewNWSession({L"", L"", L"001"});
    com::ptr<ILogonData> logon;
    byTicket->get_LogonData(logon.put());
    logon->put_SSO2Ticket(ticket.get());
    EXPECT_EQ(byTicket->Connect(), S_OK) << ErrorOf(byTicket.get()).message;
}

TEST(NWRfcCall, ImportsComeFromTheCacheAfterTheFirstAndStructuresKeepTheirFieldNames)
{
    auto session = ConnectedNWSession();
    auto first = Import(session.get(), L"Z_SIM_DEEP");
    auto second = Import(session.get(), L"Z_SIM_DEEP");
    EXPECT_NE(first, second);
    com::ptr<IRfcType> deep;
    ASSERT_EQ(session->ImportType(com::bstr(L"ZSIM_DEEP").get(), deep.put()), S_OK);
    com::ptr<IRfcTypes> components;
    deep->get_StructFields(components.put());
    com::ptr<IRfcType> address;
    ASSERT_EQ(components->get_Item(com::variant(L"ADDRESS").get(), address.put()), S_OK);
    RFCTYPEKIND kind{};
    address->get_Kind(&kind);
    EXPECT_EQ(kind, RFCTYPEKIND_STRUCT);
    com::ptr<IRfcType> missing;
    EXPECT_EQ(session->ImportType(com::bstr(L"ZSIM_NOTHING").get(), missing.put()), static_cast<HRESULT>(0x8004020C));
    com::ptr<IFunctionCall> unknown;
    EXPECT_EQ(session->ImportCall(com::bstr(L"Z_NOTHING").get(), VARIANT_FALSE, unknown.put()),
              static_cast<HRESULT>(0x8004021C));

    // Deep values go both ways by field name.
    com::ptr<IRfcFields> fields;
    Parameter(first.get(), L"Importing", L"I_DEEP")->get_Fields(fields.put());
    com::ptr<IRfcField> name;
    fields->get_Item(com::variant(L"NAME").get(), name.put());
    name->put_value(com::variant(L"deep").get());
    ASSERT_EQ(session->CallFunction(first.get(), VARIANT_TRUE), S_OK);
    EXPECT_NE(Text(Get(first.get(), L"E_SUMMARY")).find(L"NAME=deep"), std::wstring::npos);
}

TEST(NWRfcCall, TheTableReaderAndThePasswordCheckWorkOverThisSession)
{
    auto session = ConnectedNWSession();
    com::ptr<ITableReader> reader;
    ASSERT_EQ(session->GetTableReader(com::bstr(L"SCARR").get(), reader.put()), S_OK);
    ASSERT_EQ(reader->Read(3), S_OK);
    com::ptr<IRfcRows> rows;
    reader->get_Rows(rows.put());
    long count = 0;
    rows->get_Count(&count);
    EXPECT_EQ(count, 3);

    auto expired = ConnectedNWSession({L"EXPIRED", L"expired1", L"001"});
    VARIANT_BOOL isExpired = VARIANT_FALSE;
    EXPECT_EQ(expired->CheckPasswordExpired(&isExpired), S_OK);
    EXPECT_EQ(isExpired, VARIANT_TRUE);
    EXPECT_FALSE(ErrorOf(expired.get()).error);
}
