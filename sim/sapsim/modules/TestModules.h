#pragma once

namespace sapsim {

class ModuleRegistry;

// Modules that exist for testing clients: echoes of every ABAP type, deep and table-type
// parameters, a namespaced module, exceptions on request, waits, a per-session counter, logon
// tickets, generated rows, changing parameters, dropped connections and a rendezvous of
// concurrent callers.
class TestModules {
public:
    static void registerAll(ModuleRegistry& registry);

    static constexpr int maxSleepMs = 60'000;
    static constexpr int maxGeneratedRows = 200'000;
    static constexpr int maxGeneratedWidth = 10'000;
    static constexpr int maxParties = 64;
};

} // namespace sapsim
