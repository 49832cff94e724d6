#include "Handles.h"

#include <mutex>
#include <unordered_map>

namespace nwrfc {
namespace {

struct Registry {
    std::mutex mutex;
    std::unordered_map<const void*, HandleKind> live;
};

Registry& registry()
{
    static Registry* r = new Registry; // never destroyed: objects may outlive static destruction
    return *r;
}

} // namespace

Handled::Handled(HandleKind kind) : m_kind(kind)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.live[this] = kind;
}

Handled::~Handled()
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.live.erase(this);
}

Handled* Handled::find(const void* handle, HandleKind kind)
{
    if (handle == nullptr)
        return nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.live.find(handle);
    if (it == r.live.end() || it->second != kind)
        return nullptr;
    return static_cast<Handled*>(const_cast<void*>(handle));
}

} // namespace nwrfc
