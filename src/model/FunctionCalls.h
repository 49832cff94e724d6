#pragma once
// CFunctionCalls: the calls a server has registered, keyed by their Function.
#include "ComCollect.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

struct KeyByFunction {
    static std::wstring Of(IFunctionCall* call)
    {
        com::bstr name;
        com::check(call->get_Function(name.put()));
        return name.str();
    }
};

class CFunctionCalls : public CComCollectMapCustom<CFunctionCalls, IFunctionCalls, IFunctionCall, KeyByFunction> {
public:
    HRESULT STDMETHODCALLTYPE AddFunction(IDispatch* call) override { return AddItem(call); }
};

} // namespace tolvane
