#pragma once
// com::FreeThreaded: an interface-table entry that makes a class free-threaded. It answers
// IMarshal with the system's free-threaded marshaler, so that marshalling one of our objects into
// another apartment of the process (the Global Interface Table, an event argument, a call
// through a proxy) hands over the object itself instead of a proxy: no round trips back into
// the apartment that made it.
//
// Only for classes whose objects hold no interface pointers of one apartment, and whose users
// do not touch one object from two threads at once: data objects (calls, parameters, fields,
// types) passed to a handler while their owner waits for it, and objects that guard their own
// state. One marshaler serves every object (it works on the pointer it is given), so an object
// pays one entry in its interface table for it.
#include <objidl.h>

namespace com {

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
    bool entry_available() const noexcept { return marshaler() != nullptr; }

private:
    static IMarshal* marshaler() noexcept;
};

} // namespace com
