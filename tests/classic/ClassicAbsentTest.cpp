// A process whose search path has no classic library: the session is created and fails to
// connect with message 542, and the other session kinds are not affected.
#include "ClassicTestSupport.h"

using namespace test;

TEST(ClassicAbsent, ConnectFailsWith542AndTheSoapSessionStillWorks)
{
    auto session = NewClassicSession();
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(session->Connect(), static_cast<HRESULT>(0x8004021E));
        VARIANT_BOOL connected = VARIANT_TRUE;
        session->get_IsConnected(&connected);
        EXPECT_EQ(connected, VARIANT_FALSE);
    }
    auto soap = ConnectedSession();
    EXPECT_FALSE(ErrorOf(soap.get()).error);
}
