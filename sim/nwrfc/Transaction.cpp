#include "Transaction.h"

#include "Connection.h"

namespace nwrfc {

ClientConnection& Transaction::connection() const
{
    Connection& c = resolve<Connection>(m_connection, HandleKind::Connection, "connection");
    auto* client = dynamic_cast<ClientConnection*>(&c);
    if (client == nullptr)
        invalidHandle("a transaction needs a client connection");
    return *client;
}

} // namespace nwrfc
