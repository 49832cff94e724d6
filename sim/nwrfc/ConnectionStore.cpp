#include "ConnectionStore.h"

#include <map>
#include <mutex>

namespace nwrfc {
namespace {

struct Store {
    std::mutex mutex;
    std::map<const Connection*, std::unique_ptr<Connection>> open;
};

Store& store()
{
    static Store* s = new Store;
    return *s;
}

} // namespace

Connection& ConnectionStore::add(std::unique_ptr<Connection> connection)
{
    Store& s = store();
    std::lock_guard lock(s.mutex);
    Connection& c = *connection;
    s.open[&c] = std::move(connection);
    return c;
}

void ConnectionStore::close(Connection& connection)
{
    std::unique_ptr<Connection> closing;
    {
        Store& s = store();
        std::lock_guard lock(s.mutex);
        const auto it = s.open.find(&connection);
        if (it == s.open.end())
            return;
        closing = std::move(it->second);
        s.open.erase(it);
    }
    closing.reset(); // says goodbye to the gateway outside the lock
}

} // namespace nwrfc
