// Calls, the signature clone and string lists.
#include "ModelTestSupport.h"
#include "model/RfcStringList.h"

using namespace test;

namespace {

std::pair<std::wstring, std::wstring> ExceptionOf(IFunctionCall* call)
{
    com::variant name, message;
    EXPECT_EQ(call->GetException(name.put(), message.put()), S_OK);
    return {std::wstring(com::view(V_BSTR(name.addr()))), std::wstring(com::view(V_BSTR(message.addr())))};
}

} // namespace

TEST(FunctionCall, ANewCallHasNoNameFourEmptyListsAndNoException)
{
    auto call = NewCall();
    com::bstr function, documentation;
    call->get_Function(function.put());
    call->get_Documentation(documentation.put());
    EXPECT_TRUE(function.empty());
    EXPECT_TRUE(documentation.empty());
    com::ptr<IRfcParameters> lists[4];
    call->get_Importing(lists[0].put());
    call->get_Exporting(lists[1].put());
    call->get_Changing(lists[2].put());
    call->get_Tables(lists[3].put());
    for (auto& list : lists)
        EXPECT_EQ(Count(list.get()), 0);
    EXPECT_NE(lists[0], lists[1]);
    com::ptr<IRfcParameters> again;
    call->get_Importing(again.put());
    EXPECT_EQ(again, lists[0]); // the list itself, not a copy
    EXPECT_EQ(ExceptionOf(call.get()), std::make_pair(std::wstring(), std::wstring()));
    EXPECT_FALSE(call.try_query<ISupportErrorInfo>());
}

TEST(FunctionCall, RaiseExceptionStoresThePairUntilTheNextOne)
{
    auto call = NewCall(L"Z_TEST");
    ASSERT_EQ(call->RaiseException(com::bstr(L"NOT_FOUND").get(), nullptr), S_OK);
    EXPECT_EQ(ExceptionOf(call.get()), std::make_pair(std::wstring(L"NOT_FOUND"), std::wstring()));
    ASSERT_EQ(call->RaiseException(com::bstr(L"FAILED").get(), com::bstr(L"details").get()), S_OK);
    EXPECT_EQ(ExceptionOf(call.get()), std::make_pair(std::wstring(L"FAILED"), std::wstring(L"details")));

    // The message is handed out first; the exception's out-pointer must be given.
    com::variant message;
    EXPECT_EQ(call->GetException(nullptr, message.put()), E_POINTER);
    EXPECT_EQ(com::view(V_BSTR(message.addr())), L"details");
}

TEST(FunctionCall, TheCloneCopiesTheSignatureButNoValues)
{
    auto call = NewCall(L"Z_TEST");
    call->put_Documentation(com::bstr(L"doc").get());
    auto importing = Importing(call.get());
    importing->AddScalar(com::bstr(L"A").get(), TYPE_CHAR, 10, 0, com::variant(L"value").get());
    com::ptr<IRfcParameter> a;
    importing->get_Item(com::variant(L"A").get(), a.put());
    a->put_Optional(VARIANT_TRUE);
    a->put_Description(com::bstr(L"text").get());
    a->put_DefaultValue(com::bstr(L"'X'").get());
    a->put_IsRequested(VARIANT_FALSE);
    call->RaiseException(com::bstr(L"E").get(), nullptr);

    auto clone = tolvane::CloneSignature(call.get());
    EXPECT_EQ(clone->Function().view(), L"Z_TEST");
    EXPECT_EQ(clone->Documentation().view(), L"doc");
    auto cloneImporting = Importing(clone.get());
    ASSERT_EQ(Count(cloneImporting.get()), 1);
    com::ptr<IRfcParameter> copy;
    cloneImporting->get_Item(com::variant(L"A").get(), copy.put());
    com::ptr<IRfcType> originalType, copyType;
    a->get_RfcType(originalType.put());
    copy->get_RfcType(copyType.put());
    EXPECT_EQ(copyType, originalType); // shared descriptor
    VARIANT_BOOL optional = VARIANT_FALSE, requested = VARIANT_FALSE, empty = VARIANT_FALSE;
    copy->get_Optional(&optional);
    copy->get_IsRequested(&requested);
    copy->get_IsEmpty(&empty);
    EXPECT_EQ(optional, VARIANT_TRUE);
    EXPECT_EQ(requested, VARIANT_TRUE);
    EXPECT_EQ(empty, VARIANT_TRUE);
    com::bstr description, defaultValue;
    copy->get_Description(description.put());
    copy->get_DefaultValue(defaultValue.put());
    EXPECT_EQ(description.view(), L"text");
    EXPECT_EQ(defaultValue.view(), L"'X'");
    EXPECT_EQ(ExceptionOf(clone.get()).first, L"");
    EXPECT_THROW(tolvane::CloneSignature(nullptr), com::hresult_error);
}

TEST(StringList, PositionsLookupAndFailures)
{
    auto list = com::make<tolvane::CRfcStringList>();
    com::bstr value;
    EXPECT_EQ(list->get_Item(1, value.put()), E_FAIL); // empty
    list->Add(com::bstr(L"A").get());
    list->Add(com::bstr(L"B").get());
    long index = 0;
    list->IndexOf(com::bstr(L"B").get(), &index);
    EXPECT_EQ(index, 2);
    list->IndexOf(com::bstr(L"b").get(), &index);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(list->get_Item(3, value.put()), E_FAIL);
    EXPECT_EQ(list->get_Item(0, value.put()), E_INVALIDARG);
    EXPECT_EQ(list->get_Item(1, nullptr), E_POINTER);
    EXPECT_EQ(list->Remove(3), E_INVALIDARG);
    ASSERT_EQ(list->Remove(1), S_OK);
    ASSERT_EQ(list->get_Item(1, value.put()), S_OK);
    EXPECT_EQ(value.view(), L"B");
    list->RemoveAll();
    EXPECT_EQ(Count(list.get()), 0);
}
