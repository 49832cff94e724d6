#include "WireMessages.h"

namespace simwire {

void write(WireWriter& w, const ErrorRecord& e)
{
    w.u32(static_cast<uint32_t>(e.code));
    w.u32(static_cast<uint32_t>(e.group));
    for (const std::string* s : {&e.key, &e.message, &e.abapMsgClass, &e.abapMsgType, &e.abapMsgNumber, &e.abapMsgV1,
                                 &e.abapMsgV2, &e.abapMsgV3, &e.abapMsgV4})
        w.text(*s);
    w.boolean(e.closes);
}

ErrorRecord readErrorRecord(WireReader& r)
{
    ErrorRecord e;
    e.code = static_cast<int32_t>(r.u32());
    e.group = static_cast<int32_t>(r.u32());
    for (std::string* s : {&e.key, &e.message, &e.abapMsgClass, &e.abapMsgType, &e.abapMsgNumber, &e.abapMsgV1,
                           &e.abapMsgV2, &e.abapMsgV3, &e.abapMsgV4})
        *s = r.text();
    e.closes = r.boolean();
    return e;
}

void write(WireWriter& w, const ParameterList& list)
{
    w.u32(static_cast<uint32_t>(list.size()));
    for (const auto& [name, value] : list) {
        w.text(name);
        w.text(value);
    }
}

ParameterList readParameterList(WireReader& r)
{
    ParameterList list(r.count(8));
    for (auto& [name, value] : list) {
        name = r.text();
        value = r.text();
    }
    return list;
}

void write(WireWriter& w, const ClientHello& m)
{
    write(w, m.received);
    for (const std::string* s : {&m.client, &m.user, &m.password, &m.language, &m.ticket, &m.programName})
        w.text(*s);
}

ClientHello readClientHello(WireReader& r)
{
    ClientHello m;
    m.received = readParameterList(r);
    for (std::string* s : {&m.client, &m.user, &m.password, &m.language, &m.ticket, &m.programName})
        *s = r.text();
    return m;
}

void write(WireWriter& w, const ServerHello& m)
{
    write(w, m.received);
    w.text(m.programId);
}

ServerHello readServerHello(WireReader& r)
{
    ServerHello m;
    m.received = readParameterList(r);
    m.programId = r.text();
    return m;
}

void write(WireWriter& w, const SystemAttributes& m)
{
    for (const std::string* s : {&m.sysId, &m.host, &m.release, &m.kernelRelease, &m.client, &m.user, &m.language,
                                 &m.isoLanguage, &m.codepage, &m.partnerIp})
        w.text(*s);
    w.u32(m.connectionId);
}

SystemAttributes readSystemAttributes(WireReader& r)
{
    SystemAttributes m;
    for (std::string* s : {&m.sysId, &m.host, &m.release, &m.kernelRelease, &m.client, &m.user, &m.language,
                           &m.isoLanguage, &m.codepage, &m.partnerIp})
        *s = r.text();
    m.connectionId = r.u32();
    return m;
}

void write(WireWriter& w, const CallRequest& m)
{
    w.text(m.function);
    writeNamedValues(w, m.inputs);
    w.u32(static_cast<uint32_t>(m.inactive.size()));
    for (const std::string& name : m.inactive)
        w.text(name);
}

CallRequest readCallRequest(WireReader& r)
{
    CallRequest m;
    m.function = r.text();
    m.inputs = readNamedValues(r);
    m.inactive.resize(r.count(4));
    for (std::string& name : m.inactive)
        name = r.text();
    return m;
}

void write(WireWriter& w, const UnitRequest& m)
{
    w.text(m.tid);
    w.text(m.queue);
    w.u32(static_cast<uint32_t>(m.calls.size()));
    for (const CallRequest& c : m.calls)
        write(w, c);
}

UnitRequest readUnitRequest(WireReader& r)
{
    UnitRequest m;
    m.tid = r.text();
    m.queue = r.text();
    const uint32_t n = r.count(12);
    for (uint32_t i = 0; i < n; ++i)
        m.calls.push_back(readCallRequest(r));
    return m;
}

void write(WireWriter& w, const CallResult& m)
{
    write(w, m.error);
    writeNamedValues(w, m.outputs);
}

CallResult readCallResult(WireReader& r)
{
    CallResult m;
    m.error = readErrorRecord(r);
    m.outputs = readNamedValues(r);
    return m;
}

void write(WireWriter& w, const ServerCallRequest& m)
{
    w.u8(static_cast<uint8_t>(m.type));
    w.text(m.tid);
    for (const std::string* s : {&m.caller.sysId, &m.caller.client, &m.caller.user, &m.caller.language,
                                 &m.caller.program, &m.caller.ticket})
        w.text(*s);
    w.text(m.function);
    writeNamedValues(w, m.inputs);
}

ServerCallRequest readServerCallRequest(WireReader& r)
{
    ServerCallRequest m;
    const uint8_t type = r.u8();
    if (type > static_cast<uint8_t>(CallType::Transactional))
        throw WireError("unknown call type");
    m.type = static_cast<CallType>(type);
    m.tid = r.text();
    for (std::string* s : {&m.caller.sysId, &m.caller.client, &m.caller.user, &m.caller.language, &m.caller.program,
                           &m.caller.ticket})
        *s = r.text();
    m.function = r.text();
    m.inputs = readNamedValues(r);
    return m;
}

void write(WireWriter& w, const TransactionStepRequest& m)
{
    w.u8(static_cast<uint8_t>(m.step));
    w.text(m.tid);
}

TransactionStepRequest readTransactionStepRequest(WireReader& r)
{
    TransactionStepRequest m;
    const uint8_t step = r.u8();
    if (step < 1 || step > 4)
        throw WireError("unknown transaction step");
    m.step = static_cast<TransactionStep>(step);
    m.tid = r.text();
    return m;
}

} // namespace simwire
