#include "ConnectionTable.h"

#include <windows.h>

#include <map>
#include <mutex>
#include <set>

namespace classicrfc {
namespace {

// The threads that used a handle are kept with it (rather than in thread-local sets, whose
// destructors would run at thread exit even after the library was unloaded).
struct Entry {
    std::shared_ptr<Connection> connection;
    std::set<DWORD> usedBy;
};

struct Table {
    std::mutex mutex;
    std::map<RFC_HANDLE, Entry> open;
    RFC_HANDLE next = 1;
};

Table& table()
{
    static Table* t = new Table;
    return *t;
}

} // namespace

RFC_HANDLE ConnectionTable::add(std::shared_ptr<Connection> connection)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    if (t.next == RFC_HANDLE_NULL)
        ++t.next;
    const RFC_HANDLE handle = t.next++;
    connection->setHandle(handle);
    t.open[handle] = {std::move(connection), {GetCurrentThreadId()}};
    return handle;
}

std::shared_ptr<Connection> ConnectionTable::find(RFC_HANDLE handle)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.open.find(handle);
    if (it == t.open.end())
        return nullptr;
    it->second.usedBy.insert(GetCurrentThreadId());
    return it->second.connection;
}

std::shared_ptr<Connection> ConnectionTable::remove(RFC_HANDLE handle)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.open.find(handle);
    if (it == t.open.end())
        return nullptr;
    auto connection = std::move(it->second.connection);
    t.open.erase(it);
    return connection;
}

std::vector<RFC_HANDLE> ConnectionTable::usedByThisThread()
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    std::vector<RFC_HANDLE> used;
    for (const auto& [handle, entry] : t.open)
        if (entry.usedBy.count(GetCurrentThreadId()) != 0)
            used.push_back(handle);
    return used;
}

} // namespace classicrfc
