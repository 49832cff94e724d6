#pragma once
// Class objects: one entry per creatable class in the module's class table, and the factory
// that DllGetClassObject hands out for it.
#include "Object.h"

#include <span>

namespace com {

using Creator = HRESULT (*)(REFIID iid, void** out) noexcept;
// Creates the object as part of an outer object (see Aggregate.h).
using AggregateCreator = HRESULT (*)(IUnknown* outer, REFIID iid, void** out) noexcept;

struct ClassEntry {
    const CLSID* clsid;
    Creator create; // null while the class is not built: its class object is not available
    AggregateCreator create_aggregated = nullptr; // null: the class cannot be aggregated
};

class ClassFactory : public Object<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(const ClassEntry& entry) noexcept : entry_(entry) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ClassEntry entry_;
};

// DllGetClassObject over a class table.
HRESULT get_class_object(std::span<const ClassEntry> classes, REFCLSID clsid, REFIID iid, void** out) noexcept;
// A new object of a class in the table, made directly (not through its class object), or
// CLASS_E_CLASSNOTAVAILABLE when the table has no such class built.
HRESULT create_object(std::span<const ClassEntry> classes, REFCLSID clsid, REFIID iid, void** out) noexcept;

} // namespace com
