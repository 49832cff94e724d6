#pragma once
// Class objects: one entry per creatable class in the module's class table, and the factory
// that DllGetClassObject hands out for it.
#include "Object.h"

#include <span>

namespace com {

using Creator = HRESULT (*)(REFIID iid, void** out) noexcept;

struct ClassEntry {
    const CLSID* clsid;
    Creator create; // null while the class is not built: its class object is not available
};

class ClassFactory : public Object<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(Creator create) noexcept : create_(create) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    Creator create_;
};

// DllGetClassObject over a class table.
HRESULT get_class_object(std::span<const ClassEntry> classes, REFCLSID clsid, REFIID iid, void** out) noexcept;

} // namespace com
