#pragma once
// CIntRfcFunctionCall: one call over the classic library. Send builds the parameter and table
// arrays from the call object; Receive gets the answer into the arrays; Complete stores the
// results into the call object.
//
// A synchronous call is sent and received in Receive by the library's own call-and-receive.
// An asynchronous one is sent by Send and polled on its worker, first at once and then backing
// off to one poll in 100 ms, so that a quick answer is not held up and an abort is seen within
// one poll: the worker then cancels the call on the connection.
#include "ClassicRfcLibrary.h"
#include "IntRfcParams.h"
#include "IntRfcTables.h"
#include "com/Apartment.h"
#include "com/ComPtr.h"
#include "idl/Tolvane_h.h"
#include "session/IntCall.h"

#include <memory>
#include <string>

namespace tolvane {

class CIntRfcFunctionCall : public CIntCall {
public:
    CIntRfcFunctionCall(const classic::EntryPoints& rfc, classic::RFC_HANDLE connection, IFunctionCall* call,
                        bool synchronous);

    bool Send() override;
    void Receive() noexcept override;
    void Complete() noexcept override;
    void Abort() noexcept override { m_abort.set(); }

private:
    void Listen();
    void ReceiveAnswer();
    void CallAndReceive();
    // The answer's return code (m_result) and exception name into the outcome.
    void TakeAnswer(const wchar_t* step, classic::rfc_char_t* exception);
    void Cancel();
    void FailFromLastError();

    const classic::EntryPoints& m_rfc;
    classic::RFC_HANDLE m_connection;
    com::ptr<IFunctionCall> m_call;
    std::wstring m_name;
    bool m_synchronous;
    classic::RFC_RC m_result = classic::RFC_OK;
    com::Event m_abort;
    std::unique_ptr<CIntRfcParams> m_importing, m_exporting, m_changing;
    std::unique_ptr<CIntRfcTables> m_tables;
};

} // namespace tolvane
