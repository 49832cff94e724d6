#pragma once
// CRfcTypes: the components of a structure descriptor, a keyed collection of descriptors.
#include "ComCollect.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CRfcTypes : public CComCollectMapName<CRfcTypes, IRfcTypes, IRfcType> {
public:
    HRESULT STDMETHODCALLTYPE Add(IDispatch* item) override { return AddItem(item); }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return RemoveIndex(index); }
    HRESULT STDMETHODCALLTYPE RemoveAll() override
    {
        RemoveAllItems();
        return S_OK;
    }
};

} // namespace tolvane
