#include "RfcServerCall.h"

#include "session/Trace.h"

namespace tolvane {

using namespace classic;

RfcServerCall::RfcServerCall(const EntryPoints& rfc, RFC_HANDLE handle, com::ptr<CFunctionCall> call)
    : m_rfc(rfc), m_handle(handle), m_call(std::move(call))
{
}

RFC_RC RfcServerCall::Receive()
{
    ostrel::TraceFormat(L"receiving data...\n");
    m_importing = std::make_unique<CIntRfcParams>(m_rfc, List(CFunctionCall::Importing), List(CFunctionCall::Changing));
    m_received = std::make_unique<CIntRfcTables>(m_rfc, List(CFunctionCall::Tables), false);
    const RFC_RC rc = m_rfc.RfcGetDataU(m_handle, m_importing->Array(), m_received->Array());
    if (rc != RFC_OK)
        return rc;
    // The marshallers trace each value, those of passwords and tickets masked.
    m_importing->getValues();
    m_received->getValues();
    return RFC_OK;
}

RFC_RC RfcServerCall::Send()
{
    ostrel::TraceFormat(L"entering: SendOutgoingData()\n");
    // Tables of our own, filled from the rows as the handler left them.
    CIntRfcTables tables(m_rfc, List(CFunctionCall::Tables), true);
    RFC_RC rc;
    if (std::wstring exception = m_call->ExceptionName(); !exception.empty()) {
        ostrel::TraceFormat(L"raising exception: %s\n", exception.c_str());
        std::wstring message = m_call->ExceptionMessage();
        rc = m_rfc.RfcRaiseErrorMessageU(m_handle, exception.data(), tables.Array(), message.data());
    } else {
        CIntRfcParams exporting(m_rfc, List(CFunctionCall::Exporting), List(CFunctionCall::Changing));
        rc = m_rfc.RfcSendDataU(m_handle, exporting.Array(), tables.Array());
    }
    ostrel::TraceFormat(L"leaving: SendOutgoingData() - rc=0x%x\n", static_cast<unsigned>(rc));
    return rc;
}

} // namespace tolvane
