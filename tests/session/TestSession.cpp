#include "TestSession.h"

#include "model/RfcField.h"

namespace test {
namespace {

class TestCall : public tolvane::CIntCall {
public:
    TestCall(Backend& backend, IFunctionCall* call) : m_backend(backend), m_call(com::share(call)) {}

    bool Send() override
    {
        com::check(m_call->get_Function(m_name.put()));
        return true;
    }

    // The backend's answer is "computed" on the session's thread, where the call object lives;
    // the wait stands for the time a real partner takes.
    void Receive() noexcept override
    {
        if (m_backend.holdCalls) {
            HANDLE waits[] = {m_backend.holdCalls, m_aborted.get()};
            WaitForMultipleObjects(2, waits, FALSE, 30000);
        }
        if (AbortRequested())
            Outcome() = {true, RFCERROR_CANCELLED, L"request cancelled", L"cancelled by the client", false};
    }

    void Complete() noexcept override
    {
        if (AbortRequested())
            return;
        ++m_backend.calls;
        auto module = m_backend.modules.find(m_name.str());
        if (module == m_backend.modules.end()) {
            Outcome() = {true, RFCERROR_SYSTEM_FAILURE, L"FU_NOT_FOUND", L"function module not found", false};
            return;
        }
        ModuleResult result = module->second(m_call.get());
        Outcome() = {result.failed, result.group, result.groupText, result.message, result.closed};
    }

    void Abort() noexcept override { m_aborted.set(); }

private:
    Backend& m_backend;
    com::ptr<IFunctionCall> m_call;
    com::bstr m_name;
    com::Event m_aborted;
};

com::ptr<IRfcParameters> List(IFunctionCall* call, HRESULT (STDMETHODCALLTYPE IFunctionCall::*getter)(IRfcParameters**))
{
    com::ptr<IRfcParameters> list;
    com::check((call->*getter)(list.put()));
    return list;
}

com::variant Value(IRfcParameters* list, const wchar_t* name)
{
    com::ptr<IRfcParameter> p;
    com::check(list->get_Item(com::variant(name).get(), p.put()));
    com::variant v;
    com::check(p->get_value(v.put()));
    return v;
}

std::wstring Text(const com::variant& v)
{
    com::variant t;
    if (FAILED(v.try_as(VT_BSTR, t)))
        return {};
    return std::wstring(com::view(V_BSTR(t.addr())));
}

com::ptr<IRfcType> Structure(const wchar_t* name, std::initializer_list<std::pair<const wchar_t*, short>> chars)
{
    auto type = com::make<tolvane::CRfcType>();
    type->DefineStruct(com::bstr(name).get());
    for (auto& [field, length] : chars)
        type->AddScalarStructField(com::bstr(field).get(), TYPE_CHAR, length, 0, -1, -1, -1, -1);
    return type;
}

void AddImport(IFunctionCall* call, const wchar_t* name, ABAPTYPE type, short length)
{
    List(call, &IFunctionCall::get_Importing)
        ->AddScalar(com::bstr(name).get(), type, length, 0, com::variant().get());
}

std::vector<std::wstring> Lines(IFunctionCall* call, const wchar_t* table, const wchar_t* field)
{
    com::ptr<IRfcParameter> p;
    com::check(List(call, &IFunctionCall::get_Tables)->get_Item(com::variant(table).get(), p.put()));
    com::ptr<IRfcRows> rows;
    com::check(p->get_Rows(rows.put()));
    long count = 0;
    rows->get_Count(&count);
    std::vector<std::wstring> lines;
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcFields> row;
        rows->get_Item(i, row.put());
        com::ptr<IRfcField> f;
        row->get_Item(com::variant(field).get(), f.put());
        com::variant v;
        f->get_value(v.put());
        lines.push_back(Text(v));
    }
    return lines;
}

com::ptr<IRfcRows> RowsOf(IFunctionCall* call, const wchar_t* table)
{
    com::ptr<IRfcParameter> p;
    com::check(List(call, &IFunctionCall::get_Tables)->get_Item(com::variant(table).get(), p.put()));
    com::ptr<IRfcRows> rows;
    com::check(p->get_Rows(rows.put()));
    return rows;
}

} // namespace

HRESULT CTestSession::Connect()
{
    if (m_connected)
        return tolvane::RaiseMessage(tolvane::msg::AlreadyConnected, error_source());
    m_connected = true;
    ClearErrorFlag();
    return S_OK;
}

HRESULT CTestSession::Disconnect()
{
    if (!m_connected)
        return tolvane::RaiseMessage(tolvane::msg::NotConnected, error_source());
    AbortActiveCall();
    m_connected = false;
    return S_OK;
}

std::unique_ptr<tolvane::CIntCall> CTestSession::NewCall(IFunctionCall* call, bool)
{
    return std::make_unique<TestCall>(m_backend, call);
}

HRESULT CTestSession::ImportCallFromBackend(BSTR name, VARIANT_BOOL, IFunctionCall* call)
{
    ++m_backend.imports;
    if (m_backend.undescribable.count(std::wstring(com::view(name)))) {
        SetErrorState(RFCERROR_SYSTEM_FAILURE, L"system failure", L"the interface could not be read");
        return S_FALSE;
    }
    auto found = m_backend.interfaces.find(std::wstring(com::view(name)));
    if (found == m_backend.interfaces.end())
        return tolvane::RaiseMessage(tolvane::msg::FunctionNotFound, error_source());
    found->second(call);
    return S_OK;
}

