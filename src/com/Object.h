#pragma once
// The object root of every COM class: reference counting, QueryInterface from the list of
// interfaces the class names, and creation through make<T>().
//
//   class CThing : public com::Object<CThing, com::Dispatch<IThing>, com::SupportErrorInfo<IThing>>
//
// The reference count starts at 1, so make<T>() returns an owner without an AddRef/Release
// dance. When the last reference goes, a class's `void final_release() noexcept` runs first,
// while the whole object (derived parts included) still exists; then the destructor. The count
// is pinned at 1 during both, so code there may pass `this` around.
// Every live object holds a module lock, which DllCanUnloadNow reports.
// An interface-table entry may declare `bool entry_available() const noexcept`; while it
// answers false, QueryInterface does not hand the entry out (an optional capability that
// could not be set up).
#include "Boundary.h"
#include "ComPtr.h"
#include "Module.h"

#include <oaidl.h>

#include <atomic>
#include <tuple>
#include <type_traits>

namespace com {

// Interfaces that an interface derives from besides IUnknown and IDispatch (which are found
// automatically), so that QueryInterface answers for them too. Specialise for derived
// interfaces: template <> struct base_interfaces<IRfcSession> { using type = std::tuple<ISession>; };
template <class I>
struct base_interfaces {
    using type = std::tuple<>;
};

namespace detail {

template <class E>
struct interface_of {
    using type = E;
};
template <class E>
    requires requires { typename E::interface_type; }
struct interface_of<E> {
    using type = typename E::interface_type;
};

template <class I, class Tuple>
struct matches_base;
template <class I, class... Bases>
struct matches_base<I, std::tuple<Bases...>> {
    static bool test(REFIID iid) noexcept { return (... || IsEqualIID(iid, __uuidof(Bases))); }
};

template <class I>
bool answers_for(REFIID iid) noexcept
{
    if (IsEqualIID(iid, __uuidof(I)))
        return true;
    if constexpr (std::is_base_of_v<IDispatch, I>)
        if (IsEqualIID(iid, IID_IDispatch))
            return true;
    return matches_base<I, typename base_interfaces<I>::type>::test(iid);
}

template <class T>
concept has_implementation_id = requires {
    { T::kImplementationId } -> std::convertible_to<GUID>;
};

template <class T>
concept has_error_source = requires {
    { T::error_source() } -> std::convertible_to<ErrorSource>;
};

template <class T>
concept has_final_release = requires(T& object) {
    { object.final_release() } noexcept;
};

template <class E>
concept has_availability = requires(const E& entry) {
    { entry.entry_available() } noexcept -> std::convertible_to<bool>;
};

} // namespace detail

template <class Self, class... Entries>
class Object : public Entries... {
    using First = std::tuple_element_t<0, std::tuple<Entries...>>;

public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *out = static_cast<IUnknown*>(static_cast<First*>(this));
        } else if (is_implementation_id(iid)) {
            *out = static_cast<Self*>(this);
        } else {
            (void)(... || try_entry<Entries>(iid, out));
        }
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG remaining = --references_;
        if (remaining == 0) {
            references_ = 1;
            if constexpr (detail::has_final_release<Self>)
                static_cast<Self*>(this)->final_release();
            delete this;
        }
        return remaining;
    }

    // The identity of this object.
    IUnknown* unknown() noexcept { return static_cast<IUnknown*>(static_cast<First*>(this)); }

protected:
    Object() noexcept { module_lock(); }
    virtual ~Object() { module_unlock(); }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // Runs an automation method body inside the exception boundary, reporting as this class.
    template <class Body>
    HRESULT guard(Body&& body) noexcept
    {
        return com::guard(reporting_source(), std::forward<Body>(body));
    }

    // The class's own error_source() when it declares one: the Source and GUID of its errors.
    static ErrorSource reporting_source() noexcept
    {
        if constexpr (detail::has_error_source<Self>)
            return Self::error_source();
        else
            return {};
    }

private:
    static bool is_implementation_id(REFIID iid) noexcept
    {
        if constexpr (detail::has_implementation_id<Self>)
            return IsEqualIID(iid, Self::kImplementationId);
        else
            return false;
    }

    template <class E>
    bool try_entry(REFIID iid, void** out) noexcept
    {
        using I = typename detail::interface_of<E>::type;
        if (!detail::answers_for<I>(iid))
            return false;
        if constexpr (detail::has_availability<E>)
            if (!static_cast<const E*>(this)->entry_available())
                return false;
        *out = static_cast<I*>(static_cast<E*>(this));
        return true;
    }

    std::atomic<ULONG> references_{1};
};

// Our own implementation behind an interface pointer, or null when the object is not ours
// (a client's own implementation, a proxy from another apartment). A class opts in by
// declaring a private `static constexpr GUID kImplementationId`, which QueryInterface answers
// with the object itself; nothing outside the module knows the id.
template <class T>
ptr<T> implementation(IUnknown* object) noexcept
{
    void* self = nullptr;
    if (!object || FAILED(object->QueryInterface(T::kImplementationId, &self)))
        return nullptr;
    return ptr<T>::attach(static_cast<T*>(self));
}

// Creates an object of an implementation class; the owner holds its first reference.
template <class T, class... Args>
ptr<T> make(Args&&... args)
{
    return ptr<T>::attach(new T(std::forward<Args>(args)...));
}

// Creates an object and hands out the interface `iid` (for class factories).
template <class T>
HRESULT create_instance(REFIID iid, void** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return guard(ErrorSource{}, [&] { return make<T>()->QueryInterface(iid, out); });
}

// ISupportErrorInfo answering yes for the listed interfaces only.
template <class... Interfaces>
class SupportErrorInfo : public ISupportErrorInfo {
public:
    using interface_type = ISupportErrorInfo;
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override
    {
        return (... || IsEqualIID(iid, __uuidof(Interfaces))) ? S_OK : S_FALSE;
    }
};

} // namespace com
