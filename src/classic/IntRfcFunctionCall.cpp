#include "IntRfcFunctionCall.h"

#include "ClassicErrors.h"
#include "com/Bstr.h"
#include "session/Messages.h"
#include "session/Trace.h"
#include "session/XTolvane.h"

#include <algorithm>

namespace tolvane {
namespace {

using namespace classic;

// Polls of an asynchronous call: the first at once, then ever further apart up to this.
constexpr DWORD kLongestPollMs = 100;

com::ptr<IRfcParameters> List(IFunctionCall* call, HRESULT (STDMETHODCALLTYPE IFunctionCall::*getter)(IRfcParameters**))
{
    com::ptr<IRfcParameters> list;
    com::check((call->*getter)(list.put()));
    return list;
}

// The partner closed the connection: a failure of the call, whatever the library has to say.
CallOutcome ClosedOutcome(const RFC_ERROR_INFO_EX& record)
{
    CallOutcome outcome = classicrfc::OutcomeOf(record);
    if (outcome.message.empty()) {
        outcome.group = RFCERROR_COMMUNICATION;
        outcome.groupText = L"RFC_CLOSED";
        outcome.message = L"the partner closed the connection";
    }
    outcome.closed = true;
    return outcome;
}

} // namespace

CIntRfcFunctionCall::CIntRfcFunctionCall(const EntryPoints& rfc, RFC_HANDLE connection, IFunctionCall* call,
                                         bool synchronous)
    : m_rfc(rfc), m_connection(connection), m_call(com::share(call)), m_synchronous(synchronous)
{
    com::bstr name;
    com::check(call->get_Function(name.put()));
    m_name = name.str();
}

bool CIntRfcFunctionCall::Send()
{
    m_importing = std::make_unique<CIntRfcParams>(m_rfc, List(m_call.get(), &IFunctionCall::get_Importing).get());
    m_exporting = std::make_unique<CIntRfcParams>(m_rfc, List(m_call.get(), &IFunctionCall::get_Exporting).get());
    m_changing = std::make_unique<CIntRfcParams>(m_rfc, List(m_call.get(), &IFunctionCall::get_Changing).get());
    m_tables = std::make_unique<CIntRfcTables>(m_rfc, List(m_call.get(), &IFunctionCall::get_Tables).get(), true);
    if (m_synchronous)
        return true; // sent and received in one go by Receive
    m_result = m_rfc.RfcCallExU(m_connection, m_name.data(), m_importing->Array(), m_changing->Array(), m_tables->Array());
    if (m_result != RFC_OK) {
        FailFromLastError();
        ostrel::TraceFormat(L"call to '%s' failed (\"%s\")\n", m_name.c_str(), Outcome().message.c_str());
        return false;
    }
    return true;
}

void CIntRfcFunctionCall::Receive() noexcept
{
    try {
        if (m_synchronous) {
            CallAndReceive();
            return;
        }
        ostrel::TraceFormat(L"listenForResult");
        Listen();
    } catch (...) {
        RecordCurrentException(L"the answer could not be received");
    }
}

void CIntRfcFunctionCall::Listen()
{
    DWORD pause = 0;
    for (;;) {
        if (WaitForSingleObject(m_abort.get(), pause) == WAIT_OBJECT_0) {
            Cancel();
            return;
        }
        const RFC_RC rc = m_rfc.RfcListenU(m_connection);
        ostrel::TraceContinue(L".");
        switch (rc) {
        case RFC_OK:
            ReceiveAnswer();
            return;
        case RFC_RETRY:
            pause = std::min(std::max<DWORD>(2 * pause, 1), kLongestPollMs);
            continue;
        case RFC_CLOSED:
            ostrel::TraceContinue(L"\n");
            ostrel::TraceFormat(L"listenForResult(): RfcListen() returns RFC_CLOSE\n");
            m_result = RFC_CLOSED;
            Outcome() = ClosedOutcome(classicrfc::LastError(m_rfc));
            return;
        case RFC_FAILURE:
            ostrel::TraceContinue(L"\n");
            ostrel::TraceFormat(L"listenForResult(): RfcListen() failed\n");
            break;
        default:
            // Polling on would never end.
            ostrel::TraceContinue(L"\n");
            ostrel::TraceFormat(L"Strange result from RfcListen: %x\n", static_cast<unsigned>(rc));
            break;
        }
        m_result = rc;
        FailFromLastError();
        return;
    }
}

void CIntRfcFunctionCall::ReceiveAnswer()
{
    rfc_char_t* exception = nullptr;
    m_result = m_rfc.RfcReceiveExU(m_connection, m_exporting->Array(), m_changing->Array(), m_tables->Array(), &exception);
    ostrel::TraceContinue(L"\n");
    TakeAnswer(L"listenForResult(): RfcReceiveEx()", exception);
}

// The library's own call-and-receive: a synchronous call needs no listening, and the one round
// trip is the quickest the library offers.
void CIntRfcFunctionCall::CallAndReceive()
{
    rfc_char_t* exception = nullptr;
    m_result = m_rfc.RfcCallReceiveExU(m_connection, m_name.data(), m_importing->Array(), m_exporting->Array(),
                                       m_changing->Array(), m_tables->Array(), &exception);
    TakeAnswer(L"RfcCallReceiveEx()", exception);
}

void CIntRfcFunctionCall::TakeAnswer(const wchar_t* step, rfc_char_t* exception)
{
    if (m_result == RFC_OK) {
        ostrel::TraceFormat(L"%s finished with RFC_OK\n", step);
        return;
    }
    if (m_result == RFC_EXCEPTION) {
        std::wstring name = exception ? classicrfc::FieldText(exception, 512) : std::wstring();
        ostrel::TraceFormat(L"Tolvane: %s returned RFC_EXCEPTION (\"%s\")\n", step, name.c_str());
        CallOutcome& outcome = Outcome();
        outcome.failed = true;
        outcome.group = RFCERROR_APPLICATION_EXCEPTION;
        outcome.groupText.clear();
        outcome.message = std::move(name);
        return;
    }
    const RFC_ERROR_INFO_EX record = classicrfc::LastError(m_rfc);
    ostrel::TraceFormat(L"Tolvane: %s returned %i, (%i, \"%s\")\n", step, static_cast<int>(m_result),
                        static_cast<int>(record.group), classicrfc::FieldText(record.message).c_str());
    // After a system exception the library has closed the connection too.
    if (m_result == RFC_CLOSED || m_result == RFC_SYS_EXCEPTION) {
        Outcome() = ClosedOutcome(record);
    } else {
        Outcome() = classicrfc::OutcomeOf(record);
    }
}

void CIntRfcFunctionCall::Cancel()
{
    ostrel::TraceContinue(L"\n");
    ostrel::TraceFormat(L"listenForResult(): Thread aborted\n");
    m_result = m_rfc.RfcCancelU(m_connection, RFC_CANCEL_HARD);
    ostrel::TraceFormat(L"listenForResult(): RfcCancel finished\n");
    if (m_result == RFC_CLOSED)
        Outcome() = ClosedOutcome(classicrfc::LastError(m_rfc));
    else if (m_result != RFC_OK && m_result != RFC_CANCELED)
        Outcome() = classicrfc::OutcomeOf(classicrfc::LastError(m_rfc));
}

void CIntRfcFunctionCall::Complete() noexcept
{
    if (AbortRequested())
        return;
    try {
        switch (m_result) {
        case RFC_OK:
            m_exporting->getValues();
            m_changing->getValues();
            m_tables->getValues();
            ostrel::TraceFormat(L"call to '%s' returned RFC_OK\n", m_name.c_str());
            return;
        case RFC_EXCEPTION:
            // What the function put in its tables before it raised is the client's too.
            m_tables->getValues();
            break;
        case RFC_CLOSED:
            ostrel::TraceFormat(L"call to '%s' returned RFC_CLOSED\n", m_name.c_str());
            return;
        default:
            break;
        }
        ostrel::TraceFormat(L"call to '%s' failed (\"%s\")\n", m_name.c_str(), Outcome().message.c_str());
    } catch (...) {
        RecordCurrentException(L"the results could not be stored");
    }
}

void CIntRfcFunctionCall::FailFromLastError()
{
    const bool closed = Outcome().closed;
    Outcome() = classicrfc::OutcomeOf(classicrfc::LastError(m_rfc));
    Outcome().closed = closed;
}

} // namespace tolvane
