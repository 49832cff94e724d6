#pragma once
// CRfcParameters: one parameter list of a call (importing, exporting, changing or tables),
// keyed by parameter name.
#include "ComCollect.h"
#include "RfcParameter.h"

namespace tolvane {

class CRfcParameters : public CComCollectMapName<CRfcParameters, IRfcParameters, IRfcParameter> {
public:
    static constexpr GUID kImplementationId = {0xb8e25a41, 0x3c6d, 0x4f09, {0x86, 0x1a, 0x7e, 0x52, 0xd0, 0x9c, 0x24, 0xe3}};

    HRESULT STDMETHODCALLTYPE AddScalar(BSTR name, ABAPTYPE type, short length, short decimals,
                                        VARIANT value) override;
    HRESULT STDMETHODCALLTYPE AddParameter(BSTR name, IRfcType* type) override;
    HRESULT STDMETHODCALLTYPE AddTable(BSTR name, IRfcType* rowType) override;
    HRESULT STDMETHODCALLTYPE RemoveParameter(BSTR name) override;

    // AddParameter for the program's own code: the new parameter.
    CRfcParameter& Add(std::wstring_view name, IRfcType* type);
    CRfcParameter* FindParameter(std::wstring_view name) const
    {
        return static_cast<CRfcParameter*>(Find(name));
    }
    CRfcParameter& Parameter(size_t position) const { return *static_cast<CRfcParameter*>(At(position)); }
};

} // namespace tolvane
