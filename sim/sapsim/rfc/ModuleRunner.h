#pragma once

#include "rfc/CallEnvironment.h"
#include "rfc/FunctionCall.h"

#include <string>

namespace sapsim {

class ModuleRegistry;

// Runs function modules for every channel (SOAP and the RFC gateway), so that each module has
// one implementation whichever way its caller came.
class ModuleRunner {
public:
    ModuleRunner(Repository& repository, const ModuleRegistry& modules) : m_repository(repository), m_modules(modules) {}

    // The module's interface; SystemFailure FUNCTION_NOT_FOUND when the repository has none.
    const FunctionDef& function(const std::string& name) const;
    // Runs the module on the call's values. A user whose password has expired may call only
    // what it takes to find out and to change it (SystemFailure PASSWORD_EXPIRED otherwise).
    // Module failures leave as AbapException, AbapMessage or SystemFailure.
    void run(FunctionCall& call, CallEnvironment& env, bool passwordExpired) const;

private:
    Repository& m_repository;
    const ModuleRegistry& m_modules;
};

} // namespace sapsim
