// A registered server program behind the stand-in, called by sapsim's admin endpoints.
#include "Admin.h"
#include "StandIn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cwchar>
#include <mutex>
#include <thread>

using namespace standin;
using nlohmann::json;

namespace {

// What the callbacks saw; they are plain functions, so it is shared.
struct Seen {
    std::mutex mutex;
    std::vector<std::string> events;
    std::string user, client, function, program;
    RFC_CALL_TYPE callType = RFC_SYNCHRONOUS;
    std::string tid;

    void add(const std::string& event)
    {
        std::lock_guard lock(mutex);
        events.push_back(event);
    }
    std::vector<std::string> take()
    {
        std::lock_guard lock(mutex);
        return std::exchange(events, {});
    }
} seen;

RFC_FUNCTION_DESC_HANDLE echoDescription()
{
    static RFC_FUNCTION_DESC_HANDLE desc = [] {
        Error e;
        RFC_TYPE_DESC_HANDLE line = nw().RfcCreateTypeDesc(L"ZLINE", &e);
        RFC_FIELD_DESC f{};
        std::wcscpy(f.name, L"LINE");
        f.type = RFCTYPE_CHAR;
        f.nucLength = 10;
        f.ucLength = 20;
        nw().RfcAddTypeField(line, &f, &e);
        nw().RfcSetTypeLength(line, 10, 20, &e);
        RFC_FUNCTION_DESC_HANDLE d = nw().RfcCreateFunctionDesc(L"Z_SRV_ECHO", &e);
        auto add = [&](const wchar_t* name, RFCTYPE type, RFC_DIRECTION direction, unsigned nuc, RFC_TYPE_DESC_HANDLE t = nullptr) {
            RFC_PARAMETER_DESC p{};
            std::wcscpy(p.name, name);
            p.type = type;
            p.direction = direction;
            p.nucLength = nuc;
            p.ucLength = type == RFCTYPE_CHAR ? 2 * nuc : nuc;
            p.typeDescHandle = t;
            nw().RfcAddParameter(d, &p, &e);
        };
        add(L"TEXT", RFCTYPE_CHAR, RFC_IMPORT, 20);
        add(L"NUMBER", RFCTYPE_INT, RFC_IMPORT, 4);
        add(L"ECHO", RFCTYPE_CHAR, RFC_EXPORT, 20);
        add(L"DOUBLED", RFCTYPE_INT, RFC_EXPORT, 4);
        add(L"LINES", RFCTYPE_TABLE, RFC_TABLES, 10, line);
        return d;
    }();
    return desc;
}

// A structure parameter whose type never got its length: no container can be built on it.
RFC_FUNCTION_DESC_HANDLE brokenDescription()
{
    static RFC_FUNCTION_DESC_HANDLE desc = [] {
        Error e;
        RFC_TYPE_DESC_HANDLE incomplete = nw().RfcCreateTypeDesc(L"ZINCOMPLETE", &e);
        RFC_FUNCTION_DESC_HANDLE d = nw().RfcCreateFunctionDesc(L"Z_SRV_BROKEN", &e);
        RFC_PARAMETER_DESC p{};
        std::wcscpy(p.name, L"S");
        p.type = RFCTYPE_STRUCTURE;
        p.direction = RFC_IMPORT;
        p.typeDescHandle = incomplete;
        nw().RfcAddParameter(d, &p, &e);
        return d;
    }();
    return desc;
}

RFC_RC SAP_API describe(const SAP_UC* name, RFC_ATTRIBUTES, RFC_FUNCTION_DESC_HANDLE* desc)
{
    if (std::wcscmp(name, L"Z_SRV_ECHO") == 0)
        *desc = echoDescription();
    else if (std::wcscmp(name, L"Z_SRV_BROKEN") == 0)
        *desc = brokenDescription();
    else
        return RFC_NOT_FOUND;
    return RFC_OK;
}

RFC_RC SAP_API serve(RFC_CONNECTION_HANDLE connection, RFC_FUNCTION_HANDLE call, RFC_ERROR_INFO* error)
{
    RFC_SERVER_CONTEXT context{};
    Error e;
    nw().RfcGetServerContext(connection, &context, &e);
    {
        std::lock_guard lock(seen.mutex);
        seen.callType = context.type;
        seen.tid = utf8(context.tid);
    }
    const std::wstring text = string(call, L"TEXT");
    seen.add("call " + utf8(text.c_str()));
    RFC_TABLE_HANDLE lines = nullptr;
    nw().RfcGetTable(call, L"LINES", &lines, &e);
    setChars(nw().RfcAppendNewRow(lines, &e), L"LINE", L"added");
    if (text == L"FAIL") {
        std::wcscpy(error->key, L"TEXT_FAILED");
        std::wcscpy(error->message, L"the text says FAIL");
        return RFC_ABAP_EXCEPTION;
    }
    setChars(call, L"ECHO", text);
    nw().RfcSetInt(call, L"DOUBLED", 2 * integer(call, L"NUMBER"), &e);
    return RFC_OK;
}

RFC_RC SAP_API authorize(RFC_CONNECTION_HANDLE, RFC_SECURITY_ATTRIBUTES* attributes, RFC_ERROR_INFO* error)
{
    {
        std::lock_guard lock(seen.mutex);
        seen.user = utf8(attributes->user);
        seen.client = utf8(attributes->client);
        seen.function = utf8(attributes->functionName);
        seen.program = utf8(attributes->progName);
    }
    if (seen.user != "LOCKED")
        return RFC_OK;
    std::wcscpy(error->message, L"LOCKED may not call this server");
    return RFC_AUTHORIZATION_FAILURE;
}

template <const char* Step>
RFC_RC SAP_API transactionStep(RFC_CONNECTION_HANDLE, const SAP_UC* tid)
{
    seen.add(std::string(Step) + " " + utf8(tid));
    return std::string(Step) == "check" && utf8(tid) == "DONE" ? RFC_EXECUTED : RFC_OK;
}
constexpr char check[] = "check", commit[] = "commit", rollback[] = "rollback", confirm[] = "confirm";

// A program registered at the gateway, listening on a thread of its own until it goes.
class Program {
public:
    explicit Program(const std::string& id) : m_id(id)
    {
        Error e;
        nw().RfcInstallGenericServerFunction(serve, describe, &e);
        nw().RfcInstallAuthorizationCheckHandler(authorize, &e);
        nw().RfcInstallTransactionHandlers(nullptr, transactionStep<check>, transactionStep<commit>, transactionStep<rollback>,
                                           transactionStep<confirm>, &e);
        const std::wstring wideId = wide(id), port = std::to_wstring(gatewayPort());
        RFC_CONNECTION_PARAMETER p[] = {{L"program_id", wideId.c_str()}, {L"gwhost", L"127.0.0.1"}, {L"gwserv", port.c_str()}};
        m_handle = nw().RfcRegisterServer(p, 3, &e);
        EXPECT_NE(nullptr, m_handle) << e.text();
        m_thread = std::thread([this] { listen(); });
    }

