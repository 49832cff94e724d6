#pragma once
// ISessionImpl<T, I>: everything the three session kinds have in common, written once.
//
// T is the session kind (classic, NetWeaver, SOAP) and I its interface (derived from ISession).
// T supplies its transport through these members:
//   bool IsConnectedNow() const;                              the connection exists
//   std::unique_ptr<CIntCall> NewCall(IFunctionCall* call, bool synchronous);  one call
//   void CloseConnection();                                   the partner closed it
//   HRESULT ImportCallFromBackend(BSTR name, VARIANT_BOOL ignoreUnsupported, IFunctionCall* call);
//   HRESULT ImportTypeFromBackend(BSTR name, IRfcType* type);
//   static constexpr bool kPrunesOptionalImports;             drop unset optional imports first
//   static com::ErrorSource error_source();                  who reports the kind's failures
// and may replace TraceCallStart. T's destructor must call AbortActiveCall() first, while the
// members a worker may use still exist.
//
// Calls: the checks come in a fixed order (not connected 520, a call in flight 522, no
// function name 538) and leave the session as it was. A synchronous call runs to its end on
// the caller's thread. An asynchronous one is sent on the caller's thread and received on a
// worker thread in an apartment of its own, which stores the results, sets the error state,
// clears the active call and only then raises CallFinished, once, into the apartment of each
// advised sink. An aborted call raises no event. Every wait for a worker pumps, so that an
// event already on its way cannot deadlock with it.
#include "IntCall.h"
#include "LogonData.h"
#include "Messages.h"
#include "OptionMap.h"
#include "RfcError.h"
#include "SessionRules.h"
#include "TableReader.h"
#include "Trace.h"
#include "com/Apartment.h"
#include "com/ConnectionPoint.h"
#include "model/FunctionCall.h"
#include "model/RfcType.h"
#include "model/TypeCache.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

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
class ISessionImpl : public com::Object<T, com::Dispatch<I>, com::SupportErrorInfo<I>, com::ConnectionPointContainer>,
                     public CIntRfcAsyncCallback {
public:
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
    HRESULT STDMETHODCALLTYPE get_CallActive(VARIANT_BOOL* value) override
    {
        if (!value)
            return E_POINTER;
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
            auto imported = com::make<CFunctionCall>();
            imported->SetFunction(com::view(moduleName));
            hr = Self().ImportCallFromBackend(moduleName, ignoreUnsupportedParams, imported.get());
            if (FAILED(hr))
                return hr;
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
            JoinWorker();
            Self().TraceCallStart(name.view());
            if constexpr (T::kPrunesOptionalImports)
                PruneOptionalImports(call);

            // Only exactly VARIANT_TRUE is synchronous: a script's 1 runs in the background.
            const bool runHere = synchronous == VARIANT_TRUE;
            std::unique_ptr<CIntCall> transport = Self().NewCall(call, runHere);
            if (!transport->Send()) {
                SetErrorState(transport->Outcome());
                return;
            }
            if (runHere)
                RunHere(*transport);
            else
                RunOnWorker(std::move(transport));
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
            if (error.group == RFCERROR_APPLICATION_EXCEPTION && error.message == L"PASSWORD_EXPIRED") {
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

    // ---- the completion of an asynchronous call (on its worker) ------------------------------

    void OnCallFinished(CIntCall* call, bool aborted, bool closed) override
    {
        std::unique_ptr<CIntCall> finished;
        {
            std::lock_guard lock(m_callLock);
            if (!aborted && m_active.get() == call)
                finished = std::move(m_active);
        }
        if (!finished)
            return; // AbortCall took the call and reports its end
        ApplyOutcome(finished->Outcome(), false);
        if (closed)
            Self().CloseConnection();
        m_events.fire(1);
        finished.reset();
    }

protected:
    ISessionImpl() : m_logonData(com::make<CLogonData>()), m_errorInfo(com::make<CRfcError>())
    {
        this->add_connection_point(m_events);
    }
    ~ISessionImpl() { AbortActiveCall(); }

    T& Self() noexcept { return static_cast<T&>(*this); }

    // The default trace at the start of a call; kinds may trace their own.
    void TraceCallStart(std::wstring_view name) { ostrel::TraceFormat(L"calling module '%s'\n", std::wstring(name).c_str()); }

    // Ends a call in flight as AbortCall does: no CallFinished, wait for its worker.
    void AbortActiveCall()
    {
        std::unique_ptr<CIntCall> aborted;
        {
            std::lock_guard lock(m_callLock);
            aborted = std::move(m_active);
        }
        if (!aborted) {
            JoinWorker(); // a worker still delivering its event
            ostrel::TraceFormat(L"IRfcSession->AbortRfc(): No RFC Call to abort\n");
            return;
        }
        aborted->RequestAbort();
        JoinWorker();
        ApplyOutcome(aborted->Outcome(), false);
        aborted.reset();
        ostrel::TraceFormat(L"IRfcSession->AbortRfc(): RFC successfully aborted\n");
    }

    bool CallInFlight() const
    {
        std::lock_guard lock(m_callLock);
        return m_active != nullptr || m_synchronousCall;
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

    void RunHere(CIntCall& transport)
    {
        {
            std::lock_guard lock(m_callLock);
            m_synchronousCall = true;
        }
        transport.Receive();
        {
            std::lock_guard lock(m_callLock);
            m_synchronousCall = false;
        }
        ApplyOutcome(transport.Outcome(), true);
        if (transport.Outcome().closed)
            Self().CloseConnection();
    }

    void RunOnWorker(std::unique_ptr<CIntCall> transport)
    {
        ClearErrorState();
        CIntCall* call = transport.get();
        auto done = std::make_shared<com::Event>();
        {
            std::lock_guard lock(m_callLock);
            m_active = std::move(transport);
        }
        m_workerDone = done;
        m_worker = std::thread([this, call, done] {
            {
                com::ApartmentScope apartment;
                call->Receive();
                OnCallFinished(call, call->AbortRequested(), call->Outcome().closed);
            }
            done->set(); // the last thing the worker does with this session
        });
    }

    // Waits (pumping) until the last worker has finished with this session.
    void JoinWorker()
    {
        if (!m_worker.joinable())
            return;
        com::wait_pumping(m_workerDone->get());
        m_worker.join();
    }

    com::bstr m_systemId;
    com::ptr<CLogonData> m_logonData;
    std::atomic<bool> m_error{false};
    com::ptr<CRfcError> m_errorInfo;
    com::ptr<ITypeCache> m_typeCache;
    OptionMap m_options;
    com::ConnectionPoint m_events{this, DIID__SessionEvents};

    mutable std::mutex m_callLock;
    std::unique_ptr<CIntCall> m_active;
    bool m_synchronousCall = false;
    std::thread m_worker;
    std::shared_ptr<com::Event> m_workerDone;
};

} // namespace tolvane
