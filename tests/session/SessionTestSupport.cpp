// What the session tests share.
#include "SessionTestSupport.h"

#include "support/EventSink.h"

namespace test {

com::ptr<IFunctionCall> Call(ISession* session, const wchar_t* name)
{
    com::ptr<IFunctionCall> call;
    EXPECT_EQ(session->CreateCall(call.put()), S_OK);
    call->put_Function(com::bstr(name).get());
    return call;
}

bool ErrorFlag(ISession* session)
{
    VARIANT_BOOL error = VARIANT_FALSE;
    session->get_Error(&error);
    return error == VARIANT_TRUE;
}

bool CallActive(ISession* session)
{
    VARIANT_BOOL active = VARIANT_FALSE;
    session->get_CallActive(&active);
    return active == VARIANT_TRUE;
}

std::wstring ErrorMessage(ISession* session)
{
    com::ptr<IRfcError> error;
    session->get_ErrorInfo(error.put());
    com::bstr message;
    error->get_Message(message.put());
    return message.str();
}

EchoBackend::EchoBackend()
{
    interfaces[L"Z_ECHO"] = [](IFunctionCall* call) {
        com::ptr<IRfcParameters> importing, exporting;
        call->get_Importing(importing.put());
        call->get_Exporting(exporting.put());
        importing->AddScalar(com::bstr(L"TEXT").get(), TYPE_CHAR, 10, 0, com::variant().get());
        exporting->AddScalar(com::bstr(L"ECHO").get(), TYPE_CHAR, 10, 0, com::variant().get());
    };
    modules[L"Z_ECHO"] = [](IFunctionCall* call) {
        com::ptr<IRfcParameters> importing, exporting;
        call->get_Importing(importing.put());
        call->get_Exporting(exporting.put());
        com::ptr<IRfcParameter> text, echo;
        importing->get_Item(com::variant(L"TEXT").get(), text.put());
        exporting->get_Item(com::variant(L"ECHO").get(), echo.put());
        com::variant value;
        text->get_value(value.put());
        echo->put_value(value.get());
        return ModuleResult{};
    };
    modules[L"Z_FAIL"] = [](IFunctionCall*) {
        return ModuleResult{true, RFCERROR_APPLICATION_EXCEPTION, L"internal server error", L"NOT_FOUND"};
    };
}

com::ptr<IFunctionCall> Echo(ISession* session, const wchar_t* text)
{
    com::ptr<IFunctionCall> call;
    EXPECT_EQ(session->ImportCall(com::bstr(L"Z_ECHO").get(), VARIANT_FALSE, call.put()), S_OK);
    com::ptr<IRfcParameters> importing;
    call->get_Importing(importing.put());
    com::ptr<IRfcParameter> p;
    importing->get_Item(com::variant(L"TEXT").get(), p.put());
    p->put_value(com::variant(text).get());
    return call;
}

std::wstring EchoOf(IFunctionCall* call)
{
    com::ptr<IRfcParameters> exporting;
    call->get_Exporting(exporting.put());
    com::ptr<IRfcParameter> p;
    exporting->get_Item(com::variant(L"ECHO").get(), p.put());
    com::variant v;
    p->get_value(v.put());
    return v.vt() == VT_BSTR ? std::wstring(com::view(V_BSTR(v.addr()))) : L"";
}

} // namespace test
