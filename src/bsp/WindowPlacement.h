#pragma once
// Where the BSP application window opens: the rectangle the client asked for, pulled back onto
// the screen when it starts at or beyond the screen's right or bottom edge.
#include <windows.h>

namespace tolvane {

// Left, Top, Left+Width, Top+Height; a Left at or beyond the screen width becomes half the
// screen width and a Top at or beyond the screen height half the screen height (the size is
// kept). At the edge itself the window would be just as invisible as beyond it.
RECT ApplicationWindowRect(long left, long top, long width, long height, SIZE screen) noexcept;

} // namespace tolvane
