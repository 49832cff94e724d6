// A process in which the NetWeaver library cannot be found: sessions are made all the same,
// Connect fails with 547, the other transports keep working, and once the client names the
// library's folder the same process binds it. (A process binds the library once, so this runs
// in a program of its own.)
#include "NWRfcTestSupport.h"
#include "support/ThreadError.h"

using namespace test;

TEST(NWRfcAbsent, ConnectFailsWith547UntilTheFolderIsNamedAndNothingElseSuffers)
{
    const HRESULT kNotFound = static_cast<HRESULT>(0x80040223);
    auto session = NewNWSession();
    session->put_Option(com::bstr(L"nwrfc.path").get(), com::bstr(L"").get());
    EXPECT_EQ(session->Connect(), kNotFound);
    EXPECT_EQ(ThreadErrorDescription().rfind(L"'sapnwrfc.dll' not found, install NWRFCSDK and/or set option 'nwrfc.path'", 0), 0u)
        << ThreadErrorDescription();

    session->put_Option(com::bstr(L"nwrfc.path").get(), com::bstr(L"Z:\\no\\sdk\\here").get());
    EXPECT_EQ(session->Connect(), kNotFound);
    VARIANT_BOOL connected = VARIANT_TRUE;
    session->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_FALSE);

    auto soap = ConnectedSession(); // the SOAP road does not need the library
    auto ping = Import(soap.get(), L"RFC_PING");
    EXPECT_EQ(soap->CallFunction(ping.get(), VARIANT_TRUE), S_OK);
    EXPECT_FALSE(ErrorOf(soap.get()).error);

    session->put_Option(com::bstr(L"nwrfc.path").get(), com::bstr(StandInFolder()).get());
    EXPECT_EQ(session->Connect(), S_OK) << ErrorOf(session.get()).message;
}
