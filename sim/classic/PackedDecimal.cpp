#include "PackedDecimal.h"

#include <algorithm>
#include <cstring>

namespace classicrfc {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\0'))
        s.remove_suffix(1);
    return s;
}

// Rounds the digit string `all` (no point) by dropping `drop` digits from its end.
std::string roundDropping(std::string all, size_t drop)
{
    if (drop == 0)
        return all;
    const bool up = all[all.size() - drop] >= '5';
    all.resize(all.size() - drop);
    if (up) {
        size_t i = all.size();
        while (i > 0 && all[i - 1] == '9')
            all[--i] = '0';
        if (i == 0)
            all.insert(all.begin(), '1');
        else
            ++all[i - 1];
    }
    return all;
}

} // namespace

PackedDecimal::Status PackedDecimal::toText(const uint8_t* bcd, size_t length, unsigned decimals, std::string& text)
{
    if (length == 0)
        return Status::Invalid;
    std::string digits;
    for (size_t i = 0; i < length; ++i) {
        const unsigned high = bcd[i] >> 4, low = bcd[i] & 0xF;
        if (high > 9 || (i + 1 < length && low > 9))
            return Status::Invalid;
        digits += static_cast<char>('0' + high);
        if (i + 1 < length)
            digits += static_cast<char>('0' + low);
    }
    // A field filled with zero bytes (the usual initial value of a caller's buffer) reads as 0.
    const unsigned sign = bcd[length - 1] & 0xF;
    if (sign != 0 && sign < 0xA)
        return Status::Invalid;
    const bool negative = sign == 0xB || sign == 0xD;
    if (decimals >= digits.size())
        digits.insert(0, decimals - digits.size() + 1, '0');
    std::string whole = digits.substr(0, digits.size() - decimals);
    const std::string fraction = digits.substr(digits.size() - decimals);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    text = (negative && !zero ? "-" : "") + whole + (decimals > 0 ? "." + fraction : "");
    return Status::Ok;
}

PackedDecimal::Status PackedDecimal::fromText(std::string_view text, int& decimals, uint8_t* bcd, size_t length)
{
    std::string_view s = trim(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s = trim(s.substr(1));
    } else if (!s.empty() && (s.back() == '-' || s.back() == '+')) {
        negative = s.back() == '-';
        s = trim(s.substr(0, s.size() - 1));
    }
    const size_t point = s.find_first_of(".,");
    const std::string_view whole = s.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : s.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || !std::all_of(whole.begin(), whole.end(), isDigit) ||
        !std::all_of(fraction.begin(), fraction.end(), isDigit))
        return Status::Invalid;
    std::string all = std::string(whole) + std::string(fraction);
    if (decimals < 0)
        decimals = static_cast<int>(fraction.size());
    else if (static_cast<size_t>(decimals) >= fraction.size())
        all.append(static_cast<size_t>(decimals) - fraction.size(), '0');
    else
        all = roundDropping(all, fraction.size() - static_cast<size_t>(decimals));
    all.erase(0, std::min(all.find_first_not_of('0'), all.size()));
    const size_t capacity = length * 2 - 1;
    if (length == 0 || all.size() > capacity)
        return Status::TooLarge;
    all.insert(0, capacity - all.size(), '0');
    const bool zero = all.find_first_not_of('0') == std::string::npos;
    std::memset(bcd, 0, length);
    for (size_t i = 0; i < capacity; ++i) {
        const auto digit = static_cast<uint8_t>(all[i] - '0');
        bcd[i / 2] |= i % 2 == 0 ? static_cast<uint8_t>(digit << 4) : digit;
    }
    bcd[length - 1] |= negative && !zero ? 0xD : 0xC;
    return Status::Ok;
}

} // namespace classicrfc
