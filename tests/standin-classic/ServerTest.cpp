// A registered server program behind the stand-in, called through sapsim's admin endpoints.
#include "ClassicApi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

using namespace classic;
using nlohmann::json;

namespace {

// What the callbacks saw; they are plain functions, so it is shared.
struct Seen {
    std::mutex mutex;
    std::vector<std::string> events;
    std::set<std::wstring> committed;
    void add(const std::string& e)
    {
        std::lock_guard lock(mutex);
        events.push_back(e);
    }
    std::vector<std::string> take()
    {
        std::lock_guard lock(mutex);
        return std::exchange(events, {});
    }
} seen;

int contextMarker = 0;

RFC_TYPEHANDLE lineType()
{
    static const RFC_TYPEHANDLE handle = [] {
        std::wstring name = L"ZLINE", line = L"LINE";
        RFC_UNICODE_TYPE_ELEMENT e{line.data(), RFCTYPE_CHAR, 0, 10, 0, 20, 0, 0, 0};
        RFC_TYPEHANDLE h = 0;
        EXPECT_EQ(RFC_OK, rfc().RfcInstallUnicodeStructureU(name.data(), &e, 1, 0, nullptr, &h));
        return h;
    }();
    return handle;
}

void appendLine(ITAB_H t, const std::wstring& text)
{
    const std::wstring row = field(text, 10);
    std::memcpy(rfc().ItAppLineU(t), row.data(), 20);
}

RFC_RC DLL_CALL_BACK_FUNCTION onCall(RFC_HANDLE h)
{
    RFC_FUNCTIONNAME name = {};
    rfc().RfcGetNameU(h, name);
    RFC_CALL_INFO info{};
    rfc().RfcGetCallInfoU(h, &info);
    void* context = nullptr;
    int fromCarrier = 1;
    const bool attached = rfc().RfcGetAttachedContextU(h, &context, &fromCarrier) == RFC_OK && context == &contextMarker;
    seen.add("call " + utf8(name) + " type " + std::string(1, static_cast<char>(info.call_type)) + (attached ? " context" : ""));
    std::wstring text(20, L' ');
    RFC_INT number = 0;
    Parameters importing;
    importing.add(L"TEXT", RFCTYPE_CHAR, 40, text.data()).add(L"NUMBER", RFCTYPE_INT, 4, &number);
    Tables tables;
    tables.add(L"LINES", lineType(), 20, nullptr);
    if (rfc().RfcGetDataU(h, importing.get(), tables.get()) != RFC_OK)
        return RFC_FAILURE;
    const ITAB_H lines = tables.at(0).ithandle;
    appendLine(lines, L"added");
    if (std::wstring(name) == L"Z_SRV_RAISE") {
        std::wstring exception = L"NOT_FOUND", message = L"nothing here";
        return rfc().RfcRaiseErrorMessageU(h, exception.data(), tables.get(), message.data());
    }
    if (std::wstring(name) == L"Z_SRV_SILENT")
        return RFC_OK;
    RFC_INT doubled = number * 2;
    Parameters exporting;
    exporting.add(L"ECHO", RFCTYPE_CHAR, 40, text.data()).add(L"DOUBLED", RFCTYPE_INT, 4, &doubled);
    return rfc().RfcSendDataU(h, exporting.get(), tables.get());
}

int DLL_CALL_BACK_FUNCTION onCheck(RFC_TID tid, RFC_HANDLE)
{
    std::lock_guard lock(seen.mutex);
    seen.events.push_back("check " + utf8(tid));
    return seen.committed.count(tid) != 0 ? 1 : 0;
}

int DLL_CALL_BACK_FUNCTION onCommit(RFC_TID tid, RFC_HANDLE)
{
    std::lock_guard lock(seen.mutex);
    seen.events.push_back("commit " + utf8(tid));
    seen.committed.insert(tid);
    return 0;
}

void DLL_CALL_BACK_FUNCTION onRollback(RFC_TID tid, RFC_HANDLE, int)
{
    seen.add("rollback " + utf8(tid));
}

void DLL_CALL_BACK_FUNCTION onConfirm(RFC_TID tid, RFC_HANDLE)
{
    seen.add("confirm " + utf8(tid));
}

RFC_EXTERNAL_LOGON_RC DLL_CALL_BACK_FUNCTION onLogon(RFC_HANDLE, RFC_EXTERNAL_LOGON_CNTL* data, rfc_char_t* message)
{
    seen.add("logon " + utf8(data->function_name) + " " + utf8(data->client) + " " + utf8(data->user) + " " + utf8(data->language));
    if (std::wstring(data->user) != L"OUTSIDER")
        return RFC_EXTERNAL_LOGON_OK;
    std::wcscpy(message, L"not you");
    return RFC_EXTERNAL_LOGON_FAILED;
}

void DLL_CALL_BACK_FUNCTION onDisconnect(RFC_HANDLE, unsigned, void* context)
{
    seen.add(context == &contextMarker ? "disconnect" : "disconnect without context");
}

void DLL_CALL_BACK_FUNCTION onFree(RFC_HANDLE, unsigned, void* context)
{
    seen.add(context == &contextMarker ? "free" : "free without context");
}

void installHandlers()
{
    static const bool installed = [] {
        std::wstring global = L"%%USER_GLOBAL_SERVER", documented = L"Z_SRV_ECHO", docu = L"echoes";
        EXPECT_EQ(RFC_OK, rfc().RfcInstallFunctionU(documented.data(), nullptr, docu.data()));
        EXPECT_EQ(RFC_OK, rfc().RfcInstallFunctionU(global.data(), onCall, nullptr));
        rfc().RfcInstallTransactionControl2U(onCheck, onCommit, onRollback, onConfirm);
        return true;
    }();
    (void)installed;
}

// A registered server with its receive loop on a thread of its own, as a server program runs it.
class Server {
public:
    explicit Server(const std::string& programId, bool checkLogons = false) : m_programId(programId)
    {
        installHandlers();
        std::wstring a = L"-a" + wide(programId), g = L"-g127.0.0.1", x = L"-x", port = std::to_wstring(gatewayPort()), t = L"-t";
        rfc_char_t* argv[] = {a.data(), g.data(), x.data(), port.data(), t.data(), nullptr};
        m_handle = rfc().RfcAcceptU(argv);
        if (m_handle == RFC_HANDLE_NULL)
            return;
        EXPECT_EQ(RFC_OK, rfc().RfcAttachContextU(m_handle, onDisconnect, onFree, &contextMarker));
        if (checkLogons) {
            EXPECT_EQ(RFC_OK, rfc().RfcInstallExternalLogonHandlerU(m_handle, onLogon));
        }
        m_loop = std::thread([this] { loop(); });
    }
    ~Server()
    {
        m_stop = true;
        if (m_loop.joinable())
            m_loop.join();
        if (m_handle != RFC_HANDLE_NULL)
            rfc().RfcCloseU(m_handle);
    }

