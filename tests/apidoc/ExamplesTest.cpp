// The examples a user starts from use only members the type libraries have: every member
// chain on an object of the component, and every event handler, resolves.
#include "ExampleScanner.h"
#include "TypeLibraryReader.h"
#include "support/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <iterator>

namespace {

const test::ExampleScanner& Scanner()
{
    static const test::ExampleScanner scanner({apidoc::TypeLibraryReader::Read(test::BuiltDllPath(L"Tolvane.dll")),
                                               apidoc::TypeLibraryReader::Read(test::BuiltDllPath(L"TolvaneSoap.dll"))});
    return scanner;
}

std::wstring ReadExample(const std::string& relative)
{
    const char* root = std::getenv("TOLVANE_EXAMPLES");
    std::ifstream in(std::string(root ? root : "") + "/" + relative, std::ios::binary);
    EXPECT_TRUE(in) << relative;
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    return std::wstring(bytes.begin(), bytes.end()); // the examples are ASCII
}

std::string Joined(const std::vector<std::wstring>& lines)
{
    std::string text;
    for (const std::wstring& line : lines)
        text += "\n  " + std::string(line.begin(), line.end());
    return text;
}

bool Uses(const test::ScanResult& result, std::wstring_view use)
{
    return std::find(result.uses.begin(), result.uses.end(), use) != result.uses.end();
}

TEST(Examples, UseOnlyMembersOfTheTypeLibraries)
{
    struct Example {
        const char* file;
        test::ScriptLanguage language;
        std::vector<const wchar_t*> mustUse; // proof that the scanner followed the example
    };
    const Example examples[] = {
        {"vba/TolvaneDemo.bas", test::ScriptLanguage::Basic,
         {L"ISession.Connect", L"IRfcParameters.Item", L"ITableReader.Read", L"IRfcFields.Item", L"IRfcField.value"}},
        {"vba/AsyncCall.cls", test::ScriptLanguage::Basic, {L"ISession.CallFunction", L"_SessionEvents.CallFinished"}},
        {"powershell/TolvaneDemo.ps1", test::ScriptLanguage::PowerShell,
         {L"ISoapSession.HttpSystemData", L"IRfcParameters.Item", L"IRfcField.value", L"ISession.CallActive"}},
        {"demo.vbs", test::ScriptLanguage::Basic, {L"ISession.ImportCall", L"IRfcField.value"}},
    };
    for (const Example& example : examples) {
        const test::ScanResult result = Scanner().Scan(ReadExample(example.file), example.language);
        EXPECT_TRUE(result.problems.empty()) << example.file << ":" << Joined(result.problems);
        for (const wchar_t* use : example.mustUse)
            EXPECT_TRUE(Uses(result, use)) << example.file << " should use " << std::string(use, use + wcslen(use));
    }
}

TEST(Examples, ScannerCatchesWhatDriftedFromTheApi)
{
    struct Case {
        const wchar_t* source;
        test::ScriptLanguage language;
        const wchar_t* problem; // nullptr: none
    };
    using enum test::ScriptLanguage;
    const Case cases[] = {
        {L"Set s = CreateObject(\"Tolvane.SoapSession\")\ns.Conect", Basic, L"line 2: ISoapSession has no member 'Conect'"},
        {L"Dim s As TOLVANELib.SoapSession\nSet fm = s.ImportCall(\"X\")\nfm.Importing(\"A\").vlaue = 1", Basic,
         L"line 3: IRfcParameter has no member 'vlaue'"},
        {L"Dim s As TOLVANELib.SoapSession\nWith s.LogonData\n  .Clinet = \"001\"\nEnd With", Basic,
         L"line 3: ILogonData has no member 'Clinet'"},
        {L"Dim r As TOLVANELib.TableReader\nFor Each row In r.Rows\n  x = row(\"A\").valeu\nNext", Basic,
         L"line 3: IRfcField has no member 'valeu'"},
        {L"Private WithEvents s As TOLVANELib.SoapSession\nPrivate Sub s_CallFinishd()\nEnd Sub", Basic,
         L"line 2: _SessionEvents has no event 'CallFinishd'"},
        {L"Dim s As TOLVANELib.SoapSesion", Basic, L"line 1: TOLVANELib has no type 'SoapSesion'"},
        {L"$s = New-Object -ComObject Tolvane.SoapSession\n$s.HttpSystemData.Hots = 'x'", PowerShell,
         L"line 2: IHttpSystemData has no member 'Hots'"},
        {L"$s = New-Object -ComObject Tolvane.SoapSession\n$fm = $s.ImportCall('X')\n$fm.Importing.Itme('A')", PowerShell,
         L"line 3: IRfcParameters has no member 'Itme'"},
        {L"$s = New-Object -ComObject Tolvane.SoapSession\nRegister-ObjectEvent -InputObject $s -EventName Finished",
         PowerShell, L"line 2: _SessionEvents has no event 'Finished'"},
        {L"Dim n As Long, _\n    s As TOLVANELib.SoapSession\ns.Conect", Basic, L"line 3: ISoapSession has no member 'Conect'"},
        // Correct uses, in other letter case, in strings and comments, and on objects not of ours.
        {L"Set s = CreateObject(\"Tolvane.SoapSession\")\nS.CONNECT ' s.Conect\nMsgBox \"s.Conect\"\nws.Rnage(1)", Basic,
         nullptr},
        {L"$s = New-Object -ComObject Tolvane.SoapSession\n$s.Connect() # $s.Conect\n'$s.Conect'", PowerShell, nullptr},
    };
    for (const Case& c : cases) {
        const test::ScanResult result = Scanner().Scan(c.source, c.language);
        const std::vector<std::wstring> expected = c.problem ? std::vector<std::wstring>{c.problem} : std::vector<std::wstring>{};
        EXPECT_EQ(result.problems, expected) << std::string(c.source, c.source + wcslen(c.source));
    }
}

} // namespace
