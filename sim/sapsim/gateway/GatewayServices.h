#pragma once

namespace sapsim {

class Repository;
class ModuleRegistry;
class Lifecycle;
class SsoTicket;
class Logger;
class TidStore;
class Registrations;
class LogonJournal;

// What the gateway's connections share with each other and with the HTTP side.
struct GatewayServices {
    Repository& repository;
    const ModuleRegistry& modules;
    Lifecycle& lifecycle;
    const SsoTicket& tickets;
    Logger& logger;
    TidStore& tids;
    Registrations& registrations;
    LogonJournal& logons;
};

} // namespace sapsim
