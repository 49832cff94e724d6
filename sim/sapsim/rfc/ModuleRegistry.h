#pragma once

#include "rfc/CallEnvironment.h"
#include "rfc/FunctionCall.h"

#include <functional>
#include <map>
#include <string>

namespace sapsim {

using ModuleHandler = std::function<void(FunctionCall&, CallEnvironment&)>;

// The implementations of function modules by name. A module that the repository declares but
// that has no implementation here answers with the initial values of its outputs.
class ModuleRegistry {
public:
    void add(const std::string& name, ModuleHandler handler);
    const ModuleHandler* find(const std::string& name) const;

    // Every module this program implements.
    static ModuleRegistry standard();

private:
    std::map<std::string, ModuleHandler> m_handlers;
};

} // namespace sapsim
