#pragma once
// ISpecifyPropertyPages of an ActiveX control without properties a user edits: no pages.
#include "Object.h"

#include <ocidl.h>

namespace com {

class SpecifyPropertyPages : public ISpecifyPropertyPages {
public:
    using interface_type = ISpecifyPropertyPages;

    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override
    {
        if (!pages)
            return E_POINTER;
        pages->cElems = 0;
        pages->pElems = nullptr;
        return S_OK;
    }
};

} // namespace com
