// Registration of the built DLL: machine-wide (as the test setup did it), per user, removal,
// and the class objects. The registry is read back as a client's COM runtime would find it.
#include "ModuleTestSupport.h"
#include "com/ComPtr.h"
#include "idl/Tolvane_h.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kAppId[] = L"{6A83179A-1485-4582-9205-F55C2537D558}";
constexpr wchar_t kLibId[] = L"{FBDBDBA5-518B-4146-A52F-455C0E03492D}";
constexpr wchar_t kUserClasses[] = L"Software\\Classes\\";

using test::ReadRegistryString;
using test::RegistryKeyExists;

DWORD RunRegsvr32(const std::wstring& switches) { return test::RunRegsvr32(test::TolvaneDllPath(), switches); }

struct Class {
    const wchar_t* progId;
    const wchar_t* clsid;
    const wchar_t* description;
    const wchar_t* versionedDescription;
    const wchar_t* writtenProgId; // as the CLSID key spells it
    bool hasAppId;
};

const Class kClasses[] = {
    {L"Tolvane.RfcSession", L"{9A07C80C-494E-4594-AFEB-7FB489423047}", L"RfcSession Class", L"RfcSession Class",
     L"Tolvane.RfcSession", true},
    {L"Tolvane.SoapSession", L"{334E20D8-8C80-450B-ACA1-B3A2CC44DBCD}", L"SoapSession Class", L"SoapSession Class",
     L"Tolvane.SoapSession", true},
    {L"Tolvane.BSPApplication", L"{86A5EDB1-49AE-4155-A051-A2094593227C}", L"BSPApplication Class",
     L"ostrel Tolvane: BSPApplication Class", L"Tolvane.BSPApplication", false},
    {L"Tolvane.RfcServer", L"{C47C2C19-D930-4ACE-B5B1-A6DA857A8CA6}", L"RfcServer Class",
     L"ostrel Tolvane: RfcServer Class", L"Tolvane.RfcServer", true},
    {L"Tolvane.ConnectorCtrl", L"{FC07F669-BFFE-4ABC-93BD-507E549508DE}", L"Tolvane Control", L"Tolvane Control",
     L"Tolvane.ConnectorCtrl", true},
    {L"Tolvane.NWRfcSession", L"{AD6F824D-BAC7-464B-A52D-D83F62CB9DB4}", L"NWRfcSession Class",
     L"NWRfcSession Class", L"Tolvane.NwRfcSession", true},
    {L"Tolvane.NWRfcServer", L"{35D519D6-0106-4B5D-BA15-923F2D87FEF1}", L"NWRfcServer Class",
     L"ostrel Tolvane: NWRfcServer Class", L"Tolvane.NWRfcServer", true},
};

