#pragma once
// ISessionImpl<T, I>: everything the three session kinds have in common, written once.
//
// T is the session kind (classic, NetWeaver, SOAP) and I its interface (derived from ISession).
// What T supplies, and the threading model of calls, are in SessionKind.h.
//
// Calls: the checks come in a fixed order (not connected 520, a call in flight 522, no
// function name 538) and leave the session as it was. A synchronous call runs to its end on
// the session's thread. An asynchronous one is sent there, received by a BackgroundCall, and
// completed on the session's thread again, which then raises CallFinished once. An aborted call
// raises no event. Every wait for a worker pumps.
#include "BackgroundCall.h"
#include "IntCall.h"
#include "LogonData.h"
#include "Messages.h"
#include "OptionMap.h"
#include "RfcError.h"
#include "SessionKind.h"
#include "SessionRules.h"
#include "TableReader.h"
#include "Trace.h"
#include "com/ClassInfo.h"
#include "com/ConnectionPoint.h"
#include "com/ThreadNotifier.h"
#include "model/FunctionCall.h"
#include "model/RfcType.h"
#include "model/TypeCache.h"

#include <atomic>
#include <memory>
#include <system_error>

// The session interfaces extend ISession; QueryInterface answers for it too.
template <>
struct com::base_interfaces<IRfcSession> {
    using type = std::tuple<ISession>;
};
template <>
struct com::base_interfaces<ISoapSession> {
    using type = std::tuple<ISession>;
};

