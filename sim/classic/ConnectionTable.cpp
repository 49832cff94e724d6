#include "ConnectionTable.h"

#include <map>
#include <mutex>
#include <set>

namespace classicrfc {
namespace {

struct Table {
    std::mutex mutex;
    std::map<RFC_HANDLE, std::shared_ptr<Connection>> open;
    RFC_HANDLE next = 1;
};

Table& table()
{
    static Table* t = new Table;
    return *t;
}

thread_local std::set<RFC_HANDLE> usedHere;

} // namespace

RFC_HANDLE ConnectionTable::add(std::shared_ptr<Connection> connection)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    if (t.next == RFC_HANDLE_NULL)
        ++t.next;
    const RFC_HANDLE handle = t.next++;
    connection->setHandle(handle);
    t.open[handle] = std::move(connection);
    usedHere.insert(handle);
    return handle;
}

std::shared_ptr<Connection> ConnectionTable::find(RFC_HANDLE handle)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.open.find(handle);
    if (it == t.open.end())
        return nullptr;
    usedHere.insert(handle);
    return it->second;
}

std::shared_ptr<Connection> ConnectionTable::remove(RFC_HANDLE handle)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    usedHere.erase(handle);
    const auto it = t.open.find(handle);
    if (it == t.open.end())
        return nullptr;
    auto connection = std::move(it->second);
    t.open.erase(it);
    return connection;
}

std::vector<RFC_HANDLE> ConnectionTable::usedByThisThread()
{
    return {usedHere.begin(), usedHere.end()};
}

} // namespace classicrfc
