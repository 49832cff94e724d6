#include "FunctionInfo.h"

#include "ApiFailure.h"
#include "CallOutcome.h"
#include "WideText.h"

#include <cstring>

namespace classicrfc {
namespace {

using simwire::WireValue;

std::string cell(const WireValue& table, const std::vector<WireValue>& row, const char* column)
{
    for (size_t c = 0; c < table.columns.size() && c < row.size(); ++c)
        if (table.columns[c] == column)
            return row[c].scalar;
    return {};
}

int number(const std::string& text)
{
    try {
        return text.empty() ? 0 : std::stoi(text);
    } catch (const std::exception&) {
        return 0;
    }
}

bool characterLike(char exid)
{
    return exid == 'C' || exid == 'N' || exid == 'D' || exid == 'T';
}

RFC_U_FUNINT rowOf(const WireValue& params, const std::vector<WireValue>& row, const FunctionShape* shape)
{
    RFC_U_FUNINT r{};
    const std::string name = cell(params, row, "PARAMETER");
    const std::string exid = cell(params, row, "EXID");
    copyFixed(r.Paramclass, cell(params, row, "PARAMCLASS"));
    copyFixed(r.Parameter, name);
    copyFixed(r.Tabname, cell(params, row, "TABNAME"));
    copyFixed(r.Fieldname, cell(params, row, "FIELDNAME"));
    copyFixed(r.Exid, exid);
    r.Position = number(cell(params, row, "POSITION"));
    r.Offset_b1 = number(cell(params, row, "OFFSET"));
    r.Length_b1 = number(cell(params, row, "INTLENGTH"));
    r.Decimals = number(cell(params, row, "DECIMALS"));
    copyFixed(r.Default, cell(params, row, "DEFAULT"));
    copyFixed(r.Paramtext, cell(params, row, "PARAMTEXT"));
    copyFixed(r.Optional, cell(params, row, "OPTIONAL"));
    const char letter = exid.empty() ? ' ' : exid[0];
    const auto layout = shape != nullptr ? shape->layoutOf(name) : nullptr;
    if (layout != nullptr) {
        r.Length_b2 = static_cast<SAP_INT>(layout->length);
    } else {
        r.Length_b2 = characterLike(letter) ? 2 * r.Length_b1 : r.Length_b1;
        r.Length_b4 = characterLike(letter) ? 4 * r.Length_b1 : r.Length_b1;
    }
    return r;
}

} // namespace

RFC_RC FunctionInfo::read(ClientConnection& connection, const std::string& function, InternalTable& rows, std::string& exception)
{
    if (rows.rowLength() != sizeof(RFC_U_FUNINT))
        invalidParameter("the table's rows must have " + std::to_string(sizeof(RFC_U_FUNINT)) + " bytes (RFC_U_FUNINT)");
    simwire::CallResult result;
    try {
        result = connection.idleGateway().call({"RFC_GET_FUNCTION_INTERFACE", {{"FUNCNAME", WireValue::text(function)}}, {}});
    } catch (const simrfc::RfcFailure& f) {
        rethrow(f, connection.open() ? RFC_FAILURE : RFC_CLOSED);
    }
    const CallOutcome outcome = CallOutcome::of(result.error);
    if (outcome.code == RFC_EXCEPTION) {
        exception = outcome.exception;
        return RFC_EXCEPTION;
    }
    if (outcome.code != RFC_OK)
        throw ApiFailure(outcome.code, result.error);
    const WireValue* params = nullptr;
    for (const auto& [name, value] : result.outputs)
        if (name == "PARAMS")
            params = &value;
    if (params == nullptr || params->kind != WireValue::Kind::Table)
        programFailure("RFC_FAILURE", "RFC_GET_FUNCTION_INTERFACE gave no parameter table");
    const auto shape = params->rows.empty() ? nullptr : connection.shape(function);
    rows.clear();
    for (const auto& row : params->rows) {
        const RFC_U_FUNINT r = rowOf(*params, row, shape.get());
        std::memcpy(rows.append(), &r, sizeof r);
    }
    return RFC_OK;
}

} // namespace classicrfc
