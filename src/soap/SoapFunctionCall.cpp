#include "SoapFunctionCall.h"

#include "SoapComponent.h"
#include "SoapValues.h"
#include "com/SafeArray.h"
#include "session/Trace.h"
#include "session/XTolvane.h"

namespace tolvane {
namespace {

// The SOAP action of a request: a fixed URI, then the module.
constexpr wchar_t kActionPrefix[] = L"urn:sap-com:document:sap:rfc:functions/";

com::ptr<IRfcParameters> List(IFunctionCall* call, HRESULT (STDMETHODCALLTYPE IFunctionCall::*getter)(IRfcParameters**))
{
    com::ptr<IRfcParameters> list;
    com::check((call->*getter)(list.put()));
    return list;
}

// The response body as text, for the trace.
std::wstring ResponseText(const com::variant& body)
{
    if (body.vt() == VT_BSTR)
        return std::wstring(com::view(V_BSTR(body.addr())));
    if (body.vt() != (VT_ARRAY | VT_UI1))
        return {};
    com::array_data<char> bytes(V_ARRAY(body.addr()));
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

} // namespace

CIntSoapFunctionCall::CIntSoapFunctionCall(Settings settings, IFunctionCall* call)
    : m_settings(std::move(settings)), m_call(com::share(call))
{
    com::bstr module;
    com::check(call->get_Function(module.put()));
    m_module = module.str();
}

bool CIntSoapFunctionCall::Send()
{
    try {
        IHttpTransport* transport = m_settings.transport.get();
        // The time-out of the system data as it is now: it may have changed since Connect.
        soap::Check(transport->SetTimeout(m_settings.timeout));
        transport->SetActionHeader(com::bstr(kActionPrefix + m_module).get());

        m_envelope = soap::BeginRequest(m_module);
        ostrel::TraceFormat(L"CIntSoapFunctionCall->executeCall(): calling module %s\n", m_module.c_str());
        ostrel::TraceFormat(L"CIntSoapFunctionCall->executeCall(): callback =  %x\n",
                            m_settings.synchronous ? 0u : static_cast<unsigned>(reinterpret_cast<uintptr_t>(this)));
        com::ptr<ISoapNodes> body = soap::BodyNodes(m_envelope.get());
        soap::WriteList(body.get(), List(m_call.get(), &IFunctionCall::get_Importing).get());
        soap::WriteList(body.get(), List(m_call.get(), &IFunctionCall::get_Exporting).get());
        soap::WriteList(body.get(), List(m_call.get(), &IFunctionCall::get_Changing).get());
        soap::WriteList(body.get(), List(m_call.get(), &IFunctionCall::get_Tables).get());

        com::bstr request;
        soap::Check(m_envelope->WriteRequest(request.put()));
        if (m_settings.traceDocuments) {
            ostrel::TraceFormat(L"CIntSoapFunctionCall: sending envelope\n");
            ostrel::TraceBlock(soap::MaskPasswords(request.str()));
        }
        soap::Check(transport->PostRequest(com::bstr(m_settings.url).get(), request.get()));
        return true;
    } catch (const com::hresult_error& e) {
        Fail(e);
        return false;
    }
}

void CIntSoapFunctionCall::Receive() noexcept
{
    try {
        ostrel::TraceFormat(L"CIntSoapFunctionCall: waiting for result...\n");
        com::bstr charset(L"utf-8");
        com::variant body;
        soap::Check(m_settings.transport->FetchResponse(charset.in_out(), body.put()));
        short status = 0;
        m_settings.transport->GetHttpStatus(&status);
        if (m_settings.traceDocuments) {
            ostrel::TraceFormat(L"CIntSoapFunctionCall: received response (http status %i)\n", static_cast<int>(status));
            ostrel::TraceBlock(ResponseText(body));
        }
        const HRESULT read = m_envelope->ReadResponse(body.get(), charset.get());
        if (read == ::soapkit::result::Fault) {
            soap::FaultInfo fault = soap::ReadFault(m_envelope.get(), m_module);
            m_exceptionName = std::move(fault.name);
            m_exceptionMessage = std::move(fault.message);
        }
        soap::Check(read);
        m_responseRead = true;
        ostrel::TraceFormat(L"CIntSoapFunctionCall: result received (Status Code %u)\n", static_cast<unsigned>(status));
    } catch (const com::hresult_error& e) {
        Fail(e);
    } catch (...) {
        FailInternally(L"internal error", L"unexpected error while receiving the response");
    }
}

void CIntSoapFunctionCall::Complete() noexcept
{
    if (!m_responseRead)
        return;
    try {
        ReadBack();
    } catch (const com::hresult_error& e) {
        Fail(e);
    } catch (const CXTolvane& e) {
        // A value that cannot be read ends the call like a transport failure.
        FailInternally(L"conversion error", e.Message());
    } catch (...) {
        FailInternally(L"internal error", L"unexpected error while reading the response");
    }
}

void CIntSoapFunctionCall::ReadBack()
{
    com::ptr<ISoapNodes> body = soap::BodyNodes(m_envelope.get());
    soap::ReadList(body.get(), List(m_call.get(), &IFunctionCall::get_Exporting).get());
    soap::ReadList(body.get(), List(m_call.get(), &IFunctionCall::get_Changing).get());
    soap::ReadList(body.get(), List(m_call.get(), &IFunctionCall::get_Tables).get());
}

void CIntSoapFunctionCall::Abort() noexcept
{
    // Ends this request only: the transport's time-out stays as it is for the next one.
    m_settings.transport->CancelRequest();
}

void CIntSoapFunctionCall::Fail(const com::hresult_error& error)
{
    try {
        Outcome() = soap::MapFailure(error.code(), error.description(), m_exceptionName, m_settings.address,
                                     m_settings.transport.get());
    } catch (...) {
        FailInternally(L"internal error", L"the failure could not be described");
    }
}

void CIntSoapFunctionCall::FailInternally(std::wstring groupText, std::wstring message) noexcept
{
    CallOutcome& outcome = Outcome();
    outcome.failed = true;
    outcome.group = RFCERROR_INTERNAL;
    outcome.groupText = std::move(groupText);
    outcome.message = std::move(message);
    outcome.closed = false;
}

} // namespace tolvane
