#pragma once
// CRfcTransactionInfo: one step of a transactional unit, passed with the four transaction
// events. The client answers through Status, which goes back to the RFC library as it is: a
// handler that does not set it leaves 65534, a failure.
#include "com/Bstr.h"
#include "com/Dispatch.h"
#include "com/Object.h"
#include "com/Property.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CRfcTransactionInfo
    : public com::Object<CRfcTransactionInfo, com::Dispatch<IRfcTransactionInfo>, com::SupportErrorInfo<IRfcTransactionInfo>> {
public:
    static constexpr long kUnanswered = 65534;

    HRESULT STDMETHODCALLTYPE get_TransactionID(BSTR* value) override { return m_tid.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Status(long* value) override { return com::get_property(m_status, value); }
    HRESULT STDMETHODCALLTYPE put_Status(long value) override { return com::put_property(m_status, value); }
    HRESULT STDMETHODCALLTYPE SetTID(BSTR tid) override
    {
        return guard([&] { m_tid = com::bstr(com::view(tid)); });
    }

    long Status() const noexcept { return m_status; }

private:
    com::bstr m_tid;
    long m_status = kUnanswered;
};

} // namespace tolvane
