// Internal tables: rows of raw bytes, numbered from 1. Every handle is looked up before use; a
// stale or forged one gives the function's failure value.
#include "MemoryCheck.h"
#include "TableRegistry.h"

#include "include/ClassicRfcAbi.h"

#include <cstring>
#include <new>

using namespace classicrfc;

namespace {

constexpr unsigned maxRowLength = 256u * 1024 * 1024;

std::wstring nameOf(const SAP_UC* name)
{
    const auto length = MemoryCheck::stringLength(name, 256);
    return length ? std::wstring(name, *length) : std::wstring();
}

template <class Result, class Body>
Result safely(Result failure, Body&& body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return failure;
    }
}

} // namespace

extern "C" {

ITAB_H SAP_API ItCreateU(SAP_UC* name, unsigned leng, unsigned occu, unsigned /*memo*/)
{
    if (leng == 0 || leng > maxRowLength)
        return nullptr;
    return safely<ITAB_H>(nullptr, [&] { return TableRegistry::add(std::make_unique<InternalTable>(nameOf(name), leng, occu)); });
}

int SAP_API ItDeleteU(ITAB_H itab)
{
    return TableRegistry::destroy(itab) ? 0 : -1;
}

int SAP_API ItFreeU(ITAB_H itab)
{
    InternalTable* t = TableRegistry::find(itab);
    if (t == nullptr)
        return -1;
    t->clear();
    return 0;
}

void* SAP_API ItAppLineU(ITAB_H itab)
{
    InternalTable* t = TableRegistry::find(itab);
    return t == nullptr ? nullptr : safely<void*>(nullptr, [&] { return t->append(); });
}

void* SAP_API ItInsLineU(ITAB_H itab, unsigned line)
{
    InternalTable* t = TableRegistry::find(itab);
    return t == nullptr ? nullptr : safely<void*>(nullptr, [&] { return t->insert(line); });
}

void* SAP_API ItGetLineU(ITAB_H itab, unsigned line)
{
    InternalTable* t = TableRegistry::find(itab);
    return t == nullptr ? nullptr : t->row(line);
}

void* SAP_API ItGupLineU(ITAB_H itab, unsigned line)
{
    return ItGetLineU(itab, line);
}

int SAP_API ItCpyLineU(ITAB_H itab, unsigned line, void* dest)
{
    InternalTable* t = TableRegistry::find(itab);
    const uint8_t* row = t == nullptr ? nullptr : t->row(line);
    if (row == nullptr || !MemoryCheck::writable(dest, t->rowLength()))
        return -1;
    std::memcpy(dest, row, t->rowLength());
    return 0;
}

int SAP_API ItPutLineU(ITAB_H itab, unsigned line, void* src)
{
    InternalTable* t = TableRegistry::find(itab);
    uint8_t* row = t == nullptr ? nullptr : t->row(line);
    if (row == nullptr || !MemoryCheck::readable(src, t->rowLength()))
        return -1;
    std::memmove(row, src, t->rowLength());
    return 0;
}

int SAP_API ItDelLineU(ITAB_H itab, unsigned line)
{
    InternalTable* t = TableRegistry::find(itab);
    if (t == nullptr)
        return -1;
    return t->remove(line) ? 0 : 1;
}

unsigned SAP_API ItFillU(ITAB_H itab)
{
    const InternalTable* t = TableRegistry::find(itab);
    return t == nullptr ? 0 : t->size();
}

unsigned SAP_API ItLengU(ITAB_H itab)
{
    const InternalTable* t = TableRegistry::find(itab);
    return t == nullptr ? 0 : t->rowLength();
}

} // extern "C"
