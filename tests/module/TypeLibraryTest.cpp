// The type library as clients find it in the built DLL.
#include "ModuleTestSupport.h"
#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Variant.h"
#include "idl/Tolvane_h.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

class TypeLibraryTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(LoadTypeLibEx(test::TolvaneDllPath().c_str(), REGKIND_NONE, library.put()), S_OK);
    }
    static void TearDownTestSuite() { library.reset(); }

    // The type of that name (not a member that happens to share it).
    static com::ptr<ITypeInfo> Info(const wchar_t* name)
    {
        for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
            com::bstr typeName;
            library->GetDocumentation(static_cast<INT>(i), typeName.put(), nullptr, nullptr, nullptr);
            if (typeName == std::wstring_view(name)) {
                com::ptr<ITypeInfo> info;
                library->GetTypeInfo(i, info.put());
                return info;
            }
        }
        ADD_FAILURE() << "no type named " << std::wstring(name).c_str();
        return nullptr;
    }

    // The vtable description of a dual interface.
    static com::ptr<ITypeInfo> VtableInfo(const wchar_t* name)
    {
        com::ptr<ITypeInfo> info = Info(name);
        if (info && Attributes(info.get()).typekind == TKIND_DISPATCH) {
            HREFTYPE ref = 0;
            info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref);
            com::ptr<ITypeInfo> vtable;
            info->GetRefTypeInfo(ref, vtable.put());
            return vtable;
        }
        return info;
    }

    static TYPEATTR Attributes(ITypeInfo* info)
    {
        TYPEATTR* attr = nullptr;
        EXPECT_EQ(info->GetTypeAttr(&attr), S_OK);
        TYPEATTR copy = *attr;
        info->ReleaseTypeAttr(attr);
        return copy;
    }

    // Member names of a dual interface in vtable order, a property's get and put counted once.
    // The first member must follow IDispatch's seven slots.
    static std::vector<std::wstring> SlotOrder(const wchar_t* interfaceName)
    {
        com::ptr<ITypeInfo> info = VtableInfo(interfaceName);
        TYPEATTR attr = Attributes(info.get());
        std::map<SHORT, std::wstring> byOffset;
        for (UINT i = 0; i < attr.cFuncs; ++i) {
            FUNCDESC* f = nullptr;
            info->GetFuncDesc(i, &f);
            com::bstr name;
            UINT n = 0;
            info->GetNames(f->memid, name.put(), 1, &n);
            byOffset[f->oVft] = name.str();
            info->ReleaseFuncDesc(f);
        }
        EXPECT_EQ(byOffset.begin()->first, 7 * static_cast<SHORT>(sizeof(void*))) << interfaceName;
        std::vector<std::wstring> names;
        for (auto& [offset, name] : byOffset)
            if (names.empty() || names.back() != name)
                names.push_back(name);
        return names;
    }

    static FUNCDESC* Function(ITypeInfo* info, const wchar_t* member, INVOKEKIND kind)
    {
        TYPEATTR attr = Attributes(info);
        for (UINT i = 0; i < attr.cFuncs; ++i) {
            FUNCDESC* f = nullptr;
            info->GetFuncDesc(i, &f);
            com::bstr name;
            UINT n = 0;
            info->GetNames(f->memid, name.put(), 1, &n);
            if (name == std::wstring_view(member) && f->invkind == kind)
                return f;
            info->ReleaseFuncDesc(f);
        }
        ADD_FAILURE() << "no member " << member;
        return nullptr;
    }

    static inline com::ptr<ITypeLib> library;
};

using Names = std::vector<std::wstring>;

} // namespace

TEST_F(TypeLibraryTest, LibraryIdentityAndCoclassIds)
{
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_TOLVANELib));
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    library->ReleaseTLibAttr(attr);

    struct Class {
        const wchar_t* name;
        const wchar_t* clsid;
        bool creatable;
    };
    const Class classes[] = {
        {L"RfcSession", L"{9A07C80C-494E-4594-AFEB-7FB489423047}", true},
        {L"SoapSession", L"{334E20D8-8C80-450B-ACA1-B3A2CC44DBCD}", true},
        {L"BSPApplication", L"{86A5EDB1-49AE-4155-A051-A2094593227C}", true},
        {L"RfcServer", L"{C47C2C19-D930-4ACE-B5B1-A6DA857A8CA6}", true},
        {L"ConnectorCtrl", L"{FC07F669-BFFE-4ABC-93BD-507E549508DE}", true},
        {L"NWRfcSession", L"{AD6F824D-BAC7-464B-A52D-D83F62CB9DB4}", true},
        {L"NWRfcServer", L"{35D519D6-0106-4B5D-BA15-923F2D87FEF1}", true},
        {L"RfcType", nullptr, false},
        {L"FunctionCall", nullptr, false},
        {L"TableReader", nullptr, false},
        {L"RfcServerErrorInfo", nullptr, false},
    };
    for (const Class& c : classes) {
        com::ptr<ITypeInfo> info = Info(c.name);
        ASSERT_TRUE(info) << c.name;
        TYPEATTR attr = Attributes(info.get());
        EXPECT_EQ(attr.typekind, TKIND_COCLASS) << c.name;
        EXPECT_EQ((attr.wTypeFlags & TYPEFLAG_FCANCREATE) != 0, c.creatable) << c.name;
        if (c.clsid) {
            CLSID expected;
            CLSIDFromString(c.clsid, &expected);
            EXPECT_TRUE(IsEqualGUID(attr.guid, expected)) << c.name;
        }
    }
    EXPECT_TRUE(Attributes(Info(L"ConnectorCtrl").get()).wTypeFlags & TYPEFLAG_FCONTROL);
}

