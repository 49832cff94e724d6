#include "gateway/ClientChannel.h"

#include "gateway/DescriptionBuilder.h"
#include "gateway/RfcCodes.h"
#include "gateway/TidStore.h"
#include "gateway/ValueBridge.h"
#include "repo/Repository.h"
#include "rfc/ModuleRunner.h"
#include "rfc/RfcError.h"
#include "server/Lifecycle.h"
#include "server/Logger.h"
#include "server/SsoTicket.h"

#include <chrono>

namespace sapsim {
namespace {

using namespace simwire;

ErrorRecord exceptionRecord(const FunctionDef& def, const AbapException& e)
{
    std::string text = e.what();
    if (text.empty())
        for (const ExceptionDef& x : def.exceptions)
            if (x.name == e.name())
                text = x.text;
    return ErrorRecord::of(rfc::abapException, rfc::abapApplicationFailure, e.name(), text, false);
}

ErrorRecord messageRecord(const AbapMessage& m)
{
    ErrorRecord e = ErrorRecord::of(rfc::abapMessage, rfc::abapRuntimeFailureGroup, "RFC_ABAP_MESSAGE", m.what(), true);
    e.abapMsgType = m.id().type;
    e.abapMsgClass = m.id().messageClass;
    e.abapMsgNumber = m.id().number;
    e.abapMsgV1 = m.variables()[0];
    e.abapMsgV2 = m.variables()[1];
    e.abapMsgV3 = m.variables()[2];
    e.abapMsgV4 = m.variables()[3];
    return e;
}

ErrorRecord failureRecord(const SystemFailure& f)
{
    if (f.type() == SystemFailure::passwordExpired)
        return ErrorRecord::of(rfc::logonFailure, rfc::logonFailureGroup, f.type(), f.what(), true);
    return ErrorRecord::of(rfc::abapRuntimeFailure, rfc::abapRuntimeFailureGroup, f.type(), f.what(), true);
}

// A unit fails as a whole with the error of its first failing call.
struct UnitFailed {
    ErrorRecord error;
};

} // namespace

ClientChannel::ClientChannel(FrameSocket& socket, const GatewayServices& services, GatewayLogon::Outcome logon)
    : m_socket(socket), m_services(services), m_logon(std::move(logon)), m_session(m_logon.logon.client, m_logon.logon.user)
{
}

void ClientChannel::serve()
{
    while (!m_services.lifecycle.stopping()) {
        if (!m_socket.waitReadable(idleLimit))
            return;
        if (!answer(m_socket.receive()))
            return;
    }
}

bool ClientChannel::answer(const Frame& request)
{
    WireReader in(request.payload);
    switch (request.type) {
    case MessageType::DescribeFunction:
        describeFunction(in.text());
        return true;
    case MessageType::DescribeType:
        describeType(in.text());
        return true;
    case MessageType::Call: {
        const CallRequest call = readCallRequest(in);
        const auto started = std::chrono::steady_clock::now();
        const CallResult result = runCall(call);
        log(call.function, result.error, started);
        if (m_drop)
            return false;
        if (result.error.code == rfc::ok)
            sendOk(encode(result));
        else
            sendFailure(result.error, result.outputs);
        return !result.error.closes;
    }
    case MessageType::NewTid: {
        WireWriter out;
        out.text(m_services.tids.newTid());
        sendOk(out.take());
        return true;
    }
    case MessageType::SubmitUnit:
        submitUnit(readUnitRequest(in));
        return !m_drop;
    case MessageType::ConfirmUnit:
        m_services.tids.confirm(in.text());
        sendOk({});
        return true;
    case MessageType::Ping:
        sendOk({});
        return true;
    case MessageType::Ticket: {
        WireWriter out;
        out.text(m_services.tickets.issue(m_logon.logon.client, m_logon.logon.user));
        sendOk(out.take());
        return true;
    }
    case MessageType::Bye:
        return false;
    default:
        throw WireError("message type " + std::to_string(static_cast<int>(request.type)) + " is not a client request");
    }
}

CallResult ClientChannel::runCall(const CallRequest& request)
{
    CallResult result;
    const ModuleRunner runner(m_services.repository, m_services.modules);
    const FunctionDef* def = nullptr;
    try {
        def = &runner.function(request.function);
        FunctionCall call(*def);
        ValueBridge::readInputs(call, request.inputs);
        CallEnvironment env{m_services.repository, m_logon.logon, m_session, m_services.lifecycle, m_services.tickets};
        env.logonParameters = &m_logon.maskedParameters;
        const std::set<std::string> inactive(request.inactive.begin(), request.inactive.end());
        try {
            runner.run(call, env, m_logon.passwordExpired);
            result.outputs = ValueBridge::outputs(call, false, inactive);
        } catch (const AbapException& e) {
            result.error = exceptionRecord(*def, e);
            result.outputs = ValueBridge::outputs(call, true, inactive);
        }
        m_drop = env.dropConnection;
    } catch (const AbapMessage& m) {
        result.error = messageRecord(m);
    } catch (const SystemFailure& f) {
        result.error = failureRecord(f);
    } catch (const std::exception& e) {
        m_services.logger.error("gateway module " + request.function + ": " + e.what());
        result.error = failureRecord(SystemFailure(SystemFailure::systemFailure, e.what()));
    }
    return result;
}

void ClientChannel::describeFunction(const std::string& name)
{
    const FunctionDef* def = m_services.repository.function(name);
    if (def == nullptr) {
        sendFailure(ErrorRecord::of(rfc::notFound, rfc::abapApplicationFailure, "FU_NOT_FOUND", "ID:FL Type:E Number:046 " + name, false));
        return;
    }
    WireWriter out;
    write(out, DescriptionBuilder::function(*def));
    sendOk(out.take());
}

void ClientChannel::describeType(const std::string& name)
{
    const Dictionary& dictionary = m_services.repository.dictionary();
    const Structure* s = dictionary.structure(name);
    if (s == nullptr && dictionary.tableType(name) != nullptr)
        s = dictionary.tableType(name)->row;
    if (s == nullptr) {
        sendFailure(ErrorRecord::of(rfc::notFound, rfc::abapApplicationFailure, "NOT_FOUND", "Type " + name + " does not exist or is not active", false));
        return;
    }
    WireWriter out;
    write(out, DescriptionBuilder::structure(*s));
    sendOk(out.take());
}

void ClientChannel::submitUnit(const UnitRequest& unit)
{
    if (unit.tid.size() != 24) {
        sendFailure(ErrorRecord::of(rfc::externalFailure, rfc::externalRuntimeFailure, "RFC_INVALID_TID", "a TID has 24 characters", false));
        return;
    }
    try {
        m_services.tids.runOnce(unit.tid, [&] {
            for (const CallRequest& call : unit.calls) {
                const CallResult result = runCall(call);
                if (m_drop || result.error.code != rfc::ok)
                    throw UnitFailed{result.error};
            }
        });
        sendOk({});
    } catch (const UnitFailed& failed) {
        if (!m_drop)
            sendFailure(failed.error);
    }
}

void ClientChannel::log(const std::string& module, const ErrorRecord& outcome, std::chrono::steady_clock::time_point started) const
{
    Logger& logger = m_services.logger;
    if (!logger.enabled())
        return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
    logger.line("gateway call " + m_logon.logon.client + "/" + m_logon.logon.user + " " + module + " -> " +
                rfc::codeName(outcome.code) + (outcome.key.empty() ? "" : " " + outcome.key) + (m_drop ? " (dropped)" : "") +
                " " + std::to_string(ms) + " ms");
}

void ClientChannel::sendOk(const std::string& payload)
{
    m_socket.send(MessageType::Ok, payload);
}

void ClientChannel::sendFailure(const ErrorRecord& error, const NamedValues& tables)
{
    WireWriter out;
    write(out, CallResult{error, tables});
    m_socket.send(MessageType::Failure, out.take());
}

} // namespace sapsim
