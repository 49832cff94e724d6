#include "modules/TestModules.h"

#include "dictionary/ScalarCodec.h"
#include "repo/TableGenerator.h"
#include "rfc/ModuleRegistry.h"
#include "rfc/Record.h"
#include "rfc/RfcError.h"
#include "server/Lifecycle.h"
#include "server/SessionStore.h"
#include "server/SsoTicket.h"

#include <chrono>
#include <cstdio>

namespace sapsim {
namespace {

// Every importing parameter I_x goes back as the exporting parameter E_x.
void echoTypes(FunctionCall& call, CallEnvironment&)
{
    for (const Parameter& p : call.def().parameters) {
        if (p.paramClass != ParamClass::Importing || !p.name.starts_with("I_"))
            continue;
        const std::string out = "E_" + p.name.substr(2);
        if (call.def().indexOf(out) >= 0)
            call.value(out) = call.value(p.name);
    }
}

void raise(FunctionCall& call, CallEnvironment&)
{
    if (!call.scalar("EXCEPTION").empty())
        throw AbapException(call.scalar("EXCEPTION"), call.scalar("MESSAGE"));
}

void sleep(FunctionCall& call, CallEnvironment& env)
{
    const int64_t ms = call.integer("MILLISECONDS");
    if (ms < 0 || ms > TestModules::maxSleepMs)
        throw AbapException("INVALID_DURATION", "MILLISECONDS must be 0.." + std::to_string(TestModules::maxSleepMs));
    const bool completed = env.lifecycle.waitFor(std::chrono::milliseconds(ms));
    call.set("COMPLETED", completed ? "X" : "");
}

std::string timeOfDay(int64_t seconds)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d", int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60));
    return buf;
}

// Row n (from 1) of the generated table; the values follow simple rules so that clients can
// check them: see sim/README.md.
void generatedRow(Record row, int64_t n, int64_t width)
{
    static const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    std::string text;
    for (int64_t i = 0; i < width; ++i)
        text += letters[static_cast<size_t>((n + i) % 26)];
    const std::string bytes = {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)};
    row.set("CHAR", "ROW" + std::to_string(n))
        .set("NUMC", n % 100000)
        .set("DATE", TableGenerator::dateFromDays(TableGenerator::daysFromDate("20000101") + n - 1))
        .set("TIME", timeOfDay((n * 37) % 86400))
        .set("BCD", std::to_string(n) + ".25")
        .set("RAW", ScalarCodec::hex(bytes))
        .set("FLOAT", std::to_string(n) + ".5")
        .set("INT", n * 3 - 1000)
        .set("INT2", n % 30000 - 15000)
        .set("INT1", n % 256)
        .set("STRING", text)
        .set("XSTRING", ScalarCodec::hex(bytes.substr(2)));
}

void generateRows(FunctionCall& call, CallEnvironment&)
{
    const int64_t count = call.integer("ROWCOUNT");
    const int64_t width = call.integer("WIDTH");
    auto& rows = call.rows("ROWS");
    rows.clear(); // an exception returns the table emptied
    if (count < 0 || count > TestModules::maxGeneratedRows)
        throw AbapException("TOO_MANY_ROWS", "ROWCOUNT must be 0.." + std::to_string(TestModules::maxGeneratedRows));
    if (width < 0 || width > TestModules::maxGeneratedWidth)
        throw AbapException("INVALID_WIDTH", "WIDTH must be 0.." + std::to_string(TestModules::maxGeneratedWidth));
    const Structure& row = *call.parameter("ROWS").type.structure;
    rows.reserve(static_cast<size_t>(count));
    for (int64_t n = 1; n <= count; ++n)
        generatedRow(Record::append(row, rows), n, width);
}

void counter(FunctionCall& call, CallEnvironment& env)
{
    call.set("COUNT", std::to_string(env.session.next("Z_SIM_COUNTER")));
}

void ticket(FunctionCall& call, CallEnvironment& env)
{
    call.value("TICKET").scalar = env.tickets.issue(env.logon.client, env.logon.user);
}

