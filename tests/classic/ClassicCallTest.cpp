// Calls over the classic library: values both ways, structures and tables, refused kinds,
// ABAP exceptions, a closed connection, background calls and their abort, transactional
// units and the logon ticket.
#include "ClassicTestSupport.h"
#include "support/EventSink.h"

#include "com/Apartment.h"

using namespace test;

namespace {

const HRESULT kComplexType = static_cast<HRESULT>(0x80040206);

com::ptr<IRfcParameters> List(IFunctionCall* call, HRESULT (STDMETHODCALLTYPE IFunctionCall::*getter)(IRfcParameters**))
{
    com::ptr<IRfcParameters> list;
    (call->*getter)(list.put());
    return list;
}

// Z_SIM_ECHO_TYPES without its structures, which hold a STRING: the classic library carries
// flat structures only.
com::ptr<IFunctionCall> FlatEcho(ISession* session)
{
    auto call = Import(session, L"Z_SIM_ECHO_TYPES");
    List(call.get(), &IFunctionCall::get_Importing)->RemoveParameter(com::bstr(L"I_STRUCT").get());
    List(call.get(), &IFunctionCall::get_Exporting)->RemoveParameter(com::bstr(L"E_STRUCT").get());
    return call;
}

com::variant FieldValue(IFunctionCall* call, const wchar_t* list, const wchar_t* parameter, const wchar_t* field)
{
    com::ptr<IRfcFields> fields;
    Parameter(call, list, parameter)->get_Fields(fields.put());
    com::ptr<IRfcField> item;
    fields->get_Item(com::variant(field).get(), item.put());
    com::variant value;
    item->get_value(value.put());
    return value;
}

} // namespace

TEST(ClassicCall, ScalarsOfEveryTypeTravelBothWays)
{
    auto session = ConnectedClassicSession();
    auto call = FlatEcho(session.get());
    SetEveryType(call.get());
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    ASSERT_FALSE(ErrorOf(session.get()).error) << ErrorOf(session.get()).message;
    ExpectEveryTypeEchoed(call.get());
}

TEST(ClassicCall, WhatCannotBeMarshalledFailsTheCallBeforeAnythingIsSent)
{
    auto session = ConnectedClassicSession();
    const struct {
        const wchar_t* parameter;
        com::variant value;
        HRESULT expected;
    } values[] = {
        {L"I_INT", com::variant(3000000000.0), static_cast<HRESULT>(0x80040213)},
        {L"I_INT1", com::variant(-1L), static_cast<HRESULT>(0x80040213)},
        {L"I_DATE", com::variant(L"someday"), static_cast<HRESULT>(0x80040215)},
    };
    for (const auto& v : values) {
        auto call = FlatEcho(session.get());
        Set(call.get(), v.parameter, v.value);
        EXPECT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), v.expected) << v.parameter;
    }
    // A structure that holds a STRING, and a table where a scalar belongs.
    EXPECT_EQ(session->CallFunction(Import(session.get(), L"Z_SIM_ECHO_TYPES").get(), VARIANT_TRUE), kComplexType);
    auto tableInImporting = Import(session.get(), L"Z_SIM_COUNTER");
    com::ptr<IRfcType> row;
    ASSERT_EQ(session->ImportType(com::bstr(L"ZSIM_ALLTYPES").get(), row.put()), S_OK);
    List(tableInImporting.get(), &IFunctionCall::get_Importing)->AddTable(com::bstr(L"ROWS").get(), row.get());
    EXPECT_EQ(session->CallFunction(tableInImporting.get(), VARIANT_TRUE), kComplexType);
    EXPECT_EQ(Counter(session.get()), 1); // none of them reached the system
}

TEST(ClassicCall, StructuresAndTablesComeBackAndRowsAreReplaced)
{
    auto session = ConnectedClassicSession();
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
    EXPECT_EQ(Text(FieldValue(structure.get(), L"Exporting", L"ECHOSTRUCT", L"RFCCHAR4")), L"ABCD");

    // Generated rows with STRING and XSTRING columns, which the library allocates.
    for (long count : {0L, 2500L}) {
        auto generate = Import(session.get(), L"Z_SIM_GENERATE_ROWS");
        Set(generate.get(), L"ROWCOUNT", com::variant(count));
        Set(generate.get(), L"WIDTH", com::variant(300L));
        Parameter(generate.get(), L"Tables", L"ROWS")->get_Rows(rows.put());
        rows->AddRows(7); // replaced by what comes back
        ASSERT_EQ(session->CallFunction(generate.get(), VARIANT_TRUE), S_OK);
        ASSERT_EQ(RowCount(generate.get(), L"ROWS"), count);
        if (count) {
            com::ptr<IRfcFields> last;
            rows->get_Item(count, last.put());
            com::ptr<IRfcField> text;
            last->get_Item(com::variant(L"STRING").get(), text.put());
            com::variant value;
            text->get_value(value.put());
            EXPECT_EQ(Text(value).size(), 300u);
        }
    }
}

