// Calls over a SOAP session: values both ways, faults, pruning, background calls and abort.
#include "SoapTestSupport.h"
#include "TestServer.h"
#include "support/ThreadError.h"
#include "support/EventSink.h"

#include "com/Apartment.h"
#include "com/SafeArray.h"

using namespace test;

namespace {

com::variant Date(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0)
{
    SYSTEMTIME st{year, month, 0, day, hour, minute, second, 0};
    com::variant v;
    V_VT(v.put()) = VT_DATE;
    SystemTimeToVariantTime(&st, &V_DATE(v.addr()));
    return v;
}

bool HasImporting(IFunctionCall* call, const wchar_t* name)
{
    com::ptr<IRfcParameters> importing;
    call->get_Importing(importing.put());
    VARIANT_BOOL has = VARIANT_FALSE;
    importing->HasKey(com::bstr(name).get(), &has);
    return has == VARIANT_TRUE;
}

} // namespace

TEST(SoapCall, ScalarsOfEveryTypeTravelBothWays)
{
    auto session = ConnectedSession();
    auto call = Import(session.get(), L"Z_SIM_ECHO_TYPES");
    SetEveryType(call.get());
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    ASSERT_FALSE(ErrorOf(session.get()).error) << ErrorOf(session.get()).message;
    ExpectEveryTypeEchoed(call.get());
}

TEST(SoapCall, DatesAndTimesGoAsDigitsAndComeBackAsDates)
{
    auto session = ConnectedSession();
    auto call = Import(session.get(), L"Z_SIM_ECHO_TYPES");
    Set(call.get(), L"I_DATE", Date(2018, 3, 5));
    Set(call.get(), L"I_TIME", Date(1899, 12, 30, 13, 30, 0));
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    const SYSTEMTIME date = TimeOf(Get(call.get(), L"E_DATE"));
    EXPECT_EQ(date.wYear * 10000 + date.wMonth * 100 + date.wDay, 20180305);
    const SYSTEMTIME time = TimeOf(Get(call.get(), L"E_TIME"));
    EXPECT_EQ(time.wHour * 100 + time.wMinute, 1330);

    // An initial date goes out as zeros and comes back as no date; a value that is no date
    // fails before anything is sent.
    Set(call.get(), L"I_DATE", com::variant(0L));
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    EXPECT_FALSE(ErrorOf(session.get()).error);
    EXPECT_EQ(Get(call.get(), L"E_DATE").vt(), VT_EMPTY);
    Set(call.get(), L"I_DATE", com::variant(L"someday"));
    EXPECT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), static_cast<HRESULT>(0x80040215));
    EXPECT_EQ(test::ThreadErrorDescription(), L"invalid date/time");
    VARIANT_BOOL active = VARIANT_TRUE;
    session->get_CallActive(&active);
    EXPECT_EQ(active, VARIANT_FALSE);
}

TEST(SoapCall, EightDigitsAreSentAsTheyAreWhenMonthAndDayAreInRange)
{
    TestServer server([](const HttpRequestSeen&) {
        return HttpReply::xml("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
                              "<rfc:R xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\"/></soap:Body></soap:Envelope>");
    });
    auto session = NewSoapSession(server.port());
    ASSERT_EQ(session->Connect(), S_OK);
    com::ptr<IFunctionCall> call;
    session->CreateCall(call.put());
    call->put_Function(com::bstr(L"Z_DATES").get());
    com::ptr<IRfcParameters> importing;
    call->get_Importing(importing.put());
    const std::pair<const wchar_t*, com::variant> dates[] = {
        {L"FEB30", com::variant(L"20180230")}, {L"INITIAL", com::variant(L" ")}, {L"NUMBER", com::variant(0L)},
        {L"NULL", com::variant::null()}, {L"VALUE", Date(2018, 3, 5)}};
    for (const auto& [name, value] : dates)
        importing->AddScalar(com::bstr(name).get(), TYPE_DATE, 8, 0, value.get());
    importing->AddScalar(com::bstr(L"TIME").get(), TYPE_TIME, 6, 0, com::variant(L"12:34:56").get());
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    const std::string body = server.requests().back().body;
    for (const char* sent : {"<FEB30>20180230</FEB30>", "<INITIAL>00000000</INITIAL>", "<NUMBER>00000000</NUMBER>",
                             "<NULL/>", "<VALUE>20180305</VALUE>", "<TIME>123456</TIME>"})
        EXPECT_NE(body.find(sent), std::string::npos) << sent << " in " << body;
}

