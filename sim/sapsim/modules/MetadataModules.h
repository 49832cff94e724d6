#pragma once

namespace sapsim {

class ModuleRegistry;

// Descriptions from the repository: RFC_GET_FUNCTION_INTERFACE (parameters),
// RFC_GET_UNICODE_STRUCTURE (structure fields in the one-, two- and four-byte layouts) and
// RFC_GET_NAMETAB (structures and table types).
class MetadataModules {
public:
    static void registerAll(ModuleRegistry& registry);
};

} // namespace sapsim
