// Transactional RFC (a unit runs once per TID) and the connection's logon ticket.
#include "ApiBoundary.h"
#include "CallOutcome.h"
#include "ClientConnection.h"
#include "ConnectionTable.h"
#include "Marshaller.h"
#include "MemoryCheck.h"
#include "WideText.h"

using namespace classicrfc;

namespace {

constexpr size_t maxTicket = 8191;

std::shared_ptr<ClientConnection> client(RFC_HANDLE handle)
{
    return ConnectionTable::resolve<ClientConnection>(handle, "client connection");
}

std::string tidOf(const rfc_char_t* tid)
{
    const std::wstring text = callerText(tid, RFC_TID_LN, "the TID");
    if (text.size() != RFC_TID_LN)
        invalidParameter("a TID has " + std::to_string(RFC_TID_LN) + " characters");
    return utf8(text);
}

// A refusal keeps the connection; a broken connection is RFC_CLOSED.
[[noreturn]] void failed(ClientConnection& c, const simrfc::RfcFailure& f)
{
    rethrow(f, c.open() ? RFC_FAILURE : RFC_CLOSED);
}

} // namespace

extern "C" {

RFC_RC SAP_API RfcCreateTransIDU(RFC_HANDLE handle, rfc_char_t* tid)
{
    return guarded([&] {
        if (!MemoryCheck::writable(tid, sizeof(RFC_TID)))
            invalidParameter("the TID buffer is not writable");
        const auto c = client(handle);
        std::lock_guard lock(c->mutex());
        try {
            copyTo(tid, RFC_TID_LN + 1, wide(c->idleGateway().newTid()));
        } catch (const simrfc::RfcFailure& f) {
            failed(*c, f);
        }
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcIndirectCallExU(RFC_HANDLE handle, rfc_char_t* function, RFC_PARAMETER* exporting, RFC_TABLE* tables, rfc_char_t* tid)
{
    return guarded([&] {
        const auto c = client(handle);
        const std::string name = utf8(callerText(function, 30, "the function name"));
        simwire::UnitRequest unit{tidOf(tid), "", {}};
        std::lock_guard lock(c->mutex());
        const Marshaller marshaller(c->shape(name));
        simwire::CallRequest call{name, {}, {}};
        marshaller.addParameters(exporting, "exporting", call.inputs);
        marshaller.addTables(tables, call.inputs);
        unit.calls.push_back(std::move(call));
        try {
            c->idleGateway().submitUnit(unit);
        } catch (const simrfc::RfcFailure& f) {
            failed(*c, f);
        }
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcConfirmTransIDU(RFC_HANDLE handle, rfc_char_t* tid)
{
    return guarded([&] {
        const auto c = client(handle);
        const std::string id = tidOf(tid);
        std::lock_guard lock(c->mutex());
        try {
            c->idleGateway().confirmUnit(id);
        } catch (const simrfc::RfcFailure& f) {
            failed(*c, f);
        }
        return RFC_OK;
    });
}

RFC_RC SAP_API RfcGetTicketU(RFC_HANDLE handle, RFC_CHAR* ticket)
{
    return guarded([&] {
        const auto c = client(handle);
        std::lock_guard lock(c->mutex());
        auto text = c->takeTicket();
        if (!text)
            programFailure("RFC_FAILURE", "no logon ticket: it was not asked for with GETSSO2=1, or it was handed out already");
        const std::wstring wideTicket = wide(*text);
        if (wideTicket.size() > maxTicket || !MemoryCheck::writable(ticket, (wideTicket.size() + 1) * sizeof(RFC_CHAR)))
            invalidParameter("the ticket buffer is not writable or the ticket is longer than 8191 characters");
        copyTo(ticket, wideTicket.size() + 1, wideTicket);
        return RFC_OK;
    });
}

} // extern "C"
