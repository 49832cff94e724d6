#include "DestinationTrace.h"

#include "Text.h"

namespace nwrfc {
namespace {

std::mutex& mutex()
{
    static std::mutex* m = new std::mutex;
    return *m;
}

std::map<std::string, unsigned>& levels()
{
    static auto* l = new std::map<std::string, unsigned>;
    return *l;
}

} // namespace

void DestinationTrace::set(const std::string& destination, unsigned level)
{
    std::lock_guard lock(mutex());
    levels()[upper(destination)] = level;
}

unsigned DestinationTrace::get(const std::string& destination, unsigned fallback)
{
    std::lock_guard lock(mutex());
    const auto it = levels().find(upper(destination));
    return it == levels().end() ? fallback : it->second;
}

} // namespace nwrfc
