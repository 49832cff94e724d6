#pragma once

#include "RowLayout.h"

#include <memory>
#include <string>

namespace classicrfc {

// Structures installed with RfcInstallUnicodeStructureU, process-wide, under type handles that
// never collide with the scalar type codes. Installing the same structure again gives the
// handle it got the first time.
class StructureRegistry {
public:
    static constexpr RFC_TYPEHANDLE firstHandle = 0x1000;
    static constexpr unsigned maxElements = 10000;

    // RFC_INVALID_PARAMETER for elements that cannot describe a row (unknown types, lengths
    // that do not fit the type).
    static RFC_TYPEHANDLE install(const std::wstring& name, const RFC_UNICODE_TYPE_ELEMENT* elements, unsigned count,
                                  const RFC_BYTE* identifier);
    static std::shared_ptr<const RowLayout> find(RFC_TYPEHANDLE handle);
    static bool installed(RFC_TYPEHANDLE handle) { return find(handle) != nullptr; }
};

} // namespace classicrfc