// Every key the registration writes, under `classes` (HKCR, or the user's Software\Classes).
void ExpectRegistered(HKEY root, const std::wstring& classes)
{
    const std::wstring dll = test::TolvaneDllPath();
    for (const Class& c : kClasses) {
        SCOPED_TRACE(c.progId);
        const std::wstring versioned = std::wstring(c.progId) + L".1";
        EXPECT_EQ(ReadRegistryString(root, classes + versioned), c.versionedDescription);
        EXPECT_EQ(ReadRegistryString(root, classes + versioned + L"\\CLSID"), c.clsid);
        EXPECT_EQ(ReadRegistryString(root, classes + c.progId), c.description);
        EXPECT_EQ(ReadRegistryString(root, classes + c.progId + L"\\CLSID"), c.clsid);
        EXPECT_EQ(ReadRegistryString(root, classes + c.progId + L"\\CurVer"), versioned);

        const std::wstring key = classes + L"CLSID\\" + c.clsid;
        EXPECT_EQ(ReadRegistryString(root, key), c.description);
        EXPECT_EQ(ReadRegistryString(root, key + L"\\ProgID"), std::wstring(c.writtenProgId) + L".1");
        EXPECT_EQ(ReadRegistryString(root, key + L"\\VersionIndependentProgID"), c.writtenProgId);
        EXPECT_TRUE(RegistryKeyExists(root, key + L"\\Programmable"));
        EXPECT_EQ(ReadRegistryString(root, key + L"\\InprocServer32"), dll);
        EXPECT_EQ(ReadRegistryString(root, key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
        EXPECT_EQ(ReadRegistryString(root, key + L"\\TypeLib"), kLibId);
        EXPECT_EQ(ReadRegistryString(root, key, L"AppID"), c.hasAppId ? std::optional<std::wstring>(kAppId) : std::nullopt);
    }
    const std::wstring control = classes + L"CLSID\\{FC07F669-BFFE-4ABC-93BD-507E549508DE}";
    EXPECT_TRUE(RegistryKeyExists(root, control + L"\\Control"));
    EXPECT_EQ(ReadRegistryString(root, control + L"\\ToolboxBitmap32"), dll + L", 102");
    EXPECT_EQ(ReadRegistryString(root, control + L"\\MiscStatus"), L"0");
    EXPECT_EQ(ReadRegistryString(root, control + L"\\MiscStatus\\1"), L"132497");
    EXPECT_EQ(ReadRegistryString(root, control + L"\\Version"), L"1.0");

    EXPECT_EQ(ReadRegistryString(root, classes + L"AppID\\" + kAppId), L"Tolvane.dll");
    EXPECT_EQ(ReadRegistryString(root, classes + L"AppID\\" + kAppId, L"DllSurrogate"), L"");
    EXPECT_EQ(ReadRegistryString(root, classes + L"AppID\\Tolvane.dll", L"AppID"), kAppId);
}

void ExpectUnregistered(HKEY root, const std::wstring& classes)
{
    for (const Class& c : kClasses) {
        SCOPED_TRACE(c.progId);
        EXPECT_FALSE(RegistryKeyExists(root, classes + c.progId));
        EXPECT_FALSE(RegistryKeyExists(root, classes + c.progId + L".1"));
        EXPECT_FALSE(RegistryKeyExists(root, classes + L"CLSID\\" + c.clsid));
    }
    EXPECT_TRUE(RegistryKeyExists(root, classes + L"CLSID"));
    EXPECT_TRUE(RegistryKeyExists(root, classes + L"AppID"));
}

using DllInstallFunction = HRESULT(WINAPI*)(BOOL, LPCWSTR);
using DllGetClassObjectFunction = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFunction = HRESULT(WINAPI*)();

template <class F>
F Export(HMODULE dll, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

// Wine's per-user type library removal also takes the machine-wide interface keys, which the
// tests after these need to marshal our interfaces: the program registers machine-wide again
// before it ends.
class MachineWideAgainAtTheEnd : public ::testing::Environment {
public:
    void TearDown() override { EXPECT_EQ(RunRegsvr32(L""), 0u); }
};
const auto* const kRestore = ::testing::AddGlobalTestEnvironment(new MachineWideAgainAtTheEnd);

} // namespace

TEST(Registration, MachineWideRegistrationWritesEveryKey)
{
    ExpectRegistered(HKEY_CLASSES_ROOT, L"");
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kLibId + L"\\1.0"));

    // What a client's CLSIDFromProgID finds.
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"Tolvane.SoapSession", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_SoapSession));
}

TEST(Registration, UnregistrationRemovesTheClassesAndLeavesTheRoots)
{
    ASSERT_EQ(RunRegsvr32(L"/u"), 0u);
    ExpectUnregistered(HKEY_CLASSES_ROOT, L"");
    ASSERT_EQ(RunRegsvr32(L""), 0u);
    ExpectRegistered(HKEY_CLASSES_ROOT, L"");
}

