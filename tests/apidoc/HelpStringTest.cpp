// Every type and member of both type libraries carries a help string, as the Object Browser
// and docs/api.md show it. Walks the libraries with the plain type-library calls, not with the
// reader under test elsewhere, so that a member the reader skipped is still caught.
#include "TypeInfoDesc.h"
#include "TypeLibraryReader.h"
#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Variant.h"
#include "support/Registry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::wstring HelpOf(ITypeInfo* info, MEMBERID id, std::wstring* name = nullptr)
{
    com::bstr memberName, help;
    info->GetDocumentation(id, memberName.put(), help.put(), nullptr, nullptr);
    if (name)
        *name = memberName.str();
    return help.str();
}

// An enumeration value's sentence is custom data: widl takes no helpstring there.
std::wstring ValueHelp(ITypeInfo* info, UINT index, MEMBERID id)
{
    std::wstring help = HelpOf(info, id);
    com::ptr<ITypeInfo2> info2 = com::ptr<ITypeInfo>(info).try_query<ITypeInfo2>();
    com::variant custom;
    if (help.empty() && info2 && SUCCEEDED(info2->GetVarCustData(index, apidoc::kValueHelpGuid, custom.put())) &&
        V_VT(custom.addr()) == VT_BSTR && V_BSTR(custom.addr()))
        help = V_BSTR(custom.addr());
    return help;
}

// "IRfcType.Tag", "ABAPTYPE.TYPE_INT", ... for every part of the type without a help string.
void CollectMissing(ITypeInfo* info, const std::wstring& typeName, std::vector<std::wstring>& missing)
{
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    const TYPEATTR copy = *attr;
    info->ReleaseTypeAttr(attr);
    std::set<MEMBERID> seen; // a property's get and put share one help string
    for (UINT i = 0; i < copy.cFuncs; ++i) {
        const MEMBERID id = apidoc::FuncDesc(info, i)->memid;
        std::wstring name;
        if (seen.insert(id).second && HelpOf(info, id, &name).empty())
            missing.push_back(typeName + L"." + name);
    }
    for (UINT i = 0; i < copy.cVars; ++i) {
        const MEMBERID id = apidoc::VarDesc(info, i)->memid;
        std::wstring name;
        HelpOf(info, id, &name);
        if (ValueHelp(info, i, id).empty())
            missing.push_back(typeName + L"." + name);
    }
}

std::vector<std::wstring> MissingHelp(const std::wstring& dll)
{
    com::ptr<ITypeLib> library;
    EXPECT_EQ(LoadTypeLibEx(dll.c_str(), REGKIND_NONE, library.put()), S_OK);
    std::vector<std::wstring> missing;
    if (!library)
        return missing;
    com::bstr libraryName, libraryHelp;
    library->GetDocumentation(-1, libraryName.put(), libraryHelp.put(), nullptr, nullptr);
    if (libraryHelp.empty())
        missing.push_back(libraryName.str());
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        com::ptr<ITypeInfo> info;
        EXPECT_EQ(library->GetTypeInfo(i, info.put()), S_OK);
        std::wstring typeName;
        if (HelpOf(info.get(), MEMBERID_NIL, &typeName).empty())
            missing.push_back(typeName);
        // The members of a dual interface are those of its vtable half.
        HREFTYPE vtable = 0;
        com::ptr<ITypeInfo> vtableInfo;
        TYPEATTR* attr = nullptr;
        info->GetTypeAttr(&attr);
        const bool dual = attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
        info->ReleaseTypeAttr(attr);
        if (dual && SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable)) &&
            SUCCEEDED(info->GetRefTypeInfo(vtable, vtableInfo.put())))
            info = vtableInfo;
        CollectMissing(info.get(), typeName, missing);
    }
    return missing;
}

class HelpStrings : public testing::TestWithParam<const wchar_t*> {};

TEST_P(HelpStrings, EveryTypeMemberAndValueHasOne)
{
    const std::vector<std::wstring> missing = MissingHelp(test::BuiltDllPath(GetParam()));
    std::string list;
    for (const std::wstring& name : missing)
        list += "\n  " + std::string(name.begin(), name.end());
    EXPECT_TRUE(missing.empty()) << missing.size() << " without a help string:" << list;
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, HelpStrings, testing::Values(L"Tolvane.dll", L"TolvaneSoap.dll"));

} // namespace
