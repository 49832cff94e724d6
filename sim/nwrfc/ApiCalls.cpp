// Function containers, synchronous calls and transactional units.
#include "ApiBoundary.h"
#include "ClientConnection.h"
#include "Record.h"
#include "Table.h"
#include "Owned.h"
#include "Transaction.h"

#include <chrono>
#include <cwchar>

using namespace nwrfc;

namespace {

Record& function(RFC_FUNCTION_HANDLE h)
{
    return Record::function(h);
}

ClientConnection& clientConnection(RFC_CONNECTION_HANDLE h)
{
    return resolve<ClientConnection>(h, HandleKind::Connection, "client connection");
}

Transaction& transaction(RFC_TRANSACTION_HANDLE h)
{
    return resolve<Transaction>(h, HandleKind::Transaction, "transaction");
}

simwire::CallRequest requestOf(const Record& call)
{
    return {toUtf8(call.function()->name()), call.inputs(), call.inactiveNames()};
}

void traceParameters(const Connection& c, const simwire::NamedValues& values, const char* direction)
{
    if (!Trace::enabled(3, c.traceLevel()))
        return;
    for (const auto& [name, value] : values) {
        const size_t size = value.kind == simwire::WireValue::Kind::Table ? value.rows.size() : value.scalar.size();
        c.trace(3, std::string(direction) + " " + name + (value.kind == simwire::WireValue::Kind::Table ? " rows " : " size ") +
                       std::to_string(size));
    }
}

} // namespace

extern "C" {

RFC_FUNCTION_HANDLE SAP_API RfcCreateFunction(RFC_FUNCTION_DESC_HANDLE desc, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_FUNCTION_HANDLE>(e, "RfcCreateFunction", [&] {
        return handleOf<RFC_FUNCTION_HANDLE>(Owned<Record>::add(std::make_unique<Record>(functionFromHandle(desc))));
    });
}

RFC_RC SAP_API RfcDestroyFunction(RFC_FUNCTION_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcDestroyFunction", [&] {
        if (!Owned<Record>::destroy(function(h)))
            invalidHandle("the handle is not a function created by RfcCreateFunction");
    });
}

RFC_RC SAP_API RfcSetParameterActive(RFC_FUNCTION_HANDLE h, const SAP_UC* name, int isActive, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSetParameterActive", [&] {
        Record& f = function(h);
        require(name, "paramName");
        f.slot(view(name)).active = isActive != 0;
    });
}

RFC_RC SAP_API RfcIsParameterActive(RFC_FUNCTION_HANDLE h, const SAP_UC* name, int* isActive, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcIsParameterActive", [&] {
        Record& f = function(h);
        require(name, "paramName");
        require(isActive, "isActive");
        *isActive = f.slot(view(name)).active ? 1 : 0;
    });
}

RFC_RC SAP_API RfcInvoke(RFC_CONNECTION_HANDLE h, RFC_FUNCTION_HANDLE funcHandle, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcInvoke", [&] {
        ClientConnection& c = clientConnection(h);
        Record& call = function(funcHandle);
        const simwire::CallRequest request = requestOf(call);
        traceParameters(c, request.inputs, "sending");
        const auto started = std::chrono::steady_clock::now();
        simwire::CallResult result;
        try {
            result = c.gateway().call(request);
        } catch (const simrfc::RfcFailure& f) {
            c.trace(1, "RfcInvoke " + request.function + ": " + f.what());
            rethrow(f);
        }
        const auto ms = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started).count();
        c.trace(2, "RfcInvoke " + request.function + " code " + std::to_string(result.error.code) + " in " + std::to_string(ms) + " us");
        traceParameters(c, result.outputs, "received");
        if (result.error.code == RFC_OK || result.error.code == RFC_ABAP_EXCEPTION)
            call.apply(result.outputs);
        if (result.error.code != RFC_OK)
            throw ApiFailure(result.error);
    });
}

RFC_RC SAP_API RfcGetTransactionID(RFC_CONNECTION_HANDLE h, SAP_UC* tid, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetTransactionID", [&] {
        require(tid, "tid");
        std::string id;
        if (h == nullptr) {
            id = simrfc::localTid();
        } else {
            try {
                id = clientConnection(h).gateway().newTid();
            } catch (const simrfc::RfcFailure& f) {
                rethrow(f);
            }
        }
        copyTo(tid, RFC_TID_LN + 1, fromUtf8(id));
    });
}

RFC_TRANSACTION_HANDLE SAP_API RfcCreateTransaction(RFC_CONNECTION_HANDLE h, SAP_UC* tid, const SAP_UC* queueName, RFC_ERROR_INFO* e)
{
    return guardedHandle<RFC_TRANSACTION_HANDLE>(e, "RfcCreateTransaction", [&] {
        ClientConnection& c = clientConnection(h);
        require(tid, "tid");
        const Uview id(tid, std::wcslen(tid));
        if (id.size() != RFC_TID_LN)
            invalidParameter("a transaction ID has 24 characters, not " + std::to_string(id.size()));
        auto t = std::make_unique<Transaction>(handleOf<RFC_CONNECTION_HANDLE>(c), toUtf8(id), toUtf8(view(queueName)));
        return handleOf<RFC_TRANSACTION_HANDLE>(Owned<Transaction>::add(std::move(t)));
    });
}

RFC_RC SAP_API RfcInvokeInTransaction(RFC_TRANSACTION_HANDLE h, RFC_FUNCTION_HANDLE funcHandle, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcInvokeInTransaction", [&] {
        Transaction& t = transaction(h);
        if (t.submitted)
            illegalState("the transaction was submitted already");
        t.add(requestOf(function(funcHandle)));
    });
}

RFC_RC SAP_API RfcSubmitTransaction(RFC_TRANSACTION_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSubmitTransaction", [&] {
        Transaction& t = transaction(h);
        ClientConnection& c = t.connection();
        c.trace(2, "submitting transaction " + t.unit().tid + " with " + std::to_string(t.unit().calls.size()) + " call(s)");
        try {
            c.gateway().submitUnit(t.unit());
        } catch (const simrfc::RfcFailure& f) {
            rethrow(f);
        }
        t.submitted = true;
    });
}

RFC_RC SAP_API RfcConfirmTransaction(RFC_TRANSACTION_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcConfirmTransaction", [&] {
        Transaction& t = transaction(h);
        if (!t.submitted)
            illegalState("confirm follows a successful submit");
        ClientConnection& c = t.connection();
        c.trace(2, "confirming transaction " + t.unit().tid);
        try {
            c.gateway().confirmUnit(t.unit().tid);
        } catch (const simrfc::RfcFailure& f) {
            rethrow(f);
        }
    });
}

RFC_RC SAP_API RfcDestroyTransaction(RFC_TRANSACTION_HANDLE h, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcDestroyTransaction", [&] { Owned<Transaction>::destroy(transaction(h)); });
}

} // extern "C"
