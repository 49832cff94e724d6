#include "WindowPlacement.h"

namespace tolvane {

RECT ApplicationWindowRect(long left, long top, long width, long height, SIZE screen) noexcept
{
    if (left >= screen.cx)
        left = screen.cx / 2;
    if (top >= screen.cy)
        top = screen.cy / 2;
    return RECT{left, top, left + width, top + height};
}

} // namespace tolvane
