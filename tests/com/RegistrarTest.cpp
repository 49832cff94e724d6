// The registrar runs registry scripts; here against a scratch key of the current user.
#include "com/Registrar.h"
#include "support/Registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

const wchar_t kRoot[] = L"Software\\TolvaneRegistrarTest";

std::optional<std::wstring> ReadString(const std::wstring& key, const wchar_t* value = nullptr)
{
    return test::ReadRegistryString(HKEY_CURRENT_USER, key, value);
}

bool KeyExists(const std::wstring& key) { return test::RegistryKeyExists(HKEY_CURRENT_USER, key); }

std::wstring Path(const std::wstring& sub) { return std::wstring(kRoot) + L"\\" + sub; }

const wchar_t kScript[] = LR"(HKCU
{
	NoRemove Software
	{
		NoRemove TolvaneRegistrarTest
		{
			Plain = s 'plain value'
			{
				Inner = s '%MODULE%'
				{
					val Threading = s 'Apartment'
					val Count = d '42'
				}
			}
			ForceRemove {0A1B2C3D-0000-0000-0000-000000000001} = s 'Some Class'
			{
				'Name With Blanks' = s 'it''s 100%%'
			}
			NoRemove Shared
			{
				val Mine = s 'x'
			}
		}
	}
}
)";

class RegistrarTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
        registrar.add_replacement(L"MODULE", L"C:\\path\\Tolvane.dll");
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }

    com::Registrar registrar;
};

} // namespace

TEST_F(RegistrarTest, RegistersKeysValuesAndReplacements)
{
    ASSERT_EQ(registrar.run(kScript, true, com::RegistryScope::machine), S_OK);
    EXPECT_EQ(ReadString(Path(L"Plain")), L"plain value");
    EXPECT_EQ(ReadString(Path(L"Plain\\Inner")), L"C:\\path\\Tolvane.dll");
    EXPECT_EQ(ReadString(Path(L"Plain\\Inner"), L"Threading"), L"Apartment");
    DWORD count = 0, size = sizeof count;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, Path(L"Plain\\Inner").c_str(), L"Count", RRF_RT_REG_DWORD, nullptr,
                           &count, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(count, 42u);
    EXPECT_EQ(ReadString(Path(L"{0A1B2C3D-0000-0000-0000-000000000001}\\Name With Blanks")), L"it's 100%");
}

TEST_F(RegistrarTest, UnregisterRemovesWhatIsRemovableAndKeepsTheRest)
{
    ASSERT_EQ(registrar.run(kScript, true, com::RegistryScope::machine), S_OK);
    // Something another program put under the shared and the force-removed keys.
    HKEY h = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, Path(L"Shared\\Other").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                    nullptr);
    RegCloseKey(h);
    RegCreateKeyExW(HKEY_CURRENT_USER, Path(L"{0A1B2C3D-0000-0000-0000-000000000001}\\Extra").c_str(), 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &h, nullptr);
    RegCloseKey(h);

    ASSERT_EQ(registrar.run(kScript, false, com::RegistryScope::machine), S_OK);
    EXPECT_FALSE(KeyExists(Path(L"Plain")));
    EXPECT_FALSE(KeyExists(Path(L"{0A1B2C3D-0000-0000-0000-000000000001}")));
    EXPECT_TRUE(KeyExists(Path(L"Shared\\Other")));
    EXPECT_FALSE(ReadString(Path(L"Shared"), L"Mine").has_value());
    EXPECT_TRUE(KeyExists(kRoot));

    // Unregistering again finds nothing to do and still succeeds.
    EXPECT_EQ(registrar.run(kScript, false, com::RegistryScope::machine), S_OK);
}

TEST_F(RegistrarTest, ForceRemoveReplacesAnOldRegistration)
{
    HKEY h = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, Path(L"{0A1B2C3D-0000-0000-0000-000000000001}\\Stale").c_str(), 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &h, nullptr);
    RegCloseKey(h);
    ASSERT_EQ(registrar.run(kScript, true, com::RegistryScope::machine), S_OK);
    EXPECT_FALSE(KeyExists(Path(L"{0A1B2C3D-0000-0000-0000-000000000001}\\Stale")));
}

TEST_F(RegistrarTest, BrokenScriptsFailWithoutWritingAnything)
{
    const wchar_t* broken[] = {
        L"HKCU { NoRemove Software { NoRemove TolvaneRegistrarTest { Key = s 'value' } }", // unclosed
        L"HKCU { NoRemove Software { NoRemove TolvaneRegistrarTest { Key = s '%UNKNOWN%' } } }",
        L"HKCU { NoRemove Software { NoRemove TolvaneRegistrarTest { Key = x 'value' } } }",
        L"HKXX { }",
    };
    for (const wchar_t* script : broken) {
        EXPECT_TRUE(FAILED(registrar.run(script, true, com::RegistryScope::machine))) << script;
        EXPECT_FALSE(KeyExists(Path(L"Key"))) << script;
    }
}

// A class that both bitnesses register: its CLSID key lives in each bitness's registry view,
// its ProgID is shared, and removing one bitness must leave the ProgID to the other's clients.
class RegistrarViewsTest : public RegistrarTest {
protected:
    static constexpr REGSAM kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    static constexpr wchar_t kProgId[] = L"Tolvane.RegistrarViewsTest";
    static constexpr wchar_t kClassKey[] = L"CLSID\\{0A1B2C3D-0000-0000-0000-000000000002}";
    static constexpr wchar_t kClassScript[] = LR"(HKCR
{
	Tolvane.RegistrarViewsTest = s 'Views Test'
	{
		CLSID = s '{0A1B2C3D-0000-0000-0000-000000000002}'
	}
	NoRemove CLSID
	{
		ForceRemove {0A1B2C3D-0000-0000-0000-000000000002} = s 'Views Test'
		{
			InprocServer32 = s '%MODULE%'
		}
	}
}
)";

    void TearDown() override
    {
        RemoveFromOtherView();
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
        RegistrarTest::TearDown();
    }
    static void RegisterInOtherView()
    {
        HKEY key = nullptr;
        const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, server.c_str(), 0, nullptr, 0, KEY_WRITE | kOtherView, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void RemoveFromOtherView()
    {
        const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
        RegDeleteKeyExW(HKEY_CLASSES_ROOT, server.c_str(), kOtherView, 0);
        RegDeleteKeyExW(HKEY_CLASSES_ROOT, kClassKey, kOtherView, 0);
    }
    static bool OwnViewHasClass() { return test::RegistryKeyExists(HKEY_CLASSES_ROOT, kClassKey); }
    static bool ProgIdExists() { return test::RegistryKeyExists(HKEY_CLASSES_ROOT, kProgId); }
};

TEST_F(RegistrarViewsTest, SharedKeysStayUntilTheLastViewThatRegistersTheClassIsRemoved)
{
    ASSERT_EQ(registrar.run(kClassScript, true, com::RegistryScope::machine), S_OK);
    RegisterInOtherView();
    ASSERT_TRUE(OwnViewHasClass());

    ASSERT_EQ(registrar.run(kClassScript, false, com::RegistryScope::machine), S_OK);
    EXPECT_FALSE(OwnViewHasClass());
    EXPECT_TRUE(ProgIdExists()) << "the other bitness's clients still create the class by its ProgID";

    RemoveFromOtherView();
    ASSERT_EQ(registrar.run(kClassScript, false, com::RegistryScope::machine), S_OK);
    EXPECT_FALSE(ProgIdExists());
}
