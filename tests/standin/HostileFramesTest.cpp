// Frames that break the gateway protocol cost their own connection, never sapsim.
#include "StandIn.h"

#include "FrameSocket.h"
#include "WireMessages.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace standin;
using namespace simwire;

namespace {

std::unique_ptr<FrameSocket> connectGateway()
{
    auto s = FrameSocket::connect("127.0.0.1", gatewayPort(), std::chrono::seconds(10));
    s->setTransferTimeout(std::chrono::seconds(20));
    return s;
}

std::string header(uint8_t version, uint8_t type, uint32_t length)
{
    WireWriter w;
    w.u8('S');
    w.u8('G');
    w.u8(version);
    w.u8(type);
    w.u32(length);
    return w.take();
}

// True when sapsim closes the connection (within the socket's time limit) without answering.
bool closedWithoutAnswer(FrameSocket& s)
{
    try {
        s.receive();
        return false;
    } catch (const ConnectionLost&) {
        return true;
    }
}

std::string hello()
{
    ClientHello h;
    h.client = "001";
    h.user = "DEMO";
    h.password = "demo1234";
    return frame(MessageType::ClientHello, encode(h));
}

void loggedOn(FrameSocket& s)
{
    s.sendRaw(hello());
    ASSERT_EQ(MessageType::Ok, s.receive().type);
}

} // namespace

TEST(HostileFrames, BrokenFramesCloseTheirConnection)
{
    WireWriter forgedCount;
    forgedCount.u32(0xFFFFFFFF);
    WireWriter deep;
    deep.text("STFC_CONNECTION");
    deep.u32(1);
    deep.text("REQUTEXT");
    for (int i = 0; i < 100; ++i) {
        deep.u8(3);
        deep.u32(1);
        deep.text("F");
    }
    const struct Case {
        const char* what;
        bool logonFirst;
        std::string bytes;
        int answersFirst; // well-formed frames before the broken one
    } cases[] = {
        {"not a frame", false, "GET / HTTP/1.1\r\nHost: x\r\n\r\n", 0},
        {"another protocol version", false, header(2, 0x01, 0), 0},
        {"unknown message type", false, header(1, 0x7F, 0), 0},
        {"length beyond every limit", false, header(1, 0x01, 0xFFFFFFFF), 0},
        {"oversized hello", false, header(1, 0x01, 2u << 20), 0},
        {"forged item count", false, frame(MessageType::ClientHello, forgedCount.take()), 0},
        {"request before logon", false, frame(MessageType::Ping, ""), 0},
        {"server message from a client", true, frame(MessageType::ServerCall, ""), 0},
        {"values nested too deep", true, frame(MessageType::Call, deep.take()), 0},
        {"name longer than its message", true, frame(MessageType::Ping, "") + header(1, 0x10, 3) + "abc", 1},
    };
    for (const Case& c : cases) {
        auto s = connectGateway();
        if (c.logonFirst) {
            loggedOn(*s);
        }
        s->sendRaw(c.bytes);
        for (int i = 0; i < c.answersFirst; ++i) {
            EXPECT_EQ(MessageType::Ok, s->receive().type) << c.what;
        }
        EXPECT_TRUE(closedWithoutAnswer(*s)) << c.what;
    }
    Connection still(logon());
    EXPECT_TRUE(still) << "sapsim serves on: " << still.openError().text();
}

TEST(HostileFrames, TruncatedFramesAndVanishingClients)
{
    {
        auto s = connectGateway();
        s->sendRaw(header(1, 0x01, 100) + "only ten b");
    } // gone in the middle of a frame
    {
        auto s = connectGateway();
        loggedOn(*s);
        CallRequest sleep{"Z_SIM_SLEEP", {{"MILLISECONDS", WireValue::text("300")}}, {}};
        s->send(MessageType::Call, encode(sleep));
    } // gone while its call runs: the answer finds nobody, the connection is cleaned up
    Connection c(logon());
    ASSERT_TRUE(c) << c.openError().text();
    Function f(c.handle(), L"RFC_PING");
    Error e;
    EXPECT_EQ(RFC_OK, f.invoke(c.handle(), e)) << "sapsim serves on: " << e.text();
}
