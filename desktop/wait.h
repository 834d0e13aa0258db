// Waits that keep the calling thread's messages flowing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/desktop.h"

// Dispatches what is waiting in the calling thread's queue; leaves WM_QUIT.
void ProcessPendingMessages();

// Lets the application see a message before it is translated and dispatched;
// true means the hook consumed it. Set once at start-up.
using PreTranslateHook = bool (*)(MSG*);
void SetPreTranslateHook(PreTranslateHook hook);

// The wait PumpingWait falls back on when no waitable timer can be had.
void PumpingWaitWithoutTimer(std::int32_t ms);
