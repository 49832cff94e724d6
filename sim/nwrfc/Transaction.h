#pragma once

#include "Handles.h"

#include "WireMessages.h"

namespace nwrfc {

class ClientConnection;

// One tRFC/qRFC unit: calls collected under a TID and sent together on submit.
class Transaction : public Handled {
public:
    Transaction(const void* connection, std::string tid, std::string queue)
        : Handled(HandleKind::Transaction), m_connection(connection), m_unit{std::move(tid), std::move(queue), {}}
    {
    }

    // The connection it was created on; RFC_INVALID_HANDLE when that was closed since.
    ClientConnection& connection() const;
    void add(simwire::CallRequest call) { m_unit.calls.push_back(std::move(call)); }
    const simwire::UnitRequest& unit() const { return m_unit; }
    bool submitted = false;

private:
    const void* m_connection;
    simwire::UnitRequest m_unit;
};

} // namespace nwrfc
