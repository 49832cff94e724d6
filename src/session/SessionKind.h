#pragma once
// What a session kind (classic, NetWeaver, SOAP) supplies to the common session code, and the
// threading model every kind follows. Read this before writing a kind.
//
// ---- Threads ------------------------------------------------------------------------------
// A session is an apartment-threaded object: every client call reaches it on its home thread
// (the thread of the apartment that made it). Its state (connection, error state, the call in
// flight) and the client's call object are used on that thread only. One other thread exists
// per asynchronous call, its worker, and it touches neither: it only waits for the answer.
//
//   Send      home thread     reads the client's call object, sends the request
//   Receive   worker          waits for the answer; keeps it in the transport call (CIntCall)
//   Complete  home thread     stores the answer into the client's call object
//
// A synchronous call runs all three on the home thread, one after the other.
//
// An asynchronous call is completed on the home thread by whichever comes first:
//   - the worker's ring: when it has received, it sends a notification to the home thread
//     (com::ThreadNotifier), which runs when that thread next retrieves messages, in a message
//     loop or in CoWaitForMultipleHandles;
//   - the client asking: CallActive, CallFunction, ImportCall/ImportType and the other
//     operations that need the connection first complete a call that has been received, so a
//     client that never pumps messages but polls CallActive (a script with WScript.Sleep, a C++
//     loop with Sleep) sees the call end and its results.
// Completing means: Complete(), the error state from the outcome, the connection closed if the
// partner closed it, the call forgotten (CallActive is FALSE from here), then CallFinished,
// raised once on the home thread to every sink through the Global Interface Table (each sink
// in its own apartment). The session keeps itself alive while it raises the event.
//
// Consequences a kind can rely on:
//   - a CallFinished handler may use the session freely: start the next call (synchronous or
//     not), abort, import, read a table, release the session. Nothing it can reach waits for a
//     worker that waits for it;
//   - a call object that reached the session as a proxy from another apartment works, since
//     it is only used on the thread it was received on;
//   - AbortCall (and Disconnect, and the last Release) ask the worker to end and wait for it,
//     pumping; the worker of a kind must end promptly once Abort() was called. An aborted call
//     raises no CallFinished, and its results are not stored.
//   - the connection is never used by two threads: while a call is in flight, every operation
//     that would need the connection fails with message 522.
//
// ---- What a kind supplies ----------------------------------------------------------------
// A kind T derives from ISessionImpl<T, I> and supplies:
//   bool IsConnectedNow() const                      the connection exists
//   std::unique_ptr<CIntCall> NewCall(IFunctionCall*, bool synchronous)
//                                                    one call over its transport (IntCall.h)
//   void CloseConnection() noexcept                  the partner closed the connection
//   HRESULT ImportCallFromBackend(BSTR name, VARIANT_BOOL ignoreUnsupported, IFunctionCall*)
//                                                    S_OK: a complete prototype, cached;
//                                                    S_FALSE: a prototype the client gets but
//                                                    that is not cached (the backend failed,
//                                                    the error state says why);
//                                                    a failure: nothing is handed out
//   HRESULT ImportTypeFromBackend(BSTR name, IRfcType*)
//   static constexpr bool kPrunesOptionalImports     drop unset optional imports before a call
//   static com::ErrorSource error_source()           who reports the kind's failures
//   static const CLSID& class_id()                   its coclass (IProvideClassInfo2)
// and may replace TraceCallStart(std::wstring_view). Its destructor needs no care for a call
// in flight: the common code aborts it before any destructor runs.
#include "IntCall.h"
#include "com/ErrorInfo.h"
#include "idl/Tolvane_h.h"

#include <concepts>
#include <memory>

namespace tolvane {

template <class T>
concept SessionKind = requires(T& kind, const T& constKind, IFunctionCall* call, BSTR name, VARIANT_BOOL flag,
                               IRfcType* type) {
    { constKind.IsConnectedNow() } -> std::same_as<bool>;
    { kind.NewCall(call, true) } -> std::same_as<std::unique_ptr<CIntCall>>;
    { kind.CloseConnection() } noexcept;
    { kind.ImportCallFromBackend(name, flag, call) } -> std::same_as<HRESULT>;
    { kind.ImportTypeFromBackend(name, type) } -> std::same_as<HRESULT>;
    { T::kPrunesOptionalImports } -> std::convertible_to<bool>;
    { T::error_source() } -> std::same_as<com::ErrorSource>;
    { T::class_id() } -> std::same_as<const CLSID&>;
};

} // namespace tolvane
