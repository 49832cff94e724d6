#include "NWRfcLibrary.h"

#include <atomic>
#include <mutex>

namespace nwrfc {
namespace {

constexpr wchar_t kLibraryName[] = L"sapnwrfc.dll";

std::mutex g_bindLock;
std::atomic<const EntryPoints*> g_bound{nullptr};

template <class Pointer>
bool Resolve(HMODULE module, Pointer& entry, const char* name, LoadFailure& failure)
{
    FARPROC address = GetProcAddress(module, name);
    if (!address) {
        failure = {std::wstring(name, name + strlen(name)), GetLastError()};
        return false;
    }
    entry = reinterpret_cast<Pointer>(reinterpret_cast<void*>(address));
    return true;
}

bool ResolveAll(HMODULE module, EntryPoints& table, LoadFailure& failure)
{
#define NWRFC_RESOLVE_ENTRY(name, result, arguments)  \
    if (!Resolve(module, table.name, #name, failure)) \
        return false;
    NWRFC_ENTRY_POINTS(NWRFC_RESOLVE_ENTRY)
#undef NWRFC_RESOLVE_ENTRY
    return true;
}

} // namespace

const EntryPoints* Library::Bind(LoadFailure& failure)
{
    if (const EntryPoints* bound = g_bound.load())
        return bound;
    std::lock_guard lock(g_bindLock);
    if (const EntryPoints* bound = g_bound.load())
        return bound;
    HMODULE module = LoadLibraryW(kLibraryName);
    if (!module) {
        failure = {kLibraryName, GetLastError()};
        return nullptr;
    }
    // Never freed once bound: the table lives as long as the process.
    auto* table = new EntryPoints;
    if (!ResolveAll(module, *table, failure)) {
        delete table;
        FreeLibrary(module);
        return nullptr;
    }
    g_bound = table;
    return table;
}

const EntryPoints* Library::Bound() noexcept { return g_bound.load(); }

} // namespace nwrfc
