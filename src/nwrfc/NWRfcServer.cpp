#include "NWRfcServer.h"

#include "NWRfcErrors.h"
#include "NWRfcPrototypes.h"

namespace tolvane {

void CNWRfcServer::ReportRfcError(const nwrfc::RFC_ERROR_INFO& record, std::wstring_view label, unsigned message)
{
    nw::TraceRecord(*nwrfc::Library::Bound(), record, label);
    if (record.code == nwrfc::RFC_OK)
        return;
    ErrorState()->Set(record.group, nw::FieldText(record.key), nw::FieldText(record.message), record.code);
    throw MessageError(message);
}

void CNWRfcServer::OnInstallFunction(IFunctionCall* call) { NWRfcPrototypes::Instance().Install(call); }

HRESULT CNWRfcServer::Serve()
{
    return guard([&] {
        // One listening thread per server: a second would serve the same object twice.
        if (m_listener && m_listener->Running())
            throw MessageError(msg::AlreadyConnected);
        const nwrfc::EntryPoints& rfc = InitSDK();
        ErrorState()->Clear();
        NWRfcListener::InstallCallbacks(rfc, [&](const wchar_t* label) {
            nwrfc::RFC_ERROR_INFO record{};
            record.code = nwrfc::RFC_EXTERNAL_FAILURE;
            ReportRfcError(record, label, msg::RfcError);
        });
        auto listener = std::make_shared<NWRfcListener>(
            rfc, NWRfcListener::Registration{ProgramId().str(), GatewayHost().str(), GatewayService().str()}, Events(),
            ErrorState());
        if (!listener->Register())
            throw MessageError(msg::RfcError);
        listener->Start();
        m_listener = std::move(listener);
    });
}

HRESULT CNWRfcServer::Shutdown()
{
    if (m_listener)
        m_listener->Stop();
    return S_OK;
}

HRESULT CNWRfcServer::get_IsListening(VARIANT_BOOL* value)
{
    if (!value)
        return E_POINTER;
    *value = m_listener && m_listener->Running() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

void CNWRfcServer::final_release() noexcept
{
    if (m_listener)
        m_listener->Stop();
}

} // namespace tolvane
