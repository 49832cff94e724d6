#include "NWRfcSession.h"

#include "NWRFCField.h"
#include "NWRfcCall.h"
#include "NWRfcErrors.h"
#include "NWRfcUtil.h"
#include "model/FunctionCall.h"

#include <boost/format.hpp>

namespace tolvane {
namespace {

using namespace nwrfc;

std::wstring Text(const wchar_t* text) { return text ? text : L""; }

} // namespace

CNWRfcSession::CNWRfcSession() : m_systemData(com::make<CRfcSystemData>()) {}

CNWRfcSession::~CNWRfcSession()
{
    DestroyTransactions();
    if (m_connection) {
        RFC_ERROR_INFO record{};
        m_rfc->RfcCloseConnection(m_connection, &record);
        m_connection = nullptr;
    }
}

HRESULT CNWRfcSession::get_SessionType(BSTR* value) { return com::bstr(L"NWRFC").copy_to(value); }

HRESULT CNWRfcSession::get_RfcSystemData(IRfcSystemData** value) { return m_systemData.copy_to(value); }

void CNWRfcSession::ReportRfcError(const RFC_ERROR_INFO& record, std::wstring_view label, unsigned message)
{
    // Also reached from InitSDK, before this session keeps the entry points.
    nw::TraceRecord(m_rfc ? *m_rfc : *Library::Bound(), record, label);
    if (record.code == RFC_OK) {
        ClearErrorState();
        return;
    }
    SetErrorState(nw::OutcomeOf(record, message));
    throw MessageError(message);
}

void CNWRfcSession::Report(std::wstring_view label, unsigned message) { ReportRfcError(m_record, label, message); }

void CNWRfcSession::RequireConnection()
{
    if (!m_connection)
        throw MessageError(msg::NotConnected);
    RequireIdleConnection();
}

std::vector<nw::ConnectionPair> CNWRfcSession::ConnectionPairs() const
{
    const std::wstring escaped = nw::EscapeConnectString(m_systemData->ConnectString().view());
    TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"connectstr=%1%") % nw::MaskedConnectString(escaped)).str());
    std::vector<nw::ConnectionPair> pairs = nw::ParseConnectString(escaped);
    const short visual = m_systemData->VisualMode();
    if (visual == 1 || visual == 2)
        pairs.push_back({L"use_sapgui", std::to_wstring(visual)});
    const CLogonData& logon = Logon();
    const std::pair<const wchar_t*, const com::bstr*> fromLogon[] = {{L"client", &logon.Client()},
                                                                    {L"user", &logon.User()},
                                                                    {L"passwd", &logon.Password()},
                                                                    {L"lang", &logon.Language()},
                                                                    {L"mysapsso2", &logon.SSO2Ticket()}};
    for (const auto& [name, value] : fromLogon)
        if (!value->empty())
            pairs.push_back({name, value->str()});
    return pairs;
}

HRESULT CNWRfcSession::Connect()
{
    return guard([&] {
        // One connection per session: a second one would leave the first open and unreachable.
        if (m_connection)
            throw MessageError(msg::AlreadyConnected);
        std::vector<nw::ConnectionPair> pairs = ConnectionPairs();
        const std::wstring shown = nw::MaskedPairs(pairs);
        m_rfc = &InitSDK();
        std::vector<RFC_CONNECTION_PARAMETER> parameters;
        for (const nw::ConnectionPair& pair : pairs)
            parameters.push_back({pair.name.c_str(), pair.value.c_str()});
        m_record = {};
        m_connection = m_rfc->RfcOpenConnection(parameters.data(), static_cast<unsigned>(parameters.size()), &m_record);
        for (nw::ConnectionPair& pair : pairs)
            com::wipe(pair.value);
        if (!m_connection) {
            TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"connectstr=%1%") % shown).str());
            Report(L"RfcOpenConnection");
        }
        TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"connection succeeded\nconnectstr=%1%") % shown).str());
        ClearErrorState();
    });
}

HRESULT CNWRfcSession::Disconnect()
{
    return guard([&] {
        if (!m_connection)
            throw MessageError(msg::NotConnected);
        AbortActiveCall();
        DestroyTransactions();
        m_record = {};
        m_rfc->RfcCloseConnection(m_connection, &m_record);
        m_connection = nullptr;
        Report(L"RfcCloseConnection");
    });
}

