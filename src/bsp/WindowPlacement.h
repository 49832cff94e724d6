#pragma once
// Where the BSP application window opens: the rectangle the client asked for, pulled back onto
// the screen when it starts beyond the screen's right or bottom edge.
#include <windows.h>

namespace tolvane {

// Left, Top, Left+Width, Top+Height; a Left beyond the screen width becomes half the screen
// width and a Top beyond the screen height half the screen height (the size is kept).
RECT ApplicationWindowRect(long left, long top, long width, long height, SIZE screen) noexcept;

} // namespace tolvane