TEST(SoapCall, StructuresAndTablesTravelAsNestedElementsAndItemRows)
{
    auto session = ConnectedSession();
    auto call = Import(session.get(), L"STFC_STRUCTURE");
    com::ptr<IRfcFields> structure;
    ASSERT_EQ(Parameter(call.get(), L"Importing", L"IMPORTSTRUCT")->get_Fields(structure.put()), S_OK);
    com::ptr<IRfcField> field;
    structure->get_Item(com::variant(L"RFCCHAR4").get(), field.put());
    field->put_value(com::variant(L"ABCD").get());
    structure->get_Item(com::variant(L"RFCINT4").get(), field.put());
    field->put_value(com::variant(1234L).get());
    com::ptr<IRfcRows> rows;
    ASSERT_EQ(Parameter(call.get(), L"Tables", L"RFCTABLE")->get_Rows(rows.put()), S_OK);
    rows->AddRows(2);
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    ASSERT_FALSE(ErrorOf(session.get()).error) << ErrorOf(session.get()).message;

    com::ptr<IRfcFields> echo;
    Parameter(call.get(), L"Exporting", L"ECHOSTRUCT")->get_Fields(echo.put());
    echo->get_Item(com::variant(L"RFCCHAR4").get(), field.put());
    EXPECT_EQ(Text([&] { com::variant v; field->get_value(v.put()); return v; }()), L"ABCD");
    long count = 0;
    rows->get_Count(&count);
    EXPECT_EQ(count, 3); // the rows sent plus the appended copy of IMPORTSTRUCT
}

TEST(SoapCall, NamespacedModulesAreSentWithUnderscoreDash)
{
    auto session = ConnectedSession();
    auto call = Import(session.get(), L"/SIM/ECHO");
    Set(call.get(), L"TEXT", com::variant(L"slashes"));
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    EXPECT_EQ(Text(Get(call.get(), L"ECHO")), L"slashes");
}

TEST(SoapCall, UnsetOptionalImportsAreDroppedFromTheCall)
{
    auto session = ConnectedSession();
    auto call = Import(session.get(), L"Z_SIM_ECHO_TYPES");
    Set(call.get(), L"I_CHAR", com::variant(L"kept"));
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    EXPECT_TRUE(HasImporting(call.get(), L"I_CHAR"));
    EXPECT_FALSE(HasImporting(call.get(), L"I_INT"));
    EXPECT_TRUE(HasImporting(call.get(), L"I_STRUCT")); // structures are not scalars
}

TEST(SoapCall, FaultsBecomeTheSessionsError)
{
    auto session = ConnectedSession();
    auto call = Import(session.get(), L"Z_SIM_RAISE");
    Set(call.get(), L"EXCEPTION", com::variant(L"NOT_FOUND"));
    Set(call.get(), L"MESSAGE", com::variant(L"nothing here"));
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    ErrorState error = ErrorOf(session.get());
    EXPECT_TRUE(error.error);
    EXPECT_EQ(error.group, RFCERROR_APPLICATION_EXCEPTION);
    EXPECT_EQ(error.groupText, L"internal server error");
    EXPECT_EQ(error.message, L"NOT_FOUND");

    // A module the server does not know: its Error fault names the type.
    com::ptr<IFunctionCall> unknown;
    session->CreateCall(unknown.put());
    unknown->put_Function(com::bstr(L"Z_NO_SUCH_MODULE").get());
    ASSERT_EQ(session->CallFunction(unknown.get(), VARIANT_TRUE), S_OK);
    error = ErrorOf(session.get());
    EXPECT_EQ(error.group, RFCERROR_APPLICATION_EXCEPTION);
    EXPECT_FALSE(error.message.empty());

    // A successful call clears the error state.
    auto ping = Import(session.get(), L"RFC_PING");
    ASSERT_EQ(session->CallFunction(ping.get(), VARIANT_TRUE), S_OK);
    EXPECT_EQ(ErrorOf(session.get()).message, L"");
}