void CNWRfcSession::CloseConnection() noexcept
{
    if (!m_connection)
        return;
    // The library closed its side already; the handle is given back all the same.
    RFC_ERROR_INFO record{};
    m_rfc->RfcCloseConnection(m_connection, &record);
    m_connection = nullptr;
}

std::unique_ptr<CIntCall> CNWRfcSession::NewCall(IFunctionCall* call, bool)
{
    return std::make_unique<CIntNWRfcCall>(*m_rfc, m_connection, call);
}

RFC_TRANSACTION_HANDLE& CNWRfcSession::Transaction(BSTR tid)
{
    auto found = m_transactions.find(std::wstring(com::view(tid)));
    if (found == m_transactions.end())
        throw MessageError(msg::InvalidTransactionId);
    return found->second;
}

void CNWRfcSession::DestroyTransactions() noexcept
{
    for (auto& [tid, handle] : m_transactions) {
        if (handle) {
            RFC_ERROR_INFO record{};
            m_rfc->RfcDestroyTransaction(handle, &record);
        }
    }
    m_transactions.clear();
}

HRESULT CNWRfcSession::CreateTransID(BSTR* tid)
{
    return guard([&] {
        com::require_out(tid);
        *tid = nullptr;
        RequireConnection();
        RFC_TID id{};
        m_record = {};
        m_rfc->RfcGetTransactionID(m_connection, id, &m_record);
        Report(L"RfcGetTransactionID");
        const std::wstring text = nw::FieldText(id);
        m_transactions.insert_or_assign(text, nullptr);
        *tid = com::bstr(text).detach();
    });
}

HRESULT CNWRfcSession::CallTRFCFunction(BSTR tid, IFunctionCall* call)
{
    return guard([&] {
        RequireConnection();
        if (!call)
            throw com::hresult_error(E_POINTER);
        RFC_TRANSACTION_HANDLE& transaction = Transaction(tid);
        RFC_TID id{};
        nw::SetFieldText(id, com::view(tid));
        m_record = {};
        RFC_TRANSACTION_HANDLE created = m_rfc->RfcCreateTransaction(m_connection, id, nullptr, &m_record);
        if (!created)
            Report(L"RfcCreateTransaction");
        if (transaction) {
            RFC_TRANSACTION_HANDLE old = std::exchange(transaction, created);
            m_rfc->RfcDestroyTransaction(old, &m_record);
            Report(L"RfcDestroyTransaction");
        }
        transaction = created;

        CIntNWRfcCall unit(*m_rfc, m_connection, call);
        if (!unit.Send()) {
            SetErrorState(unit.Outcome());
            throw MessageError(unit.Outcome().failWith ? unit.Outcome().failWith : msg::RfcError);
        }
        // A unit returns nothing: the call's exporting values are not read back (they would
        // all be overwritten with initial values).
        m_record = {};
        m_rfc->RfcInvokeInTransaction(transaction, unit.Function(), &m_record);
        Report(L"RfcInvokeInTransaction");
        m_record = {};
        m_rfc->RfcSubmitTransaction(transaction, &m_record);
        Report(L"RfcSubmitTransaction");
    });
}

HRESULT CNWRfcSession::ConfirmTransID(BSTR tid)
{
    return guard([&] {
        RequireConnection();
        RFC_TRANSACTION_HANDLE& transaction = Transaction(tid);
        m_record = {};
        m_rfc->RfcConfirmTransaction(transaction, &m_record);
        Report(L"RfcConfirmTransaction");
        if (transaction) {
            m_rfc->RfcDestroyTransaction(transaction, &m_record);
            transaction = nullptr;
        }
        m_transactions.erase(std::wstring(com::view(tid)));
        Report(L"RfcDestroyTransaction");
    });
}

