#pragma once

namespace sapsim {

class ModuleRegistry;

// RFC_READ_TABLE: rows of a database table as fixed-width text (DATA-WA), with the column
// layout in FIELDS, a selection in OPTIONS, and ROWSKIPS / ROWCOUNT for paging.
class ReadTableModule {
public:
    static void registerAll(ModuleRegistry& registry);

    // The row buffer of DATA holds this many characters.
    static constexpr int rowWidth = 512;
};

} // namespace sapsim
