// What the liking run does on the desktop. Windows links desktop/, the host
// tests link recording fakes.
#pragma once

#include <cstdint>

#include "core/text.h"

// A top-level window; 0 names none.
using WindowHandle = std::uintptr_t;

// Waits about `ms` milliseconds while the calling thread's messages keep
// flowing. Always true.
bool PumpingWait(std::int32_t ms);
// A wait of the liking run: like PumpingWait, and it also holds the run
// while it is paused. The time keeps running during a pause, so a wait whose
// time has passed ends as soon as the run is resumed.
bool RunWait(std::int32_t ms);
void OpenUrl(const AnsiText& url);
WindowHandle FindWindowByClassAndTitle(const AnsiText& titleFragment, const AnsiText& className);
// True while the window exists, is visible and not minimised: only then
// does a click at one of its client points land on it.
bool IsWindowShown(WindowHandle window);
// A left click at a client point of `window` (a screen point for 0), with the
// cursor put back afterwards.
void ClickAtWindowPoint(WindowHandle window, std::int32_t x, std::int32_t y);
// Asks the window to close (WM_CLOSE) without waiting for it.
void RequestClose(WindowHandle window);