TEST(SoapCall, ANamespacedModulesExceptionIsFoundUnderItsElementName)
{
    TestServer server([](const HttpRequestSeen& request) {
        if (request.body.find("RFC_PING") != std::string::npos)
            return HttpReply::xml("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                                  "<soap:Body><r/></soap:Body></soap:Envelope>");
        return HttpReply::xml(
            "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><soap:Fault>"
            "<faultcode>soap:Server</faultcode><faultstring>NOT_FOUND</faultstring><detail>"
            "<rfc:_-SIM_-FIND.Exception xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\"><Name>NOT_FOUND</Name>"
            "<Text>nothing</Text></rfc:_-SIM_-FIND.Exception></detail></soap:Fault></soap:Body></soap:Envelope>",
            500);
    });
    auto session = NewSoapSession(server.port());
    ASSERT_EQ(session->Connect(), S_OK);
    com::ptr<IFunctionCall> call;
    session->CreateCall(call.put());
    call->put_Function(com::bstr(L"/SIM/FIND").get());
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    EXPECT_NE(server.requests().back().body.find("_-SIM_-FIND"), std::string::npos);
    ErrorState error = ErrorOf(session.get());
    EXPECT_EQ(error.group, RFCERROR_APPLICATION_EXCEPTION);
    EXPECT_EQ(error.message, L"NOT_FOUND");
}

TEST(SoapCall, AStatefulSessionKeepsItsServerSession)
{
    auto counters = [](bool stateful) {
        auto session = NewSoapSession(SimPort());
        SystemData(session.get())->put_Stateful(stateful ? VARIANT_TRUE : VARIANT_FALSE);
        EXPECT_EQ(session->Connect(), S_OK);
        std::vector<long> counts;
        for (int i = 0; i < 3; ++i) {
            auto call = Import(session.get(), L"Z_SIM_COUNTER");
            EXPECT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
            counts.push_back(V_I4(Get(call.get(), L"COUNT").as(VT_I4).addr()));
        }
        return counts;
    };
    EXPECT_EQ(counters(true), (std::vector<long>{1, 2, 3}));
    EXPECT_EQ(counters(false), (std::vector<long>{1, 1, 1}));
}

TEST(SoapCall, ABackgroundCallRaisesCallFinishedOnTheClientsThread)
{
    auto session = ConnectedSession();
    auto sink = EventSink::Create(DIID__SessionEvents);
    Advise(session.get(), sink.get());
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto call = Import(session.get(), L"STFC_CONNECTION");
    Set(call.get(), L"REQUTEXT", com::variant(L"in the background"));
    std::wstring echoInHandler;
    sink->onEvent = [&](DISPID, DISPPARAMS*) {
        echoInHandler = Text(Get(call.get(), L"ECHOTEXT"));
        SetEvent(finished);
    };
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_FALSE), S_OK);
    ASSERT_TRUE(PumpUntil(finished, 20000));
    EXPECT_EQ(echoInHandler, L"in the background");
    EXPECT_EQ(sink->LastThread(), GetCurrentThreadId());
    EXPECT_EQ(sink->Calls(1), 1);
    CloseHandle(finished);
}