TEST(ClassicCall, AnAbapExceptionIsTheErrorStateWithItsName)
{
    auto session = ConnectedClassicSession();
    auto call = Import(session.get(), L"Z_SIM_GENERATE_ROWS");
    Set(call.get(), L"ROWCOUNT", com::variant(300000L));
    com::ptr<IRfcRows> rows;
    Parameter(call.get(), L"Tables", L"ROWS")->get_Rows(rows.put());
    rows->AddRows(3);
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    const ErrorState error = ErrorOf(session.get());
    EXPECT_TRUE(error.error);
    EXPECT_EQ(error.group, RFCERROR_APPLICATION_EXCEPTION);
    EXPECT_EQ(error.message, L"TOO_MANY_ROWS");
    EXPECT_EQ(RowCount(call.get(), L"ROWS"), 0); // what the module left in its table
    VARIANT_BOOL connected = VARIANT_FALSE;
    session->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_TRUE);
}

TEST(ClassicCall, AConnectionThePartnerClosesIsAFailureAndLeavesTheSessionUnconnected)
{
    for (VARIANT_BOOL synchronous : {VARIANT_TRUE, VARIANT_FALSE}) {
        auto session = ConnectedClassicSession();
        ASSERT_EQ(session->CallFunction(Import(session.get(), L"Z_SIM_DROP_CONNECTION").get(), synchronous), S_OK);
        VARIANT_BOOL active = VARIANT_TRUE;
        for (int i = 0; i < 500 && active; ++i) {
            Pump(10);
            session->get_CallActive(&active);
        }
        EXPECT_TRUE(ErrorOf(session.get()).error) << synchronous;
        VARIANT_BOOL connected = VARIANT_TRUE;
        session->get_IsConnected(&connected);
        EXPECT_EQ(connected, VARIANT_FALSE) << synchronous;
        EXPECT_EQ(session->Connect(), S_OK);
        EXPECT_EQ(Counter(session.get()), 1) << "a new connection after the closed one";
    }
}

TEST(ClassicCall, ABackgroundCallFinishesOnTheClientsThreadAndAnAbortedOneSilently)
{
    auto session = ConnectedClassicSession();
    auto sink = ExpectBackgroundEchoOnThisThread(session.get());
    auto echo = Import(session.get(), L"/SIM/ECHO");

    auto sleep = Import(session.get(), L"Z_SIM_SLEEP");
    Set(sleep.get(), L"MILLISECONDS", com::variant(5000L));
    ASSERT_EQ(session->CallFunction(sleep.get(), VARIANT_FALSE), S_OK);
    EXPECT_EQ(session->CallFunction(echo.get(), VARIANT_TRUE), static_cast<HRESULT>(0x8004020A));
    const ULONGLONG start = GetTickCount64();
    ASSERT_EQ(session->AbortCall(), S_OK);
    EXPECT_LT(GetTickCount64() - start, 4000u) << "the abort cancels the call instead of waiting for it";
    VARIANT_BOOL active = VARIANT_TRUE;
    session->get_CallActive(&active);
    EXPECT_EQ(active, VARIANT_FALSE);
    Pump(50);
    EXPECT_EQ(sink->Calls(1), 1);
    EXPECT_EQ(Text(Get(sleep.get(), L"COMPLETED")), L""); // not stored
    EXPECT_EQ(Counter(session.get()), 1) << "the connection still works";
}

TEST(ClassicCall, ATransactionalUnitRunsOnce)
{
    auto session = ConnectedClassicSession();
    com::bstr tid;
    ASSERT_EQ(session->CreateTransID(tid.put()), S_OK);
    EXPECT_EQ(tid.length(), 24u);
    auto unit = Import(session.get(), L"Z_SIM_COUNTER");
    for (int submit = 0; submit < 3; ++submit)
        ASSERT_EQ(session->CallTRFCFunction(tid.get(), unit.get()), S_OK);
    EXPECT_FALSE(ErrorOf(session.get()).error) << ErrorOf(session.get()).message;
    EXPECT_EQ(Counter(session.get()), 2); // once for the unit, once now
    EXPECT_EQ(session->ConfirmTransID(tid.get()), S_OK);
}

TEST(ClassicCall, TheLogonTicketNeedsToBeAskedForAtConnect)
{
    auto without = ConnectedClassicSession();
    com::bstr ticket;
    EXPECT_EQ(without->GetSSO2Ticket(ticket.put()), S_OK);
    EXPECT_TRUE(ticket.empty());
    EXPECT_TRUE(ErrorOf(without.get()).error);

    auto with = ConnectedClassicSession({}, L" GETSSO2=1");
    ASSERT_EQ(with->GetSSO2Ticket(ticket.put()), S_OK);
    EXPECT_FALSE(ticket.empty()) << ErrorOf(with.get()).message;
}
