#pragma once
// soapkit::FreeThreaded: an interface-table entry that makes a class free-threaded. It answers
// IMarshal with the system's free-threaded marshaler, so that marshalling one of our objects
// into another apartment of the process (the Global Interface Table, a call through a proxy)
// hands over the object itself instead of a proxy. Only for classes that guard their own state
// and hold no interface pointers of other apartments.
#include "com/ComPtr.h"

#include <objidl.h>

namespace soapkit {

class FreeThreaded : public IMarshal {
public:
    using interface_type = IMarshal;

    HRESULT STDMETHODCALLTYPE GetUnmarshalClass(REFIID iid, void* object, DWORD context, void* reserved, DWORD flags,
                                                CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetMarshalSizeMax(REFIID iid, void* object, DWORD context, void* reserved, DWORD flags,
                                                DWORD* size) override;
    HRESULT STDMETHODCALLTYPE MarshalInterface(IStream* stream, REFIID iid, void* object, DWORD context, void* reserved,
                                               DWORD flags) override;
    HRESULT STDMETHODCALLTYPE UnmarshalInterface(IStream* stream, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE ReleaseMarshalData(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE DisconnectObject(DWORD reserved) override;

    // Without the system's marshaler the object does not answer IMarshal at all, so that COM
    // marshals it the standard way instead of failing.
    bool entry_available() const noexcept { return marshaler_ != nullptr; }

protected:
    FreeThreaded();

private:
    IMarshal* marshaler() const noexcept { return marshaler_.get(); }

    // The marshaler works on the interface pointer it is given, so one that is not aggregated
    // into this object serves it.
    com::ptr<IMarshal> marshaler_;
};

} // namespace soapkit