namespace tolvane {

// Operations common to all sessions report their failures as the classic session does.
inline com::ErrorSource CommonSessionSource() noexcept { return {&CLSID_RfcSession, &IID_NULL}; }

template <class T, class I>
class ISessionImpl : public com::Object<T, com::Dispatch<I>, com::SupportErrorInfo<I>, com::ConnectionPointContainer,
                                        com::ProvideClassInfo<T>> {
public:
    static const IID& source_interface() noexcept { return DIID__SessionEvents; }
    // The error group of an ABAP exception in the error state; a kind that keeps its library's
    // own groups names that library's.
    static constexpr long kApplicationExceptionGroup = RFCERROR_APPLICATION_EXCEPTION;

    // ---- ISession: the members every kind shares -------------------------------------------

    HRESULT STDMETHODCALLTYPE get_SystemID(BSTR* value) override { return m_systemId.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_SystemID(BSTR value) override
    {
        return Common([&] { m_systemId = com::bstr(com::view(value)); });
    }
    HRESULT STDMETHODCALLTYPE get_LogonData(ILogonData** value) override { return m_logonData.copy_to(value); }

    // Hands out the error record and clears the error flag (also without an out-pointer).
    HRESULT STDMETHODCALLTYPE get_ErrorInfo(IRfcError** value) override
    {
        m_error = false;
        return m_errorInfo.copy_to(value);
    }
    HRESULT STDMETHODCALLTYPE get_Error(VARIANT_BOOL* value) override
    {
        if (!value)
            return E_POINTER;
        *value = m_error ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IsConnected(VARIANT_BOOL* value) override
    {
        if (!value)
            return E_POINTER;
        *value = Self().IsConnectedNow() ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    // A call that has been received is completed first, so a client that polls sees it end.
    HRESULT STDMETHODCALLTYPE get_CallActive(VARIANT_BOOL* value) override
    {
        if (!value)
            return E_POINTER;
        CompleteReceivedCall();
        *value = CallInFlight() ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_Option(BSTR name, BSTR* value) override { return m_options.Get(name, value); }
    HRESULT STDMETHODCALLTYPE put_Option(BSTR name, BSTR value) override
    {
        return Common([&] {
            m_options.Put(name, value);
            ostrel::ApplyTraceOption(com::view(name), com::view(value), L"Tolvane");
        });
    }

    HRESULT STDMETHODCALLTYPE get_TypeCache(ITypeCache** value) override
    {
        return Common([&] {
            com::require_out(value);
            return TypeCache()->QueryInterface(IID_ITypeCache, reinterpret_cast<void**>(value));
        });
    }
    HRESULT STDMETHODCALLTYPE put_TypeCache(ITypeCache* value) override
    {
        if (!value)
            return E_POINTER;
        m_typeCache = com::share(value);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE DecodeInternalError(long errcode, BSTR* text) override
    {
        return Common([&] {
            com::require_out(text);
            const std::wstring message = tolvane::DecodeInternalError(errcode);
            *text = message.empty() ? nullptr : com::bstr(message).detach();
        });
    }

    HRESULT STDMETHODCALLTYPE CreateCall(IFunctionCall** call) override
    {
        return Common([&] { return com::ptr<IFunctionCall>(com::make<CFunctionCall>()).copy_to(call); });
    }
    HRESULT STDMETHODCALLTYPE CreateType(IRfcType** type) override
    {
        return Common([&] { return com::ptr<IRfcType>(com::make<CRfcType>()).copy_to(type); });
    }
    HRESULT STDMETHODCALLTYPE About() override { return ShowAboutBox(); }

    HRESULT STDMETHODCALLTYPE GetTableReader(BSTR tableName, ITableReader** reader) override
    {
        return Common([&] {
            com::require_out(reader);
            auto created = com::make<CTableReader>(this->template query_self<ISession>(), com::view(tableName));
            return com::ptr<ITableReader>(created).copy_to(reader);
        });
    }

    // ---- metadata through the type cache -------------------------------------------------

    HRESULT STDMETHODCALLTYPE ImportCall(BSTR moduleName, VARIANT_BOOL ignoreUnsupportedParams,
                                         IFunctionCall** call) override
    {
        return Common([&]() -> HRESULT {
            ostrel::TraceFormat(L"ImportCall('%s')...\n", std::wstring(com::view(moduleName)).c_str());
            com::ptr<ITypeCache> cache = TypeCache();
            com::ptr<IFunctionCall> found;
            HRESULT hr = cache->GetFunction(moduleName, found.put());
            if (FAILED(hr))
                return hr;
            if (hr == S_OK && found) {
                ostrel::TraceFormat(L"retrieved from cache\n");
                return found.copy_to(call);
            }
            RequireIdleConnection();
            auto imported = com::make<CFunctionCall>();
            imported->SetFunction(com::view(moduleName));
            hr = Self().ImportCallFromBackend(moduleName, ignoreUnsupportedParams, imported.get());
            if (FAILED(hr))
                return hr;
            // S_FALSE: the backend could not describe the function; the client still gets the
            // prototype (with the error state), but later imports must ask the backend again.
            if (hr == S_OK)
                com::check(cache->AddFunction(moduleName, imported.get()));
            return com::ptr<IFunctionCall>(imported).copy_to(call);
        });
    }

    HRESULT STDMETHODCALLTYPE ImportType(BSTR typeName, IRfcType** type) override
    {
        return Common([&]() -> HRESULT {
            com::ptr<ITypeCache> cache = TypeCache();
            com::ptr<IRfcType> found;
            HRESULT hr = cache->GetType(typeName, found.put());
            if (FAILED(hr))
                return hr;
            if (hr == S_OK && found)
                return found.copy_to(type);
            RequireIdleConnection();
            auto imported = com::make<CRfcType>();
            hr = Self().ImportTypeFromBackend(typeName, imported.get());
            if (FAILED(hr))
                return hr;
            com::check(cache->AddType(typeName, imported.get()));
            return com::ptr<IRfcType>(imported).copy_to(type);
        });
    }

    // ---- calls ----------------------------------------------------------------------------

    HRESULT STDMETHODCALLTYPE CallFunction(IFunctionCall* call, VARIANT_BOOL synchronous) override
    {
        return this->guard([&] {
            CompleteReceivedCall();
            if (!Self().IsConnectedNow())
                throw MessageError(msg::NotConnected);
            if (CallInFlight())
                throw MessageError(msg::CallAlreadyActive);
            if (!call)
                throw com::hresult_error(E_POINTER);
            com::bstr name;
            com::check(call->get_Function(name.put()));
            if (name.empty())
                throw MessageError(msg::InvalidFunctionName);
            Self().TraceCallStart(name.view());
            if constexpr (T::kPrunesOptionalImports)
                PruneOptionalImports(call);

            // Only exactly VARIANT_TRUE is synchronous: a script's 1 runs in the background.
            const bool runHere = synchronous == VARIANT_TRUE;
            std::unique_ptr<CIntCall> transport = Self().NewCall(call, runHere);
            if (!transport->Send()) {
                SetErrorState(transport->Outcome());
                FailWithItsMessage(transport->Outcome());
                return;
            }
            if (runHere) {
                RunHere(*transport);
                FailWithItsMessage(transport->Outcome());
            } else {
                RunInBackground(std::move(transport));
            }
        });
    }

    HRESULT STDMETHODCALLTYPE AbortCall() override
    {
        return this->guard([&] { AbortActiveCall(); });
    }

    // ---- password and Unicode operations, built on calls -----------------------------------

    HRESULT STDMETHODCALLTYPE CheckPasswordExpired(VARIANT_BOOL* expired) override
    {
        return Common([&]() -> HRESULT {
            com::require_out(expired);
            *expired = VARIANT_FALSE;
            auto call = com::make<CFunctionCall>();
            call->SetFunction(L"SUSR_LOGIN_CHECK_RFC");
            if (HRESULT hr = this->CallFunction(call.get(), VARIANT_TRUE); FAILED(hr))
                return hr;
            if (!m_error)
                return S_FALSE;
            m_error = false; // read through ErrorInfo, which clears the flag
            const CRfcError::Contents error = m_errorInfo->Get();
            if (error.group == T::kApplicationExceptionGroup && error.message == L"PASSWORD_EXPIRED") {
                *expired = VARIANT_TRUE;
                return S_OK;
            }
            m_error = true;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE ChangePassword(BSTR newPassword) override
    {
        return Common([&]() -> HRESULT {
            if (m_logonData->Password().empty())
                throw MessageError(msg::OldPasswordRequired);
            com::ptr<IFunctionCall> call;
            if (HRESULT hr = this->ImportCall(com::bstr(L"SUSR_USER_CHANGE_PASSWORD_RFC").get(), VARIANT_TRUE,
                                              call.put());
                FAILED(hr))
                return hr;
            com::ptr<IRfcParameters> importing;
            com::check(call->get_Importing(importing.put()));
            SetImport(importing.get(), L"PASSWORD", m_logonData->Password().get());
            SetImport(importing.get(), L"NEW_PASSWORD", newPassword);
            return this->CallFunction(call.get(), VARIANT_TRUE);
        });
    }

    HRESULT STDMETHODCALLTYPE CheckUnicodeSupport(VARIANT_BOOL* unicode) override
    {
        return Common([&]() -> HRESULT {
            com::require_out(unicode);
            *unicode = VARIANT_FALSE;
            com::ptr<IFunctionCall> call;
            if (HRESULT hr = this->ImportCall(com::bstr(L"SLDAG_CHECK_FOR_UNICODE").get(), VARIANT_TRUE, call.put());
                FAILED(hr))
                return hr;
            if (HRESULT hr = this->CallFunction(call.get(), VARIANT_TRUE); FAILED(hr))
                return hr;
            com::ptr<IRfcParameters> exporting;
            com::check(call->get_Exporting(exporting.put()));
            com::ptr<IRfcParameter> flag;
            com::check(exporting->get_Item(com::variant(L"UNICODE").get(), flag.put()));
            com::variant value, text;
            com::check(flag->get_value(value.put()));
            if (SUCCEEDED(value.try_as(VT_BSTR, text)) && com::view(V_BSTR(text.addr())) == L"1")
                *unicode = VARIANT_TRUE;
            return S_OK;
        });
    }

    // The last reference is gone: a call in flight ends before any destructor runs, while
    // everything its worker may use still exists.
    void final_release() noexcept { AbortActiveCall(); }

protected:
    ISessionImpl() : m_logonData(com::make<CLogonData>()), m_errorInfo(com::make<CRfcError>())
    {
        static_assert(SessionKind<T>, "a session kind supplies what SessionKind.h lists");
        this->add_connection_point(m_events);
    }
    ~ISessionImpl() = default;

    T& Self() noexcept { return static_cast<T&>(*this); }

    // The default trace at the start of a call; kinds may trace their own.
    void TraceCallStart(std::wstring_view name) { ostrel::TraceFormat(L"calling module '%s'\n", std::wstring(name).c_str()); }

    // Ends a call in flight as AbortCall does: no CallFinished, its results not stored.
    void AbortActiveCall() noexcept
    {
        std::unique_ptr<BackgroundCall> aborted = std::move(m_background);
        if (!aborted) {
            ostrel::TraceFormat(L"IRfcSession->AbortRfc(): No RFC Call to abort\n");
            return;
        }
        aborted->Abort();
        OnCallFinished(aborted->Call());
        aborted.reset();
        ostrel::TraceFormat(L"IRfcSession->AbortRfc(): RFC successfully aborted\n");
    }

    // Completes an asynchronous call whose answer has arrived; see SessionKind.h.
    void CompleteReceivedCall() noexcept
    {
        if (!m_background || !m_background->Received())
            return;
        std::unique_ptr<BackgroundCall> finished = std::move(m_background);
        finished->Join();
        finished->Call().Complete();
        const bool closed = finished->Call().Outcome().closed;
        OnCallFinished(finished->Call());
        finished.reset();
        if (closed)
            Self().CloseConnection();
        // A handler may release the session's last reference: it lives until the event is over.
        const com::ptr<IUnknown> alive = com::share(this->unknown());
        RaiseCallFinished();
    }

    bool CallInFlight() const noexcept { return m_background != nullptr || m_synchronousCall; }

    // Operations that need the connection wait their turn behind a call in flight (522).
    void RequireIdleConnection()
    {
        CompleteReceivedCall();
        if (CallInFlight())
            throw MessageError(msg::CallAlreadyActive);
    }

    // The error state: set from a failure, or cleared (group, texts and module name too).
    void SetErrorState(const CallOutcome& outcome)
    {
        m_errorInfo->Set(outcome.group, outcome.groupText, outcome.message);
        m_error = true;
    }
    void SetErrorState(long group, std::wstring_view groupText, std::wstring_view message)
    {
        m_errorInfo->Set(group, groupText, message);
        m_error = true;
    }
    void ClearErrorState()
    {
        m_errorInfo->Clear();
        m_error = false;
    }
    void ClearErrorFlag() noexcept { m_error = false; }

    CLogonData& Logon() const noexcept { return *m_logonData; }
    CRfcError& ErrorRecord() const noexcept { return *m_errorInfo; }
    const OptionMap& Options() const noexcept { return m_options; }
    const com::bstr& SystemId() const noexcept { return m_systemId; }

    // Runs a method body that is common to all kinds, reporting as the classic session does.
    template <class Body>
    HRESULT Common(Body&& body) noexcept
    {
        return com::guard(CommonSessionSource(), std::forward<Body>(body));
    }

private:
    template <class Q>
    com::ptr<Q> query_self()
    {
        return com::share(this->unknown()).template query<Q>();
    }

    com::ptr<ITypeCache> TypeCache()
    {
        if (!m_typeCache)
            m_typeCache = com::make<CTypeCache>();
        return m_typeCache;
    }

    static void SetImport(IRfcParameters* importing, const wchar_t* name, BSTR value)
    {
        com::ptr<IRfcParameter> parameter;
        com::check(importing->get_Item(com::variant(name).get(), parameter.put()));
        com::check(parameter->put_value(com::variant(com::view(value)).get()));
    }

    // Success of a synchronous call clears the whole error state; the end of an asynchronous
    // one clears the flag and leaves the last failure's description readable.
    void ApplyOutcome(const CallOutcome& outcome, bool synchronous)
    {
        if (outcome.failed)
            SetErrorState(outcome);
        else if (synchronous)
            ClearErrorState();
        else
            ClearErrorFlag();
    }

    // Some kinds fail the client's method on top of the error state (CallOutcome::failWith).
    static void FailWithItsMessage(const CallOutcome& outcome)
    {
        if (outcome.failed && outcome.failWith != 0)
            throw MessageError(outcome.failWith);
    }

    void RunHere(CIntCall& transport)
    {
        m_synchronousCall = true;
        transport.Receive();
        transport.Complete();
        m_synchronousCall = false;
        ApplyOutcome(transport.Outcome(), true);
        if (transport.Outcome().closed)
            Self().CloseConnection();
    }

    void RunInBackground(std::unique_ptr<CIntCall> transport)
    {
        try {
            if (!m_notifier)
                m_notifier = std::make_unique<com::ThreadNotifier>([this] { CompleteReceivedCall(); });
        } catch (const com::hresult_error&) {
            // Without a window (no window station) the call still completes when the client asks.
        }
        try {
            m_background = std::make_unique<BackgroundCall>(std::move(transport), m_notifier.get());
        } catch (const std::system_error&) {
            throw com::hresult_error(E_OUTOFMEMORY, L"no thread could be started for the background call");
        }
        ClearErrorState();
    }

    // The end of an asynchronous call, completed or aborted, on the session's thread: the
    // error state from its outcome.
    void OnCallFinished(CIntCall& call) noexcept
    {
        try {
            ApplyOutcome(call.Outcome(), false);
        } catch (...) {
            m_error = true; // the description could not be kept, the failure is still told
        }
    }

    void RaiseCallFinished() noexcept
    {
        m_events.fire(1, {}, [](const com::SinkFailure& failure) {
            ostrel::TraceFormat(L"CallFinished: the event handler failed (0x%08x) %s\n",
                                static_cast<unsigned>(failure.code), failure.description.c_str());
        });
    }

    com::bstr m_systemId;
    com::ptr<CLogonData> m_logonData;
    std::atomic<bool> m_error{false};
    com::ptr<CRfcError> m_errorInfo;
    com::ptr<ITypeCache> m_typeCache;
    OptionMap m_options;
    com::ConnectionPoint m_events{this, DIID__SessionEvents};

    // The call in flight; used on the session's thread only (see SessionKind.h).
    std::unique_ptr<com::ThreadNotifier> m_notifier; // made with the first asynchronous call
    std::unique_ptr<BackgroundCall> m_background;
    bool m_synchronousCall = false;
};

} // namespace tolvane
