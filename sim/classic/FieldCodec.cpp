#include "FieldCodec.h"

#include "ApiFailure.h"
#include "MemoryCheck.h"
#include "PackedDecimal.h"
#include "StringStore.h"
#include "WideText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace classicrfc {
namespace {

using simwire::WireValue;

constexpr size_t maxStringBytes = 64u * 1024 * 1024;

[[noreturn]] void refuse(const FieldLayout& f, const std::string& why)
{
    conversionFailure("field " + f.name + ": " + why);
}

template <class T>
T load(const uint8_t* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T>
void store(uint8_t* p, const T& v)
{
    std::memcpy(p, &v, sizeof v);
}

uint32_t chars(const FieldLayout& f)
{
    return f.length / 2;
}

std::wstring readChars(const uint8_t* p, const FieldLayout& f)
{
    std::wstring s(chars(f), L' ');
    std::memcpy(s.data(), p, s.size() * sizeof(wchar_t));
    return s;
}

std::wstring trimmed(std::wstring s, bool leading)
{
    const auto blank = [](wchar_t c) { return c == L' ' || c == 0; };
    while (!s.empty() && blank(s.back()))
        s.pop_back();
    size_t start = 0;
    while (leading && start < s.size() && blank(s[start]))
        ++start;
    return s.substr(start);
}

void writeChars(uint8_t* p, const FieldLayout& f, std::wstring_view text, wchar_t fill, bool rightAligned)
{
    const size_t n = chars(f);
    if (text.size() > n)
        text = rightAligned ? text.substr(text.size() - n) : text.substr(0, n);
    std::wstring out(n, fill);
    std::copy(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(rightAligned ? n - text.size() : 0));
    std::memcpy(p, out.data(), n * sizeof(wchar_t));
}

std::string shortest(double v)
{
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, end);
}

int64_t parseInteger(const FieldLayout& f, const std::string& text, int64_t low, int64_t high)
{
    std::string s = text;
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    if (s.empty())
        return 0;
    if (s.size() > 1 && s.back() == '-') { // the sign behind, as ABAP writes it
        s.pop_back();
        s.insert(s.begin(), '-');
    }
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size())
        refuse(f, "'" + text + "' is not an integer");
    if (v < low || v > high)
        refuse(f, text + " is out of range");
    return v;
}

double parseFloat(const FieldLayout& f, const std::string& text)
{
    if (text.empty())
        return 0;
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        refuse(f, "'" + text + "' is not a number");
    return v;
}

std::string hexBytes(const FieldLayout& f, const std::string& text)
{
    if (text.size() % 2 != 0)
        refuse(f, "hexadecimal text of odd length");
    std::string out;
    for (size_t i = 0; i < text.size(); i += 2) {
        unsigned v = 0;
        const auto [end, ec] = std::from_chars(text.data() + i, text.data() + i + 2, v, 16);
        if (ec != std::errc() || end != text.data() + i + 2)
            refuse(f, "'" + text + "' is not hexadecimal");
        out += static_cast<char>(v);
    }
    return out;
}

std::string bytesOf(const FieldLayout& f, const WireValue& v)
{
    return v.kind == WireValue::Kind::Bytes ? v.scalar : hexBytes(f, v.scalar);
}

WireValue readPacked(const uint8_t* p, const FieldLayout& f)
{
    std::string text;
    if (PackedDecimal::toText(p, f.length, f.decimals, text) != PackedDecimal::Status::Ok)
        refuse(f, "the field holds no packed number");
    return WireValue::text(text);
}

void writePacked(uint8_t* p, const FieldLayout& f, const std::string& text)
{
    int decimals = f.fixedDecimals ? static_cast<int>(f.decimals) : -1;
    const auto status = PackedDecimal::fromText(text.empty() ? "0" : text, decimals, p, f.length);
    if (status == PackedDecimal::Status::TooLarge)
        refuse(f, "'" + text + "' has too many digits for " + std::to_string(f.length) + " bytes");
    if (status != PackedDecimal::Status::Ok)
        refuse(f, "'" + text + "' is not a number");
}

WireValue readString(const uint8_t* p, const FieldLayout& f)
{
    const auto text = load<const char*>(p);
    if (text == nullptr)
        return WireValue::text("");
    const auto length = MemoryCheck::stringLength(text, maxStringBytes);
    if (!length)
        invalidParameter("field " + f.name + " holds no readable string");
    return WireValue::text(std::string(text, *length));
}

