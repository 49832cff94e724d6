#pragma once
// CRfcFields: the value of one structure or of one table row, its fields keyed by name.
#include "ComCollect.h"
#include "FieldBlock.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

// The fields of a row built from a template share the row's block (see FieldBlock).
class CRfcFields : public CComCollectMapName<CRfcFields, IRfcFields, IRfcField>, public InFieldBlock {
public:
    static constexpr GUID kImplementationId = {0x94c1e7a3, 0x5b02, 0x4f6d, {0x8e, 0x21, 0x3a, 0xd7, 0x60, 0x19, 0xbc, 0x45}};

    CRfcFields() = default;
    // A row built from a template, its item array in the room of `seed` (in the row's block).
    explicit CRfcFields(AllocatorSeed* seed) : CComCollectMapName<CRfcFields, IRfcFields, IRfcField>(seed) {}

    HRESULT STDMETHODCALLTYPE AddField(IDispatch* field) override { return AddItem(field); }
};

} // namespace tolvane
