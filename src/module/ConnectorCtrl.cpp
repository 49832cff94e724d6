#include "ConnectorCtrl.h"

#include "ClassTable.h"

namespace tolvane {
namespace {

// The design-mode picture: a frame along the bounds in the DC's current pen and brush, and the
// name centred on its baseline, clipped to the bounds. The container's clipping and text
// alignment come back afterwards.
void PaintDesignPicture(HDC dc, const RECT& bounds)
{
    static constexpr wchar_t kName[] = L"Tolvane";
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    TextOutW(dc, (bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2, kName,
             static_cast<int>(std::size(kName) - 1));
    RestoreDC(dc, saved);
}

const com::ControlClass kControlClass{
    &CLSID_ConnectorCtrl,
    CConnectorCtrl::kMiscStatus,
    0,            // no view status: the picture is drawn with the container's pen and brush
    {2540, 1270}, // 1 x 0.5 inch
    &PaintDesignPicture,
};

} // namespace

CConnectorCtrl::CConnectorCtrl()
    : m_control(kControlClass, static_cast<IDataObject*>(this), static_cast<IOleInPlaceActiveObject*>(this))
{
}

// The object is made as the module's class table makes it for the class (not through the class
// object), so it belongs to the client alone and outlives the control. A class that is not
// available fails with its code only: no description of an earlier failure is left with it.
template <class I>
HRESULT CConnectorCtrl::Create(REFCLSID clsid, I** object)
{
    return guard([&] {
        com::require_out(object);
        *object = nullptr;
        SetErrorInfo(0, nullptr);
        com::check(com::create_object(CreatableClasses(), clsid, __uuidof(I), reinterpret_cast<void**>(object)));
    });
}

HRESULT CConnectorCtrl::CreateRfcSession(IRfcSession** session)
{
    return Create(CLSID_RfcSession, session);
}

HRESULT CConnectorCtrl::CreateSOAPSession(ISoapSession** session)
{
    return Create(CLSID_SoapSession, session);
}

HRESULT CConnectorCtrl::CreateRfcServer(IRfcServer** server)
{
    return Create(CLSID_RfcServer, server);
}

HRESULT CConnectorCtrl::CreateNWRfcSession(IRfcSession** session)
{
    return Create(CLSID_NWRfcSession, session);
}

HRESULT CConnectorCtrl::CreateNWRfcServer(IRfcServer** server)
{
    return Create(CLSID_NWRfcServer, server);
}

} // namespace tolvane
