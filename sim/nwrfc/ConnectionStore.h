#pragma once

#include "Connection.h"

#include <memory>

namespace nwrfc {

// Every open connection handle, owned here until RfcCloseConnection.
class ConnectionStore {
public:
    static Connection& add(std::unique_ptr<Connection> connection);
    static void close(Connection& connection);
};

} // namespace nwrfc
