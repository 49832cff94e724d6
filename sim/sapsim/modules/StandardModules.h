#pragma once

namespace sapsim {

class ModuleRegistry;

// Connection tests, logon and password checks, system attributes: RFC_PING, STFC_CONNECTION,
// STFC_STRUCTURE, SUSR_LOGIN_CHECK_RFC, SUSR_USER_CHANGE_PASSWORD_RFC, SLDAG_CHECK_FOR_UNICODE,
// RFC_GET_ATTRIBUTES.
class StandardModules {
public:
    static void registerAll(ModuleRegistry& registry);
};

} // namespace sapsim