TEST(SoapCall, AbortEndsAWaitingCallAtOnceWithoutCallFinished)
{
    auto session = ConnectedSession();
    auto sink = EventSink::Create(DIID__SessionEvents);
    Advise(session.get(), sink.get());
    auto call = Import(session.get(), L"Z_SIM_SLEEP");
    Set(call.get(), L"MILLISECONDS", com::variant(20000L));
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_FALSE), S_OK);
    VARIANT_BOOL active = VARIANT_FALSE;
    session->get_CallActive(&active);
    EXPECT_EQ(active, VARIANT_TRUE);
    EXPECT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), static_cast<HRESULT>(0x8004020A));

    const ULONGLONG start = GetTickCount64();
    ASSERT_EQ(session->AbortCall(), S_OK);
    EXPECT_LT(GetTickCount64() - start, 5000u);
    session->get_CallActive(&active);
    EXPECT_EQ(active, VARIANT_FALSE);
    EXPECT_EQ(ErrorOf(session.get()).group, RFCERROR_CANCELLED);
    EXPECT_EQ(sink->Calls(1), 0);

    // The next call runs with the session's time-out again.
    auto ping = Import(session.get(), L"RFC_PING");
    ASSERT_EQ(session->CallFunction(ping.get(), VARIANT_TRUE), S_OK);
    EXPECT_FALSE(ErrorOf(session.get()).error);
}

TEST(SoapCall, AfterAnAbortTheSessionServesTheNextRequestsAtOnce)
{
    const std::string ping = "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
                             "<rfc:RFC_PING.Response xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\"/>"
                             "</soap:Body></soap:Envelope>";
    const std::string structure =
        "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
        "<rfc:RFC_GET_UNICODE_STRUCTURE.Response xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\">"
        "<B1_TABLENGTH>4</B1_TABLENGTH><FIELDS><item><FIELDNAME>F</FIELDNAME><EXID>C</EXID><LENGTH_B1>4</LENGTH_B1>"
        "<OFFSET_B1>0</OFFSET_B1><DECIMALS>0</DECIMALS></item></FIELDS>"
        "</rfc:RFC_GET_UNICODE_STRUCTURE.Response></soap:Body></soap:Envelope>";
    TestServer server([&](const HttpRequestSeen& request) {
        HttpReply reply = HttpReply::xml(request.body.find("RFC_GET_UNICODE_STRUCTURE") != std::string::npos ? structure : ping);
        if (request.body.find("Z_HANG") != std::string::npos)
            reply.ending = HttpReply::Ending::never;
        return reply;
    });
    auto session = NewSoapSession(server.port());
    SystemData(session.get())->put_Stateful(VARIANT_TRUE);
    ASSERT_EQ(session->Connect(), S_OK);
    com::ptr<IFunctionCall> hang;
    session->CreateCall(hang.put());
    hang->put_Function(com::bstr(L"Z_HANG").get());
    ASSERT_EQ(session->CallFunction(hang.get(), VARIANT_FALSE), S_OK);
    ASSERT_TRUE(server.wait_for_requests(2, 5000));
    ASSERT_EQ(session->AbortCall(), S_OK);

    com::ptr<IRfcType> type;
    EXPECT_EQ(session->ImportType(com::bstr(L"ZT").get(), type.put()), S_OK);
    ASSERT_EQ(session->Disconnect(), S_OK);
    ASSERT_TRUE(server.wait_for_requests(4, 5000));
    EXPECT_NE(server.requests()[3].target.find("session_mode=2"), std::string::npos) << server.requests()[3].target;
    server.stop();
}

TEST(SoapCall, AServerThatNeverAnswersEndsInTheTimeOut)
{
    TestServer server([](const HttpRequestSeen& request) {
        HttpReply reply = HttpReply::xml(
            "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
            "<rfc:RFC_PING.Response xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\"/></soap:Body></soap:Envelope>");
        if (request.body.find("Z_HANG") != std::string::npos)
            reply.ending = HttpReply::Ending::never;
        if (request.body.find("Z_CUT") != std::string::npos) {
            reply.ending = HttpReply::Ending::close_mid_body;
            reply.partial_bytes = 20;
        }
        return reply;
    });
    auto session = NewSoapSession(server.port());
    SystemData(session.get())->put_Timeout(500);
    ASSERT_EQ(session->Connect(), S_OK);
    for (const wchar_t* module : {L"Z_HANG", L"Z_CUT"}) {
        com::ptr<IFunctionCall> call;
        session->CreateCall(call.put());
        call->put_Function(com::bstr(module).get());
        ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
        ErrorState error = ErrorOf(session.get());
        EXPECT_EQ(error.group, RFCERROR_CANCELLED) << module;
        EXPECT_EQ(error.message, L"request cancelled or timed out") << module;
    }
    server.stop();
}

