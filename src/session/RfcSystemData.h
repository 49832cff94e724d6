#pragma once
// CRfcSystemData: where an RFC-library session finds the SAP system: the library's connect
// string without the logon data, the SAP GUI mode and the ABAP debugging flag. A plain
// property bag, one per session, read at Connect.
#include "com/Dispatch.h"
#include "com/Object.h"
#include "com/Property.h"
#include "com/Secret.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CRfcSystemData
    : public com::Object<CRfcSystemData, com::Dispatch<IRfcSystemData>, com::SupportErrorInfo<IRfcSystemData>> {
public:
    HRESULT STDMETHODCALLTYPE get_ConnectString(BSTR* value) override { return m_connectString.copy_to(value); }
    // A connect string may carry a password of its own: it is kept like one.
    HRESULT STDMETHODCALLTYPE put_ConnectString(BSTR value) override
    {
        return guard([&] { m_connectString.assign(value); });
    }
    HRESULT STDMETHODCALLTYPE get_VisualMode(short* value) override { return com::get_property(m_visualMode, value); }
    HRESULT STDMETHODCALLTYPE put_VisualMode(short value) override { return com::put_property(m_visualMode, value); }
    HRESULT STDMETHODCALLTYPE get_Debug(VARIANT_BOOL* value) override { return com::get_property(m_debug, value); }
    HRESULT STDMETHODCALLTYPE put_Debug(VARIANT_BOOL value) override { return com::put_property(m_debug, value); }

    const com::bstr& ConnectString() const noexcept { return m_connectString; }
    short VisualMode() const noexcept { return m_visualMode; }
    VARIANT_BOOL Debug() const noexcept { return m_debug; }

private:
    com::secret_bstr m_connectString;
    short m_visualMode = 0;
    VARIANT_BOOL m_debug = VARIANT_FALSE;
};

} // namespace tolvane
