#include "InPlaceFrame.h"

namespace com {

HRESULT InPlaceFrame::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = window_;
    return S_OK;
}

} // namespace com
