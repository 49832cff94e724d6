#pragma once

#include "ClientConnection.h"
#include "InternalTable.h"

#include <string>

namespace classicrfc {

// A function's interface as rows of RFC_U_FUNINT, read as the library does it: by calling
// RFC_GET_FUNCTION_INTERFACE on the partner. The two-byte lengths of structures and tables
// are those of this platform's layout (their offsets are left 0, as they mean nothing there).
class FunctionInfo {
public:
    // RFC_OK, or RFC_EXCEPTION with the partner's exception (FU_NOT_FOUND) in `exception`.
    static RFC_RC read(ClientConnection& connection, const std::string& function, InternalTable& rows, std::string& exception);
};

} // namespace classicrfc
