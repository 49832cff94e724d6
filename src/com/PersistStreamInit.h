#pragma once
// IPersistStreamInit of an ActiveX control: its persisted state in a stream (ControlCore::save).
#include "ControlPart.h"
#include "Object.h"

#include <ocidl.h>

namespace com {

template <>
struct base_interfaces<IPersistStreamInit> {
    using type = std::tuple<IPersist>;
};

class PersistStreamInit : public IPersistStreamInit, protected virtual ControlPart {
public:
    using interface_type = IPersistStreamInit;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override { return control().copy_class_id(clsid); }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return control().dirty() ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clear_dirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
};

} // namespace com