    RFC_HANDLE handle() const { return m_handle; }
    RFC_RC lastDispatch() const { return m_last; }
    // Waits until the loop ended (the connection closed), at most 30 s.
    bool ended()
    {
        for (int i = 0; i < 3000 && !m_ended; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return m_ended;
    }
    json call(const std::string& function, const json& values, const std::string& user = "DEMO")
    {
        return admin("call", {{"programId", m_programId}, {"function", function}, {"values", values}, {"user", user}, {"timeoutMs", 20000}});
    }

private:
    void loop()
    {
        while (!m_stop) {
            const RFC_RC waiting = rfc().RfcWaitForRequestU(m_handle, 1);
            if (waiting == RFC_RETRY)
                continue;
            if (waiting != RFC_OK || (m_last = rfc().RfcDispatchU(m_handle)) == RFC_CLOSED)
                break;
        }
        m_ended = true;
    }

    std::string m_programId;
    RFC_HANDLE m_handle = RFC_HANDLE_NULL;
    std::thread m_loop;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ended{false};
    std::atomic<RFC_RC> m_last{RFC_OK};
};

} // namespace

TEST(Server, RegisteredProgramReceivesACallAndAnswersIt)
{
    Server server("CLASSIC.ECHO");
    ASSERT_NE(RFC_HANDLE_NULL, server.handle()) << lastError().message;
    seen.take();
    const json reply = server.call("Z_SRV_ECHO", {{"TEXT", "hello"}, {"NUMBER", 21}, {"LINES", json::array({{{"LINE", "one"}}})}});
    ASSERT_EQ("ok", reply["result"]) << reply.dump();
    EXPECT_EQ("hello", reply["values"]["ECHO"]);
    EXPECT_EQ("42", reply["values"]["DOUBLED"]);
    EXPECT_EQ((json::array({{{"LINE", "one"}}, {{"LINE", "added"}}})), reply["values"]["LINES"]);
    EXPECT_EQ(std::vector<std::string>{"call Z_SRV_ECHO type S context"}, seen.take());
    EXPECT_EQ(RFC_OK, server.lastDispatch());

    bool registered = false;
    const json journal = admin("logons");
    for (const auto& logon : journal["logons"])
        if (logon["kind"] == "server" && logon["parameters"].dump().find("CLASSIC.ECHO") != std::string::npos)
            registered = logon["parameters"] == json::array({json::array({"-a", "CLASSIC.ECHO"}), json::array({"-g", "127.0.0.1"}),
                                                             json::array({"-x", std::to_string(gatewayPort())}), json::array({"-t", ""})});
    EXPECT_TRUE(registered) << "the options as given, the value after its flag or as the next argument";
}

TEST(Server, RaisedExceptionReachesTheCallerWithTheTables)
{
    Server server("CLASSIC.RAISE");
    ASSERT_NE(RFC_HANDLE_NULL, server.handle());
    const json reply = server.call("Z_SRV_RAISE", {{"LINES", json::array({{{"LINE", "kept"}}})}});
    EXPECT_EQ("exception", reply["result"]) << reply.dump();
    EXPECT_EQ("NOT_FOUND", reply["key"]);
    EXPECT_EQ("nothing here", reply["message"]);
    EXPECT_EQ((json::array({{{"LINE", "kept"}}, {{"LINE", "added"}}})), reply["values"]["LINES"]);

    const json silent = server.call("Z_SRV_SILENT", json::object());
    EXPECT_EQ("error", silent["result"]) << "a handler that sends no answer still answers the caller";
    EXPECT_NE(std::string::npos, silent["message"].get<std::string>().find("without an answer"));
}

TEST(Server, RefusedLogonAbortsTheConnection)
{
    Server server("CLASSIC.LOGON", true);
    ASSERT_NE(RFC_HANDLE_NULL, server.handle());
    seen.take();
    EXPECT_EQ("ok", server.call("Z_SRV_ECHO", json::object())["result"]);
    const json refused = server.call("Z_SRV_ECHO", json::object(), "OUTSIDER");
    EXPECT_EQ("error", refused["result"]);
    EXPECT_EQ("not you", refused["message"]);
    EXPECT_TRUE(server.ended());
    EXPECT_EQ(RFC_CLOSED, server.lastDispatch());
    const auto events = seen.take();
    ASSERT_EQ(4u, events.size());
    EXPECT_EQ("logon Z_SRV_ECHO 001 DEMO E", events[0]);
    EXPECT_EQ("logon Z_SRV_ECHO 001 OUTSIDER E", events[2]);
    EXPECT_EQ("disconnect", events[3]);
}

TEST(Server, TransactionStepsRunThroughTheTransactionControl)
{
    Server server("CLASSIC.TRFC");
    ASSERT_NE(RFC_HANDLE_NULL, server.handle());
    seen.take();
    const json unit = {{"programId", "CLASSIC.TRFC"}, {"function", "Z_SRV_ECHO"}, {"tid", "0A1B2C3D4E5F60718293A4B5"}, {"values", json::object()}};
    EXPECT_EQ("committed", admin("transaction", unit)["result"]);
    EXPECT_EQ((std::vector<std::string>{"check 0A1B2C3D4E5F60718293A4B5", "call Z_SRV_ECHO type T context",
                                        "commit 0A1B2C3D4E5F60718293A4B5", "confirm 0A1B2C3D4E5F60718293A4B5"}),
              seen.take());
    EXPECT_EQ("executed before", admin("transaction", unit)["result"]) << "the check said it ran already";
    EXPECT_EQ((std::vector<std::string>{"check 0A1B2C3D4E5F60718293A4B5", "confirm 0A1B2C3D4E5F60718293A4B5"}), seen.take());
}

TEST(Server, ContextIsAttachedOnceAndToldOfTheEnd)
{
    {
        Server server("CLASSIC.CONTEXT");
        ASSERT_NE(RFC_HANDLE_NULL, server.handle());
        EXPECT_EQ(RFC_INVALID_PARAMETER, rfc().RfcAttachContextU(server.handle(), nullptr, nullptr, nullptr)) << "once per handle";
        seen.take();
        EXPECT_EQ(1, admin("drop", {{"programId", "CLASSIC.CONTEXT"}})["dropped"]);
        EXPECT_TRUE(server.ended());
        EXPECT_EQ(std::vector<std::string>{"disconnect"}, seen.take());
    }
    EXPECT_EQ(std::vector<std::string>{"free"}, seen.take()) << "closing the handle frees the context";
}

TEST(Server, RegistrationRefusedOrMalformed)
{
    std::wstring program = L"-a", bad = L"bad id", g = L"-g127.0.0.1", x = L"-x" + std::to_wstring(gatewayPort());
    rfc_char_t* spaced[] = {program.data(), bad.data(), g.data(), x.data(), nullptr};
    EXPECT_EQ(RFC_HANDLE_NULL, rfc().RfcAcceptU(spaced));
    EXPECT_EQ(RFC_ERROR_LOGON_FAILURE, lastError().group) << "the gateway refuses a program ID with a blank";
    rfc_char_t* noProgram[] = {g.data(), x.data(), nullptr};
    EXPECT_EQ(RFC_HANDLE_NULL, rfc().RfcAcceptU(noProgram));
    EXPECT_EQ(RFC_ERROR_PROGRAM, lastError().group);
    EXPECT_EQ(RFC_HANDLE_NULL, rfc().RfcAcceptU(nullptr));
}
