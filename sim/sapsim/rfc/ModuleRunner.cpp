#include "rfc/ModuleRunner.h"

#include "repo/Repository.h"
#include "rfc/ModuleRegistry.h"
#include "rfc/RfcError.h"

#include <set>

namespace sapsim {
namespace {

const std::set<std::string> allowedWhenExpired = {
    "RFC_PING", "SUSR_LOGIN_CHECK_RFC", "SUSR_USER_CHANGE_PASSWORD_RFC", "RFC_GET_FUNCTION_INTERFACE",
    "RFC_GET_UNICODE_STRUCTURE", "RFC_GET_NAMETAB", "SLDAG_CHECK_FOR_UNICODE", "RFC_GET_ATTRIBUTES"};

} // namespace

const FunctionDef& ModuleRunner::function(const std::string& name) const
{
    const FunctionDef* def = m_repository.function(name);
    if (def == nullptr)
        throw SystemFailure(SystemFailure::functionNotFound, "function module " + name + " not found");
    return *def;
}

void ModuleRunner::run(FunctionCall& call, CallEnvironment& env, bool passwordExpired) const
{
    const std::string& name = call.def().name;
    if (passwordExpired && allowedWhenExpired.count(name) == 0)
        throw SystemFailure(SystemFailure::passwordExpired, "the password of user " + env.logon.user + " has expired");
    if (const ModuleHandler* handler = m_modules.find(name))
        (*handler)(call, env);
}

} // namespace sapsim
