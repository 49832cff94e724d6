#pragma once
// CIntNWRfcCall: one call over the NetWeaver library. Send creates the function container and
// fills it from the call object; Receive runs RfcInvoke (on the session's thread or a worker);
// Complete reads the results back into the call object and frees the container. Its own error
// record keeps a worker's library calls apart from the session's.
#include "NWRfcLibrary.h"
#include "com/ComPtr.h"
#include "idl/Tolvane_h.h"
#include "session/IntCall.h"

#include <string>

namespace tolvane {

class CIntNWRfcCall : public CIntCall {
public:
    CIntNWRfcCall(const nwrfc::EntryPoints& rfc, nwrfc::RFC_CONNECTION_HANDLE connection, IFunctionCall* call);
    ~CIntNWRfcCall() override;

    bool Send() override;
    void Receive() noexcept override;
    void Complete() noexcept override;
    // The library cannot cut a running call short: the worker ends when the call does, and the
    // results are not stored.
    void Abort() noexcept override {}

    // The function container Send made (for a transactional unit).
    nwrfc::RFC_FUNCTION_HANDLE Function() const noexcept { return m_function; }

private:
    // The record as the session's error state, traced under `label`; `failWith` as the
    // client's method fails with it.
    void Report(const std::wstring& label, unsigned failWith);
    void DestroyFunction() noexcept;

    const nwrfc::EntryPoints& m_rfc;
    nwrfc::RFC_CONNECTION_HANDLE m_connection;
    com::ptr<IFunctionCall> m_call;
    std::wstring m_name;
    nwrfc::RFC_FUNCTION_HANDLE m_function = nullptr;
    nwrfc::RFC_ERROR_INFO m_record{};
    nwrfc::RFC_RC m_result = nwrfc::RFC_OK;
};

} // namespace tolvane
