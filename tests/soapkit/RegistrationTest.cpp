// Registration of the built TolvaneSoap.dll through regsvr32, machine-wide (what the test
// prefix and an installer do) and per user, read back from the registry as COM finds it.
#include "SoapKitTest.h"
#include "support/Registry.h"

#include <optional>

namespace {

constexpr wchar_t kLibId[] = L"{5A8EE7FF-3CB3-41CB-A75B-36A663A9CF90}";
constexpr wchar_t kUserClasses[] = L"Software\\Classes\\";
// The type library's path is registered per platform: win32 for x86 DLLs, win64 for x64.
constexpr const wchar_t* kPlatform = sizeof(void*) == 8 ? L"win64" : L"win32";

using test::ReadRegistryString;

std::wstring DllPath() { return test::BuiltDllPath(L"TolvaneSoap.dll"); }
DWORD Regsvr32(const std::wstring& switches) { return test::RunRegsvr32(DllPath(), switches); }

struct Class {
    const wchar_t* progId;
    const wchar_t* clsid;
};

const Class kClasses[] = {
    {L"TolvaneSoap.SoapEnvelope", L"{B70BDBD9-10FE-4E81-B94B-7ED954AEC126}"},
    {L"TolvaneSoap.HttpTransport", L"{80069E37-AA39-4D5E-81D6-BF86A7BB7D32}"},
};

void ExpectClasses(HKEY root, const std::wstring& classes)
{
    for (const Class& c : kClasses) {
        SCOPED_TRACE(c.progId);
        EXPECT_EQ(ReadRegistryString(root, classes + c.progId + L"\\CLSID"), c.clsid);
        EXPECT_EQ(ReadRegistryString(root, classes + c.progId + L"\\CurVer"), std::wstring(c.progId) + L".1");
        const std::wstring key = classes + L"CLSID\\" + c.clsid;
        EXPECT_EQ(ReadRegistryString(root, key + L"\\InprocServer32"), DllPath());
        EXPECT_EQ(ReadRegistryString(root, key + L"\\InprocServer32", L"ThreadingModel"), L"Both");
        EXPECT_EQ(ReadRegistryString(root, key + L"\\TypeLib"), kLibId);
        EXPECT_EQ(ReadRegistryString(root, key + L"\\ProgID"), std::wstring(c.progId) + L".1");
    }
}

} // namespace

TEST(Registration, MachineWideRegistrationNamesTheDllBothThreadedWithItsTypeLibrary)
{
    ASSERT_EQ(Regsvr32(L""), 0u);
    ExpectClasses(HKEY_CLASSES_ROOT, L"");
    EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kLibId + L"\\1.0\\0\\" + kPlatform), DllPath());
    EXPECT_TRUE(test::NewTransport());
}

TEST(Registration, UnregisteringRemovesTheClassesAndRegisteringRestoresThem)
{
    ASSERT_EQ(Regsvr32(L"/u"), 0u);
    EXPECT_EQ(Regsvr32(L"/u"), 0u) << "removing what is not there is no failure";
    EXPECT_FALSE(ReadRegistryString(HKEY_CLASSES_ROOT, L"TolvaneSoap.HttpTransport\\CLSID"));
    com::ptr<IUnknown> none;
    EXPECT_EQ(CoCreateInstance(CLSID_HttpTransport, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, none.put_void()),
              REGDB_E_CLASSNOTREG);
    ASSERT_EQ(Regsvr32(L""), 0u);
    ExpectClasses(HKEY_CLASSES_ROOT, L"");
}

TEST(Registration, PerUserRegistrationWritesTheUsersClassesAndRemovesThemAgain)
{
    ASSERT_EQ(Regsvr32(L"/n /i:user"), 0u);
    ExpectClasses(HKEY_CURRENT_USER, kUserClasses);
    ASSERT_EQ(Regsvr32(L"/u /n /i:user"), 0u);
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, std::wstring(kUserClasses) + L"TolvaneSoap.HttpTransport\\CLSID"));
    // The machine-wide classes are untouched. (Wine's per-user type library functions act
    // machine-wide, so the machine-wide registration is run again for the tests after this.)
    ExpectClasses(HKEY_CLASSES_ROOT, L"");
    EXPECT_EQ(Regsvr32(L""), 0u);
}
