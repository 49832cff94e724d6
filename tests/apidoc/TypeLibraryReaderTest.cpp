// The reference generator reads the built type libraries and message table as a user of the
// API sees them: signatures with optional arguments and defaults, properties merged from their
// get and put, classes with their interfaces, enumeration values with their sentences.
#include "ApiMarkdown.h"
#include "MessageTable.h"
#include "TypeLibraryReader.h"
#include "support/Registry.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <stdexcept>

namespace {

const apidoc::Library& Tolvane()
{
    static const apidoc::Library library = apidoc::TypeLibraryReader::Read(test::BuiltDllPath(L"Tolvane.dll"));
    return library;
}

const apidoc::Member* FindMember(const apidoc::Library& library, std::wstring_view type, std::wstring_view member)
{
    const apidoc::TypeEntry* entry = library.Find(type);
    for (size_t i = 0; entry && i < entry->members.size(); ++i)
        if (entry->members[i].name == member)
            return &entry->members[i];
    return nullptr;
}

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

TEST(TypeLibraryReader, SignaturesAsCodeWritesThem)
{
    struct Case {
        const wchar_t* type;
        const wchar_t* member;
        const wchar_t* signature;
        const char* kind;
    };
    const Case cases[] = {
        {L"ISession", L"ImportCall",
         L"ImportCall(ModuleName As String, [ignoreUnsupportedParams As Boolean = False]) As IFunctionCall", "Method"},
        {L"ISession", L"CallFunction", L"CallFunction(call As IFunctionCall, [synchronous As Boolean = True])", "Method"},
        {L"ISession", L"Connect", L"Connect()", "Method"},
        {L"ISession", L"Option", L"Option(name As String) As String", "read/write"},
        {L"ISession", L"IsConnected", L"IsConnected As Boolean", "read-only"},
        {L"IRfcType", L"DefineScalar",
         L"DefineScalar(name As String, type As ABAPTYPE, [length As Integer = 0], [decimals As Integer = 0], "
         L"[StructOffset As Long = -1])",
         "Method"},
        {L"IRfcParameters", L"AddScalar",
         L"AddScalar(name As String, type As ABAPTYPE, [length As Integer = 0], [decimals As Integer = 0], "
         L"[value As Variant])",
         "Method"},
        {L"IFunctionCall", L"GetException", L"GetException(ByRef exception As Variant, ByRef Message As Variant)", "Method"},
        {L"IFunctionCall", L"RaiseException", L"RaiseException(exception As String, [Message As String = \"\"])", "Method"},
        {L"IRfcRows", L"RfcType", L"RfcType As IRfcType", "read/write"}, // its put comes last in the vtable
        {L"IRfcFields", L"Item", L"Item(index As Variant) As IRfcField", "read-only"},
        {L"_SessionEvents", L"CallFinished", L"CallFinished()", "Event"},
        {L"_RfcServerEvents", L"Logon", L"Logon(info As IRfcServerLogonInfo)", "Event"},
    };
    for (const Case& c : cases) {
        const apidoc::Member* member = FindMember(Tolvane(), c.type, c.member);
        ASSERT_TRUE(member) << Narrow(c.type) << "." << Narrow(c.member);
        EXPECT_EQ(apidoc::ApiMarkdown::Signature(*member), c.signature);
        const std::string kind = member->kind == apidoc::MemberKind::Method  ? "Method"
                                 : member->kind == apidoc::MemberKind::Event ? "Event"
                                 : member->writable                          ? "read/write"
                                                                             : "read-only";
        EXPECT_EQ(kind, c.kind) << Narrow(c.member);
        EXPECT_FALSE(member->help.empty()) << Narrow(c.member);
    }
    EXPECT_TRUE(FindMember(Tolvane(), L"IRfcFields", L"Item")->defaultMember);
    EXPECT_TRUE(FindMember(Tolvane(), L"IRfcType", L"GetInternalObj")->hidden);
}

TEST(TypeLibraryReader, ClassesInterfacesAndEnumerations)
{
    const apidoc::TypeEntry* soap = Tolvane().Find(L"SoapSession");
    ASSERT_TRUE(soap);
    EXPECT_EQ(soap->kind, apidoc::TypeKind::Class);
    EXPECT_TRUE(soap->creatable);
    EXPECT_EQ(soap->defaultInterface, L"ISoapSession");
    EXPECT_EQ(soap->eventInterface, L"_SessionEvents");
    EXPECT_FALSE(Tolvane().Find(L"FunctionCall")->creatable);

    const apidoc::TypeEntry* soapInterface = Tolvane().Find(L"ISoapSession");
    EXPECT_EQ(soapInterface->base, L"ISession");
    ASSERT_EQ(soapInterface->members.size(), 1u); // its own member; the rest comes from ISession

    const apidoc::TypeEntry* types = Tolvane().Find(L"ABAPTYPE");
    ASSERT_EQ(types->kind, apidoc::TypeKind::Enumeration);
    ASSERT_EQ(types->values.size(), 14u);
    EXPECT_EQ(types->values.back().name, L"TYPE_XSTRING");
    EXPECT_EQ(types->values.back().value, 30);
    for (const apidoc::EnumValue& value : types->values)
        EXPECT_FALSE(value.help.empty()) << Narrow(value.name);
}

TEST(MessageTable, ReadsTheComponentsTexts)
{
    const auto messages = apidoc::MessageTable::Load(test::BuiltDllPath(L"Tolvane.dll"), 513, 548);
    ASSERT_EQ(messages.size(), 36u);
    EXPECT_EQ(messages.front().number, 513u);
    EXPECT_EQ(messages.front().text, L"The object has already been initialized");
    EXPECT_NE(messages[547 - 513].text.find(L'\n'), std::wstring::npos); // a second line
    EXPECT_THROW(apidoc::MessageTable::Load(test::BuiltDllPath(L"Tolvane.dll"), 600, 600), std::runtime_error);
    EXPECT_THROW(apidoc::TypeLibraryReader::Read(test::BuiltDllPath(L"no-such.dll")), std::runtime_error);
}

// Every link of the generated reference leads to a heading of it.
TEST(ApiReference, EveryLinkHasItsHeading)
{
    std::vector<apidoc::Library> libraries{Tolvane(),
                                           apidoc::TypeLibraryReader::Read(test::BuiltDllPath(L"TolvaneSoap.dll"))};
    const std::wstring text =
        apidoc::ApiMarkdown(L"# Reference\n", libraries,
                            apidoc::MessageTable::Load(test::BuiltDllPath(L"Tolvane.dll"), 513, 548))
            .Write();
    std::set<std::wstring> anchors;
    const std::wregex heading(LR"((^|\n)#+ ([^\n]+))");
    for (std::wsregex_iterator it(text.begin(), text.end(), heading), end; it != end; ++it)
        EXPECT_TRUE(anchors.insert(apidoc::ApiMarkdown::Anchor((*it)[2].str())).second)
            << "two headings give the anchor " << Narrow((*it)[2].str());
    const std::wregex link(LR"(\]\(#([^)]+)\))");
    size_t links = 0;
    for (std::wsregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it, ++links)
        EXPECT_TRUE(anchors.count((*it)[1].str())) << "no heading for #" << Narrow((*it)[1].str());
    EXPECT_GT(links, 50u);
}

} // namespace
