#pragma once
// com::Enumerator<IEnum, Item, Copy>: one implementation of the IEnumXXX shape (Next, Skip,
// Reset, Clone) over a snapshot of items, for IEnumVARIANT (_NewEnum of every collection),
// IEnumConnections and IEnumConnectionPoints. The enumerator keeps its source alive.
// Items added to the source later are not seen; Next and Skip return S_FALSE at the end.
#include "Object.h"
#include "Variant.h"

#include <ocidl.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace com {

// How an item is stored and handed out: copy(out, stored) initialises *out.
struct CopyVariant {
    using stored = variant;
    static HRESULT copy(VARIANT* out, const variant& item) noexcept { return item.copy_to(out); }
};
struct CopyConnection {
    struct stored {
        ptr<IUnknown> sink;
        DWORD cookie = 0;
    };
    static HRESULT copy(CONNECTDATA* out, const stored& item) noexcept
    {
        out->dwCookie = item.cookie;
        return item.sink.copy_to(&out->pUnk);
    }
};
template <class I>
struct CopyInterface {
    using stored = ptr<I>;
    static HRESULT copy(I** out, const ptr<I>& item) noexcept { return item.copy_to(out); }
};

template <class IEnum, class Item, class Copy>
class Enumerator : public Object<Enumerator<IEnum, Item, Copy>, IEnum> {
public:
    using stored = typename Copy::stored;

    Enumerator(std::vector<stored> items, ptr<IUnknown> source)
        : items_(std::make_shared<const std::vector<stored>>(std::move(items))), source_(std::move(source))
    {
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override
    {
        if (!out || (count > 1 && !fetched))
            return E_POINTER;
        ULONG n = 0;
        while (n < count && position_ < items_->size()) {
            HRESULT hr = Copy::copy(&out[n], (*items_)[position_]);
            if (FAILED(hr))
                return hr;
            ++n;
            ++position_;
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const size_t left = items_->size() - position_;
        position_ += std::min<size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return this->guard([&] {
            auto copy = make<Enumerator>(items_, source_);
            copy->position_ = position_;
            *out = copy.detach();
        });
    }

    Enumerator(std::shared_ptr<const std::vector<stored>> items, ptr<IUnknown> source)
        : items_(std::move(items)), source_(std::move(source))
    {
    }

private:
    std::shared_ptr<const std::vector<stored>> items_;
    ptr<IUnknown> source_;
    size_t position_ = 0;
};

using VariantEnumerator = Enumerator<IEnumVARIANT, VARIANT, CopyVariant>;
using ConnectionEnumerator = Enumerator<IEnumConnections, CONNECTDATA, CopyConnection>;
using ConnectionPointEnumerator =
    Enumerator<IEnumConnectionPoints, IConnectionPoint*, CopyInterface<IConnectionPoint>>;

// _NewEnum of a collection: an IEnumVARIANT over `items`, keeping `source` alive.
inline HRESULT new_enum(std::vector<variant> items, IUnknown* source, IUnknown** out)
{
    require_out(out);
    *out = nullptr;
    auto enumerator = make<VariantEnumerator>(std::move(items), share(source));
    *out = static_cast<IEnumVARIANT*>(enumerator.detach());
    return S_OK;
}

// _NewEnum of a collection of automation objects held as com::ptr<T>, T deriving from IDispatch.
template <class Objects>
HRESULT new_dispatch_enum(const Objects& objects, IUnknown* source, IUnknown** out)
{
    std::vector<variant> items;
    items.reserve(objects.size());
    for (const auto& object : objects)
        items.emplace_back(static_cast<IDispatch*>(object.get()));
    return new_enum(std::move(items), source, out);
}

} // namespace com
