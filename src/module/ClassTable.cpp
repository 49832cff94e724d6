#include "ClassTable.h"

#include "ConnectorCtrl.h"
#include "bsp/BSPApplication.h"
#include "classic/RfcServer.h"
#include "classic/RfcSession.h"
#include "com/Aggregate.h"
#include "idl/Tolvane_h.h"
#include "nwrfc/NWRfcServer.h"
#include "nwrfc/NWRfcSession.h"
#include "soap/SoapSession.h"

namespace tolvane {
namespace {

// A class whose creator is null is registered but not built yet: its class object answers
// CLASS_E_CLASSNOTAVAILABLE until the class is added here.
const com::ClassEntry kClasses[] = {
    {&CLSID_RfcSession, &com::create_instance<CRfcSession>},
    {&CLSID_SoapSession, &com::create_instance<CSoapSession>},
    {&CLSID_BSPApplication, &com::create_instance<CBSPApplication>},
    {&CLSID_RfcServer, &com::create_instance<CRfcServer>},
    {&CLSID_ConnectorCtrl, &com::create_instance<CConnectorCtrl>, &com::create_aggregated<CConnectorCtrl>},
    {&CLSID_NWRfcSession, &com::create_instance<CNWRfcSession>},
    {&CLSID_NWRfcServer, &com::create_instance<CNWRfcServer>},
};

const UINT kScripts[] = {101, 114, 117, 118, 119, 120, 121, 122};

} // namespace

std::span<const com::ClassEntry> CreatableClasses() noexcept { return kClasses; }
std::span<const UINT> RegistryScripts() noexcept { return kScripts; }

} // namespace tolvane