TEST(Registration, PerUserRegistrationNeedsNoAdministratorAndWritesUnderTheUsersClasses)
{
    ASSERT_EQ(RunRegsvr32(L"/n /i:user"), 0u);
    ExpectRegistered(HKEY_CURRENT_USER, kUserClasses);
    ASSERT_EQ(RunRegsvr32(L"/u /n /i:user"), 0u);
    ExpectUnregistered(HKEY_CURRENT_USER, kUserClasses);
    // The machine-wide registration was not touched.
    ExpectRegistered(HKEY_CLASSES_ROOT, L"");
}

TEST(Registration, DllInstallSwitchesToPerUserOnlyForTheWholeWordUser)
{
    HMODULE dll = LoadLibraryW(test::TolvaneDllPath().c_str());
    ASSERT_TRUE(dll);
    auto install = Export<DllInstallFunction>(dll, "DllInstall");
    ASSERT_TRUE(install);
    const std::wstring userKey = std::wstring(kUserClasses) + L"Tolvane.SoapSession";

    EXPECT_EQ(install(TRUE, L"users"), S_OK); // not "user": stays machine-wide
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, userKey));
    EXPECT_EQ(install(TRUE, L"User"), S_OK);
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, userKey));
    // Per-user mode lasts for the process: uninstalling now removes the user's keys.
    EXPECT_EQ(install(FALSE, nullptr), S_OK);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, userKey));
    ExpectRegistered(HKEY_CLASSES_ROOT, L"");
    FreeLibrary(dll);
}

TEST(Registration, ClassObjectsOfUnknownClassesAreUnavailableAndTheModuleCanUnload)
{
    HMODULE dll = LoadLibraryW(test::TolvaneDllPath().c_str());
    ASSERT_TRUE(dll);
    auto getClassObject = Export<DllGetClassObjectFunction>(dll, "DllGetClassObject");
    auto canUnload = Export<DllCanUnloadNowFunction>(dll, "DllCanUnloadNow");
    ASSERT_TRUE(getClassObject && canUnload);

    void* factory = reinterpret_cast<void*>(1);
    const CLSID unknown = {0x5d1e0c2a, 0x47b3, 0x4f0e, {0x9a, 0x61, 0x2c, 0x0d, 0x8e, 0x53, 0x17, 0xa4}};
    EXPECT_EQ(getClassObject(unknown, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
    EXPECT_EQ(getClassObject(IID_IRfcType, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(canUnload(), S_OK);
    FreeLibrary(dll);
}

TEST(Registration, EveryClassWithEventsNamesItsCoclassAndItsEventsToScriptHosts)
{
    HMODULE dll = LoadLibraryW(test::TolvaneDllPath().c_str());
    ASSERT_TRUE(dll);
    auto getClassObject = Export<DllGetClassObjectFunction>(dll, "DllGetClassObject");
    ASSERT_TRUE(getClassObject);
    const struct {
        const CLSID* clsid;
        const IID* events;
    } cases[] = {
        {&CLSID_RfcSession, &DIID__SessionEvents},
        {&CLSID_NWRfcSession, &DIID__SessionEvents},
        {&CLSID_SoapSession, &DIID__SessionEvents},
        {&CLSID_NWRfcServer, &DIID__RfcServerEvents},
        {&CLSID_RfcServer, &DIID__RfcServerEvents},
    };
    for (const auto& c : cases) {
        com::ptr<IClassFactory> factory;
        ASSERT_EQ(getClassObject(*c.clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.put())), S_OK);
        com::ptr<IProvideClassInfo2> info;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IProvideClassInfo2, reinterpret_cast<void**>(info.put())), S_OK);
        GUID events{};
        EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
        EXPECT_EQ(events, *c.events);
        com::ptr<ITypeInfo> coclass;
        ASSERT_EQ(info->GetClassInfo(coclass.put()), S_OK);
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
        EXPECT_EQ(attributes->guid, *c.clsid);
        coclass->ReleaseTypeAttr(attributes);
    }
    FreeLibrary(dll);
}
