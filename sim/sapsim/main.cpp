// sapsim: a simulated SAP application server on loopback that answers RFC over SOAP on HTTP.
#include "server/Asio.h"

#include "Options.h"
#include "gateway/GatewayAdmin.h"
#include "gateway/GatewayServer.h"
#include "gateway/LogonJournal.h"
#include "gateway/Registrations.h"
#include "gateway/TidStore.h"
#include "repo/Repository.h"
#include "rfc/ModuleRegistry.h"
#include "server/HttpServer.h"
#include "server/Lifecycle.h"
#include "server/Logger.h"
#include "server/RequestHandler.h"
#include "server/SessionStore.h"
#include "server/SsoTicket.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace {

sapsim::Lifecycle* g_lifecycle = nullptr;

BOOL WINAPI onConsoleControl(DWORD event)
{
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        if (g_lifecycle != nullptr)
            g_lifecycle->requestStop();
        return TRUE;
    }
    return FALSE;
}

// The repository shipped with the sources, unless one lies next to the program.
std::filesystem::path defaultRepository(const char* argv0)
{
    const auto besideProgram = std::filesystem::path(argv0).parent_path() / "sapsim-repository";
    if (std::filesystem::is_directory(besideProgram))
        return besideProgram;
    return SAPSIM_SOURCE_REPOSITORY;
}

int serve(const sapsim::Options& options, const char* argv0)
{
    using namespace sapsim;
    Logger logger(options.logFile, options.verbose);
    const auto repository = Repository::load(options.repository.empty() ? defaultRepository(argv0) : options.repository);
    const ModuleRegistry modules = ModuleRegistry::standard();
    SessionStore sessions(SessionStore::Limits{});
    Lifecycle lifecycle;
    const SsoTicket tickets;
    TidStore tids;
    Registrations registrations;
    LogonJournal logons;
    const GatewayServices gatewayServices{*repository, modules, lifecycle, tickets, logger, tids, registrations, logons};
    GatewayServer gateway(gatewayServices);
    GatewayAdmin gatewayAdmin(gatewayServices);
    RequestHandler handler({*repository, modules, sessions, lifecycle, tickets, logger, &gatewayAdmin}, XmlParser::Limits{});

    HttpLimits limits;
    if (options.maxBody)
        limits.maxBody = *options.maxBody;
    if (options.maxConnections)
        limits.maxConnections = *options.maxConnections;
    HttpServer server(handler, lifecycle, limits);
    const unsigned short port = server.listen(options.httpPort);
    const unsigned short gatewayPort = gateway.listen(options.gatewayPort);
    lifecycle.onStop([&gateway] { gateway.stop(); });
    gateway.start();

    g_lifecycle = &lifecycle;
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
    std::printf("sapsim gateway on 127.0.0.1:%u\n", static_cast<unsigned>(gatewayPort));
    std::printf("sapsim listening on http://127.0.0.1:%u\n", static_cast<unsigned>(port));
    std::fflush(stdout);
    server.run();
    gateway.stop();
    g_lifecycle = nullptr;
    logger.line("sapsim stopped");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Scripts on Linux read the ready line: no carriage return before the line feed.
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        const auto options = sapsim::Options::parse(args);
        if (options.help) {
            std::fputs(sapsim::Options::usage(), stdout);
            return 0;
        }
        return serve(options, argv[0]);
    } catch (const sapsim::UsageError& e) {
        std::cerr << "sapsim: " << e.what() << "\n" << sapsim::Options::usage();
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "sapsim: " << e.what() << "\n";
        return 1;
    }
}
