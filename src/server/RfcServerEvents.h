#pragma once
// CProxy_RfcServerEvents: the seven events of a server, fired from its listening thread to
// every advised sink, each in its own apartment (through the Global Interface Table). The
// handler answers by writing into the object it receives; the firing thread waits for it.
#include "com/ConnectionPoint.h"
#include "idl/Tolvane_h.h"

#include <memory>

namespace tolvane {

class CProxy_RfcServerEvents {
public:
    explicit CProxy_RfcServerEvents(std::shared_ptr<com::SinkList> sinks) noexcept : m_sinks(std::move(sinks)) {}

    HRESULT Fire_IncomingCall(IFunctionCall* call) noexcept { return Fire(1, call, L"IncomingCall"); }
    HRESULT Fire_Logon(IRfcServerLogonInfo* logon) noexcept { return Fire(2, logon, L"Logon"); }
    HRESULT Fire_ServerError(IRfcServerErrorInfo* error) noexcept { return Fire(3, error, L"ServerError"); }
    HRESULT Fire_TransactionCheck(IRfcTransactionInfo* step) noexcept { return Fire(4, step, L"TransactionCheck"); }
    HRESULT Fire_TransactionCommit(IRfcTransactionInfo* step) noexcept { return Fire(5, step, L"TransactionCommit"); }
    HRESULT Fire_TransactionRollback(IRfcTransactionInfo* step) noexcept
    {
        return Fire(6, step, L"TransactionRollback");
    }
    HRESULT Fire_TransactionConfirm(IRfcTransactionInfo* step) noexcept { return Fire(7, step, L"TransactionConfirm"); }
    // The event of transaction step `step`: 0 check, 1 commit, 2 rollback, 3 confirm.
    HRESULT Fire_TransactionStep(int step, IRfcTransactionInfo* info) noexcept
    {
        switch (step) {
        case 0: return Fire_TransactionCheck(info);
        case 1: return Fire_TransactionCommit(info);
        case 2: return Fire_TransactionRollback(info);
        default: return Fire_TransactionConfirm(info);
        }
    }

private:
    // The event with its one argument as VT_DISPATCH; a handler's failure is traced.
    HRESULT Fire(DISPID id, IDispatch* argument, const wchar_t* event) noexcept;

    std::shared_ptr<com::SinkList> m_sinks;
};

} // namespace tolvane
