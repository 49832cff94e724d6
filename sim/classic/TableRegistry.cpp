#include "TableRegistry.h"

#include <map>
#include <mutex>

namespace classicrfc {
namespace {

struct Tables {
    std::mutex mutex;
    std::map<const void*, std::unique_ptr<InternalTable>> live;
};

Tables& tables()
{
    static Tables* t = new Tables; // never destroyed: tables may outlive static destruction
    return *t;
}

} // namespace

ITAB_H TableRegistry::add(std::unique_ptr<InternalTable> table)
{
    Tables& t = tables();
    std::lock_guard lock(t.mutex);
    InternalTable* raw = table.get();
    t.live[raw] = std::move(table);
    return raw;
}

InternalTable* TableRegistry::find(ITAB_H handle)
{
    if (handle == nullptr)
        return nullptr;
    Tables& t = tables();
    std::lock_guard lock(t.mutex);
    const auto it = t.live.find(handle);
    return it == t.live.end() ? nullptr : it->second.get();
}

bool TableRegistry::destroy(ITAB_H handle)
{
    std::unique_ptr<InternalTable> doomed;
    Tables& t = tables();
    std::lock_guard lock(t.mutex);
    const auto it = t.live.find(handle);
    if (it == t.live.end())
        return false;
    doomed = std::move(it->second);
    t.live.erase(it);
    return true;
}

} // namespace classicrfc
