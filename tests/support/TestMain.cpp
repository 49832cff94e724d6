// Every test program runs its tests on a thread in a single-threaded apartment, as an
// automation client's thread would be.
#include "session/Messages.h"

#include <gtest/gtest.h>

#include <objbase.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    tolvane::InstallErrorPolicy();
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
