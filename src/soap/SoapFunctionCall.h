#pragma once
// CIntSoapFunctionCall: one call over RFC over SOAP. Send builds the request from the call's
// four lists and posts it; Receive waits for the response, parses it and turns a SOAP fault
// into the call's exception; Complete reads the exporting, changing and table values back into
// the same call object. Failures of the component are recorded as the session's error state
// will show them; conversion failures while writing are thrown, before anything is sent.
#include "SoapErrors.h"
#include "com/ComPtr.h"
#include "idl/Tolvane_h.h"
#include "session/IntCall.h"

#include <string>

namespace tolvane {

class CIntSoapFunctionCall : public CIntCall {
public:
    struct Settings {
        com::ptr<IHttpTransport> transport;
        std::wstring url;
        soap::ServerAddress address;
        long timeout = 0;
        bool traceDocuments = false; // the request and response as trace blocks
        bool synchronous = true;
    };

    CIntSoapFunctionCall(Settings settings, IFunctionCall* call);

    bool Send() override;
    void Receive() noexcept override;
    void Complete() noexcept override;
    void Abort() noexcept override;

    const std::wstring& ExceptionName() const noexcept { return m_exceptionName; }
    const std::wstring& ExceptionMessage() const noexcept { return m_exceptionMessage; }

private:
    void Fail(const com::hresult_error& error);
    void ReadBack();
    // Records a failure that is not the component's own (a value that cannot be read).
    void FailInternally(std::wstring groupText, std::wstring message) noexcept;

    Settings m_settings;
    com::ptr<IFunctionCall> m_call;
    std::wstring m_module;
    com::ptr<ISoapEnvelope> m_envelope;
    std::wstring m_exceptionName;
    std::wstring m_exceptionMessage;
    bool m_responseRead = false; // Receive parsed a response that carries results
};

} // namespace tolvane
