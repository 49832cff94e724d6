#pragma once

#include "ClientConnection.h"
#include "RowLayout.h"

#include <memory>
#include <string>

namespace classicrfc {

// A dictionary structure (or the row of a table type) as the metadata functions give it: flat
// fields in this platform's Unicode layout, with the dictionary's one-byte layout beside. Flat
// means no structures or tables inside; STRING and XSTRING fields are kept (as RFC_STRING and
// RFC_XSTRING), so that structures with texts of any length can be described.
struct StructureInfo {
    RFCTYPE kind = RFCTYPE_STRUCTURE; // RFCTYPE_ITAB for a table type
    std::shared_ptr<const RowLayout> layout;

    // RFC_OK, or RFC_EXCEPTION with TABLE_NOT_ACTIVE (unknown) or UNSUPPORTED_TYPE (not flat).
    static RFC_RC describe(ClientConnection& connection, const std::string& name, StructureInfo& info, std::string& exception);
};

} // namespace classicrfc
