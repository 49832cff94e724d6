#pragma once

#include "WireValue.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace simwire {

using ParameterList = std::vector<std::pair<std::string, std::string>>;

// A failure as the partner reports it: return code and error group with the numbers of the
// NetWeaver RFC library, key, message and the fields of an ABAP message. `closes` tells that
// the sender ends the connection after it.
struct ErrorRecord {
    int32_t code = 0;
    int32_t group = 0;
    std::string key;
    std::string message;
    std::string abapMsgClass, abapMsgType, abapMsgNumber;
    std::string abapMsgV1, abapMsgV2, abapMsgV3, abapMsgV4;
    bool closes = false;

    static ErrorRecord of(int32_t code, int32_t group, std::string key, std::string message, bool closes = false)
    {
        ErrorRecord e;
        e.code = code;
        e.group = group;
        e.key = std::move(key);
        e.message = std::move(message);
        e.closes = closes;
        return e;
    }
};

// Opens a client connection. `received` is the parameter list as the client library got it
// from its caller (names and values, in order); the other fields are what it made of them.
struct ClientHello {
    ParameterList received;
    std::string client, user, password, language, ticket;
    std::string programName;
};

// Registers a server program under a program ID.
struct ServerHello {
    ParameterList received;
    std::string programId;
};

// What the gateway tells a partner about the system after the logon or registration.
struct SystemAttributes {
    std::string sysId, host, release, kernelRelease, client, user, language, isoLanguage;
    std::string codepage;
    std::string partnerIp;
    uint32_t connectionId = 0;
};

struct CallRequest {
    std::string function;
    NamedValues inputs;                   // active importing, changing and table parameters
    std::vector<std::string> inactive;    // parameters the caller switched off
};

struct UnitRequest {
    std::string tid;
    std::string queue;
    std::vector<CallRequest> calls;
};

// The outcome of a call: outputs after success, the tables after an ABAP exception.
struct CallResult {
    ErrorRecord error; // code 0: success
    NamedValues outputs;
};

enum class CallType : uint8_t { Synchronous = 0, Transactional = 1 };

// Who calls a registered server, as its logon check sees it.
struct CallerInfo {
    std::string sysId, client, user, language, program, ticket;
};

struct ServerCallRequest {
    CallType type = CallType::Synchronous;
    std::string tid;
    CallerInfo caller;
    std::string function;
    NamedValues inputs;
};

enum class TransactionStep : uint8_t { Check = 1, Commit = 2, Rollback = 3, Confirm = 4 };

struct TransactionStepRequest {
    TransactionStep step = TransactionStep::Check;
    std::string tid;
};

void write(WireWriter& w, const ErrorRecord& e);
ErrorRecord readErrorRecord(WireReader& r);
void write(WireWriter& w, const ParameterList& list);
ParameterList readParameterList(WireReader& r);
void write(WireWriter& w, const ClientHello& m);
ClientHello readClientHello(WireReader& r);
void write(WireWriter& w, const ServerHello& m);
ServerHello readServerHello(WireReader& r);
void write(WireWriter& w, const SystemAttributes& m);
SystemAttributes readSystemAttributes(WireReader& r);
void write(WireWriter& w, const CallRequest& m);
CallRequest readCallRequest(WireReader& r);
void write(WireWriter& w, const UnitRequest& m);
UnitRequest readUnitRequest(WireReader& r);
void write(WireWriter& w, const CallResult& m);
CallResult readCallResult(WireReader& r);
void write(WireWriter& w, const ServerCallRequest& m);
ServerCallRequest readServerCallRequest(WireReader& r);
void write(WireWriter& w, const TransactionStepRequest& m);
TransactionStepRequest readTransactionStepRequest(WireReader& r);

// Encodes one message into a payload.
template <class Message>
std::string encode(const Message& m)
{
    WireWriter w;
    write(w, m);
    return w.take();
}

} // namespace simwire
