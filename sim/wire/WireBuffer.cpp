#include "WireBuffer.h"

#include <cstring>

namespace simwire {

void WireWriter::u32(uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        m_out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void WireWriter::i64(int64_t v)
{
    const auto u = static_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        m_out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void WireWriter::f64(double v)
{
    int64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    i64(bits);
}

void WireWriter::text(std::string_view s)
{
    u32(static_cast<uint32_t>(s.size()));
    m_out.append(s.data(), s.size());
}

std::string_view WireReader::take(size_t n)
{
    if (n > m_in.size() - m_pos)
        throw WireError("truncated payload");
    const std::string_view part = m_in.substr(m_pos, n);
    m_pos += n;
    return part;
}

uint8_t WireReader::u8()
{
    return static_cast<uint8_t>(take(1)[0]);
}

uint32_t WireReader::u32()
{
    const std::string_view b = take(4);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(b[static_cast<size_t>(i)]);
    return v;
}

int64_t WireReader::i64()
{
    const std::string_view b = take(8);
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(b[static_cast<size_t>(i)]);
    return static_cast<int64_t>(v);
}

double WireReader::f64()
{
    const int64_t bits = i64();
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::string WireReader::text()
{
    const uint32_t n = u32();
    return std::string(take(n));
}

uint32_t WireReader::count(size_t minItemBytes)
{
    const uint32_t n = u32();
    if (minItemBytes > 0 && n > (m_in.size() - m_pos) / minItemBytes)
        throw WireError("item count larger than the payload");
    return n;
}

void WireReader::expectEnd() const
{
    if (!atEnd())
        throw WireError("unexpected bytes after the message");
}

} // namespace simwire
