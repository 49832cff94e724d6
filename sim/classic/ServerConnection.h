#pragma once

#include "Connection.h"

#include "GatewayRegistration.h"

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace classicrfc {

// A server program registered at sapsim's gateway (RfcAcceptU). The gateway sends one request
// at a time: RfcListenU or RfcWaitForRequestU fetch it ahead, RfcDispatchU or RfcGetNameU take
// it. While a call is served it is the current call: RfcGetDataU reads its values and
// RfcSendDataU or one of the raise functions answers it.
class ServerConnection : public Connection {
public:
    struct CurrentCall {
        simwire::ServerCallRequest request;
        bool answered = false;
        bool dispatched = false; // run by RfcDispatchU, which ends it when the handler returns
        std::vector<ITAB_H> createdTables; // by RfcGetDataU, freed when the call ends
    };

    ServerConnection(std::unique_ptr<simrfc::GatewayRegistration> registration, std::string programId);

    bool open() const override { return m_registration->isOpen(); }
    void shutdown() override { m_registration->close(); }

    enum class Wait { Request, Nothing, Closed };
    // Fetches the next request ahead, waiting at most `timeout`.
    Wait waitForRequest(std::chrono::milliseconds timeout);
    // The request fetched ahead, if any.
    std::optional<simrfc::IncomingRequest> takeRequest() { return std::exchange(m_ahead, std::nullopt); }

    std::optional<CurrentCall>& current() { return m_current; }
    CurrentCall& requireCurrent();
    // Answers the current call; one taken by RfcGetNameU ends with it.
    void answer(const simwire::CallResult& result);
    void answerStep(int returnCode);
    // Ends the current call; the tables RfcGetDataU made for it are freed.
    void endCall();

    RFC_EXTERNAL_LOGON logonHandler = nullptr;

private:
    std::unique_ptr<simrfc::GatewayRegistration> m_registration;
    std::optional<simrfc::IncomingRequest> m_ahead;
    std::optional<CurrentCall> m_current;
};

} // namespace classicrfc