TEST_F(TypeLibraryTest, EventInterfacesAndTheirDispatchIds)
{
    com::ptr<ITypeInfo> server = Info(L"_RfcServerEvents");
    TYPEATTR attr = Attributes(server.get());
    EXPECT_EQ(attr.typekind, TKIND_DISPATCH);
    IID expected;
    IIDFromString(L"{DAE825D0-0DEE-496F-87D9-FD46FCDB30D9}", &expected);
    EXPECT_TRUE(IsEqualGUID(attr.guid, expected));

    const wchar_t* events[] = {L"IncomingCall",     L"Logon",           L"ServerError",        L"TransactionCheck",
                               L"TransactionCommit", L"TransactionRollback", L"TransactionConfirm"};
    for (MEMBERID id = 1; id <= 7; ++id) {
        com::bstr name;
        UINT n = 0;
        ASSERT_EQ(server->GetNames(id, name.put(), 1, &n), S_OK) << id;
        EXPECT_EQ(name.view(), events[id - 1]);
    }
    com::ptr<ITypeInfo> session = Info(L"_SessionEvents");
    com::bstr name;
    UINT n = 0;
    ASSERT_EQ(session->GetNames(1, name.put(), 1, &n), S_OK);
    EXPECT_EQ(name.view(), L"CallFinished");
}

TEST_F(TypeLibraryTest, EnumerationValues)
{
    auto values = [](const wchar_t* enumName) {
        com::ptr<ITypeInfo> info = Info(enumName);
        std::map<std::wstring, long> result;
        TYPEATTR attr = Attributes(info.get());
        for (UINT i = 0; i < attr.cVars; ++i) {
            VARDESC* v = nullptr;
            info->GetVarDesc(i, &v);
            com::bstr name;
            UINT n = 0;
            info->GetNames(v->memid, name.put(), 1, &n);
            result[name.str()] = V_I4(v->lpvarValue);
            info->ReleaseVarDesc(v);
        }
        return result;
    };
    EXPECT_EQ(values(L"RFCTYPEKIND"), (std::map<std::wstring, long>{{L"RFCTYPEKIND_UNDEFINED", 0},
                                                                   {L"RFCTYPEKIND_SCALAR", 1},
                                                                   {L"RFCTYPEKIND_STRUCT", 2},
                                                                   {L"RFCTYPEKIND_TABLE", 3},
                                                                   {L"RFCTYPEKIND_COMPLEX_STRUCT", 4}}));
    EXPECT_EQ(values(L"ABAPTYPE"),
              (std::map<std::wstring, long>{{L"TYPE_CHAR", 0},  {L"TYPE_DATE", 1},      {L"TYPE_BCD", 2},
                                            {L"TYPE_TIME", 3},  {L"TYPE_BYTE", 4},      {L"TYPE_ITAB", 5},
                                            {L"TYPE_NUM", 6},   {L"TYPE_FLOAT", 7},     {L"TYPE_INT", 8},
                                            {L"TYPE_INT2", 9},  {L"TYPE_INT1", 10},     {L"TYPE_STRUCTURE", 17},
                                            {L"TYPE_STRING", 29}, {L"TYPE_XSTRING", 30}}));
    auto groups = values(L"ERRORGROUP");
    EXPECT_EQ(groups.size(), 11u);
    EXPECT_EQ(groups[L"RFCERROR_NO_ERROR"], 0);
    EXPECT_EQ(groups[L"RFCERROR_PROGRAM"], 101);
    EXPECT_EQ(groups[L"RFCERROR_APPLICATION_EXCEPTION"], 105);
    EXPECT_EQ(groups[L"RFCERROR_BUSY"], 110);
}

