// Invalid handles and malformed arrays give the library's failure codes, never a crash.
#include "ClassicApi.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

using namespace classic;

namespace {

// Memory the process may not touch: a page reserved without access.
void* forbidden()
{
    static void* page = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
    return page;
}

// A readable page directly followed by a forbidden one, to end arrays that never terminate.
struct Cliff {
    uint8_t* base = static_cast<uint8_t*>(VirtualAlloc(nullptr, 8192, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    Cliff()
    {
        DWORD old = 0;
        VirtualProtect(base + 4096, 4096, PAGE_NOACCESS, &old);
    }
    ~Cliff() { VirtualFree(base, 0, MEM_RELEASE); }
    template <class T>
    T* last() { return reinterpret_cast<T*>(base + 4096 - sizeof(T)); }
};

} // namespace

TEST(HostileInput, UnknownHandlesGiveInvalidHandle)
{
    Connection client;
    const RFC_HANDLE bogus = 0x7FFFFFF0;
    std::wstring fn = L"RFC_PING", tid(24, L'A');
    RFC_TID created = {};
    RFC_FUNCTIONNAME name = {};
    RFC_CALL_INFO info{};
    void* context = nullptr;
    std::vector<RFC_CHAR> ticket(8192);
    ITAB_H rows = nullptr;
    unsigned count = 0;
    RFC_UNICODE_TYPE_ELEMENT* fields = nullptr;
    const std::pair<const char*, std::function<RFC_RC(RFC_HANDLE)>> calls[] = {
        {"RfcCallExU", [&](RFC_HANDLE h) { return rfc().RfcCallExU(h, fn.data(), nullptr, nullptr, nullptr); }},
        {"RfcReceiveExU", [&](RFC_HANDLE h) { return rfc().RfcReceiveExU(h, nullptr, nullptr, nullptr, nullptr); }},
        {"RfcCallReceiveExU", [&](RFC_HANDLE h) { return rfc().RfcCallReceiveExU(h, fn.data(), nullptr, nullptr, nullptr, nullptr, nullptr); }},
        {"RfcListenU", [&](RFC_HANDLE h) { return rfc().RfcListenU(h); }},
        {"RfcCancelU", [&](RFC_HANDLE h) { return rfc().RfcCancelU(h, RFC_CANCEL_HARD); }},
        {"RfcCreateTransIDU", [&](RFC_HANDLE h) { return rfc().RfcCreateTransIDU(h, created); }},
        {"RfcIndirectCallExU", [&](RFC_HANDLE h) { return rfc().RfcIndirectCallExU(h, fn.data(), nullptr, nullptr, tid.data()); }},
        {"RfcConfirmTransIDU", [&](RFC_HANDLE h) { return rfc().RfcConfirmTransIDU(h, tid.data()); }},
        {"RfcGetTicketU", [&](RFC_HANDLE h) { return rfc().RfcGetTicketU(h, ticket.data()); }},
        {"RfcGetFunctionInfoAsTableU", [&](RFC_HANDLE h) { return rfc().RfcGetFunctionInfoAsTableU(h, fn.data(), &rows, nullptr); }},
        {"RfcGetStructureInfoFlatU", [&](RFC_HANDLE h) {
             return rfc().RfcGetStructureInfoFlatU(h, fn.data(), 0, nullptr, nullptr, &count, &fields, nullptr, nullptr, nullptr, nullptr,
                                                   nullptr, nullptr, nullptr);
         }},
        {"RfcIsValidHandleU", [&](RFC_HANDLE h) { return rfc().RfcIsValidHandleU(h, nullptr); }},
        {"RfcAttachContextU", [&](RFC_HANDLE h) { return rfc().RfcAttachContextU(h, nullptr, nullptr, nullptr); }},
        {"RfcGetAttachedContextU", [&](RFC_HANDLE h) { return rfc().RfcGetAttachedContextU(h, &context, nullptr); }},
    };
    const std::pair<const char*, std::function<RFC_RC(RFC_HANDLE)>> serverCalls[] = {
        {"RfcWaitForRequestU", [&](RFC_HANDLE h) { return rfc().RfcWaitForRequestU(h, 0); }},
        {"RfcDispatchU", [&](RFC_HANDLE h) { return rfc().RfcDispatchU(h); }},
        {"RfcGetNameU", [&](RFC_HANDLE h) { return rfc().RfcGetNameU(h, name); }},
        {"RfcGetDataU", [&](RFC_HANDLE h) { return rfc().RfcGetDataU(h, nullptr, nullptr); }},
        {"RfcSendDataU", [&](RFC_HANDLE h) { return rfc().RfcSendDataU(h, nullptr, nullptr); }},
        {"RfcRaiseU", [&](RFC_HANDLE h) { return rfc().RfcRaiseU(h, fn.data()); }},
        {"RfcGetCallInfoU", [&](RFC_HANDLE h) { return rfc().RfcGetCallInfoU(h, &info); }},
        {"RfcInstallExternalLogonHandlerU", [&](RFC_HANDLE h) { return rfc().RfcInstallExternalLogonHandlerU(h, nullptr); }},
    };
    for (const auto& [function, call] : calls) {
        EXPECT_EQ(RFC_INVALID_HANDLE, call(bogus)) << function;
        EXPECT_EQ(RFC_INVALID_HANDLE, call(RFC_HANDLE_NULL)) << function;
    }
    for (const auto& [function, call] : serverCalls) {
        EXPECT_EQ(RFC_INVALID_HANDLE, call(bogus)) << function;
        EXPECT_EQ(RFC_INVALID_HANDLE, call(client.handle())) << function << " wants a server handle";
    }
    rfc().RfcCloseU(bogus);
    rfc().RfcAbortU(bogus, nullptr);
    EXPECT_EQ(RFC_OK, rfc().RfcIsValidHandleU(client.handle(), nullptr));
}

TEST(HostileInput, ForgedInternalTablesAreRefused)
{
    int onTheStack = 0;
    for (ITAB_H forged : {static_cast<ITAB_H>(nullptr), static_cast<ITAB_H>(&onTheStack), forbidden()}) {
        uint8_t row[16] = {};
        EXPECT_EQ(0u, rfc().ItFillU(forged));
        EXPECT_EQ(0u, rfc().ItLengU(forged));
        EXPECT_EQ(nullptr, rfc().ItAppLineU(forged));
        EXPECT_EQ(nullptr, rfc().ItInsLineU(forged, 1));
        EXPECT_EQ(nullptr, rfc().ItGetLineU(forged, 1));
        EXPECT_EQ(-1, rfc().ItCpyLineU(forged, 1, row));
        EXPECT_EQ(-1, rfc().ItPutLineU(forged, 1, row));
        EXPECT_LT(rfc().ItDelLineU(forged, 1), 0);
        EXPECT_EQ(-1, rfc().ItFreeU(forged));
        EXPECT_EQ(-1, rfc().ItDeleteU(forged));
    }
    const ITAB_H t = rfc().ItCreateU(nullptr, 16, 0, 0);
    rfc().ItAppLineU(t);
    EXPECT_EQ(-1, rfc().ItCpyLineU(t, 1, forbidden())) << "an unwritable target";
    EXPECT_EQ(-1, rfc().ItPutLineU(t, 1, forbidden())) << "an unreadable source";
    rfc().ItDeleteU(t);
}

TEST(HostileInput, MalformedArraysAreRefusedBeforeAnythingIsSent)
{
    Connection c;
    const Structure s = installFromPartner(c.handle(), L"RFCTEST");
    std::wstring text = field(L"x", 255), name = L"REQUTEXT";
    Cliff cliff;
    RFC_PARAMETER* endless = cliff.last<RFC_PARAMETER>();
    *endless = {name.data(), 8, RFCTYPE_CHAR, 510, text.data()};
    RFC_STRING unreadableString = static_cast<RFC_STRING>(forbidden());
    RFC_XSTRING negative{-4, nullptr};
    RFC_BCD badPacked[8] = {0xAB, 0, 0, 0, 0, 0, 0, 0x0C};
    int forgedTable = 0;
    struct Case {
        const char* why;
        const wchar_t* function;
        std::function<void(Parameters&, Tables&)> build;
        RFC_PARAMETER* exporting; // overrides the built array when set
        RFC_RC rc;
    };
    const Case cases[] = {
        {"no terminating entry", L"STFC_CONNECTION", nullptr, endless, RFC_INVALID_PARAMETER},
        {"a name pointer into forbidden memory", L"STFC_CONNECTION",
         [&](Parameters& p, Tables&) { p.addRaw({static_cast<RFC_CHAR*>(forbidden()), 8, RFCTYPE_CHAR, 510, text.data()}); }, nullptr,
         RFC_INVALID_PARAMETER},
        {"a name longer than any", L"STFC_CONNECTION", [&](Parameters& p, Tables&) { p.addRaw({name.data(), 100000, RFCTYPE_CHAR, 510, text.data()}); },
         nullptr, RFC_INVALID_PARAMETER},
        {"a value buffer in forbidden memory", L"STFC_CONNECTION",
         [&](Parameters& p, Tables&) { p.add(L"REQUTEXT", RFCTYPE_CHAR, 510, forbidden()); }, nullptr, RFC_INVALID_PARAMETER},
        {"a null value buffer", L"STFC_CONNECTION", [&](Parameters& p, Tables&) { p.add(L"REQUTEXT", RFCTYPE_CHAR, 510, nullptr); },
         nullptr, RFC_INVALID_PARAMETER},
        {"an unknown type code", L"STFC_CONNECTION", [&](Parameters& p, Tables&) { p.add(L"REQUTEXT", 77, 510, text.data()); }, nullptr,
         RFC_INVALID_PARAMETER},
        {"a structure shorter than the partner's", L"STFC_STRUCTURE",
         [&](Parameters& p, Tables&) { p.add(L"IMPORTSTRUCT", s.handle, 10, text.data()); }, nullptr, RFC_INVALID_PARAMETER},
        {"a forged table handle", L"STFC_STRUCTURE", [&](Parameters&, Tables& t) { t.add(L"RFCTABLE", s.handle, s.length, &forgedTable); },
         nullptr, RFC_INVALID_PARAMETER},
        {"table rows shorter than the partner's", L"STFC_STRUCTURE", [&](Parameters&, Tables& t) { t.add(L"RFCTABLE", RFCTYPE_CHAR, 20, nullptr); },
         nullptr, RFC_INVALID_PARAMETER},
        {"a string in forbidden memory", L"Z_SIM_ECHO_TYPES",
         [&](Parameters& p, Tables&) { p.add(L"I_STRING", RFCTYPE_STRING, 0, &unreadableString); }, nullptr, RFC_INVALID_PARAMETER},
        {"a byte string of negative length", L"Z_SIM_ECHO_TYPES",
         [&](Parameters& p, Tables&) { p.add(L"I_XSTRING", RFCTYPE_XSTRING, 0, &negative); }, nullptr, RFC_INVALID_PARAMETER},
        {"a packed number with a bad nibble", L"Z_SIM_ECHO_TYPES",
         [&](Parameters& p, Tables&) { p.add(L"I_BCD", RFCTYPE_BCD, 8, badPacked); }, nullptr, RFC_CONVERSION},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.why);
        Parameters exporting, importing;
        Tables tables;
        if (k.build)
            k.build(exporting, tables);
        RFC_PARAMETER* array = k.exporting != nullptr ? k.exporting : exporting.get();
        std::wstring function = k.function;
        rfc_char_t* exception = nullptr;
        EXPECT_EQ(k.rc, rfc().RfcCallReceiveExU(c.handle(), function.data(), array, importing.get(), nullptr, tables.get(), &exception));
        Parameters none;
        Tables noTables;
        EXPECT_EQ(RFC_OK, callReceive(c.handle(), L"RFC_PING", none, none, noTables)) << "the connection is unharmed";
    }
}

TEST(HostileInput, UnwritableResultsAndPointersAreRefused)
{
    Connection c;
    std::wstring text = field(L"x", 255), fn = L"STFC_CONNECTION";
    Parameters exporting, importing;
    exporting.add(L"REQUTEXT", RFCTYPE_CHAR, 510, text.data());
    importing.add(L"ECHOTEXT", RFCTYPE_CHAR, 510, forbidden());
    Tables none;
    EXPECT_EQ(RFC_INVALID_PARAMETER, rfc().RfcCallReceiveExU(c.handle(), fn.data(), exporting.get(), importing.get(), nullptr, none.get(), nullptr));
    EXPECT_EQ(RFC_INVALID_PARAMETER, rfc().RfcCallReceiveExU(c.handle(), fn.data(), exporting.get(), nullptr, nullptr, none.get(),
                                                             static_cast<rfc_char_t**>(forbidden())));
    EXPECT_EQ(RFC_INVALID_PARAMETER, rfc().RfcCallExU(c.handle(), static_cast<rfc_char_t*>(forbidden()), nullptr, nullptr, nullptr));
    EXPECT_EQ(RFC_HANDLE_NULL, rfc().RfcOpenExU(static_cast<rfc_char_t*>(forbidden()), nullptr));
    EXPECT_EQ(RFC_HANDLE_NULL, rfc().RfcOpenExU(nullptr, static_cast<RFC_ERROR_INFO_EX*>(forbidden())));
    EXPECT_EQ(1, rfc().RfcLastErrorExU(static_cast<RFC_ERROR_INFO_EX*>(forbidden())));
    EXPECT_EQ(RFC_INVALID_PARAMETER, rfc().RfcCreateTransIDU(c.handle(), static_cast<rfc_char_t*>(forbidden())));
    EXPECT_EQ(RFC_INVALID_PARAMETER, rfc().RfcResizeXStringU(static_cast<RFC_XSTRING*>(forbidden()), 4));
    int decimals = -1;
    EXPECT_EQ(2, rfc().RfcConvertCharToBcdU(text.data(), 3, &decimals, static_cast<RFC_BCD*>(forbidden()), 4));
    rfc_char_t* noArguments[] = {nullptr};
    EXPECT_EQ(RFC_HANDLE_NULL, rfc().RfcAcceptU(noArguments));
    EXPECT_EQ(RFC_OK, rfc().RfcIsValidHandleU(c.handle(), nullptr));
}
