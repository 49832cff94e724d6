#pragma once

#include "ApiFailure.h"
#include "Connection.h"

#include <memory>
#include <vector>

namespace classicrfc {

// Every connection handle from its opening to RfcCloseU. Handles are numbers counted from 1
// and never given twice, so a stale handle finds nothing rather than another connection.
class ConnectionTable {
public:
    static RFC_HANDLE add(std::shared_ptr<Connection> connection);
    // Null for an unknown handle. A connection found is remembered as used by this thread.
    static std::shared_ptr<Connection> find(RFC_HANDLE handle);
    static std::shared_ptr<Connection> remove(RFC_HANDLE handle);
    // The handles this thread used that are still open (RfcCloseU(0)).
    static std::vector<RFC_HANDLE> usedByThisThread();

    // The connection of that kind, or RFC_INVALID_HANDLE.
    template <class T>
    static std::shared_ptr<T> resolve(RFC_HANDLE handle, const char* what)
    {
        auto found = std::dynamic_pointer_cast<T>(find(handle));
        if (found == nullptr)
            invalidHandle(std::string("invalid ") + what + " handle " + std::to_string(handle));
        return found;
    }
};

} // namespace classicrfc
