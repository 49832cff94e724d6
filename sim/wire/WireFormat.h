#pragma once

#include "WireBuffer.h"

#include <array>
#include <cstdint>

namespace simwire {

// Every frame: "SG", the protocol version, the message type, the payload length (u32, little
// endian), then the payload. Lengths beyond maxPayload are refused before anything is read.
constexpr char magic0 = 'S';
constexpr char magic1 = 'G';
constexpr uint8_t protocolVersion = 1;
constexpr size_t headerSize = 8;
constexpr uint32_t maxPayload = 64u * 1024 * 1024;

enum class MessageType : uint8_t {
    // a partner opening the connection
    ClientHello = 0x01,
    ServerHello = 0x02,
    // a client's requests
    DescribeFunction = 0x10,
    DescribeType = 0x11,
    Call = 0x12,
    NewTid = 0x13,
    SubmitUnit = 0x14,
    ConfirmUnit = 0x15,
    Ping = 0x16,
    Ticket = 0x17,
    Bye = 0x1F,
    // the gateway's requests to a registered server
    ServerCall = 0x20,
    TransactionStep = 0x21,
    // answers, in both directions
    Ok = 0x80,
    Failure = 0x81,
};

struct FrameHeader {
    MessageType type = MessageType::Ok;
    uint32_t length = 0;
};

std::array<char, headerSize> encodeHeader(MessageType type, uint32_t length);
// Throws WireError for a wrong magic, another version, an unknown type or an oversized length.
FrameHeader decodeHeader(const char* bytes, uint32_t limit = maxPayload);
// Header and payload in one buffer, so that a frame leaves in one send.
std::string frame(MessageType type, std::string_view payload);

} // namespace simwire
