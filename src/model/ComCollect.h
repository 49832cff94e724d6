#pragma once
// The collections of the object model. All count positions from 1.
//
// CComCollectMapBase: an ordered list of items with an index from key to position. The key is
// read from the item when it is added (CComCollectMapName: its `name`; CComCollectMapCustom:
// a key accessor of its own). Keys compare by the user's locale (KeyCompare.h) and need not be
// unique: the index points to the newest entry of a key. An index given as a VARIANT is a
// position when it converts to a 32-bit integer (so "2" is a position), else a key.
//
// CComCollect: an ordered list without keys (table rows).
#include "KeyIndex.h"
#include "SeededAllocator.h"
#include "com/Bstr.h"
#include "com/Dispatch.h"
#include "com/Enumerator.h"
#include "com/Object.h"
#include "com/Variant.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace tolvane {

// A VARIANT index as a position, or as a key when it is not a number. The key views the
// index's own string when it is one, else the converted text held here.
struct CollectionIndex {
    bool isPosition = false;
    long position = 0; // as given, from 1
    std::wstring_view key;
    com::variant converted;
};
// False when the index converts to neither a number nor a string.
bool ReadCollectionIndex(const VARIANT& index, CollectionIndex& result);

// The key of an item: its `name` property.
struct KeyByName {
    template <class Item>
    static std::wstring Of(Item* item)
    {
        com::bstr name;
        com::check(item->get_name(name.put()));
        return name.str();
    }
};

template <class Self, class Interface, class Item, class KeyPolicy>
class CComCollectMapBase
    : public com::Object<Self, com::Dispatch<Interface>, com::SupportErrorInfo<Interface>> {
public:
    HRESULT STDMETHODCALLTYPE get_Count(long* value) override
    {
        if (!value)
            return E_POINTER;
        *value = static_cast<long>(items_.size());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE HasKey(BSTR key, VARIANT_BOOL* value) override
    {
        if (!value)
            return E_POINTER;
        return this->guard([&] { *value = index_->Contains(com::view(key)) ? VARIANT_TRUE : VARIANT_FALSE; });
    }

    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, Item** value) override
    {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        return this->guard([&]() -> HRESULT {
            size_t position = 0;
            if (HRESULT hr = Resolve(index, position); FAILED(hr))
                return hr;
            return items_[position].copy_to(value);
        });
    }

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** value) override
    {
        return this->guard([&] { return com::new_dispatch_enum(items_, this->unknown(), value); });
    }

    // The collection's own operations, behind the interface's add and remove members.

    // Appends an item; E_UNEXPECTED when it does not offer the item interface.
    HRESULT AddItem(IDispatch* item)
    {
        if (!item)
            return E_POINTER;
        return this->guard([&]() -> HRESULT {
            auto typed = com::share(item).template try_query<Item>();
            if (!typed)
                return E_UNEXPECTED;
            std::wstring key = KeyPolicy::Of(typed.get());
            Append(std::move(typed), std::move(key));
            return S_OK;
        });
    }

    // Removes the entry at an index (position or key) and rebuilds the key index from the
    // keys of the remaining items.
    HRESULT RemoveIndex(const VARIANT& index)
    {
        return this->guard([&]() -> HRESULT {
            size_t position = 0;
            if (HRESULT hr = Resolve(index, position); FAILED(hr))
                return hr;
            // The new index is complete before anything changes, so that a key that cannot be
            // read leaves the collection as it was.
            auto rebuilt = std::make_shared<KeyIndex>();
            for (size_t i = 0, to = 0; i < items_.size(); ++i) {
                if (i != position)
                    rebuilt->Set(KeyPolicy::Of(items_[i].get()), to++);
            }
            items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position));
            index_ = std::move(rebuilt);
            return S_OK;
        });
    }

    void RemoveAllItems() noexcept
    {
        items_.clear();
        index_ = EmptyIndex();
    }

    // For the program's own code.

    size_t Size() const noexcept { return items_.size(); }
    // The item at a position from 0 (no reference added).
    Item* At(size_t position) const noexcept { return items_[position].get(); }
    // The newest item of a key, or null.
    Item* Find(std::wstring_view key) const
    {
        auto found = index_->Find(key);
        return found ? items_[*found].get() : nullptr;
    }
    // Appends an item whose key the caller already knows.
    void Append(com::ptr<Item> item, std::wstring key)
    {
        items_.push_back(std::move(item));
        Writable().Set(std::move(key), items_.size() - 1);
    }
    // Fills an empty collection with `count` items made by `make(position)`, keyed by an index
    // that other collections may share.
    template <class Make>
    void Fill(size_t count, std::shared_ptr<KeyIndex> index, Make&& make)
    {
        items_.reserve(count);
        for (size_t i = 0; i < count; ++i)
            items_.push_back(make(i));
        index_ = std::move(index);
    }

