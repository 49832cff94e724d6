#pragma once
// CBSPParameters: the parameters of a BSP application, ordered and keyed by name. Before
// ShowApplication it holds what the application is sent; the parameters the application hands
// back are added to it.
#include "BSPUrl.h"
#include "idl/Tolvane_h.h"
#include "model/ComCollect.h"

namespace tolvane {

class CBSPParameters : public CComCollectMapName<CBSPParameters, IBSPParameters, IBSPParameter> {
public:
    HRESULT STDMETHODCALLTYPE Add(IDispatch* item) override { return AddItem(item); }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return RemoveIndex(index); }
    HRESULT STDMETHODCALLTYPE RemoveAll() override
    {
        RemoveAllItems();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddParameter(BSTR name, BSTR value) override;

    void AddPair(const NameValue& pair);
    // Every name and value, in order (names as the items tell them now).
    std::vector<NameValue> Pairs() const;
};

} // namespace tolvane
