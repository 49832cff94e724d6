#pragma once
// CConnectorCtrl: the Tolvane control, for form designers and document hosts that can embed a
// control but cannot create objects by ProgID. It makes sessions and servers, which live on
// after the control is gone; its only state is its size. In design mode it shows a frame
// with its name; at run time it is invisible. It can be aggregated.
#include "com/ClassInfo.h"
#include "com/DataObject.h"
#include "com/Dispatch.h"
#include "com/InPlaceActiveObject.h"
#include "com/InPlaceObject.h"
#include "com/OleControl.h"
#include "com/OleObject.h"
#include "com/PersistStorage.h"
#include "com/PersistStreamInit.h"
#include "com/QuickActivation.h"
#include "com/SpecifyPropertyPages.h"
#include "com/ViewObject.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CConnectorCtrl
    : public com::Object<CConnectorCtrl, com::Dispatch<IConnectorCtrl>, com::OleObject, com::InPlaceObject,
                         com::InPlaceActiveObject, com::ViewObject, com::OleControl, com::PersistStreamInit,
                         com::PersistStorage, com::QuickActivation, com::DataObject,
                         com::ProvideClassInfo<CConnectorCtrl>, com::SpecifyPropertyPages,
                         com::SupportErrorInfo<IConnectorCtrl>> {
public:
    // The status flags the class registers (MiscStatus\1) and GetMiscStatus answers: set the
    // client site first, invisible at run time, activate when visible, inside-out, can't link
    // inside, recompose on resize (0x20591).
    static constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME |
                                         OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                                         OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;

    static com::ErrorSource error_source() noexcept { return {&CLSID_ConnectorCtrl, &IID_NULL}; }
    static const CLSID& class_id() noexcept { return CLSID_ConnectorCtrl; }
    // The control raises no events.
    static const IID& source_interface() noexcept { return IID_NULL; }

    CConnectorCtrl();

    HRESULT STDMETHODCALLTYPE CreateRfcSession(IRfcSession** session) override;
    HRESULT STDMETHODCALLTYPE CreateSOAPSession(ISoapSession** session) override;
    HRESULT STDMETHODCALLTYPE CreateRfcServer(IRfcServer** server) override;
    HRESULT STDMETHODCALLTYPE CreateNWRfcSession(IRfcSession** session) override;
    HRESULT STDMETHODCALLTYPE CreateNWRfcServer(IRfcServer** server) override;

private:
    template <class I>
    HRESULT Create(REFCLSID clsid, I** object);

    com::ControlCore& control() noexcept override { return m_control; }

    com::ControlCore m_control;
};

} // namespace tolvane
