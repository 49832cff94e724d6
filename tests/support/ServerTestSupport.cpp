#include "ServerTestSupport.h"

#include "com/Bstr.h"
#include "com/Variant.h"

#include <gtest/gtest.h>

namespace test {

bool ServerFailed(IRfcServer* server)
{
    VARIANT_BOOL failed = VARIANT_FALSE;
    server->get_Error(&failed);
    return failed != VARIANT_FALSE;
}

std::wstring ServerMessage(IRfcServer* server)
{
    com::ptr<IRfcServerErrorInfo> info;
    server->get_ErrorInfo(info.put());
    com::bstr message;
    info->get_Message(message.put());
    return message.str();
}

com::ptr<IRfcParameters> List(IFunctionCall* call, HRESULT (STDMETHODCALLTYPE IFunctionCall::*getter)(IRfcParameters**))
{
    com::ptr<IRfcParameters> list;
    (call->*getter)(list.put());
    return list;
}

void AnswerStfcStructure(IFunctionCall* call)
{
    com::ptr<IRfcParameter> in, out;
    List(call, &IFunctionCall::get_Importing)->get_Item(com::variant(L"IMPORTSTRUCT").get(), in.put());
    List(call, &IFunctionCall::get_Exporting)->get_Item(com::variant(L"ECHOSTRUCT").get(), out.put());
    ASSERT_TRUE(in && out);
    com::ptr<IRfcFields> from, to;
    in->get_Fields(from.put());
    out->get_Fields(to.put());
    com::ptr<IRfcField> source, target;
    from->get_Item(com::variant(L"RFCCHAR4").get(), source.put());
    to->get_Item(com::variant(L"RFCCHAR4").get(), target.put());
    com::variant text;
    source->get_value(text.put());
    target->put_value(text.get());
    com::ptr<IRfcParameter> response;
    List(call, &IFunctionCall::get_Exporting)->get_Item(com::variant(L"RESPTEXT").get(), response.put());
    response->put_value(com::variant(L"served by Tolvane").get());
    com::ptr<IRfcParameter> table;
    List(call, &IFunctionCall::get_Tables)->get_Item(com::variant(L"RFCTABLE").get(), table.put());
    com::ptr<IRfcRows> rows;
    table->get_Rows(rows.put());
    rows->AddRows(1);
}

void RaiseNotFoundWithThreeRows(IFunctionCall* call)
{
    com::ptr<IRfcParameter> table;
    List(call, &IFunctionCall::get_Tables)->get_Item(com::variant(L"RFCTABLE").get(), table.put());
    com::ptr<IRfcRows> rows;
    table->get_Rows(rows.put());
    rows->AddRows(3);
    call->RaiseException(com::bstr(L"NOT_FOUND").get(), com::bstr(L"nothing here").get());
}

std::wstring FunctionOf(IFunctionCall* call)
{
    com::bstr name;
    call->get_Function(name.put());
    return name.str();
}

long ParameterCount(IFunctionCall* call)
{
    long total = 0;
    for (auto getter : {&IFunctionCall::get_Importing, &IFunctionCall::get_Exporting, &IFunctionCall::get_Changing,
                        &IFunctionCall::get_Tables}) {
        long count = 0;
        List(call, getter)->get_Count(&count);
        total += count;
    }
    return total;
}

AdminReply CallProgram(const std::wstring& programId, const std::wstring& function, nlohmann::json values,
                       const std::string& user)
{
    return AdminRequestPumping(SimPort(), "POST", "call",
                               {{"programId", Narrow(programId)}, {"function", Narrow(function)},
                                {"values", std::move(values)}, {"user", user}, {"timeoutMs", 10000}});
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

} // namespace test
