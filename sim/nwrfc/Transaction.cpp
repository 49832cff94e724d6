#include "Transaction.h"

#include "ClientConnection.h"

namespace nwrfc {

ClientConnection& Transaction::connection() const
{
    return resolve<ClientConnection>(m_connection, HandleKind::Connection, "client connection");
}

} // namespace nwrfc
