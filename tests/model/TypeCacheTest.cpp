// The type cache: misses, hits, private clones of signatures.
#include "ModelTestSupport.h"
#include "model/TypeCache.h"
#include "session/Trace.h"

#include <fstream>
#include <sstream>

using namespace test;

TEST(TypeCache, AMissReturns0x490AndLeavesTheOutParameterAlone)
{
    auto cache = com::make<tolvane::CTypeCache>();
    IRfcType* untouched = reinterpret_cast<IRfcType*>(0x1234);
    EXPECT_EQ(cache->GetType(com::bstr(L"RFCTEST").get(), &untouched), 0x490);
    EXPECT_EQ(untouched, reinterpret_cast<IRfcType*>(0x1234));

    auto t = Struct(L"RFCTEST", {Scalar(L"A", TYPE_CHAR, 1)});
    ASSERT_EQ(cache->AddType(com::bstr(L"RFCTEST").get(), t.get()), S_OK);
    com::ptr<IRfcType> found;
    ASSERT_EQ(cache->GetType(com::bstr(L"RFCTEST").get(), found.put()), S_OK);
    EXPECT_EQ(found, t); // the descriptor itself
    EXPECT_EQ(cache->GetType(com::bstr(L"rfctest").get(), found.put()), 0x490);
    EXPECT_EQ(cache->GetType(com::bstr(L"RFCTEST").get(), nullptr), E_POINTER);
    EXPECT_EQ(cache->AddType(com::bstr(L"X").get(), nullptr), E_POINTER);

    auto replacement = Scalar(L"RFCTEST", TYPE_INT);
    cache->AddType(com::bstr(L"RFCTEST").get(), replacement.get());
    cache->GetType(com::bstr(L"RFCTEST").get(), found.put());
    EXPECT_EQ(found, replacement);
}

TEST(TypeCache, FunctionsAreKeptAsPrivateClones)
{
    auto cache = com::make<tolvane::CTypeCache>();
    auto call = NewCall(L"Z_TEST");
    Importing(call.get())->AddScalar(com::bstr(L"A").get(), TYPE_CHAR, 1, 0, com::variant::missing().get());
    ASSERT_EQ(cache->AddFunction(com::bstr(L"Z_TEST").get(), call.get()), S_OK);

    // Later changes of the caller's call do not reach the cache.
    com::ptr<IRfcParameter> a;
    Importing(call.get())->get_Item(com::variant(L"A").get(), a.put());
    a->put_value(com::variant(L"changed").get());
    Importing(call.get())->AddScalar(com::bstr(L"B").get(), TYPE_CHAR, 1, 0, com::variant::missing().get());
    call->put_Function(com::bstr(L"Z_OTHER").get());

    com::ptr<IFunctionCall> first, second;
    ASSERT_EQ(cache->GetFunction(com::bstr(L"Z_TEST").get(), first.put()), S_OK);
    ASSERT_EQ(cache->GetFunction(com::bstr(L"Z_TEST").get(), second.put()), S_OK);
    EXPECT_NE(first, second);
    EXPECT_NE(first, call);
    com::bstr function;
    first->get_Function(function.put());
    EXPECT_EQ(function.view(), L"Z_TEST");
    EXPECT_EQ(Count(Importing(first.get()).get()), 1);
    com::ptr<IRfcParameter> firstA, secondA;
    Importing(first.get())->get_Item(com::variant(L"A").get(), firstA.put());
    Importing(second.get())->get_Item(com::variant(L"A").get(), secondA.put());
    com::variant value;
    firstA->get_value(value.put());
    EXPECT_EQ(value.vt(), VT_EMPTY); // neither the value it was made with nor the change
    com::ptr<IRfcType> firstType, secondType;
    firstA->get_RfcType(firstType.put());
    secondA->get_RfcType(secondType.put());
    EXPECT_EQ(firstType, secondType);

    ASSERT_EQ(cache->Clear(), S_OK);
    com::ptr<IFunctionCall> none;
    EXPECT_EQ(cache->GetFunction(com::bstr(L"Z_TEST").get(), none.put()), 0x490);
    EXPECT_FALSE(none);
    EXPECT_EQ(cache->AddFunction(com::bstr(L"Z").get(), nullptr), E_POINTER);
}

TEST(TypeCache, LookupsAreTracedAndFilesAreNotSupported)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring trace = std::wstring(dir) + L"tolvane-cache-test.log";
    const std::wstring file = std::wstring(dir) + L"tolvane-cache-test.xml";
    DeleteFileW(trace.c_str());
    ostrel::TraceClose();
    ostrel::TraceCreate(L"Tolvane", trace, true);

    auto cache = com::make<tolvane::CTypeCache>();
    com::ptr<IRfcType> t;
    cache->GetType(com::bstr(L"MISSING").get(), t.put());
    cache->AddType(com::bstr(L"FOUND").get(), Scalar(L"FOUND", TYPE_INT).get());
    cache->GetType(com::bstr(L"FOUND").get(), t.put());
    com::ptr<IFunctionCall> call;
    cache->GetFunction(com::bstr(L"Z_NONE").get(), call.put());
    EXPECT_EQ(cache->SaveToXML(com::bstr(file).get()), E_NOTIMPL);
    EXPECT_EQ(cache->LoadFromXML(com::bstr(file).get()), E_NOTIMPL);
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    ostrel::TraceClose();

    std::ifstream in(trace.c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_NE(s.str().find("CTypeCache: type 'MISSING' not in cache\r\n"), std::string::npos);
    EXPECT_NE(s.str().find("CTypeCache: retrieved type 'FOUND' from cache\r\n"), std::string::npos);
    EXPECT_NE(s.str().find("CTypeCache: function 'Z_NONE' not in cache\r\n"), std::string::npos);
    DeleteFileW(trace.c_str());
}
