// Many clients at once: all are served at the same time, and none sees another's data.
#include "SimClient.h"

#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <thread>

using namespace simtest;

namespace {

constexpr int clients = 16;

// Runs `work(index, fail)` on one thread per client; returns what the threads reported.
std::vector<std::string> onAllClients(const std::function<void(int, const std::function<void(std::string)>&)>& work)
{
    std::mutex mutex;
    std::vector<std::string> failures;
    auto fail = [&](std::string message) {
        std::lock_guard lock(mutex);
        failures.push_back(std::move(message));
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i)
        threads.emplace_back([&, i] {
            try {
                work(i, fail);
            } catch (const std::exception& e) {
                fail("client " + std::to_string(i) + ": " + e.what());
            }
        });
    for (auto& t : threads)
        t.join();
    return failures;
}

} // namespace

// Each caller waits inside the server until all sixteen have arrived; a server that served
// them one after the other would let every call time out.
TEST(Concurrency, SixteenClientsAreServedAtTheSameTime)
{
    std::mutex mutex;
    std::set<std::string> positions;
    const auto failures = onAllClients([&](int, const auto& fail) {
        SimClient client;
        const SoapReply r = client.call(RfcCall("Z_SIM_RENDEZVOUS").param("KEY", "sixteen").param("PARTIES", "16")
                                            .param("TIMEOUT_MS", "30000"));
        if (r.status() != 200)
            return fail(r.document());
        std::lock_guard lock(mutex);
        positions.insert(r.text("POSITION"));
    });
    EXPECT_TRUE(failures.empty()) << failures.front();
    EXPECT_EQ(16u, positions.size());
}

TEST(Concurrency, SessionsAndDataStaySeparate)
{
    constexpr int rounds = 25;
    SimClient reference;
    const size_t lhFlights = reference.call(RfcCall("RFC_READ_TABLE").param("QUERY_TABLE", "SFLIGHT").param("NO_DATA", "")
                                                .raw("<OPTIONS><item><TEXT>CARRID = 'LH'</TEXT></item></OPTIONS>"
                                                     "<FIELDS><item><FIELDNAME>FLDATE</FIELDNAME></item></FIELDS>"))
                                 .rows("DATA")
                                 .size();
    std::mutex mutex;
    std::set<std::string> contexts;
    const auto failures = onAllClients([&](int me, const auto& fail) {
        SimClient client;
        const HttpReply opened = client.request("POST", client.soapTarget("&session_mode=1"), RfcCall("Z_SIM_COUNTER").envelope());
        const std::string setCookie = opened.header("set-cookie");
        const std::string context = setCookie.substr(0, setCookie.find(';'));
        {
            std::lock_guard lock(mutex);
            contexts.insert(context);
        }
        const std::map<std::string, std::string> cookie = {{"Cookie", context}};
        for (int round = 0; round < rounds; ++round) {
            const std::string tag = std::to_string(me) + "/" + std::to_string(round);
            const std::string n = client.call(RfcCall("Z_SIM_COUNTER"), "&session_mode=1", cookie).text("COUNT");
            if (n != std::to_string(round + 2))
                fail(tag + ": counter " + n);
            const std::string echo = client.call(RfcCall("STFC_CONNECTION").param("REQUTEXT", tag)).text("ECHOTEXT");
            if (echo != tag)
                fail(tag + ": echo " + echo);
            const SoapReply s = client.call(RfcCall("STFC_STRUCTURE").raw("<IMPORTSTRUCT><RFCDATA1>" + tag + "</RFCDATA1></IMPORTSTRUCT>"));
            if (s.text("ECHOSTRUCT/RFCDATA1") != tag || s.rows("RFCTABLE").size() != 1)
                fail(tag + ": structure " + s.text("ECHOSTRUCT/RFCDATA1"));
            const auto rows = client.call(RfcCall("RFC_READ_TABLE").param("QUERY_TABLE", "SFLIGHT")
                                              .raw("<OPTIONS><item><TEXT>CARRID = 'LH'</TEXT></item></OPTIONS>"
                                                   "<FIELDS><item><FIELDNAME>FLDATE</FIELDNAME></item></FIELDS>"))
                                  .rows("DATA");
            if (rows.size() != lhFlights)
                fail(tag + ": " + std::to_string(rows.size()) + " rows");
        }
    });
    EXPECT_TRUE(failures.empty()) << failures.size() << " failures, first: " << failures.front();
    EXPECT_EQ(static_cast<size_t>(clients), contexts.size()) << "every client got a session of its own";
    EXPECT_GT(lhFlights, 0u);
}
