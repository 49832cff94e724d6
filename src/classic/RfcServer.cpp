#include "RfcServer.h"

#include "ClassicRfcLibrary.h"
#include "session/Trace.h"

#include <cwchar>

namespace tolvane {

bool CRfcServer::StartTrace() const
{
    const std::wstring path = Options().Value(L"trace.file");
    if (path.empty())
        return false;
    ostrel::TraceCreate(kTraceName, path, true); // nothing when the trace is open already
    ostrel::TraceFormat(L"%s\n", std::wstring(80, L'-').c_str());
    ostrel::TraceFormat(L"Starting new server instance\n");
    return true;
}

DWORD CRfcServer::PollInterval() const
{
    const std::wstring text = Options().Value(L"server.poll_interval");
    if (text.empty())
        return kDefaultPollInterval;
    ostrel::TraceFormat(L"set custom poll interval: %s\n", text.c_str());
    const unsigned long milliseconds = std::wcstoul(text.c_str(), nullptr, 10);
    // Not 0: the worker would look for requests without pause.
    return milliseconds == 0 ? kDefaultPollInterval : static_cast<DWORD>(std::min<unsigned long>(milliseconds, MAXDWORD - 1));
}

HRESULT CRfcServer::Serve()
{
    return guard([&] {
        const classic::EntryPoints& rfc = classic::Library();
        RfcServerWorker::Settings settings{ProgramId().str(), GatewayHost().str(), GatewayService().str(), StartTrace(),
                                           PollInterval()};
        ostrel::TraceFormat(L"CRfcServer().Serve()\n");
        StopWorker();
        ErrorState()->Clear();
        auto worker = std::make_shared<RfcServerWorker>(rfc, std::move(settings), m_functions, Events(), ErrorState());
        worker->Start();
        m_worker = worker;
        // A registration the gateway refuses is told by Error and ErrorInfo, not by the result.
        worker->WaitUntilSettled();
    });
}

void CRfcServer::StopWorker() noexcept
{
    if (m_worker)
        m_worker->Stop();
}

HRESULT CRfcServer::Shutdown()
{
    ostrel::TraceFormat(L"Shutting down server instance\n");
    ostrel::TraceFormat(L"%s\n", std::wstring(80, L'-').c_str());
    StopWorker();
    return S_OK;
}

HRESULT CRfcServer::get_IsListening(VARIANT_BOOL* value)
{
    if (!value)
        return E_POINTER;
    *value = m_worker && m_worker->Listening() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

void CRfcServer::final_release() noexcept { StopWorker(); }

} // namespace tolvane
