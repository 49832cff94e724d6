#include "WireFormat.h"

namespace simwire {
namespace {

bool knownType(uint8_t t)
{
    switch (static_cast<MessageType>(t)) {
    case MessageType::ClientHello:
    case MessageType::ServerHello:
    case MessageType::DescribeFunction:
    case MessageType::DescribeType:
    case MessageType::Call:
    case MessageType::NewTid:
    case MessageType::SubmitUnit:
    case MessageType::ConfirmUnit:
    case MessageType::Ping:
    case MessageType::Ticket:
    case MessageType::Bye:
    case MessageType::ServerCall:
    case MessageType::TransactionStep:
    case MessageType::Ok:
    case MessageType::Failure: return true;
    }
    return false;
}

} // namespace

std::array<char, headerSize> encodeHeader(MessageType type, uint32_t length)
{
    return {magic0, magic1, static_cast<char>(protocolVersion), static_cast<char>(type),
            static_cast<char>(length & 0xFF), static_cast<char>((length >> 8) & 0xFF),
            static_cast<char>((length >> 16) & 0xFF), static_cast<char>((length >> 24) & 0xFF)};
}

FrameHeader decodeHeader(const char* bytes, uint32_t limit)
{
    if (bytes[0] != magic0 || bytes[1] != magic1)
        throw WireError("not a gateway frame");
    if (static_cast<uint8_t>(bytes[2]) != protocolVersion)
        throw WireError("protocol version " + std::to_string(static_cast<uint8_t>(bytes[2])) + " is not supported");
    if (!knownType(static_cast<uint8_t>(bytes[3])))
        throw WireError("unknown message type " + std::to_string(static_cast<uint8_t>(bytes[3])));
    WireReader lengthReader(std::string_view(bytes + 4, 4));
    FrameHeader h{static_cast<MessageType>(bytes[3]), lengthReader.u32()};
    if (h.length > limit)
        throw WireError("frame of " + std::to_string(h.length) + " bytes exceeds the limit of " + std::to_string(limit));
    return h;
}

std::string frame(MessageType type, std::string_view payload)
{
    const auto header = encodeHeader(type, static_cast<uint32_t>(payload.size()));
    std::string out;
    out.reserve(headerSize + payload.size());
    out.append(header.data(), header.size());
    out.append(payload.data(), payload.size());
    return out;
}

} // namespace simwire
