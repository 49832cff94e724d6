#pragma once

#include "ApiFailure.h"

#include <string>

namespace nwrfc {

enum class HandleKind { Connection, FunctionDesc, TypeDesc, Data, Transaction };

// Base of every object the API hands out. The object registers itself while it lives, so that
// a handle the caller passes in is checked before it is used: a stale, forged or null handle
// gives RFC_INVALID_HANDLE, never a crash.
class Handled {
public:
    explicit Handled(HandleKind kind);
    virtual ~Handled();
    Handled(const Handled&) = delete;
    Handled& operator=(const Handled&) = delete;

    HandleKind handleKind() const { return m_kind; }

    // The live object behind a handle, if it is of that kind.
    static Handled* find(const void* handle, HandleKind kind);

private:
    HandleKind m_kind;
};

// The object behind a handle or RFC_INVALID_HANDLE naming `what`.
template <class T>
T& resolve(const void* handle, HandleKind kind, const char* what)
{
    Handled* h = Handled::find(handle, kind);
    T* object = dynamic_cast<T*>(h);
    if (object == nullptr)
        invalidHandle(std::string("invalid ") + what + " handle");
    return *object;
}

template <class Handle>
Handle handleOf(Handled& object)
{
    return reinterpret_cast<Handle>(&object);
}

} // namespace nwrfc
