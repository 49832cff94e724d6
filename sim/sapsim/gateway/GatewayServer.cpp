#include "gateway/GatewayServer.h"

#include "gateway/ClientChannel.h"
#include "gateway/LogonJournal.h"
#include "gateway/Registrations.h"
#include "modules/SystemInfo.h"
#include "repo/Repository.h"
#include "server/Logger.h"


namespace sapsim {

using namespace simwire;

namespace {

bool validProgramId(const std::string& id)
{
    if (id.empty() || id.size() > 64)
        return false;
    for (char c : id)
        if (c <= ' ' || c > '~')
            return false;
    return true;
}

} // namespace

GatewayServer::GatewayServer(const GatewayServices& services) : m_services(services)
{
    FrameSocket::startWinsock();
}

GatewayServer::~GatewayServer()
{
    stop();
}

unsigned short GatewayServer::listen(unsigned short port)
{
    return m_acceptor.listen(port, "the gateway");
}

void GatewayServer::start()
{
    m_accepting = std::thread([this] { m_acceptor.run([this](SOCKET socket) { admit(socket); }); });
}

void GatewayServer::stop()
{
    std::lock_guard stopping(m_stopMutex);
    if (m_stopped)
        return;
    m_stopped = true;
    m_stopping = true;
    m_acceptor.stop();
    if (m_accepting.joinable())
        m_accepting.join();
    m_services.registrations.stopAll();
    std::list<std::unique_ptr<Partner>> partners;
    {
        std::lock_guard lock(m_mutex);
        for (auto& p : m_partners)
            if (p->socket)
                p->socket->abort();
        partners.swap(m_partners);
    }
    for (auto& p : partners)
        p->thread.join();
}

void GatewayServer::admit(SOCKET socket)
{
    std::lock_guard lock(m_mutex);
    for (auto it = m_partners.begin(); it != m_partners.end();) {
        if ((*it)->finished) {
            (*it)->thread.join();
            it = m_partners.erase(it);
        } else {
            ++it;
        }
    }
    auto partner = std::make_unique<Partner>();
    partner->socket = std::make_unique<FrameSocket>(socket);
    if (m_stopping || m_partners.size() >= maxPartners)
        return; // the socket closes with the partner
    partner->id = m_nextId++;
    Partner& p = *partner;
    m_partners.push_back(std::move(partner));
    p.thread = std::thread([this, &p] {
        serve(p);
        p.finished = true;
    });
}

void GatewayServer::serve(Partner& partner)
{
    try {
        FrameSocket& socket = *partner.socket;
        if (!socket.waitReadable(helloTimeout))
            return;
        const Frame hello = socket.receive(maxHello);
        if (hello.type == MessageType::ClientHello)
            serveClient(partner, hello);
        else if (hello.type == MessageType::ServerHello)
            registerServer(partner, hello);
    } catch (const WireError& e) {
        m_services.logger.line("gateway connection " + std::to_string(partner.id) + " closed: " + e.what());
    } catch (const std::exception&) {
        // The partner went away; nothing else depends on this connection.
    }
    std::lock_guard lock(m_mutex);
    partner.socket.reset();
}

void GatewayServer::serveClient(Partner& partner, const Frame& hello)
{
    WireReader in(hello.payload);
    const ClientHello request = readClientHello(in);
    in.expectEnd();
    UserStore& users = m_services.repository.users();
    GatewayLogon::Outcome outcome = GatewayLogon::check(request, users, m_services.tickets);
    outcome.maskedParameters = GatewayLogon::mask(request.received, outcome.logon, users, m_services.tickets);
    m_services.logons.record({partner.id, "client", partner.socket->peer(), outcome.accepted,
                              outcome.accepted ? "" : outcome.error.message, outcome.maskedParameters});
    m_services.logger.line("gateway " + std::to_string(partner.id) + " logon " + outcome.logon.client + "/" +
                           outcome.logon.user + (outcome.accepted ? " accepted" : " refused"));
    if (!outcome.accepted) {
        partner.socket->send(MessageType::Failure, encode(outcome.error));
        return;
    }
    const Logon& logon = outcome.logon;
    partner.socket->send(MessageType::Ok, encode(attributes(partner.id, logon.client, logon.user, logon.language, *partner.socket)));
    ClientChannel(*partner.socket, m_services, std::move(outcome)).serve();
}

void GatewayServer::registerServer(Partner& partner, const Frame& hello)
{
    WireReader in(hello.payload);
    const ServerHello request = readServerHello(in);
    in.expectEnd();
    const bool valid = validProgramId(request.programId);
    m_services.logons.record({partner.id, "server", partner.socket->peer(), valid,
                              valid ? "" : "invalid program ID", request.received});
    if (!valid) {
        ErrorRecord e;
        e.code = 2; // RFC_LOGON_FAILURE: the gateway refuses the registration
        e.group = 3;
        e.key = "RFC_LOGON_FAILURE";
        e.message = "program ID '" + request.programId + "' is not valid: 1 to 64 printable characters";
        e.closes = true;
        partner.socket->send(MessageType::Failure, encode(e));
        return;
    }
    const SystemAttributes welcome = attributes(partner.id, "", "", "", *partner.socket);
    std::unique_ptr<FrameSocket> socket;
    {
        std::lock_guard lock(m_mutex);
        socket = std::move(partner.socket);
    }
    auto registration = std::make_shared<Registration>(partner.id, request.programId, std::move(socket));
    if (!m_services.registrations.add(registration))
        return;
    bool broken = false;
    try {
        registration->welcome(welcome);
    } catch (const std::exception&) {
        broken = true;
    }
    m_services.registrations.release(registration, broken);
    m_services.logger.line("gateway " + std::to_string(partner.id) + " registered program " + request.programId);
}

SystemAttributes GatewayServer::attributes(unsigned id, const std::string& client, const std::string& user,
                                           const std::string& language, const FrameSocket& socket) const
{
    SystemAttributes a;
    a.sysId = SystemInfo::systemId;
    a.host = SystemInfo::host;
    a.release = SystemInfo::release;
    a.kernelRelease = "753";
    a.client = client;
    a.user = user;
    a.language = language;
    a.isoLanguage = language;
    a.codepage = SystemInfo::codepage;
    a.partnerIp = socket.peer();
    a.connectionId = id;
    return a;
}

} // namespace sapsim
