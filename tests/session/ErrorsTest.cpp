// Messages, the component's exceptions and the error record, as callers and traces see them.
#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "session/Messages.h"
#include "session/RfcError.h"
#include "session/XTolvane.h"
#include "support/ThreadError.h"

#include <gtest/gtest.h>

#include <thread>

using namespace tolvane;

TEST(Messages, DecodeInternalErrorAcceptsTheNumberOrItsHresult)
{
    const std::wstring text =
        L"It is not possible to start more than one call per session in parallel (finish the active call first)";
    EXPECT_EQ(DecodeInternalError(522), text);
    EXPECT_EQ(DecodeInternalError(-2147220982), text); // 0x8004020A
    EXPECT_EQ(DecodeInternalError(1), L"");
    EXPECT_EQ(DecodeInternalError(0x80040000 | 700), L"");
}

TEST(Messages, TheTableHoldsEveryMessageAndTheMultiLineOnes)
{
    for (unsigned n = 513; n <= 548; ++n)
        EXPECT_FALSE(MessageText(n).empty()) << n;
    EXPECT_TRUE(MessageText(512).empty());
    EXPECT_TRUE(MessageText(549).empty());
    EXPECT_EQ(MessageText(msg::ClassicLibraryMissing),
              L"'librfc32u.dll' not found, corrupt or incompatible\n"
              L"(install \"RFC Libraries for Unicode\" or check SAP GUI Installation)");
    // The two messages about options point the user to where the option is explained.
    for (unsigned n : {msg::TicketModuleRequired, msg::NetWeaverLibraryNotFound}) {
        const std::wstring text = MessageText(n);
        const size_t lineBreak = text.find(L'\n');
        ASSERT_NE(lineBreak, std::wstring::npos) << n;
        EXPECT_NE(text.find(L"README", lineBreak), std::wstring::npos) << n;
    }
    EXPECT_EQ(MessageText(msg::TicketModuleRequired).substr(0, MessageText(msg::TicketModuleRequired).find(L'\n')),
              L"Option \"sso2.create_ticket_module\" is required for NWRFC.");
}

TEST(CXTolvane, MessageReadsKindNumberDescriptionContextAndValue)
{
    CXTolvane e(NUMERIC_CONVERSION, L"too large for field", L"RfcVariantToData(),TYPE_INT", L"1234567");
    EXPECT_EQ(e.Message(),
              L"NUMERIC_CONVERSION(4) : too large for field(RfcVariantToData(),TYPE_INT, value = '1234567')");
    EXPECT_STREQ(e.what(),
                 "NUMERIC_CONVERSION(4) : too large for field(RfcVariantToData(),TYPE_INT, value = '1234567')");

    CXTolvane bare(MEMORY_ALLOC_EXCEPTION);
    EXPECT_EQ(bare.Message(), L"MEMORY_ALLOC_EXCEPTION(0) : (, value = '')");
}

TEST(CXTolvane, EachKindSurfacesAsItsMessage)
{
    struct Row {
        uint32_t kind;
        const wchar_t* name;
        unsigned message;
    };
    const Row rows[] = {
        {MEMORY_ALLOC_EXCEPTION, L"MEMORY_ALLOC_EXCEPTION", 535},
        {XSTRING_ARRAYDIMS_EXCEPTION, L"XSTRING_ARRAYDIMS_EXCEPTION", 536},
        {VARIANTARRAY_EXCEPTION, L"VARIANTARRAY_EXCEPTION", 534},
        {STRING_CONVERSION, L"STRING_CONVERSION", 532},
        {NUMERIC_CONVERSION, L"NUMERIC_CONVERSION", 531},
        {DATE_TIME_CONVERSION, L"DATE_TIME_CONVERSION", 533},
        {BCD_CONVERSION_TOO_LARGE, L"BCD_CONVERSION_TOO_LARGE", 530},
        {BCD_CONVERSION_INVALID, L"BCD_CONVERSION_INVALID", 530},
        {ERROR_INSTALL_STRUCT, L"ERROR_INSTALL_STRUCT", 537},
        {ERROR_COMPLEX_TYPE, L"ERROR_COMPLEX_TYPE", 518},
        {ERROR_FILE_ACCESS, L"ERROR_FILE_ACCESS", 519},
        {OTHER, L"OTHER", 519},
    };
    for (const Row& row : rows) {
        HRESULT hr = com::guard({}, [&] { throw CXTolvane(row.kind, L"d", L"c", L"v"); });
        EXPECT_EQ(hr, MessageResult(row.message)) << row.name;
        EXPECT_EQ(test::ThreadErrorDescription(), MessageText(row.message)) << row.name;
        EXPECT_EQ(CXTolvane(row.kind).KindName(), row.name);
    }
}

TEST(CXTolvane, SehExceptionShowsTheCodeInHex)
{
    _SEHException e(0xC0000005);
    EXPECT_EQ(e.Message(), L"SEH Exception 0xc0000005\n");
    EXPECT_EQ(e.Code(), 0xC0000005u);
}

TEST(RfcError, SetKeepsTheModuleNameAndClearEmptiesEverything)
{
    auto error = com::make<CRfcError>();
    com::bstr module(L"Z_MODULE");
    error->put_ModuleName(module.get());
    error->Set(RFCERROR_COMMUNICATION, L"communication error", L"could not connect to host sap:8000");

    CRfcError::Contents c = error->Get();
    EXPECT_EQ(c.group, 102);
    EXPECT_EQ(c.groupText, L"communication error");
    EXPECT_EQ(c.message, L"could not connect to host sap:8000");
    EXPECT_EQ(c.moduleName, L"Z_MODULE");

    error->Clear();
    c = error->Get();
    EXPECT_EQ(c.group, 0);
    EXPECT_EQ(c.groupText, L"");
    EXPECT_EQ(c.message, L"");
    EXPECT_EQ(c.moduleName, L"");
}

TEST(RfcError, AWorkerMayWriteWhileTheClientReads)
{
    auto error = com::make<CRfcError>();
    std::thread worker([&] {
        for (int i = 0; i < 2000; ++i)
            error->Set(i % 2 ? 105 : 108, i % 2 ? L"internal server error" : L"parse error", L"x");
    });
    for (int i = 0; i < 2000; ++i) {
        com::bstr text;
        ASSERT_EQ(error->get_ErrorGroupTxt(text.put()), S_OK);
        const auto t = text.view();
        EXPECT_TRUE(t.empty() || t == L"internal server error" || t == L"parse error");
    }
    worker.join();
}
