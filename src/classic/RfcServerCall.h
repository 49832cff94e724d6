#pragma once
// RfcServerCall: one call SAP makes to a classic server, served inside the library's callback:
// the caller's values read into a call object of the function's interface, and the answer the
// client leaves in that object sent back, its values or the exception it raised.
#include "ClassicRfcLibrary.h"
#include "IntRfcParams.h"
#include "IntRfcTables.h"
#include "model/FunctionCall.h"

#include <memory>

namespace tolvane {

class RfcServerCall {
public:
    // `call` has the interface of the function being called on `handle`.
    RfcServerCall(const classic::EntryPoints& rfc, classic::RFC_HANDLE handle, com::ptr<CFunctionCall> call);

    CFunctionCall* Call() const noexcept { return m_call.get(); }
    // Reads the importing, changing and table values into the call; the library's code.
    classic::RFC_RC Receive();
    // Sends the exporting, changing and table values, or the exception raised on the call with
    // its message and the tables; the library's code.
    classic::RFC_RC Send();

private:
    IRfcParameters* List(int list) const noexcept { return &m_call->Parameters(list); }

    const classic::EntryPoints& m_rfc;
    classic::RFC_HANDLE m_handle;
    com::ptr<CFunctionCall> m_call;
    // Received into; the library owns the internal tables it made for them.
    std::unique_ptr<CIntRfcParams> m_importing;
    std::unique_ptr<CIntRfcTables> m_received;
};

} // namespace tolvane
