#pragma once

#include <map>
#include <memory>
#include <mutex>

namespace nwrfc {

// Objects the caller creates and destroys through the API (function containers,
// transactions): kept here from creation until the matching destroy call.
template <class T>
class Owned {
public:
    static T& add(std::unique_ptr<T> object)
    {
        T& ref = *object;
        std::lock_guard lock(mutex());
        objects()[&ref] = std::move(object);
        return ref;
    }

    // False when the object was not created through add().
    static bool destroy(T& object)
    {
        std::unique_ptr<T> doomed;
        std::lock_guard lock(mutex());
        const auto it = objects().find(&object);
        if (it == objects().end())
            return false;
        doomed = std::move(it->second);
        objects().erase(it);
        return true;
    }

private:
    static std::mutex& mutex()
    {
        static std::mutex* m = new std::mutex;
        return *m;
    }
    static std::map<const T*, std::unique_ptr<T>>& objects()
    {
        static auto* o = new std::map<const T*, std::unique_ptr<T>>;
        return *o;
    }
};

} // namespace nwrfc
