#include "rfc/ModuleRegistry.h"

#include "modules/MetadataModules.h"
#include "modules/ReadTableModule.h"
#include "modules/StandardModules.h"
#include "modules/TestModules.h"

#include <stdexcept>

namespace sapsim {

void ModuleRegistry::add(const std::string& name, ModuleHandler handler)
{
    if (!m_handlers.emplace(name, std::move(handler)).second)
        throw std::logic_error("module " + name + " registered twice");
}

const ModuleHandler* ModuleRegistry::find(const std::string& name) const
{
    const auto it = m_handlers.find(name);
    return it == m_handlers.end() ? nullptr : &it->second;
}

ModuleRegistry ModuleRegistry::standard()
{
    ModuleRegistry registry;
    StandardModules::registerAll(registry);
    MetadataModules::registerAll(registry);
    ReadTableModule::registerAll(registry);
    TestModules::registerAll(registry);
    return registry;
}

} // namespace sapsim