WireValue readXString(const uint8_t* p, const FieldLayout& f)
{
    const auto x = load<RFC_XSTRING>(p);
    if (x.length < 0 || (x.length > 0 && !MemoryCheck::readable(x.content, static_cast<size_t>(x.length))))
        invalidParameter("field " + f.name + " holds no readable byte string");
    return WireValue::bytes(x.length == 0 ? std::string() : std::string(reinterpret_cast<const char*>(x.content), static_cast<size_t>(x.length)));
}

unsigned char* copyOut(const std::string& bytes)
{
    unsigned char* block = StringStore::allocate(bytes.size());
    if (block == nullptr)
        throw std::bad_alloc();
    std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

void requireScalar(const FieldLayout& f, const WireValue& v)
{
    if (v.kind != WireValue::Kind::Text && v.kind != WireValue::Kind::Bytes)
        refuse(f, "a structure or table where a single value belongs");
}

} // namespace

std::optional<WireValue> FieldCodec::read(const uint8_t* base, const FieldLayout& f)
{
    const uint8_t* p = base + f.offset;
    switch (f.letter) {
    case 'C': return WireValue::text(utf8(trimmed(readChars(p, f), false)));
    case 'N':
    case 'D':
    case 'T': return WireValue::text(utf8(trimmed(readChars(p, f), true)));
    case 'X': return WireValue::bytes(std::string(reinterpret_cast<const char*>(p), f.length));
    case 'P': return readPacked(p, f);
    case 'F': {
        const double v = load<double>(p);
        if (!std::isfinite(v))
            refuse(f, "the field holds no finite number");
        return WireValue::text(shortest(v));
    }
    case 'I': return WireValue::text(std::to_string(load<int32_t>(p)));
    case 's': return WireValue::text(std::to_string(load<int16_t>(p)));
    case 'b': return WireValue::text(std::to_string(*p));
    case 'g': return readString(p, f);
    case 'y': return readXString(p, f);
    case 'u': return readRow(p, *f.nested);
    default: return std::nullopt;
    }
}

void FieldCodec::write(uint8_t* base, const FieldLayout& f, const WireValue& v)
{
    uint8_t* p = base + f.offset;
    if (f.letter == 'u') {
        writeRow(p, *f.nested, v);
        return;
    }
    requireScalar(f, v);
    switch (f.letter) {
    case 'C': writeChars(p, f, wide(v.scalar), L' ', false); return;
    case 'N': writeChars(p, f, wide(v.scalar), L'0', true); return;
    case 'D':
    case 'T': writeChars(p, f, v.scalar.empty() ? std::wstring() : wide(v.scalar), L'0', false); return;
    case 'X': {
        std::string bytes = bytesOf(f, v);
        bytes.resize(f.length, '\0');
        std::memcpy(p, bytes.data(), f.length);
        return;
    }
    case 'P': writePacked(p, f, v.scalar); return;
    case 'F': store(p, parseFloat(f, v.scalar)); return;
    case 'I': store(p, static_cast<int32_t>(parseInteger(f, v.scalar, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()))); return;
    case 's': store(p, static_cast<int16_t>(parseInteger(f, v.scalar, -32768, 32767))); return;
    case 'b': *p = static_cast<uint8_t>(parseInteger(f, v.scalar, 0, 255)); return;
    case 'g': store(p, copyOut(v.scalar)); return;
    case 'y': {
        const std::string bytes = bytesOf(f, v);
        store(p, RFC_XSTRING{static_cast<RFC_INT>(bytes.size()), copyOut(bytes)});
        return;
    }
    default: return;
    }
}

WireValue FieldCodec::readRow(const uint8_t* row, const RowLayout& layout)
{
    WireValue s = WireValue::structure();
    for (const FieldLayout& f : layout.fields)
        if (auto v = read(row, f))
            s.fields.emplace_back(f.name, std::move(*v));
    return s;
}

void FieldCodec::writeRow(uint8_t* row, const RowLayout& layout, const WireValue& structure)
{
    if (structure.kind != WireValue::Kind::Structure)
        conversionFailure("structure " + layout.name + ": a single value or table where a structure belongs");
    for (const auto& [name, value] : structure.fields)
        if (const FieldLayout* f = layout.field(name))
            write(row, *f, value);
}

void FieldCodec::initialise(uint8_t* row, const RowLayout& layout)
{
    for (const FieldLayout& f : layout.fields) {
        if (f.letter == 'u')
            initialise(row + f.offset, *f.nested);
        else if (f.letter == 'C')
            writeChars(row + f.offset, f, {}, L' ', false);
        else if (f.letter == 'N' || f.letter == 'D' || f.letter == 'T')
            writeChars(row + f.offset, f, {}, L'0', false);
    }
}

} // namespace classicrfc
