#include "QuickActivation.h"

#include <cstddef>

namespace com {
namespace {

// Containers built with older headers pass a shorter QACONTAINER; what is read here must be in it.
constexpr ULONG kContainerSizeUsed = offsetof(QACONTAINER, dwAmbientFlags) + sizeof(DWORD);

} // namespace

HRESULT QuickActivation::QuickActivate(QACONTAINER* container, QACONTROL* reply)
{
    if (!container || !reply)
        return E_POINTER;
    if (container->cbSize < kContainerSizeUsed || reply->cbSize < sizeof(QACONTROL))
        return E_INVALIDARG;
    return hresult_of([&] {
        ControlCore& core = control();
        core.set_client_site(container->pClientSite);
        core.set_user_mode((container->dwAmbientFlags & QACONTAINER_USERMODE) != 0);
        if (container->pAdviseSink)
            core.advise().set_view_sink(DVASPECT_CONTENT, 0, container->pAdviseSink);
        reply->dwMiscStatus = core.control_class().misc_status;
        reply->dwViewStatus = core.control_class().view_status;
        reply->dwEventCookie = 0;
        reply->dwPropNotifyCookie = 0;
        reply->dwPointerActivationPolicy = 0;
        return S_OK;
    });
}

HRESULT QuickActivation::SetContentExtent(LPSIZEL size)
{
    if (!size)
        return E_POINTER;
    return hresult_of([&] {
        control().set_extent(*size);
        return S_OK;
    });
}

HRESULT QuickActivation::GetContentExtent(LPSIZEL size)
{
    if (!size)
        return E_POINTER;
    *size = control().extent();
    return S_OK;
}

} // namespace com
