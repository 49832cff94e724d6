// Both bitnesses registered machine-wide at once, as on 64-bit Windows with 32-bit and 64-bit
// clients: each registry view names its own DLLs, the shared ProgIDs lead every client to the
// DLLs of its bitness, and removing one bitness leaves the other working. This program is x86;
// the x64 build beside it is named by TOLVANE_X64_BIN. The prefix's setup registered the x86 DLLs.
#include "ModuleTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Dll {
    const wchar_t* file;
    const wchar_t* progId;
    const wchar_t* clsid;
    const wchar_t* libId;
};

const Dll kDlls[] = {
    {L"Tolvane.dll", L"Tolvane.SoapSession", L"{334E20D8-8C80-450B-ACA1-B3A2CC44DBCD}",
     L"{FBDBDBA5-518B-4146-A52F-455C0E03492D}"},
    {L"TolvaneSoap.dll", L"TolvaneSoap.HttpTransport", L"{80069E37-AA39-4D5E-81D6-BF86A7BB7D32}",
     L"{5A8EE7FF-3CB3-41CB-A75B-36A663A9CF90}"},
};

// What clients of one bitness see, and the programs of that bitness (Sysnative is how a 32-bit
// process reaches the 64-bit System32).
struct Bitness {
    const wchar_t* name;
    REGSAM view;
    const wchar_t* platform; // the type library's key
    const wchar_t* system;
};

const Bitness kX64{L"x64", KEY_WOW64_64KEY, L"win64", L"C:\\windows\\sysnative\\"};
const Bitness kX86{L"x86", KEY_WOW64_32KEY, L"win32", L"C:\\windows\\syswow64\\"};

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    GetEnvironmentVariableW(name, value, MAX_PATH);
    std::wstring text(value);
    std::replace(text.begin(), text.end(), L'/', L'\\');
    return text;
}

std::wstring DllPath(const Bitness& bitness, const Dll& dll)
{
    if (&bitness == &kX86)
        return test::BuiltDllPath(dll.file);
    return Environment(L"TOLVANE_X64_BIN") + L"\\" + dll.file;
}

DWORD Regsvr32(const Bitness& bitness, const wchar_t* switches)
{
    DWORD result = 0;
    for (const Dll& dll : kDlls)
        result |= test::RunRegsvr32(DllPath(bitness, dll), switches, std::wstring(bitness.system) + L"regsvr32.exe");
    return result;
}

// 3 when a script host of this bitness created the object (create-object.js).
DWORD CreateFromScript(const Bitness& bitness, const Dll& dll)
{
    return test::RunProgram(std::wstring(L"\"") + bitness.system + L"cscript.exe\" //nologo \"" +
                            Environment(L"TOLVANE_CREATE_SCRIPT") + L"\" " + dll.progId);
}
constexpr DWORD kCreated = 3;

void ExpectRegistered(const Bitness& bitness)
{
    for (const Dll& dll : kDlls) {
        SCOPED_TRACE(std::wstring(bitness.name) + L" " + dll.file);
        const std::wstring classKey = std::wstring(L"CLSID\\") + dll.clsid;
        EXPECT_EQ(test::ReadRegistryString(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", nullptr, bitness.view),
                  DllPath(bitness, dll));
        EXPECT_EQ(test::ReadRegistryString(HKEY_CLASSES_ROOT, std::wstring(dll.progId) + L"\\CLSID", nullptr,
                                           bitness.view),
                  dll.clsid);
        const std::wstring library = std::wstring(L"TypeLib\\") + dll.libId + L"\\1.0\\0\\" + bitness.platform;
        EXPECT_EQ(test::ReadRegistryString(HKEY_CLASSES_ROOT, library, nullptr, bitness.view), DllPath(bitness, dll));
        EXPECT_EQ(CreateFromScript(bitness, dll), kCreated);
    }
}

void ExpectUnregistered(const Bitness& bitness)
{
    for (const Dll& dll : kDlls) {
        SCOPED_TRACE(std::wstring(bitness.name) + L" " + dll.file);
        EXPECT_FALSE(test::RegistryKeyExists(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + dll.clsid, bitness.view));
        const std::wstring library = std::wstring(L"TypeLib\\") + dll.libId + L"\\1.0\\0\\" + bitness.platform;
        EXPECT_FALSE(test::RegistryKeyExists(HKEY_CLASSES_ROOT, library, bitness.view));
        // No creation from a script host here: Tolvane's classes have an AppID with a
        // DllSurrogate, through which COM serves them to the other bitness out of process, in
        // a surrogate process that outlives the script.
    }
}

class RegistryViews : public testing::Test {
protected:
    // The other registration tests may have left the x86 type library unregistered (Wine's
    // per-user type-library functions act machine-wide): both bitnesses are registered here.
    void SetUp() override
    {
        ASSERT_EQ(Regsvr32(kX86, L""), 0u);
        ASSERT_EQ(Regsvr32(kX64, L""), 0u);
    }
    // As the prefix's setup left it: the x86 DLLs alone.
    void TearDown() override
    {
        Regsvr32(kX64, L"/u");
        Regsvr32(kX86, L"");
    }
};

} // namespace

TEST_F(RegistryViews, EachBitnessFindsItsOwnDllsThroughTheSharedProgIds)
{
    ExpectRegistered(kX64);
    ExpectRegistered(kX86);
}

TEST_F(RegistryViews, RemovingOneBitnessLeavesTheOtherWorking)
{
    const struct {
        const Bitness& removed;
        const Bitness& kept;
    } cases[] = {{kX86, kX64}, {kX64, kX86}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::wstring(L"removing ") + c.removed.name);
        ASSERT_EQ(Regsvr32(c.removed, L"/u"), 0u);
        ExpectUnregistered(c.removed);
        ExpectRegistered(c.kept);
        ASSERT_EQ(Regsvr32(c.removed, L""), 0u);
    }
}
