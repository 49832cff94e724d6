#include "SoapSession.h"

#include "SoapComponent.h"
#include "SoapFunctionCall.h"
#include "session/TextFormat.h"

#include <cstdarg>
#include <cwchar>
#include <iterator>

namespace tolvane {
namespace {

// The URL that ends the server session: session_mode=2, replacing a session_mode already in
// the URL (not at its very start) or appended.
std::wstring EndSessionUrl(std::wstring url)
{
    const size_t found = url.find(L"session_mode=");
    if (found != std::wstring::npos && found > 0 && found + 13 < url.size())
        url[found + 13] = L'2';
    else
        url += L"&session_mode=2";
    return url;
}

} // namespace

CSoapSession::CSoapSession() : m_systemData(com::make<CHttpSystemData>()) {}

CSoapSession::~CSoapSession()
{
    m_transport = nullptr;
    // Ending a SOAP session ends tracing for the process until a trace is created again.
    ostrel::TraceClose();
}

HRESULT CSoapSession::get_SessionType(BSTR* value) { return com::bstr(L"SOAP").copy_to(value); }

HRESULT CSoapSession::get_HttpSystemData(IHttpSystemData** value) { return m_systemData.copy_to(value); }

HRESULT CSoapSession::Connect()
{
    return guard([&]() -> HRESULT {
        if (m_transport)
            throw MessageError(msg::AlreadyConnected);
        const std::wstring traceFile = Options().Value(L"trace.file");
        if (!traceFile.empty() && !ostrel::TraceIsOpen())
            ostrel::TraceCreate(L"Tolvane", traceFile, true);
        try {
            m_transport = soap::NewTransport();
            ostrel::TraceFormat(L"CSoapSession: Connecting to server ");
            SetUpTransport();
            const short status = CheckConnection(m_url);
            if (status == 200) {
                ClearErrorFlag();
                return S_OK;
            }
            SetErrorState(RFCERROR_COMMUNICATION, L"communication error",
                          FormatText(L"RFC_PING returns status code %i (should be HTTP 200 (ok)", static_cast<int>(status)));
            m_transport = nullptr;
            return S_OK;
        } catch (const com::hresult_error& e) {
            const HRESULT result = ReportFailure(e);
            m_transport = nullptr;
            return result;
        }
    });
}

// Credentials, the logon ticket, the proxy and the time-out on the transport; the request URL.
void CSoapSession::SetUpTransport()
{
    const CLogonData& logon = Logon();
    const CHttpSystemData& system = *m_systemData;
    if (!logon.User().empty() && !logon.Password().empty())
        soap::Check(m_transport->SetCredentials(logon.User().get(), logon.Password().get()));
    if (!logon.SSO2Ticket().empty()) {
        com::variant cookies;
        soap::Check(m_transport->GetNamedProperty(com::bstr(L"cookies").get(), cookies.put()));
        if (cookies.vt() != VT_DISPATCH && cookies.vt() != VT_UNKNOWN)
            throw com::hresult_error(E_NOINTERFACE);
        auto jar = com::share(V_UNKNOWN(cookies.addr())).query<ICookieJar>();
        soap::Check(jar->AddCookie(com::bstr(L"MYSAPSSO2").get(), logon.SSO2Ticket().get(), com::bstr(L"/").get(),
                                   system.Host().get()));
    }
    m_address = {system.Host().str(), system.Port(), {}};
    if (!system.ProxyHost().empty()) {
        soap::Check(m_transport->UseProxy(system.ProxyHost().get(), system.ProxyPort()));
        m_address.proxy = FormatText(L"%s:%i", system.ProxyHost().str().c_str(), static_cast<int>(system.ProxyPort()));
        ostrel::TraceContinue(L" proxy=%s ", m_address.proxy.c_str());
        if (!system.ProxyUser().empty()) {
            soap::Check(m_transport->SetProxyCredentials(system.ProxyUser().get(), system.ProxyPassword().get()));
            ostrel::TraceContinue(L" user=%s ", system.ProxyUser().str().c_str());
        }
    }
    soap::Check(m_transport->SetTimeout(system.Timeout()));
    // The parts go into the URL as they are: the client owns their syntax.
    m_url = FormatText(L"%s://%s:%i/%s?sap-client=%s&sap-language=%s", system.Protocol().str().c_str(),
                   system.Host().str().c_str(), static_cast<int>(system.Port()), system.SoapEndpoint().str().c_str(),
                   logon.Client().str().c_str(), logon.Language().str().c_str());
    if (system.Stateful())
        m_url += L"&session_mode=1";
    ostrel::TraceContinue(L" endpoint=%s user=%s timeout=%i\n", m_url.c_str(), logon.User().str().c_str(),
                          static_cast<int>(system.Timeout()));
}

// An RFC_PING round trip; the HTTP status of the answer.
short CSoapSession::CheckConnection(const std::wstring& url)
{
    com::ptr<ISoapEnvelope> envelope = soap::BeginRequest(L"RFC_PING");
    com::bstr request;
    soap::Check(envelope->WriteRequest(request.put()));
    soap::Check(m_transport->PostRequest(com::bstr(url).get(), request.get()));
    com::bstr charset(L"utf-8");
    com::variant body;
    soap::Check(m_transport->FetchResponse(charset.in_out(), body.put()));
    short status = 0;
    soap::Check(m_transport->GetHttpStatus(&status));
    return status;
}

HRESULT CSoapSession::ReportFailure(const com::hresult_error& error)
{
    HRESULT result = S_OK;
    CallOutcome outcome = soap::MapFailure(error.code(), error.description(), L"", m_address, m_transport.get(), &result);
    SetErrorState(outcome);
    return result;
}

HRESULT CSoapSession::Disconnect()
{
    return guard([&] {
        if (!m_transport)
            throw MessageError(msg::NotConnected);
        if (CallInFlight())
            AbortActiveCall();
        ostrel::TraceFormat(L"CSoapSession->Disconnect()\n");
        try {
            CheckConnection(EndSessionUrl(m_url));
        } catch (const com::hresult_error&) {
            // The server session ends with its time-out if the server cannot be told.
        }
        m_transport = nullptr;
        m_url.clear();
    });
}

std::unique_ptr<CIntCall> CSoapSession::NewCall(IFunctionCall* call, bool synchronous)
{
    CIntSoapFunctionCall::Settings settings{m_transport, m_url, m_address, m_systemData->Timeout(),
                                            TracingDocuments(), synchronous};
    return std::make_unique<CIntSoapFunctionCall>(std::move(settings), call);
}

} // namespace tolvane
