#include "gateway/GatewayAdmin.h"

#include "dictionary/ScalarCodec.h"
#include "gateway/LogonJournal.h"
#include "gateway/Registrations.h"
#include "gateway/RfcCodes.h"
#include "modules/SystemInfo.h"
#include "server/Logger.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>

namespace sapsim {
namespace {

using nlohmann::json;
using namespace simwire;

constexpr int defaultTimeoutMs = 30000;
constexpr int maxTimeoutMs = 300000;
constexpr int maxRepeat = 1000000;

struct BadRequest : std::runtime_error {
    using std::runtime_error::runtime_error;
};

HttpResponse jsonResponse(int status, const json& body)
{
    HttpResponse r;
    r.status = status;
    r.headers.emplace_back("Content-Type", "application/json");
    r.body = body.dump() + "\n";
    return r;
}

std::string scalarText(const json& v)
{
    if (v.is_string())
        return v.get<std::string>();
    if (v.is_boolean())
        return v.get<bool>() ? "X" : "";
    if (v.is_number())
        return v.dump();
    throw BadRequest("a scalar value must be a string, number or boolean");
}

WireValue toWire(const json& v, int depth = 0)
{
    if (depth > maxValueDepth)
        throw BadRequest("values nested too deep");
    if (v.is_object()) {
        WireValue s = WireValue::structure();
        for (const auto& [name, field] : v.items())
            if (!field.is_null())
                s.fields.emplace_back(name, toWire(field, depth + 1));
        return s;
    }
    if (v.is_array()) {
        std::vector<std::string> columns;
        for (const json& row : v) {
            if (!row.is_object())
                throw BadRequest("a table is an array of objects");
            for (const auto& [name, cell] : row.items())
                if (std::find(columns.begin(), columns.end(), name) == columns.end())
                    columns.push_back(name);
        }
        WireValue t = WireValue::table(columns);
        for (const json& row : v) {
            std::vector<WireValue> cells;
            for (const std::string& c : columns)
                cells.push_back(row.contains(c) && !row[c].is_null() ? toWire(row[c], depth + 1) : WireValue::text(""));
            t.rows.push_back(std::move(cells));
        }
        return t;
    }
    return WireValue::text(scalarText(v));
}

json toJson(const WireValue& v)
{
    switch (v.kind) {
    case WireValue::Kind::Text: return v.scalar;
    case WireValue::Kind::Bytes: return ScalarCodec::hex(v.scalar);
    case WireValue::Kind::Structure: {
        json o = json::object();
        for (const auto& [name, field] : v.fields)
            o[name] = toJson(field);
        return o;
    }
    case WireValue::Kind::Table: {
        json rows = json::array();
        for (const auto& row : v.rows) {
            json o = json::object();
            for (size_t c = 0; c < v.columns.size(); ++c)
                o[v.columns[c]] = toJson(row[c]);
            rows.push_back(std::move(o));
        }
        return rows;
    }
    }
    return nullptr;
}

json toJson(const NamedValues& values)
{
    json o = json::object();
    for (const auto& [name, value] : values)
        o[name] = toJson(value);
    return o;
}

std::string stringField(const json& request, const char* name, const std::string& fallback = {})
{
    if (!request.contains(name))
        return fallback;
    if (!request[name].is_string())
        throw BadRequest(std::string(name) + " must be a string");
    return request[name].get<std::string>();
}

int numberField(const json& request, const char* name, int fallback, int low, int high)
{
    if (!request.contains(name))
        return fallback;
    if (!request[name].is_number_integer() || request[name].get<long long>() < low || request[name].get<long long>() > high)
        throw BadRequest(std::string(name) + " must be an integer " + std::to_string(low) + ".." + std::to_string(high));
    return request[name].get<int>();
}

ServerCallRequest callRequest(const json& request)
{
    ServerCallRequest r;
    r.function = stringField(request, "function");
    if (r.function.empty())
        throw BadRequest("function is required");
    r.caller = {SystemInfo::systemId, stringField(request, "client", "001"), stringField(request, "user", "DEMO"),
                stringField(request, "language", "EN"), stringField(request, "program", "SAPSIM_ADMIN"), ""};
    if (request.contains("values")) {
        if (!request["values"].is_object())
            throw BadRequest("values must be an object");
        for (const auto& [name, value] : request["values"].items())
            if (!value.is_null())
                r.inputs.emplace_back(name, toWire(value));
    }
    return r;
}

json outcome(const CallResult& result)
{
    json out;
    if (result.error.code == rfc::ok) {
        out["result"] = "ok";
    } else if (result.error.code == rfc::abapException) {
        out["result"] = "exception";
        out["key"] = result.error.key;
        out["message"] = result.error.message;
    } else {
        out["result"] = "error";
        out["code"] = rfc::codeName(result.error.code);
        out["group"] = result.error.group;
        out["key"] = result.error.key;
        out["message"] = result.error.message;
        if (!result.error.abapMsgType.empty())
            out["abapMessage"] = {{"class", result.error.abapMsgClass}, {"type", result.error.abapMsgType},
                                  {"number", result.error.abapMsgNumber},
                                  {"variables", {result.error.abapMsgV1, result.error.abapMsgV2, result.error.abapMsgV3, result.error.abapMsgV4}}};
    }
    out["values"] = toJson(result.outputs);
    return out;
}

json failure(const std::string& code, const std::string& message)
{
    return {{"result", "error"}, {"code", code}, {"message", message}};
}

std::chrono::milliseconds timeoutOf(const json& request)
{
    return std::chrono::milliseconds(numberField(request, "timeoutMs", defaultTimeoutMs, 0, maxTimeoutMs));
}

} // namespace

HttpResponse GatewayAdmin::handle(const HttpRequest& request, const std::string& path)
{
    const std::string action = path.substr(std::string(prefix).size());
    const bool get = action == "registrations" || action == "logons";
    const bool post = action == "call" || action == "transaction" || action == "drop";
    if (!get && !post)
        return jsonResponse(404, failure("RFC_NOT_FOUND", "no gateway endpoint " + path));
    if (request.method != (get ? "GET" : "POST"))
        return jsonResponse(405, failure("RFC_INVALID_PARAMETER", "use " + std::string(get ? "GET" : "POST")));
    try {
        if (action == "registrations")
            return registrations();
        if (action == "logons")
            return logons();
        const json body = json::parse(request.body);
        if (!body.is_object())
            throw BadRequest("the body must be a JSON object");
        if (action == "call")
            return call(body);
        if (action == "transaction")
            return transaction(body);
        return drop(body);
    } catch (const json::exception& e) {
        return jsonResponse(400, failure("RFC_INVALID_PARAMETER", std::string("bad JSON: ") + e.what()));
    } catch (const BadRequest& e) {
        return jsonResponse(400, failure("RFC_INVALID_PARAMETER", e.what()));
    }
}

HttpResponse GatewayAdmin::call(const json& request)
{
    const std::string programId = stringField(request, "programId");
    ServerCallRequest call = callRequest(request);
    const int repeat = numberField(request, "repeat", 1, 1, maxRepeat);
    const auto timeout = timeoutOf(request);
    auto lease = m_services.registrations.borrow(programId, timeout);
    if (!lease)
        return jsonResponse(404, failure("RFC_NOT_FOUND", "no idle server registered under program ID '" + programId + "'"));
    const auto started = std::chrono::steady_clock::now();
    try {
        CallResult result;
        int done = 0;
        while (done < repeat) {
            result = (*lease)->call(call, timeout);
            ++done;
            if (result.error.code != rfc::ok)
                break;
        }
        json out = outcome(result);
        if (repeat > 1) {
            out["calls"] = done;
            out["seconds"] = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        }
        return jsonResponse(200, out);
    } catch (const std::exception& e) {
        lease->discard();
        return jsonResponse(502, failure("RFC_COMMUNICATION_FAILURE", e.what()));
    }
}

// Plays a tRFC unit the way the ABAP side sends it: check the TID, run the call, commit when it
// succeeded and roll back when it failed, and confirm after a commit.
HttpResponse GatewayAdmin::transaction(const json& request)
{
    const std::string programId = stringField(request, "programId");
    ServerCallRequest call = callRequest(request);
    call.type = CallType::Transactional;
    call.tid = stringField(request, "tid");
    if (call.tid.empty() || call.tid.size() > 24)
        throw BadRequest("tid must have 1 to 24 characters");
    const auto timeout = timeoutOf(request);
    auto lease = m_services.registrations.borrow(programId, timeout);
    if (!lease)
        return jsonResponse(404, failure("RFC_NOT_FOUND", "no idle server registered under program ID '" + programId + "'"));
    json steps = json::array();
    json out;
    auto step = [&](TransactionStep s, const char* name) {
        const int rc = (*lease)->transactionStep({s, call.tid}, timeout);
        steps.push_back({{"step", name}, {"rc", rfc::codeName(rc)}});
        return rc;
    };
    try {
        const int checked = step(TransactionStep::Check, "check");
        if (checked == rfc::executed) {
            step(TransactionStep::Confirm, "confirm");
            out["result"] = "executed before";
        } else if (checked != rfc::ok) {
            out["result"] = "check failed";
        } else {
            const CallResult result = (*lease)->call(call, timeout);
            steps.push_back({{"step", "call"}, {"rc", rfc::codeName(result.error.code)}});
            out["call"] = outcome(result);
            if (result.error.code != rfc::ok) {
                step(TransactionStep::Rollback, "rollback");
                out["result"] = "rolled back";
            } else if (step(TransactionStep::Commit, "commit") == rfc::ok) {
                step(TransactionStep::Confirm, "confirm");
                out["result"] = "committed";
            } else {
                out["result"] = "commit failed";
            }
        }
    } catch (const std::exception& e) {
        lease->discard();
        json broken = failure("RFC_COMMUNICATION_FAILURE", e.what());
        broken["steps"] = steps;
        return jsonResponse(502, broken);
    }
    out["steps"] = steps;
    return jsonResponse(200, out);
}

HttpResponse GatewayAdmin::registrations()
{
    json list = json::array();
    for (const auto& r : m_services.registrations.list())
        list.push_back({{"programId", r.programId}, {"connection", r.id}, {"peer", r.peer}, {"busy", r.busy}});
    return jsonResponse(200, {{"registrations", list}});
}

HttpResponse GatewayAdmin::drop(const json& request)
{
    const std::string programId = stringField(request, "programId");
    const size_t dropped = m_services.registrations.drop(programId);
    m_services.logger.line("gateway: dropped " + std::to_string(dropped) + " connection(s) of program " + programId);
    return jsonResponse(200, {{"dropped", dropped}});
}

HttpResponse GatewayAdmin::logons()
{
    json list = json::array();
    for (const auto& e : m_services.logons.entries()) {
        json parameters = json::array();
        for (const auto& [name, value] : e.parameters)
            parameters.push_back({name, value});
        list.push_back({{"connection", e.connection}, {"kind", e.kind}, {"peer", e.peer}, {"accepted", e.accepted},
                        {"message", e.message}, {"parameters", parameters}});
    }
    return jsonResponse(200, {{"logons", list}});
}

} // namespace sapsim
