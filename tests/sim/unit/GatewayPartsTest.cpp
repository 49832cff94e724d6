// The gateway's frames and values refuse what does not fit before using it, and its TID store
// runs a unit once even when two connections submit it at the same time.
#include "gateway/TidStore.h"

#include "WireDescription.h"
#include "WireFormat.h"
#include "WireMessages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace simwire;

TEST(GatewayParts, HeadersAreCheckedBeforeThePayloadIsRead)
{
    const auto good = encodeHeader(MessageType::Call, 5);
    EXPECT_EQ(5u, decodeHeader(good.data()).length);
    struct Case {
        std::string bytes;
        const char* what;
    } cases[] = {{"XG\x01\x12\x00\x00\x00\x00", "not a gateway frame"},
                 {std::string("SG\x02\x12\x00\x00\x00\x00", 8), "protocol version 2"},
                 {std::string("SG\x01\x55\x00\x00\x00\x00", 8), "unknown message type"},
                 {std::string("SG\x01\x12\xFF\xFF\xFF\x7F", 8), "exceeds the limit"}};
    for (const Case& c : cases) {
        try {
            decodeHeader(c.bytes.data());
            ADD_FAILURE() << c.what;
        } catch (const WireError& e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find(c.what)) << e.what();
        }
    }
}

TEST(GatewayParts, ValuesSurviveTheRoundTripAndForgeriesAreRefused)
{
    WireValue table = WireValue::table({"A", "B"});
    table.rows.push_back({WireValue::text("x"), WireValue::bytes(std::string("\0\xFF", 2))});
    WireValue structure = WireValue::structure();
    structure.fields.emplace_back("T", table);
    structure.fields.emplace_back("S", WireValue::text("ümlaut"));
    const CallRequest call{"Z_F", {{"P", structure}}, {"Q"}};
    const std::string payload = encode(call);
    WireReader in(payload);
    const CallRequest back = readCallRequest(in);
    EXPECT_TRUE(in.atEnd());
    ASSERT_EQ(1u, back.inputs.size());
    const WireValue* t = back.inputs[0].second.field("T");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(std::string("\0\xFF", 2), t->rows.at(0).at(1).scalar);
    EXPECT_EQ("ümlaut", back.inputs[0].second.field("S")->scalar);
    EXPECT_EQ(std::vector<std::string>{"Q"}, back.inactive);

    for (size_t cut = 0; cut < payload.size(); ++cut) {
        WireReader truncated(std::string_view(payload).substr(0, cut));
        EXPECT_THROW(readCallRequest(truncated), WireError) << "cut at " << cut;
    }
    WireWriter forged;
    forged.u8(4);           // a table
    forged.u32(1);          // one column
    forged.text("A");
    forged.u32(100000000);  // rows the payload cannot hold
    WireReader rows(forged.data());
    EXPECT_THROW(readValue(rows), WireError);
}

TEST(GatewayParts, ConcurrentSubmitsOfOneTidRunItOnce)
{
    sapsim::TidStore tids;
    const std::string tid = tids.newTid();
    EXPECT_EQ(24u, tid.size());
    EXPECT_NE(tid, tids.newTid());
    std::atomic<int> runs{0};
    auto submit = [&] {
        tids.runOnce(tid, [&] {
            ++runs;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        });
    };
    std::thread a(submit), b(submit);
    a.join();
    b.join();
    EXPECT_EQ(1, runs);
    EXPECT_THROW(tids.runOnce("FAILS", [] { throw std::runtime_error("unit failed"); }), std::runtime_error);
    EXPECT_TRUE(tids.runOnce("FAILS", [] {})) << "a failed unit runs again";
    tids.confirm(tid);
    EXPECT_TRUE(tids.runOnce(tid, [] {})) << "a confirmed TID is forgotten";
}
