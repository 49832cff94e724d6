#pragma once
// CRfcFields: the value of one structure or of one table row, its fields keyed by name.
#include "ComCollect.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CRfcFields : public CComCollectMapName<CRfcFields, IRfcFields, IRfcField> {
public:
    static constexpr GUID kImplementationId = {0x94c1e7a3, 0x5b02, 0x4f6d, {0x8e, 0x21, 0x3a, 0xd7, 0x60, 0x19, 0xbc, 0x45}};

    HRESULT STDMETHODCALLTYPE AddField(IDispatch* field) override { return AddItem(field); }
};

} // namespace tolvane
