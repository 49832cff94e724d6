#include "server/Acceptor.h"
#include "server/Lifecycle.h"
#include "server/SessionStore.h"
#include "server/SsoTicket.h"
#include "text/Base64.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

using namespace sapsim;

TEST(Base64, RoundTripsEveryLengthAndRefusesMalformedText)
{
    std::string bytes;
    for (int n = 0; n < 70; ++n) {
        EXPECT_EQ(bytes, Base64::decode(Base64::encode(bytes)).value()) << n;
        bytes += static_cast<char>(n * 37);
    }
    EXPECT_EQ("Ma", Base64::decode(" TW\r\nE= ").value()) << "white space is allowed";
    for (const char* bad : {"TWE", "TW=E", "TWE==", "TW*=", "TWF=", "=TWE", "TQ===", "TQ==TQ=="})
        EXPECT_FALSE(Base64::decode(bad).has_value()) << bad;
}

TEST(SsoTicket, AcceptsOnlyUntouchedTicketsOfItsOwnKey)
{
    const SsoTicket tickets;
    const std::string ticket = tickets.issue("001", "DEMO");
    const auto holder = tickets.verify(ticket);
    ASSERT_TRUE(holder.has_value());
    EXPECT_EQ("001", holder->client);
    EXPECT_EQ("DEMO", holder->user);

    std::string encoded;
    for (char c : ticket)
        encoded += c == '+' ? "%2B" : c == '/' ? "%2F" : c == '=' ? "%3D" : std::string(1, c);
    EXPECT_TRUE(tickets.verify(encoded).has_value()) << "cookie values may arrive URL-encoded";
    for (size_t i = 0; i < ticket.size(); i += 3) {
        std::string forged = ticket;
        forged[i] = forged[i] == 'Q' ? 'R' : 'Q';
        EXPECT_FALSE(tickets.verify(forged).has_value()) << "changed at " << i;
    }
    EXPECT_FALSE(SsoTicket().verify(ticket).has_value()) << "another server run has another key";
    EXPECT_FALSE(tickets.verify("").has_value());
}

TEST(SessionStore, SessionsBelongToTheirUserAndAreBounded)
{
    SessionStore store({3, std::chrono::minutes(30)});
    const auto [first, context] = store.open("001", "DEMO");
    EXPECT_EQ(context, store.find(first, "001", "DEMO"));
    EXPECT_EQ(nullptr, store.find(first, "001", "OTHER"));
    EXPECT_EQ(nullptr, store.find(first, "000", "DEMO"));
    const auto second = store.open("001", "DEMO").first;
    store.find(first, "001", "DEMO"); // the first is now used more recently than the second, within the same clock tick
    store.open("001", "DEMO");
    store.open("001", "DEMO");
    EXPECT_EQ(3u, store.size());
    EXPECT_NE(nullptr, store.find(first, "001", "DEMO"));
    EXPECT_EQ(nullptr, store.find(second, "001", "DEMO")) << "the least recently used went first";
    EXPECT_NE(first, second);
}

TEST(Lifecycle, RendezvousAndStopEndEveryWait)
{
    Lifecycle life;
    std::vector<int> positions(3);
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i)
        threads.emplace_back([&, i] { positions[i] = life.meet("k", 3, std::chrono::seconds(30)).value_or(0); });
    for (auto& t : threads)
        t.join();
    std::sort(positions.begin(), positions.end());
    EXPECT_EQ((std::vector<int>{1, 2, 3}), positions);
    EXPECT_FALSE(life.meet("k", 2, std::chrono::milliseconds(1)).has_value()) << "alone at a meeting of two";

    bool handled = false;
    life.onStop([&] { handled = true; });
    std::optional<int> cutShort = 1;
    bool slept = true;
    std::thread waiter([&] { cutShort = life.meet("other", 2, std::chrono::seconds(30)); });
    std::thread sleeper([&] { slept = life.waitFor(std::chrono::seconds(30)); });
    while (life.waiting() < 2)
        std::this_thread::yield();
    life.requestStop();
    EXPECT_TRUE(handled);
    waiter.join();
    sleeper.join();
    EXPECT_FALSE(cutShort.has_value());
    EXPECT_FALSE(slept);
    EXPECT_TRUE(life.stopping());
    EXPECT_EQ(0u, life.waiting());
    bool late = false;
    life.onStop([&] { late = true; });
    EXPECT_TRUE(late) << "a handler registered after the stop runs at once";
}

TEST(Acceptor, StopEndsTheLoopAndConnectionsArriveBlocking)
{
    Acceptor acceptor;
    const unsigned short port = acceptor.listen(0, "the test port");
    std::atomic<int> lastError{0};
    std::atomic<bool> admitted{false};
    std::thread loop([&] {
        acceptor.run([&](SOCKET s) {
            const DWORD wait = 50;
            setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
            char byte;
            if (recv(s, &byte, 1, 0) < 0)
                lastError = WSAGetLastError();
            closesocket(s);
            admitted = true;
        });
    });
    const SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    ASSERT_EQ(0, connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!admitted && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_EQ(WSAETIMEDOUT, lastError) << "a blocking socket waits for data; a non-blocking one would say WSAEWOULDBLOCK";
    acceptor.stop();
    loop.join();
    closesocket(client);

    Acceptor stoppedFirst;
    stoppedFirst.listen(0, "the test port");
    stoppedFirst.stop();
    stoppedFirst.run([](SOCKET) {});
}