void deep(FunctionCall& call, CallEnvironment&)
{
    const Value& input = call.value("I_DEEP");
    const Structure& s = *call.parameter("I_DEEP").type.structure;
    auto field = [&](const char* name) -> const Value& { return input.items[static_cast<size_t>(s.indexOf(name))]; };
    call.set("E_SUMMARY", "ID=" + call.scalar("I_ID") + " NAME=" + field("NAME").scalar +
                              " ITEMS=" + std::to_string(field("ITEMS").items.size()));
    call.value("E_DEEP") = input;
}

void tableType(FunctionCall& call, CallEnvironment&)
{
    call.set("E_COUNT", std::to_string(call.rows("T_ITEMS").size()));
}

void increment(FunctionCall& call, CallEnvironment&)
{
    try {
        call.set("VALUE", std::to_string(call.integer("VALUE") + call.integer("STEP")));
    } catch (const ConversionError& e) {
        throw AbapException("OVERFLOW", e.what());
    }
}

void rendezvous(FunctionCall& call, CallEnvironment& env)
{
    const int64_t parties = call.integer("PARTIES");
    const int64_t timeout = call.integer("TIMEOUT_MS");
    if (parties < 1 || parties > TestModules::maxParties)
        throw AbapException("INVALID_PARTIES", "PARTIES must be 1.." + std::to_string(TestModules::maxParties));
    if (timeout < 0 || timeout > TestModules::maxSleepMs)
        throw AbapException("INVALID_DURATION", "TIMEOUT_MS must be 0.." + std::to_string(TestModules::maxSleepMs));
    const auto position = env.lifecycle.meet(call.scalar("KEY"), static_cast<int>(parties), std::chrono::milliseconds(timeout));
    if (!position)
        throw AbapException("TIMEOUT", "Not all " + std::to_string(parties) + " parties arrived in time");
    call.set("POSITION", std::to_string(*position));
}

void message(FunctionCall& call, CallEnvironment&)
{
    std::string type = call.scalar("MSGTY");
    if (type != "A" && type != "E")
        throw AbapException("INVALID_TYPE", "MSGTY must be A or E");
    std::vector<std::string> variables;
    std::string text = "Message " + call.scalar("MSGID") + " " + call.scalar("MSGNO") + ":";
    for (const char* v : {"MSGV1", "MSGV2", "MSGV3", "MSGV4"}) {
        variables.push_back(call.scalar(v));
        if (!variables.back().empty())
            text += " " + variables.back();
    }
    throw AbapMessage({type, call.scalar("MSGID"), call.scalar("MSGNO")}, variables, text);
}

void logonParameters(FunctionCall& call, CallEnvironment& env)
{
    if (env.logonParameters == nullptr)
        throw AbapException("NO_RFC_CONNECTION", "Only a connection through the gateway has logon parameters");
    const Structure& row = *call.parameter("PARAMETERS").type.structure;
    auto& rows = call.rows("PARAMETERS");
    for (const auto& [name, value] : *env.logonParameters) {
        Record::append(row, rows).set("NAME", name).set("VALUE", value);
    }
}

} // namespace

void TestModules::registerAll(ModuleRegistry& registry)
{
    registry.add("Z_SIM_ECHO_TYPES", echoTypes);
    registry.add("Z_SIM_DECFLOAT", echoTypes);
    registry.add("Z_SIM_RAISE", raise);
    registry.add("Z_SIM_SLEEP", sleep);
    registry.add("Z_SIM_GENERATE_ROWS", generateRows);
    registry.add("Z_SIM_COUNTER", counter);
    registry.add("Z_SIM_SSO2_TICKET", ticket);
    registry.add("Z_SIM_DEEP", deep);
    registry.add("Z_SIM_TABLE_TYPE", tableType);
    registry.add("Z_SIM_INCREMENT", increment);
    registry.add("Z_SIM_RENDEZVOUS", rendezvous);
    registry.add("Z_SIM_DROP_CONNECTION", [](FunctionCall&, CallEnvironment& env) { env.dropConnection = true; });
    registry.add("Z_SIM_MESSAGE", message);
    registry.add("Z_SIM_LOGON_PARAMETERS", logonParameters);
    registry.add("/SIM/ECHO", [](FunctionCall& call, CallEnvironment&) { call.value("ECHO") = call.value("TEXT"); });
}

} // namespace sapsim
