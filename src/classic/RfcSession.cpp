#include "RfcSession.h"

#include "ClassicConnectString.h"
#include "ClassicErrors.h"
#include "IntRfcFunctionCall.h"
#include "IntRfcParams.h"
#include "IntRfcTables.h"
#include "com/Secret.h"

#include <climits>

namespace tolvane {
namespace {

using namespace classic;

// The leading decimal digits of an option's value (0 without any), at most INT_MAX.
int LeadingNumber(std::wstring_view text) noexcept
{
    long long number = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            break;
        number = std::min<long long>(number * 10 + (c - L'0'), INT_MAX);
    }
    return static_cast<int>(number);
}

com::ptr<IRfcParameters> List(IFunctionCall* call, HRESULT (STDMETHODCALLTYPE IFunctionCall::*getter)(IRfcParameters**))
{
    com::ptr<IRfcParameters> list;
    com::check((call->*getter)(list.put()));
    return list;
}

} // namespace

CRfcSession::CRfcSession() : m_systemData(com::make<CRfcSystemData>()) {}

CRfcSession::~CRfcSession()
{
    if (m_connection) {
        ostrel::TraceFormat(L"Tolvane: Session Disconnect\n");
        CloseConnection();
    }
}

HRESULT CRfcSession::get_SessionType(BSTR* value) { return com::bstr(L"RFC").copy_to(value); }

HRESULT CRfcSession::get_RfcSystemData(IRfcSystemData** value) { return m_systemData.copy_to(value); }

std::wstring CRfcSession::ConnectString() const
{
    const CLogonData& logon = Logon();
    classicrfc::ConnectValues values;
    values.base = m_systemData->ConnectString().view();
    values.client = logon.Client().view();
    values.user = logon.User().view();
    values.password = logon.Password().view();
    values.language = logon.Language().view();
    values.ticket = logon.SSO2Ticket().view();
    values.certificate = logon.X509Cert().view();
    values.extIdData = logon.ExtIdData().view();
    values.extIdType = logon.ExtIdType().view();
    values.visualMode = m_systemData->VisualMode();
    values.debug = m_systemData->Debug() == VARIANT_TRUE;
    return classicrfc::BuildConnectString(values);
}

void CRfcSession::ApplyConnectionTimeout()
{
    const std::wstring timeout = Options().Value(L"rfc.connection_timeout");
    if (timeout.empty())
        return;
    const int milliseconds = LeadingNumber(timeout);
    ostrel::TraceContinue(L"\nset RFC connection timeout %i ms\n", milliseconds);
    m_rfc->RfcSetSystemTimeoutU(milliseconds);
}

HRESULT CRfcSession::Connect()
{
    return guard([&] {
        if (m_connection)
            throw MessageError(msg::AlreadyConnected);
        std::wstring text = ConnectString();
        m_rfc = &classic::Library();
        ostrel::TraceFormat(L"trying to connect %s (%s)...", SystemId().str().c_str(),
                            classicrfc::MaskedConnectString(text).c_str());
        ApplyConnectionTimeout();
        RFC_ERROR_INFO_EX record{};
        m_connection = m_rfc->RfcOpenExU(text.data(), &record);
        com::wipe(text);
        if (m_connection) {
            ClearErrorFlag();
            ostrel::TraceContinue(L"ok\n");
            return;
        }
        SetErrorState(classicrfc::OutcomeOf(record));
        ostrel::TraceContinue(L"failed(%s)\n", classicrfc::FieldText(record.key).c_str());
        ostrel::TraceFormat(L"%s\n", classicrfc::FieldText(record.message).c_str());
    });
}

HRESULT CRfcSession::Disconnect()
{
    return guard([&] {
        AbortActiveCall();
        if (!m_connection)
            return;
        ostrel::TraceFormat(L"Tolvane: Session Disconnect\n");
        CloseConnection();
    });
}

void CRfcSession::CloseConnection() noexcept
{
    if (!m_connection)
        return;
    // Also after the partner closed it: the library frees what it keeps for the handle.
    m_rfc->RfcCloseU(m_connection);
    m_connection = 0;
}