TEST(SoapCall, AResponseTooDeepToReadIsAParseError)
{
    TestServer server([](const HttpRequestSeen& request) {
        if (request.body.find("RFC_PING") != std::string::npos)
            return HttpReply::xml("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                                  "<soap:Body><r/></soap:Body></soap:Envelope>");
        std::string deep = "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>";
        for (int i = 0; i < 5000; ++i)
            deep += "<a>";
        return HttpReply::xml(deep);
    });
    auto session = NewSoapSession(server.port());
    ASSERT_EQ(session->Connect(), S_OK);
    com::ptr<IFunctionCall> call;
    session->CreateCall(call.put());
    call->put_Function(com::bstr(L"Z_DEEP").get());
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    ErrorState error = ErrorOf(session.get());
    EXPECT_EQ(error.group, RFCERROR_INTERNAL);
    EXPECT_EQ(error.groupText, L"parse error");
    EXPECT_EQ(error.message.rfind(L"error parsing response from server: ", 0), 0u) << error.message;
}

TEST(SoapCall, MetadataWhileACallIsInFlightWaitsItsTurnAndTheCallEndsIntact)
{
    auto session = ConnectedSession();
    auto partner = ConnectedSession();
    auto sink = EventSink::Create(DIID__SessionEvents);
    Advise(session.get(), sink.get());
    com::Event finished;
    sink->onEvent = [&](DISPID, DISPPARAMS*) { finished.set(); };
    // The call waits on the server until a second party arrives: it is in flight for sure.
    auto waiting = Import(session.get(), L"Z_SIM_RENDEZVOUS");
    Set(waiting.get(), L"KEY", com::variant(L"metadata-during-call"));
    Set(waiting.get(), L"PARTIES", com::variant(2L));
    ASSERT_EQ(session->CallFunction(waiting.get(), VARIANT_FALSE), S_OK);

    com::ptr<IRfcType> type;
    com::ptr<IFunctionCall> other;
    EXPECT_EQ(session->ImportType(com::bstr(L"ZSIM_ADDRESS").get(), type.put()), static_cast<HRESULT>(0x8004020A));
    EXPECT_EQ(session->ImportCall(com::bstr(L"STFC_CONNECTION").get(), VARIANT_FALSE, other.put()),
              static_cast<HRESULT>(0x8004020A));

    auto second = Import(partner.get(), L"Z_SIM_RENDEZVOUS");
    Set(second.get(), L"KEY", com::variant(L"metadata-during-call"));
    Set(second.get(), L"PARTIES", com::variant(2L));
    ASSERT_EQ(partner->CallFunction(second.get(), VARIANT_TRUE), S_OK);
    ASSERT_TRUE(PumpUntil(finished.get(), 10000));
    EXPECT_FALSE(ErrorOf(session.get()).error);
    EXPECT_EQ(Text(Get(waiting.get(), L"POSITION")) + Text(Get(second.get(), L"POSITION")), L"12");
}

TEST(SoapCall, TheSessionNamesItsClassAndEventsToScriptHosts)
{
    auto session = NewSoapSession(SimPort());
    auto info = session.query<IProvideClassInfo2>();
    EXPECT_TRUE(session.try_query<IProvideClassInfo>());
    GUID events{};
    ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_EQ(events, DIID__SessionEvents);
    EXPECT_EQ(info->GetGUID(0, &events), E_INVALIDARG);
    com::ptr<ITypeInfo> coclass;
    ASSERT_EQ(info->GetClassInfo(coclass.put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    EXPECT_EQ(attributes->guid, CLSID_SoapSession);
    coclass->ReleaseTypeAttr(attributes);
}

TEST(SoapCall, TransactionalCallsAreNotOffered)
{
    auto session = NewSoapSession(SimPort());
    com::bstr tid;
    EXPECT_EQ(session->CreateTransID(tid.put()), E_NOTIMPL);
}