HRESULT CTestSession::ImportTypeFromBackend(BSTR name, IRfcType* type)
{
    ++m_backend.imports;
    if (com::view(name) != L"RFCTEST")
        return tolvane::RaiseMessage(tolvane::msg::TypeDoesNotExist, error_source());
    type->DefineStruct(name);
    type->AddScalarStructField(com::bstr(L"RFCCHAR4").get(), TYPE_CHAR, 4, 0, -1, -1, -1, -1);
    return S_OK;
}

StandardBackend::StandardBackend()
{
    modules[L"SUSR_LOGIN_CHECK_RFC"] = [this](IFunctionCall*) {
        if (user == L"EXPIRED")
            return ModuleResult{true, RFCERROR_APPLICATION_EXCEPTION, L"internal server error", L"PASSWORD_EXPIRED"};
        if (user == L"LOCKED")
            return ModuleResult{true, RFCERROR_LOGON_FAILURE, L"logon failure", L"user is locked"};
        return ModuleResult{};
    };
    interfaces[L"SUSR_USER_CHANGE_PASSWORD_RFC"] = [](IFunctionCall* call) {
        AddImport(call, L"BNAME", TYPE_CHAR, 12);
        AddImport(call, L"PASSWORD", TYPE_CHAR, 40);
        AddImport(call, L"NEW_PASSWORD", TYPE_CHAR, 40);
    };
    modules[L"SUSR_USER_CHANGE_PASSWORD_RFC"] = [this](IFunctionCall* call) {
        auto importing = List(call, &IFunctionCall::get_Importing);
        changedFrom = Text(Value(importing.get(), L"PASSWORD"));
        changedTo = Text(Value(importing.get(), L"NEW_PASSWORD"));
        return ModuleResult{};
    };
    interfaces[L"SLDAG_CHECK_FOR_UNICODE"] = [](IFunctionCall* call) {
        List(call, &IFunctionCall::get_Exporting)
            ->AddScalar(com::bstr(L"UNICODE").get(), TYPE_CHAR, 1, 0, com::variant().get());
    };
    modules[L"SLDAG_CHECK_FOR_UNICODE"] = [](IFunctionCall* call) {
        com::ptr<IRfcParameter> p;
        List(call, &IFunctionCall::get_Exporting)->get_Item(com::variant(L"UNICODE").get(), p.put());
        p->put_value(com::variant(L"1").get());
        return ModuleResult{};
    };
    interfaces[L"RFC_READ_TABLE"] = [](IFunctionCall* call) {
        AddImport(call, L"QUERY_TABLE", TYPE_CHAR, 30);
        AddImport(call, L"DELIMITER", TYPE_CHAR, 1);
        AddImport(call, L"NO_DATA", TYPE_CHAR, 1);
        AddImport(call, L"ROWSKIPS", TYPE_INT, 0);
        AddImport(call, L"ROWCOUNT", TYPE_INT, 0);
        auto tables = List(call, &IFunctionCall::get_Tables);
        tables->AddTable(com::bstr(L"OPTIONS").get(), Structure(L"RFC_DB_OPT", {{L"TEXT", 72}}).get());
        tables->AddTable(com::bstr(L"FIELDS").get(),
                         Structure(L"RFC_DB_FLD", {{L"FIELDNAME", 30}, {L"OFFSET", 6}, {L"LENGTH", 6}, {L"TYPE", 1},
                                                   {L"FIELDTEXT", 60}})
                             .get());
        tables->AddTable(com::bstr(L"DATA").get(), Structure(L"TAB512", {{L"WA", 512}}).get());
    };
    modules[L"RFC_READ_TABLE"] = [this](IFunctionCall* call) {
        auto importing = List(call, &IFunctionCall::get_Importing);
        lastRowCount = V_I4(Value(importing.get(), L"ROWCOUNT").as(VT_I4).addr());
        lastRowSkips = V_I4(Value(importing.get(), L"ROWSKIPS").as(VT_I4).addr());
        lastOptions = Lines(call, L"OPTIONS", L"TEXT");
        lastFields = Lines(call, L"FIELDS", L"FIELDNAME");
        if (failReadTable)
            return ModuleResult{true, RFCERROR_APPLICATION_EXCEPTION, L"internal server error", L"OPTION_NOT_VALID"};
        auto fields = RowsOf(call, L"FIELDS");
        fields->RemoveAll();
        for (const Column& c : tableFields) {
            com::ptr<IRfcFields> row;
            fields->AddRow(row.put());
            for (auto [name, value] : {std::pair{L"FIELDNAME", &c.name}, std::pair{L"OFFSET", &c.offset},
                                       std::pair{L"LENGTH", &c.length}, std::pair{L"TYPE", &c.type}}) {
                com::ptr<IRfcField> f;
                row->get_Item(com::variant(name).get(), f.put());
                f->put_value(com::variant(*value).get());
            }
        }
        auto data = RowsOf(call, L"DATA");
        if (!tableRows.empty())
            data->AddRows(static_cast<long>(tableRows.size()));
        for (size_t i = 0; i < tableRows.size(); ++i) {
            com::ptr<IRfcFields> row;
            data->get_Item(static_cast<long>(i + 1), row.put());
            com::ptr<IRfcField> wa;
            row->get_Item(com::variant(L"WA").get(), wa.put());
            wa->put_value(com::variant(tableRows[i]).get());
        }
        return ModuleResult{};
    };
}

com::ptr<CTestSession> NewSession(Backend& backend, bool connect)
{
    auto session = com::make<CTestSession>(backend);
    if (connect)
        session->Connect();
    return session;
}

} // namespace test
