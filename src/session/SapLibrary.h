#pragma once
// The explicit binding of one of SAP's RFC libraries (sapnwrfc.dll, librfc32u.dll).
//
// Why explicit: the component must load and work on machines that lack either library (each
// session kind needs only its own), so nothing links against them. A library is loaded on first
// use, by name on the search path, and every entry point is looked up at once into one table.
// A missing file or entry point is an ordinary failure of that first use (a session's Connect,
// a server's Serve), never a failure at load time or object creation, and a later attempt tries
// again. Once bound, a library stays for the life of the process: connections and descriptions
// made by it may live as long.
//
// A table is a struct of function pointers with a static
//   bool Resolve(HMODULE, Table&, LibraryLoadFailure&)
// that fills every member through ResolveEntry.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

namespace tolvane {

// What keeps a library from being bound: the file or an entry point missing.
struct LibraryLoadFailure {
    std::wstring what; // the file name, or the name of the missing entry point
    DWORD error = 0;   // GetLastError of the failed step
};

template <class Pointer>
bool ResolveEntry(HMODULE module, Pointer& entry, const char* name, LibraryLoadFailure& failure)
{
    FARPROC address = GetProcAddress(module, name);
    if (!address) {
        failure = {std::wstring(name, name + std::strlen(name)), GetLastError()};
        return false;
    }
    entry = reinterpret_cast<Pointer>(reinterpret_cast<void*>(address));
    return true;
}

template <class Table>
class SapLibrary {
public:
    // The entry points, binding `file` on the first call; nullptr with `failure` filled when it
    // cannot be bound (a later call tries again).
    static const Table* Bind(const wchar_t* file, LibraryLoadFailure& failure)
    {
        if (const Table* bound = s_bound.load())
            return bound;
        std::lock_guard lock(s_bindLock);
        if (const Table* bound = s_bound.load())
            return bound;
        HMODULE module = LoadLibraryW(file);
        if (!module) {
            failure = {file, GetLastError()};
            return nullptr;
        }
        // Never freed once bound: the table lives as long as the process.
        auto* table = new Table;
        if (!Table::Resolve(module, *table, failure)) {
            delete table;
            FreeLibrary(module);
            return nullptr;
        }
        s_bound = table;
        return table;
    }

    // The entry points once bound, else nullptr.
    static const Table* Bound() noexcept { return s_bound.load(); }

private:
    static inline std::mutex s_bindLock;
    static inline std::atomic<const Table*> s_bound{nullptr};
};

} // namespace tolvane

// Declares the members of an entry-point table from an X-macro list of
// X(name, result, (arguments)), and its Resolve.
#define SAP_LIBRARY_DECLARE_ENTRY(name, result, arguments) result(SAP_API* name) arguments = nullptr;
#define SAP_LIBRARY_RESOLVE_ENTRY(name, result, arguments)          \
    if (!::tolvane::ResolveEntry(module, table.name, #name, failure)) \
        return false;
#define SAP_LIBRARY_TABLE(Table, LIST)                                                                          \
    struct Table {                                                                                              \
        LIST(SAP_LIBRARY_DECLARE_ENTRY)                                                                         \
        static bool Resolve(HMODULE module, Table& table, ::tolvane::LibraryLoadFailure& failure)               \
        {                                                                                                       \
            LIST(SAP_LIBRARY_RESOLVE_ENTRY)                                                                     \
            return true;                                                                                        \
        }                                                                                                       \
    }
