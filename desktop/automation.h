// Desktop automation beyond what the liking run needs through core/desktop.h:
// the pieces its operations are built from, for tests and tools.
#pragma once

#include <cstdint>

#include "core/desktop.h"

// Puts the cursor at a client point of `window`, or at a screen point for 0.
// A window that is gone counts the point from the screen origin.
void MoveCursorToWindowPoint(WindowHandle window, std::int32_t x, std::int32_t y);
// The whole title in the ANSI code page; empty for a window that is gone.
AnsiText ReadWindowTitle(WindowHandle window);
