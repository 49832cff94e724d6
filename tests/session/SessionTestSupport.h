#pragma once
// What the session tests share: a backend with an echo module, and the client's view of a
// session (its flags, its error, its event connection).
#include "TestSession.h"

#include <gtest/gtest.h>

#include <string>

namespace test {

inline const HRESULT kNotConnected = static_cast<HRESULT>(0x80040208);
inline const HRESULT kCallActive = static_cast<HRESULT>(0x8004020A);
inline const HRESULT kInvalidName = static_cast<HRESULT>(0x8004021A);

// A backend with Z_ECHO (importing TEXT copied to exporting ECHO) and Z_FAIL (an exception).
struct EchoBackend : StandardBackend {
    EchoBackend();
};

com::ptr<IFunctionCall> Call(ISession* session, const wchar_t* name);
// An imported Z_ECHO call with TEXT set.
com::ptr<IFunctionCall> Echo(ISession* session, const wchar_t* text);
std::wstring EchoOf(IFunctionCall* call);

bool ErrorFlag(ISession* session);
bool CallActive(ISession* session);
std::wstring ErrorMessage(ISession* session);

} // namespace test
