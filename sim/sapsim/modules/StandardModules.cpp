#include "modules/StandardModules.h"

#include "modules/SystemInfo.h"
#include "repo/Repository.h"
#include "rfc/ModuleRegistry.h"
#include "rfc/RfcError.h"

namespace sapsim {
namespace {

void stfcConnection(FunctionCall& call, CallEnvironment& env)
{
    call.set("ECHOTEXT", call.scalar("REQUTEXT"));
    call.set("RESPTEXT", SystemInfo::banner(env.logon) + " Date: " + SystemInfo::today() + " Time: " + SystemInfo::now());
}

void stfcStructure(FunctionCall& call, CallEnvironment& env)
{
    const Value imported = call.value("IMPORTSTRUCT");
    auto& rows = call.rows("RFCTABLE");
    const size_t received = rows.size();
    call.value("ECHOSTRUCT") = imported;
    rows.push_back(imported);
    call.set("RESPTEXT", SystemInfo::banner(env.logon) + " " + std::to_string(received) + " rows received");
}

void loginCheck(FunctionCall&, CallEnvironment& env)
{
    if (env.repository.users().state(env.logon.client, env.logon.user) == LogonStatus::PasswordExpired)
        throw AbapException("PASSWORD_EXPIRED", "The password of user " + env.logon.user + " has expired");
}

void changePassword(FunctionCall& call, CallEnvironment& env)
{
    const std::string& user = call.scalar("BNAME");
    if (!user.empty() && UserStore::normaliseUser(user) != env.logon.user)
        throw AbapException("CHANGE_NOT_ALLOWED", "Only the logged-on user can change the password");
    switch (env.repository.users().changePassword(env.logon.client, env.logon.user, call.scalar("PASSWORD"),
                                                  call.scalar("NEW_PASSWORD"))) {
    case PasswordChange::Changed:
        return;
    case PasswordChange::WrongPassword:
        throw AbapException("CHANGE_NOT_ALLOWED", "The current password is wrong");
    case PasswordChange::NotAllowed:
        throw AbapException("PASSWORD_NOT_ALLOWED", "The new password must have 6 to 40 characters and differ from the old one");
    }
}

void checkUnicode(FunctionCall& call, CallEnvironment&)
{
    call.set("UNICODE", "1");
}

void attributes(FunctionCall& call, CallEnvironment& env)
{
    call.set("SYSID", SystemInfo::systemId);
    call.set("CLIENT", env.logon.client);
    call.set("USER", env.logon.user);
    call.set("LANGUAGE", env.logon.language);
    call.set("HOST", SystemInfo::host);
    call.set("RELEASE", SystemInfo::release);
    call.set("CODEPAGE", SystemInfo::codepage);
    call.set("UNICODE", "X");
}

} // namespace

void StandardModules::registerAll(ModuleRegistry& registry)
{
    registry.add("RFC_PING", [](FunctionCall&, CallEnvironment&) {});
    registry.add("STFC_CONNECTION", stfcConnection);
    registry.add("STFC_STRUCTURE", stfcStructure);
    registry.add("SUSR_LOGIN_CHECK_RFC", loginCheck);
    registry.add("SUSR_USER_CHANGE_PASSWORD_RFC", changePassword);
    registry.add("SLDAG_CHECK_FOR_UNICODE", checkUnicode);
    registry.add("RFC_GET_ATTRIBUTES", attributes);
}

} // namespace sapsim