std::unique_ptr<CIntCall> CRfcSession::NewCall(IFunctionCall* call, bool synchronous)
{
    return std::make_unique<CIntRfcFunctionCall>(*m_rfc, m_connection, call, synchronous);
}

void CRfcSession::RequireConnection()
{
    if (!m_connection)
        throw MessageError(msg::NotConnected);
    RequireIdleConnection();
}

void CRfcSession::SetErrorFromLibrary() { SetErrorState(classicrfc::OutcomeOf(classicrfc::LastError(*m_rfc))); }

HRESULT CRfcSession::CreateTransID(BSTR* tid)
{
    return guard([&]() -> HRESULT {
        com::require_out(tid);
        *tid = nullptr;
        RequireConnection();
        ostrel::TraceFormat(L"CreateTransID...");
        RFC_TID id{};
        const RFC_RC rc = m_rfc->RfcCreateTransIDU(m_connection, id);
        if (rc != RFC_OK) {
            ostrel::TraceContinue(L"fail (rc=%i)\n", static_cast<int>(rc));
            return E_FAIL;
        }
        const std::wstring text = classicrfc::FieldText(id);
        ostrel::TraceContinue(L"ok (tid=%s)\n", text.c_str());
        *tid = com::bstr(text).detach();
        return S_OK;
    });
}

HRESULT CRfcSession::ConfirmTransID(BSTR tid)
{
    return guard([&]() -> HRESULT {
        RequireConnection();
        ostrel::TraceFormat(L"ConfirmTransID...");
        RFC_TID id{};
        classicrfc::SetFieldText(id, com::view(tid));
        const RFC_RC rc = m_rfc->RfcConfirmTransIDU(m_connection, id);
        if (rc != RFC_OK) {
            ostrel::TraceContinue(L"fail (rc=%i)\n", static_cast<int>(rc));
            return E_FAIL;
        }
        ostrel::TraceContinue(L"ok\n");
        return S_OK;
    });
}

HRESULT CRfcSession::CallTRFCFunction(BSTR tid, IFunctionCall* call)
{
    return guard([&] {
        RequireConnection();
        if (!call)
            throw com::hresult_error(E_POINTER);
        com::bstr name;
        com::check(call->get_Function(name.put()));
        PruneOptionalImports(call);
        CIntRfcParams importing(*m_rfc, List(call, &IFunctionCall::get_Importing).get());
        CIntRfcTables tables(*m_rfc, List(call, &IFunctionCall::get_Tables).get(), true);
        RFC_TID id{};
        classicrfc::SetFieldText(id, com::view(tid));
        std::wstring function = name.str();
        if (m_rfc->RfcIndirectCallExU(m_connection, function.data(), importing.Array(), tables.Array(), id) != RFC_OK)
            SetErrorFromLibrary();
        else
            ClearErrorState();
    });
}

HRESULT CRfcSession::GetSSO2Ticket(BSTR* ticket)
{
    return guard([&] {
        com::require_out(ticket);
        *ticket = nullptr;
        RequireConnection();
        RFC_PARAMETER none[1] = {};
        RFC_PARAMETER received[1] = {};
        RFC_PARAMETER changing[1] = {};
        RFC_TABLE tables[1] = {};
        rfc_char_t* exception = nullptr;
        std::wstring function = L"RFC_GET_ATTRIBUTES";
        if (m_rfc->RfcCallReceiveExU(m_connection, function.data(), none, received, changing, tables, &exception) !=
            RFC_OK) {
            SetErrorFromLibrary();
            return;
        }
        std::wstring buffer(kTicketCapacity, L'\0');
        if (m_rfc->RfcGetTicketU(m_connection, buffer.data()) != RFC_OK) {
            SetErrorFromLibrary();
            com::wipe(buffer);
            return;
        }
        const size_t length = wcsnlen(buffer.data(), buffer.size());
        // The ticket logs its bearer on: its length is all a trace may show.
        ostrel::TraceFormat(L"GetSSO2Ticket(): received ticket (l=%i)\n", static_cast<int>(length));
        *ticket = SysAllocStringLen(buffer.data(), static_cast<UINT>(length));
        com::wipe(buffer);
        if (!*ticket)
            throw com::hresult_error(E_OUTOFMEMORY);
    });
}

} // namespace tolvane
