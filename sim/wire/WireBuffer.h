#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace simwire {

// A frame or payload that does not follow the gateway protocol. Costs the connection it came on.
class WireError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Appends little-endian numbers and length-prefixed strings to a payload.
class WireWriter {
public:
    void u8(uint8_t v) { m_out.push_back(static_cast<char>(v)); }
    void u32(uint32_t v);
    void i64(int64_t v);
    void f64(double v);
    void text(std::string_view s);
    void boolean(bool v) { u8(v ? 1 : 0); }

    std::string& data() { return m_out; }
    std::string take() { return std::move(m_out); }

private:
    std::string m_out;
};

// Reads what WireWriter wrote; every read checks the bytes left, so a truncated or forged
// payload ends in WireError and never reads past its end.
class WireReader {
public:
    explicit WireReader(std::string_view payload) : m_in(payload) {}

    uint8_t u8();
    uint32_t u32();
    int64_t i64();
    double f64();
    std::string text();
    bool boolean() { return u8() != 0; }
    // A count of items that each take at least `minItemBytes`: refused when the rest of the
    // payload could not hold them, so a forged count cannot make the reader allocate.
    uint32_t count(size_t minItemBytes = 1);
    bool atEnd() const { return m_pos == m_in.size(); }
    void expectEnd() const;

private:
    std::string_view take(size_t n);

    std::string_view m_in;
    size_t m_pos = 0;
};

} // namespace simwire
