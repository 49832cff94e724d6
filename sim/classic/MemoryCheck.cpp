#include "MemoryCheck.h"

#include <windows.h>

#include <cstdint>

namespace classicrfc {
namespace {

constexpr DWORD readableProtection = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                     PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
constexpr DWORD writableProtection = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

bool accessible(const void* address, size_t size, DWORD wanted)
{
    if (address == nullptr)
        return false;
    auto at = reinterpret_cast<uintptr_t>(address);
    if (size == 0)
        return true;
    if (at + size < at)
        return false;
    const uintptr_t end = at + size;
    while (at < end) {
        MEMORY_BASIC_INFORMATION info{};
        if (VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof info) == 0)
            return false;
        if (info.State != MEM_COMMIT || (info.Protect & wanted) == 0 || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0)
            return false;
        at = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    }
    return true;
}

template <class Char>
std::optional<size_t> lengthOf(const Char* text, size_t maxChars)
{
    if (text == nullptr)
        return std::nullopt;
    // Checked one page at a time, so that a short text near the end of its region is fine.
    size_t n = 0;
    auto at = reinterpret_cast<uintptr_t>(text);
    while (n <= maxChars) {
        const uintptr_t pageEnd = (at / 4096 + 1) * 4096;
        if (!accessible(reinterpret_cast<const void*>(at), pageEnd - at, readableProtection))
            return std::nullopt;
        for (; at + sizeof(Char) <= pageEnd && n <= maxChars; at += sizeof(Char), ++n)
            if (text[n] == 0)
                return n;
        if (at < pageEnd) // a character straddling two pages
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

bool MemoryCheck::readable(const void* address, size_t size)
{
    return accessible(address, size, readableProtection);
}

bool MemoryCheck::writable(void* address, size_t size)
{
    return accessible(address, size, writableProtection);
}

std::optional<size_t> MemoryCheck::stringLength(const wchar_t* text, size_t maxChars)
{
    return lengthOf(text, maxChars);
}

std::optional<size_t> MemoryCheck::stringLength(const char* text, size_t maxChars)
{
    return lengthOf(text, maxChars);
}

} // namespace classicrfc
