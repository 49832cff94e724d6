#include "NWRfcCall.h"

#include "NWRFCDataConverter.h"
#include "NWRfcErrors.h"
#include "com/Bstr.h"
#include "session/Messages.h"
#include "session/Trace.h"
#include "session/XTolvane.h"

#include <boost/format.hpp>

namespace tolvane {
namespace {

using namespace nwrfc;

// Results after which the library has closed the connection.
bool ClosesTheConnection(RFC_RC rc) noexcept
{
    return rc == RFC_COMMUNICATION_FAILURE || rc == RFC_ABAP_MESSAGE || rc == RFC_ABAP_RUNTIME_FAILURE ||
           rc == RFC_CLOSED;
}

} // namespace

CIntNWRfcCall::CIntNWRfcCall(const EntryPoints& rfc, RFC_CONNECTION_HANDLE connection, IFunctionCall* call)
    : m_rfc(rfc), m_connection(connection), m_call(com::share(call))
{
    com::bstr name;
    com::check(call->get_Function(name.put()));
    m_name = name.str();
}

CIntNWRfcCall::~CIntNWRfcCall() { DestroyFunction(); }

void CIntNWRfcCall::Report(const std::wstring& label, unsigned failWith)
{
    nw::TraceRecord(m_rfc, m_record, label);
    if (m_record.code == RFC_OK)
        return;
    const bool closed = Outcome().closed;
    Outcome() = nw::OutcomeOf(m_record, failWith);
    Outcome().closed = closed;
}

bool CIntNWRfcCall::Send()
{
    RFC_FUNCTION_DESC_HANDLE description = m_rfc.RfcGetFunctionDesc(m_connection, m_name.c_str(), &m_record);
    if (!description) {
        Report(L"RfcGetFunctionDesc", msg::RfcError);
        return false;
    }
    m_function = m_rfc.RfcCreateFunction(description, &m_record);
    if (!m_function) {
        Report(L"RfcCreateFunction", msg::RfcError);
        return false;
    }
    try {
        CNWRFCDataConverter(m_rfc, m_record).FillOutgoingArgs(m_call.get(), m_function);
    } catch (const MessageError& e) {
        if (e.number() != msg::RfcError)
            throw;
        Report(L"FillOutgoingArgs", msg::RfcError);
        return false;
    }
    nw::TraceRecord(m_rfc, m_record, L"FillOutgoingArgs");
    return true;
}

void CIntNWRfcCall::Receive() noexcept
{
    try {
        m_result = m_rfc.RfcInvoke(m_connection, m_function, &m_record);
        if (m_result == RFC_ABAP_EXCEPTION) {
            const std::wstring key = nw::FieldText(m_record.key);
            Report((boost::wformat(L"RfcInvoke(%1%): ABAP_EXCEPTION %2%") % m_name % key).str(), 0);
            Outcome().message = key;
        } else {
            Report((boost::wformat(L"RfcInvoke(%1%)") % m_name).str(), 0);
            Outcome().closed = ClosesTheConnection(m_result);
        }
    } catch (...) {
        RecordCurrentException(L"the call could not be run");
    }
}

void CIntNWRfcCall::Complete() noexcept
{
    if (!AbortRequested() && m_function) {
        try {
            CNWRFCDataConverter(m_rfc, m_record).FillIncomingArgs(m_result, m_function, m_call.get());
            if (m_result != RFC_ABAP_EXCEPTION)
                Report(L"FillIncomingArgs", 0);
        } catch (const MessageError& e) {
            if (e.number() == msg::RfcError)
                Report(L"FillIncomingArgs", msg::RfcError);
            else
                RecordCurrentException(L"the results could not be read");
        } catch (...) {
            RecordCurrentException(L"the results could not be read");
        }
    }
    DestroyFunction();
}

void CIntNWRfcCall::DestroyFunction() noexcept
{
    if (!m_function)
        return;
    RFC_ERROR_INFO record{};
    if (m_rfc.RfcDestroyFunction(m_function, &record) != RFC_OK)
        nw::TraceRecord(m_rfc, record, m_name);
    m_function = nullptr;
}

} // namespace tolvane