    ~Program()
    {
        m_stop = true;
        m_thread.join();
        Error e;
        nw().RfcCloseConnection(m_handle, &e);
    }

    json call(json request) const
    {
        request["programId"] = m_id;
        request["function"] = "Z_SRV_ECHO";
        return adminPost("call", request).body;
    }

    // Waits (at most 30 s) until the listener stopped on a code that ends the connection.
    RFC_RC ending()
    {
        std::unique_lock lock(m_mutex);
        m_ended.wait_for(lock, std::chrono::seconds(30), [this] { return m_end != RFC_OK; });
        return m_end;
    }

    // One more listen on the handle, after the listener ended.
    RFC_RC listenAgain() const
    {
        Error e;
        return nw().RfcListenAndDispatch(m_handle, 0, &e);
    }

private:
    void listen()
    {
        while (!m_stop && m_handle != nullptr) {
            Error e;
            const RFC_RC rc = nw().RfcListenAndDispatch(m_handle, 1, &e);
            if (rc == RFC_OK || rc == RFC_RETRY || rc == RFC_ABAP_EXCEPTION || rc == RFC_AUTHORIZATION_FAILURE)
                continue;
            std::lock_guard lock(m_mutex);
            m_end = rc;
            m_ended.notify_all();
            return;
        }
    }

    std::string m_id;
    RFC_CONNECTION_HANDLE m_handle = nullptr;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    RFC_RC m_end = RFC_OK;
};

} // namespace

TEST(Server, AnswersACallWithValuesAndSeesTheCaller)
{
    Program program("STANDIN.VALUES");
    const json reply = program.call({{"values", {{"TEXT", "hello"}, {"NUMBER", 21}, {"LINES", {{{"LINE", "sent"}}}}}},
                                     {"user", "RFCUSER"}, {"client", "001"}});
    ASSERT_EQ("ok", reply["result"]) << reply.dump();
    EXPECT_EQ("hello", reply["values"]["ECHO"]);
    EXPECT_EQ("42", reply["values"]["DOUBLED"]);
    EXPECT_EQ((json{{{"LINE", "sent"}}, {{"LINE", "added"}}}), reply["values"]["LINES"]);
    std::lock_guard lock(seen.mutex);
    EXPECT_EQ("RFCUSER", seen.user);
    EXPECT_EQ("001", seen.client);
    EXPECT_EQ("Z_SRV_ECHO", seen.function);
    EXPECT_EQ("SAPSIM_ADMIN", seen.program);
    EXPECT_EQ(RFC_SYNCHRONOUS, seen.callType);
}