TEST_F(TypeLibraryTest, InterfacesKeepTheirSlotOrder)
{
    EXPECT_EQ(SlotOrder(L"IRfcType"),
              (Names{L"name", L"Kind", L"ScalarType", L"ScalarLength", L"ScalarDecimals", L"StructOffset",
                     L"StructLength", L"StructFields", L"RowType", L"DefineScalar", L"DefineStruct", L"DefineTable",
                     L"AddComplexStructField", L"AddScalarStructField", L"Tag", L"structOffsetC1",
                     L"structLengthC1", L"GetInternalObj"}));
    auto tail = SlotOrder;
    EXPECT_EQ(tail(L"IRfcTypes"), (Names{L"Count", L"Add", L"Remove", L"RemoveAll", L"HasKey", L"Item", L"_NewEnum"}));
    EXPECT_EQ(tail(L"IRfcField"),
              (Names{L"name", L"RfcType", L"value", L"Fields", L"Rows", L"InternalType", L"IsEmpty"}));
    EXPECT_EQ(tail(L"IRfcFields"), (Names{L"Count", L"HasKey", L"Item", L"_NewEnum", L"AddField"}));
    EXPECT_EQ(tail(L"IRfcRows"), (Names{L"Count", L"Item", L"_NewEnum", L"FileMode", L"DataCol", L"IndexCol",
                                        L"RfcType", L"AddRows", L"AddRow", L"SetFileMode", L"RemoveAll", L"RfcType"}));
    EXPECT_EQ(tail(L"IRfcParameter"),
              (Names{L"name", L"RfcType", L"value", L"Fields", L"Rows", L"DefineScalar", L"Define", L"InternalType",
                     L"InternalField", L"Optional", L"Description", L"DefaultValue", L"IsEmpty", L"IsRequested"}));
    EXPECT_EQ(tail(L"IRfcParameters"), (Names{L"Count", L"HasKey", L"Item", L"_NewEnum", L"AddScalar",
                                              L"AddParameter", L"AddTable", L"RemoveParameter"}));
    EXPECT_EQ(tail(L"IFunctionCall"),
              (Names{L"Function", L"Importing", L"Exporting", L"Changing", L"Tables", L"Documentation",
                     L"RaiseException", L"GetException", L"ToXML", L"FromXML"}));
    EXPECT_EQ(tail(L"IFunctionCalls"), (Names{L"Count", L"HasKey", L"Item", L"_NewEnum", L"AddFunction"}));
    EXPECT_EQ(tail(L"IStringList"),
              (Names{L"Count", L"Add", L"Remove", L"RemoveAll", L"IndexOf", L"Item", L"_NewEnum"}));
    EXPECT_EQ(tail(L"ITypeCache"), (Names{L"GetType", L"AddType", L"Clear", L"GetFunction", L"AddFunction",
                                          L"SaveToXML", L"LoadFromXML"}));
}

TEST_F(TypeLibraryTest, DefaultMembersEnumeratorsAndArgumentDefaults)
{
    com::ptr<ITypeInfo> fields = VtableInfo(L"IRfcFields");
    FUNCDESC* item = Function(fields.get(), L"Item", INVOKE_PROPERTYGET);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->memid, DISPID_VALUE);
    fields->ReleaseFuncDesc(item);
    FUNCDESC* newEnum = Function(fields.get(), L"_NewEnum", INVOKE_PROPERTYGET);
    ASSERT_TRUE(newEnum);
    EXPECT_EQ(newEnum->memid, DISPID_NEWENUM);
    EXPECT_TRUE(newEnum->wFuncFlags & FUNCFLAG_FRESTRICTED);
    EXPECT_TRUE(newEnum->wFuncFlags & FUNCFLAG_FHIDDEN);
    fields->ReleaseFuncDesc(newEnum);

    auto defaults = [&](const wchar_t* interfaceName, const wchar_t* member) {
        com::ptr<ITypeInfo> info = VtableInfo(interfaceName);
        FUNCDESC* f = Function(info.get(), member, INVOKE_FUNC);
        std::vector<long> result;
        for (SHORT i = 0; f && i < f->cParams; ++i) {
            const PARAMDESC& p = f->lprgelemdescParam[i].paramdesc;
            if (p.wParamFlags & PARAMFLAG_FHASDEFAULT) {
                com::variant value(p.pparamdescex->varDefaultValue);
                result.push_back(V_I4(value.as(VT_I4).addr()));
            }
        }
        if (f)
            info->ReleaseFuncDesc(f);
        return result;
    };
    EXPECT_EQ(defaults(L"IRfcType", L"DefineScalar"), (std::vector<long>{0, 0, -1}));
    EXPECT_EQ(defaults(L"IRfcType", L"AddScalarStructField"), (std::vector<long>{0, 0, -1, -1, -1, -1}));
    EXPECT_EQ(defaults(L"ISession", L"CallFunction"), (std::vector<long>{-1}));
    EXPECT_EQ(defaults(L"ISession", L"ImportCall"), (std::vector<long>{0}));
    EXPECT_EQ(defaults(L"IRfcRows", L"AddRows"), (std::vector<long>{1}));
}
