#pragma once
// IPersistStorage of an ActiveX control: the same persisted state as in a stream
// (ControlCore::save), kept in the stream "Contents" of the container's storage. The control
// keeps no storage open between calls, so there is nothing to hand off.
#include "ControlPart.h"
#include "Object.h"

namespace com {

template <>
struct base_interfaces<IPersistStorage> {
    using type = std::tuple<IPersist>;
};

class PersistStorage : public IPersistStorage, protected virtual ControlPart {
public:
    using interface_type = IPersistStorage;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override { return control().copy_class_id(clsid); }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return control().dirty() ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL same_as_load) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* new_storage) override;
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }
};

} // namespace com
