// Late binding, as a script client uses the component: names and argument conversion through
// the embedded type library, failures as exceptions with their description and source.
#include "SoapKitTest.h"

#include "Automation.h"

using namespace test;

TEST(Dispatch, RequestIsBuiltThroughLateBinding)
{
    auto envelope = Create<IDispatch>(CLSID_SoapEnvelope);
    ASSERT_TRUE(envelope);
    ASSERT_EQ(Call(envelope.get(), L"NameBody", Args(L"RFC_PING", kRfcNamespace)).hr, S_OK);
    auto body = Object(Call(envelope.get(), L"BodyNodes"));
    ASSERT_TRUE(body);
    auto node = Object(Call(body.get(), L"AddNode", Args(L"TABNAME", L"SFLIGHT", L"", L"", L"")));
    ASSERT_TRUE(node);
    EXPECT_EQ(Get(body.get(), L"NodeCount").value.get().lVal, 1);
    EXPECT_EQ(Text(Call(node.get(), L"GetValue").value), L"SFLIGHT");
    EXPECT_NE(Text(Call(envelope.get(), L"WriteRequest").value).find(L"<TABNAME>SFLIGHT</TABNAME>"), std::wstring::npos);
    EXPECT_EQ(Enumerate(body.get()).size(), 1u);
}

TEST(Dispatch, FailureArrivesAsAnExceptionWithCodeAndDescription)
{
    auto envelope = Create<IDispatch>(CLSID_SoapEnvelope);
    const InvokeResult result = Call(envelope.get(), L"ReadResponse", Args(L"<not soap/>", L"utf-8"));
    EXPECT_EQ(result.error(), soapkit::result::ParseError);
    EXPECT_FALSE(result.description.empty());
    EXPECT_EQ(result.source, L"TolvaneSoap.SoapEnvelope.1");
}

TEST(Dispatch, TransportSettingsThroughLateBinding)
{
    auto transport = Create<IDispatch>(CLSID_HttpTransport);
    EXPECT_EQ(Call(transport.get(), L"SetTimeout", Args(5000)).hr, S_OK);
    EXPECT_EQ(Call(transport.get(), L"GetNamedProperty", Args(L"timeout")).value.get().lVal, 5000);
    auto jar = Object(Call(transport.get(), L"GetNamedProperty", Args(L"cookies")));
    ASSERT_TRUE(jar);
    EXPECT_EQ(Call(jar.get(), L"AddCookie", Args(L"MYSAPSSO2", L"ticket", L"", L"")).hr, S_OK);
    EXPECT_EQ(Text(Call(jar.get(), L"CookieHeader", Args(L"http://anyhost/x")).value), L"MYSAPSSO2=ticket");
}

TEST(Activation, CreatedAsTheSessionCreatesItWithEveryContextAndOleRun)
{
    for (const CLSID* clsid : {&CLSID_SoapEnvelope, &CLSID_HttpTransport}) {
        com::ptr<IUnknown> object;
        ASSERT_EQ(CoCreateInstance(*clsid, nullptr, CLSCTX_ALL, IID_IUnknown, object.put_void()), S_OK);
        EXPECT_EQ(OleRun(object.get()), S_OK);
        EXPECT_TRUE(object.try_query<ISoapEnvelope>() || object.try_query<IHttpTransport>());
        EXPECT_TRUE(object.try_query<ISupportErrorInfo>());
    }
}