TEST(Server, ExceptionsAndRefusedLogonsKeepItServing)
{
    Program program("STANDIN.ERRORS");
    const json failed = program.call({{"values", {{"TEXT", "FAIL"}}}});
    EXPECT_EQ("exception", failed["result"]) << failed.dump();
    EXPECT_EQ("TEXT_FAILED", failed["key"]);
    EXPECT_EQ("the text says FAIL", failed["message"]);
    EXPECT_EQ(1u, failed["values"]["LINES"].size()) << "the tables come back with the exception";

    const json refused = program.call({{"values", {{"TEXT", "x"}}}, {"user", "LOCKED"}});
    EXPECT_EQ("error", refused["result"]) << refused.dump();
    EXPECT_EQ("RFC_AUTHORIZATION_FAILURE", refused["code"]);
    EXPECT_EQ(7, refused["group"]);
    EXPECT_EQ("LOCKED may not call this server", refused["message"]);

    EXPECT_EQ("ok", program.call({{"values", {{"TEXT", "still here"}}}})["result"]);
    const json unknown = adminPost("call", {{"programId", "STANDIN.ERRORS"}, {"function", "Z_UNKNOWN"}}).body;
    EXPECT_EQ("RFC_NOT_FOUND", unknown["code"]) << unknown.dump();
    EXPECT_EQ(RFC_NOT_FOUND, program.ending()) << "a function nobody describes ends the connection";
}

TEST(Server, UnusableDescriptionIsAnsweredNotLeftWaiting)
{
    Program program("STANDIN.BROKEN");
    const json reply = adminPost("call", {{"programId", "STANDIN.BROKEN"}, {"function", "Z_SRV_BROKEN"}, {"timeoutMs", 20000}}).body;
    EXPECT_EQ("RFC_EXTERNAL_FAILURE", reply["code"]) << reply.dump();
    EXPECT_EQ(RFC_EXTERNAL_FAILURE, program.ending());
}

TEST(Server, TransactionalUnitRunsTheFourSteps)
{
    Program program("STANDIN.TRFC");
    seen.take();
    const json committed = adminPost("transaction", {{"programId", "STANDIN.TRFC"}, {"function", "Z_SRV_ECHO"},
                                                     {"tid", "0A1B2C3D4E5F60718293A4B5"}, {"values", {{"TEXT", "unit"}}}}).body;
    EXPECT_EQ("committed", committed["result"]) << committed.dump();
    EXPECT_EQ((std::vector<std::string>{"check 0A1B2C3D4E5F60718293A4B5", "call unit", "commit 0A1B2C3D4E5F60718293A4B5",
                                        "confirm 0A1B2C3D4E5F60718293A4B5"}),
              seen.take());
    EXPECT_EQ(RFC_TRANSACTIONAL, seen.callType);
    EXPECT_EQ("0A1B2C3D4E5F60718293A4B5", seen.tid);

    const json rolledBack = adminPost("transaction", {{"programId", "STANDIN.TRFC"}, {"function", "Z_SRV_ECHO"},
                                                      {"tid", "FAILING"}, {"values", {{"TEXT", "FAIL"}}}}).body;
    EXPECT_EQ("rolled back", rolledBack["result"]) << rolledBack.dump();
    EXPECT_EQ((std::vector<std::string>{"check FAILING", "call FAIL", "rollback FAILING"}), seen.take());

    const json before = adminPost("transaction", {{"programId", "STANDIN.TRFC"}, {"function", "Z_SRV_ECHO"}, {"tid", "DONE"}}).body;
    EXPECT_EQ("executed before", before["result"]) << before.dump();
    EXPECT_EQ((std::vector<std::string>{"check DONE", "confirm DONE"}), seen.take());
}

TEST(Server, NoticesADroppedGatewayConnection)
{
    Program program("STANDIN.DROP");
    bool listed = false;
    const json registrations = adminGet("registrations").body["registrations"];
    for (const json& r : registrations)
        listed = listed || r["programId"] == "STANDIN.DROP";
    EXPECT_TRUE(listed) << registrations.dump();
    EXPECT_EQ(1, adminPost("drop", {{"programId", "STANDIN.DROP"}}).body["dropped"]);
    EXPECT_EQ(RFC_COMMUNICATION_FAILURE, program.ending());
    EXPECT_EQ(RFC_CLOSED, program.listenAgain()) << "the failure is told once; the connection stays closed";
    EXPECT_EQ(404, adminPost("call", {{"programId", "STANDIN.DROP"}, {"function", "Z_SRV_ECHO"}, {"timeoutMs", 0}}).status);
}

TEST(Server, IdleListeningReturnsRetryAndRegistrationNeedsAProgramId)
{
    Error e;
    const std::wstring port = std::to_wstring(gatewayPort());
    RFC_CONNECTION_PARAMETER p[] = {{L"program_id", L"STANDIN.IDLE"}, {L"gwhost", L"127.0.0.1"}, {L"gwserv", port.c_str()}};
    RFC_CONNECTION_HANDLE h = nw().RfcRegisterServer(p, 3, &e);
    ASSERT_NE(nullptr, h) << e.text();
    EXPECT_EQ(RFC_RETRY, nw().RfcListenAndDispatch(h, 0, &e));
    RFC_SERVER_CONTEXT context{};
    EXPECT_EQ(RFC_ILLEGAL_STATE, nw().RfcGetServerContext(h, &context, &e)) << "outside a call";
    EXPECT_EQ(RFC_OK, nw().RfcCloseConnection(h, &e));
    p[0].value = L"";
    EXPECT_EQ(nullptr, nw().RfcRegisterServer(p, 3, &e));
    EXPECT_EQ(RFC_INVALID_PARAMETER, e.code);
}