HRESULT CNWRfcSession::GetSSO2Ticket(BSTR* ticket)
{
    return guard([&]() -> HRESULT {
        com::require_out(ticket);
        *ticket = nullptr;
        if (!m_connection)
            throw MessageError(msg::NotConnected);
        const std::wstring module = Options().Value(L"sso2.create_ticket_module");
        if (module.empty())
            throw MessageError(msg::TicketModuleRequired);
        com::ptr<IFunctionCall> call;
        if (HRESULT hr = TRACE_CHECK_HR(ImportCall(com::bstr(module).get(), VARIANT_FALSE, call.put()), L"ImportCall");
            FAILED(hr))
            return hr;
        if (HRESULT hr = TRACE_CHECK_HR(CallFunction(call.get(), VARIANT_TRUE), L"CallFunction"); FAILED(hr))
            return hr;
        VARIANT_BOOL failed = VARIANT_FALSE;
        get_Error(&failed);
        if (failed != VARIANT_FALSE)
            throw MessageError(msg::RfcError);
        com::ptr<IRfcParameters> exporting;
        com::check(TRACE_CHECK_HR(call->get_Exporting(exporting.put()), L"get_Exporting"));
        com::ptr<IRfcParameter> parameter;
        com::check(TRACE_CHECK_HR(exporting->get_Item(com::variant(L"TICKET").get(), parameter.put()), L"get_Item(TICKET)"));
        com::variant value, text;
        com::check(TRACE_CHECK_HR(parameter->get_value(value.put()), L"get_Value()"));
        com::check(TRACE_CHECK_HR(value.try_as(VT_BSTR, text), L"ChangeValue(VT_BSTR)"));
        *ticket = SysAllocStringLen(V_BSTR(text.addr()), SysStringLen(V_BSTR(text.addr())));
        return S_OK;
    });
}

HRESULT CNWRfcSession::ImportCallFromBackend(BSTR name, VARIANT_BOOL, IFunctionCall* call)
{
    return guard([&] {
        if (!m_connection)
            throw MessageError(msg::NotConnected);
        const std::wstring module(com::view(name));
        TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"importing %1%") % module).str());
        m_record = {};
        RFC_FUNCTION_DESC_HANDLE description = m_rfc->RfcGetFunctionDesc(m_connection, module.c_str(), &m_record);
        if (!description)
            Report(L"RfcGetFunctionDesc", msg::FunctionNotFound);
        unsigned count = 0;
        m_rfc->RfcGetParameterCount(description, &count, &m_record);
        if (m_record.code != RFC_OK)
            Report(L"RfcGetParameterCount", msg::TypeImportImpossible);
        auto target = com::implementation<CFunctionCall>(call);
        for (unsigned i = 0; i < count; ++i) {
            RFC_PARAMETER_DESC parameter{};
            if (m_rfc->RfcGetParameterDescByIndex(description, i, &parameter, &m_record) != RFC_OK)
                Report(L"RfcGetParameterDescByIndex", msg::TypeImportImpossible);
            const std::wstring parameterName = nw::FieldText(parameter.name);
            TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"adding %1% parameter %2%") %
                                                  Text(m_rfc->RfcGetDirectionAsString(parameter.direction)) %
                                                  parameterName)
                                                     .str());
            CNWRFCField field(*m_rfc, m_record);
            field.Define(parameter);
            int list = CFunctionCall::Tables;
            switch (parameter.direction) {
            case RFC_IMPORT: list = CFunctionCall::Importing; break;
            case RFC_EXPORT: list = CFunctionCall::Exporting; break;
            case RFC_CHANGING: list = CFunctionCall::Changing; break;
            default: break;
            }
            CRfcParameter& added = target->Parameters(list).Add(parameterName, field.GetType().get());
            added.SetMetadata(parameter.optional == 1 ? VARIANT_TRUE : VARIANT_FALSE,
                              com::bstr(nw::FieldText(parameter.parameterText)),
                              com::bstr(nw::FieldText(parameter.defaultValue)));
        }
    });
}

HRESULT CNWRfcSession::ImportTypeFromBackend(BSTR name, IRfcType* type)
{
    return guard([&] {
        if (!m_connection)
            throw MessageError(msg::NotConnected);
        const std::wstring typeName(com::view(name));
        m_record = {};
        RFC_TYPE_DESC_HANDLE description = m_rfc->RfcGetTypeDesc(m_connection, typeName.c_str(), &m_record);
        if (!description)
            Report(L"RfcGetTypeDesc", msg::TypeDoesNotExist);
        CNWRFCField field(*m_rfc, m_record);
        field.Define(typeName, description, type);
    });
}

} // namespace tolvane
