#pragma once
// CRfcError: the error record behind a session's ErrorInfo (and a table reader's). It is
// written by worker threads while the client reads it, so every access takes its own lock.
#include "com/Dispatch.h"
#include "com/Object.h"
#include "idl/Tolvane_h.h"

#include <mutex>
#include <string>

namespace tolvane {

class CRfcError : public com::Object<CRfcError, com::Dispatch<IRfcError>, com::SupportErrorInfo<IRfcError>> {
public:
    struct Contents {
        long group = 0;
        std::wstring groupText;
        std::wstring message;
        std::wstring moduleName;
    };

    HRESULT STDMETHODCALLTYPE get_ERRORGROUP(ERRORGROUP* value) override;
    HRESULT STDMETHODCALLTYPE put_ERRORGROUP(ERRORGROUP value) override;
    HRESULT STDMETHODCALLTYPE get_ErrorGroupTxt(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_ErrorGroupTxt(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Message(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Message(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_ModuleName(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_ModuleName(BSTR value) override;

    // Group, key and message of a failure; the module name stays as it was.
    void Set(long group, std::wstring_view groupText, std::wstring_view message);
    // Group 0 and empty texts, the module name included.
    void Clear();
    Contents Get() const;
    void Assign(const Contents& contents);

private:
    HRESULT GetText(std::wstring Contents::*member, BSTR* value);
    HRESULT PutText(std::wstring Contents::*member, BSTR value);

    mutable std::mutex m_lock;
    Contents m_contents;
};

} // namespace tolvane
