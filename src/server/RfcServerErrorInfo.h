#pragma once
// CRfcServerErrorInfo: a server's last failure, one object for the server's whole life, passed
// with every ServerError event. The client answers through Restart, which stays as it set it
// for later errors. The listening thread writes it while the client may read it: a lock keeps
// each property whole.
#include "com/Bstr.h"
#include "com/Dispatch.h"
#include "com/Object.h"
#include "idl/Tolvane_h.h"

#include <mutex>

namespace tolvane {

class CRfcServerErrorInfo
    : public com::Object<CRfcServerErrorInfo, com::Dispatch<IRfcServerErrorInfo>, com::SupportErrorInfo<IRfcServerErrorInfo>> {
public:
    HRESULT STDMETHODCALLTYPE get_ERRORGROUP(long* value) override { return Read(m_group, value); }
    HRESULT STDMETHODCALLTYPE put_ERRORGROUP(long value) override { return Write(m_group, value); }
    HRESULT STDMETHODCALLTYPE get_ErrorGroupTxt(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Message(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_RfcRc(long* value) override { return Read(m_rc, value); }
    HRESULT STDMETHODCALLTYPE get_Restart(VARIANT_BOOL* value) override { return Read(m_restart, value); }
    HRESULT STDMETHODCALLTYPE put_Restart(VARIANT_BOOL value) override { return Write(m_restart, value); }
    HRESULT STDMETHODCALLTYPE SetErrorInfo(long group, BSTR groupText, BSTR message, long rc) override;

    void Set(long group, std::wstring_view groupText, std::wstring_view message, long rc);
    bool Restart() const;

private:
    template <class T, class Out>
    HRESULT Read(const T& member, Out* out) const
    {
        if (!out)
            return E_POINTER;
        std::lock_guard lock(m_lock);
        *out = member;
        return S_OK;
    }
    template <class T>
    HRESULT Write(T& member, T value)
    {
        std::lock_guard lock(m_lock);
        member = value;
        return S_OK;
    }

    mutable std::mutex m_lock;
    long m_group = 0;
    com::bstr m_groupText, m_message;
    long m_rc = 0;
    VARIANT_BOOL m_restart = VARIANT_FALSE;
};

} // namespace tolvane
