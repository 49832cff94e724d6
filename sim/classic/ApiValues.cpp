// Packed numbers as text and back; the library's strings and byte strings.
#include "ApiBoundary.h"
#include "MemoryCheck.h"
#include "PackedDecimal.h"
#include "StringStore.h"
#include "WideText.h"

#include <algorithm>
#include <cstring>

using namespace classicrfc;

namespace {

constexpr int ok = 0, outputTooSmall = 2, invalidInput = 3, invalidLength = 4;
constexpr int maxPackedBytes = 16;
constexpr int maxTextLength = 1024;

} // namespace

extern "C" {

int SAP_API RfcConvertCharToBcdU(RFC_CHAR* in, int inLength, int* decimals, RFC_BCD* out, int outLength)
{
    if (inLength < 0 || inLength > maxTextLength || (inLength > 0 && !MemoryCheck::readable(in, static_cast<size_t>(inLength) * 2)) ||
        !MemoryCheck::writable(decimals, sizeof *decimals) || *decimals > 31)
        return invalidLength;
    if (outLength < 1 || outLength > maxPackedBytes || !MemoryCheck::writable(out, static_cast<size_t>(outLength)))
        return outputTooSmall;
    std::wstring text(in, static_cast<size_t>(inLength));
    text.resize(std::min(text.find(L'\0'), text.size()));
    const auto status = PackedDecimal::fromText(utf8(text), *decimals, out, static_cast<size_t>(outLength));
    return static_cast<int>(status);
}

// The text right-aligned in outLength - 1 characters with the sign last ("123.45-", "123.45 "),
// then a terminating null.
int SAP_API RfcConvertBcdToCharU(RFC_BCD* in, int inLength, int decimals, RFC_CHAR* out, int outLength)
{
    if (inLength < 1 || inLength > maxPackedBytes || decimals < 0 || decimals > 31 || !MemoryCheck::readable(in, static_cast<size_t>(inLength)))
        return invalidLength;
    if (outLength < 2 || !MemoryCheck::writable(out, static_cast<size_t>(outLength) * sizeof(RFC_CHAR)))
        return outputTooSmall;
    std::string text;
    if (PackedDecimal::toText(in, static_cast<size_t>(inLength), static_cast<unsigned>(decimals), text) != PackedDecimal::Status::Ok)
        return invalidInput;
    const bool negative = text.front() == '-';
    const std::string digits = (negative ? text.substr(1) : text) + (negative ? "-" : " ");
    const size_t width = static_cast<size_t>(outLength) - 1;
    if (digits.size() > width)
        return outputTooSmall;
    std::fill(out, out + width - digits.size(), L' ');
    std::copy(digits.begin(), digits.end(), out + (width - digits.size()));
    out[width] = 0;
    return ok;
}

RFC_STRING SAP_API RfcAllocStringU(unsigned size)
{
    return StringStore::allocate(size);
}

void SAP_API RfcFreeStringU(RFC_STRING string)
{
    StringStore::release(string);
}

RFC_RC SAP_API RfcResizeXStringU(RFC_XSTRING* xstring, RFC_INT length)
{
    return guarded([&] {
        if (!MemoryCheck::writable(xstring, sizeof *xstring))
            invalidParameter("the byte string is not writable");
        if (length < 0)
            invalidParameter("a negative length");
        const RFC_XSTRING old = *xstring;
        const bool ours = StringStore::owns(old.content);
        unsigned char* fresh = nullptr;
        if (length > 0) {
            fresh = StringStore::allocate(static_cast<size_t>(length));
            if (fresh == nullptr)
                throw std::bad_alloc();
            if (ours && old.length > 0)
                std::memcpy(fresh, old.content, static_cast<size_t>(std::min(old.length, length)));
        }
        if (ours)
            StringStore::release(old.content);
        *xstring = RFC_XSTRING{length, fresh};
        return RFC_OK;
    });
}

} // extern "C"
