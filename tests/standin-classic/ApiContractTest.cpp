// The library's exports as a caller binds them.
#include "ClassicApi.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace classic;

TEST(ApiContract, EveryFunctionIsExportedByItsUndecoratedName)
{
    EXPECT_TRUE(rfc().missing.empty()) << "missing: " << ::testing::PrintToString(rfc().missing);
    // The classic library copies rows with ItCpyLine; a name it does not have must not bind.
    EXPECT_EQ(nullptr, GetProcAddress(static_cast<HMODULE>(rfc().module), "ItCopyRowU"));
}
