#pragma once
// Aggregation: an object of ours made part of an outer object. The outer object keeps the
// inner unknown that create_aggregated() hands out and alone decides how long the part lives;
// every other interface of the part speaks for the outer object (QueryInterface, AddRef and
// Release go to the outer unknown), so clients see one object.
//
//   {&CLSID_Thing, &com::create_instance<CThing>, &com::create_aggregated<CThing>}
//
// The class itself needs nothing for it: Aggregate<T> holds a T whose IUnknown delegates, and
// is itself the inner unknown with a count of its own. When that count reaches zero the part
// counts on the inner unknown again (pinned at 1), so that its final_release and destructor
// may pass itself around without reaching an outer object that is already going.
#include "Object.h"

namespace com {

template <class T>
class Aggregate final : public IUnknown {
public:
    explicit Aggregate(IUnknown* outer) : part_(outer) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (!IsEqualIID(iid, IID_IUnknown))
            return part_.T::QueryInterface(iid, out); // counts on the outer object, as it must
        *out = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG remaining = --references_;
        if (remaining == 0) {
            references_ = 1;
            part_.count_on(this);
            if constexpr (detail::has_final_release<T>)
                part_.final_release();
            delete this;
        }
        return remaining;
    }

private:
    class Part final : public T {
    public:
        explicit Part(IUnknown* outer) : outer_(outer) {}
        void count_on(IUnknown* unknown) noexcept { outer_ = unknown; }

        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
        {
            return outer_->QueryInterface(iid, out);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return outer_->AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return outer_->Release(); }

    private:
        IUnknown* outer_; // not owned: the outer object owns us
    };

    std::atomic<ULONG> references_{1};
    Part part_;
};

// IClassFactory::CreateInstance with an outer object: the inner unknown of a new part, which
// is all an aggregating object may ask for.
template <class T>
HRESULT create_aggregated(IUnknown* outer, REFIID iid, void** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!outer)
        return create_instance<T>(iid, out);
    if (!IsEqualIID(iid, IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    return guard(ErrorSource{}, [&] {
        *out = static_cast<IUnknown*>(new Aggregate<T>(outer));
        return S_OK;
    });
}

} // namespace com
