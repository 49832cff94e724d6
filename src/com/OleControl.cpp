#include "OleControl.h"

namespace com {

HRESULT OleControl::GetControlInfo(CONTROLINFO* info)
{
    if (!info)
        return E_POINTER;
    info->hAccel = nullptr; // no mnemonics
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

} // namespace com