protected:
    CComCollectMapBase() : index_(EmptyIndex()) {}
    // A collection whose first item array may take the room of `seed`.
    explicit CComCollectMapBase(AllocatorSeed* seed) : items_(SeededAllocator<com::ptr<Item>>(seed)), index_(EmptyIndex())
    {
    }

    HRESULT Resolve(const VARIANT& index, size_t& position) const
    {
        CollectionIndex read;
        if (!ReadCollectionIndex(index, read))
            return E_INVALIDARG;
        if (read.isPosition) {
            if (read.position < 1 || static_cast<size_t>(read.position) > items_.size())
                return E_INVALIDARG;
            position = static_cast<size_t>(read.position - 1);
            return S_OK;
        }
        auto found = index_->Find(read.key);
        if (!found)
            return E_INVALIDARG;
        position = *found;
        return S_OK;
    }

private:
    static std::shared_ptr<KeyIndex> EmptyIndex()
    {
        static const std::shared_ptr<KeyIndex> empty = std::make_shared<KeyIndex>();
        return empty;
    }

    // The index, copied first when other collections share it.
    KeyIndex& Writable()
    {
        if (index_.use_count() > 1)
            index_ = std::make_shared<KeyIndex>(*index_);
        return *index_;
    }

    std::vector<com::ptr<Item>, SeededAllocator<com::ptr<Item>>> items_;
    std::shared_ptr<KeyIndex> index_;
};

template <class Self, class Interface, class Item>
using CComCollectMapName = CComCollectMapBase<Self, Interface, Item, KeyByName>;

template <class Self, class Interface, class Item, class KeyPolicy>
using CComCollectMapCustom = CComCollectMapBase<Self, Interface, Item, KeyPolicy>;

template <class Self, class Interface, class Item>
class CComCollect : public com::Object<Self, com::Dispatch<Interface>, com::SupportErrorInfo<Interface>> {
public:
    HRESULT STDMETHODCALLTYPE get_Count(long* value) override
    {
        if (!value)
            return E_POINTER;
        *value = static_cast<long>(items_.size());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_Item(long index, Item** value) override
    {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        if (index < 1 || static_cast<size_t>(index) > items_.size())
            return E_INVALIDARG;
        return items_[static_cast<size_t>(index - 1)].copy_to(value);
    }

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** value) override
    {
        return this->guard([&] { return com::new_dispatch_enum(items_, this->unknown(), value); });
    }

    // Appends an existing item; E_UNEXPECTED when it does not offer the item interface.
    HRESULT AddItem(IUnknown* item)
    {
        if (!item)
            return E_POINTER;
        return this->guard([&]() -> HRESULT {
            auto typed = com::share(item).template try_query<Item>();
            if (!typed)
                return E_UNEXPECTED;
            items_.push_back(std::move(typed));
            return S_OK;
        });
    }

    // Removes the item at a position from 1.
    HRESULT RemoveItem(long index)
    {
        if (index < 1 || static_cast<size_t>(index) > items_.size())
            return E_INVALIDARG;
        items_.erase(items_.begin() + (index - 1));
        return S_OK;
    }

    size_t Size() const noexcept { return items_.size(); }
    Item* At(size_t position) const noexcept { return items_[position].get(); }

protected:
    void Append(com::ptr<Item> item) { items_.push_back(std::move(item)); }
    void Reserve(size_t count) { items_.reserve(items_.size() + count); }
    void Clear() noexcept { items_.clear(); }
    // Empties the collection, handing its items to the caller.
    std::vector<com::ptr<Item>> TakeAll() noexcept { return std::exchange(items_, {}); }

private:
    std::vector<com::ptr<Item>> items_;
};

} // namespace tolvane
