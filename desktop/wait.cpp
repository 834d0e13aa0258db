#include "desktop/wait.h"

#include <atomic>

namespace {

std::atomic<PreTranslateHook> g_preTranslate{nullptr};

// QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER |
// QS_PAINT | QS_SENDMESSAGE | QS_HOTKEY; raw input is left out on purpose.
constexpr DWORD kWakeMask = 0xFF;

}  // namespace

void SetPreTranslateHook(PreTranslateHook hook) { g_preTranslate = hook; }

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) return;
    const PreTranslateHook hook = g_preTranslate.load();
    if (hook && hook(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void PumpingWaitWithoutTimer(std::int32_t ms) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(ms > 0 ? ms : 0);
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    const DWORD r =
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), kWakeMask);
    if (r == WAIT_OBJECT_0) ProcessPendingMessages();
    // WAIT_TIMEOUT: the loop sees the deadline. WAIT_FAILED: sleep instead of spinning.
    if (r == WAIT_FAILED) Sleep(static_cast<DWORD>(deadline - now));
  }
}

bool PumpingWait(std::int32_t ms) {
  HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
  LARGE_INTEGER due;
  due.QuadPart = static_cast<LONGLONG>(ms) * -10000;
  if (!timer || !SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
    if (timer) CloseHandle(timer);
    PumpingWaitWithoutTimer(ms);
    return true;
  }
  while (MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, kWakeMask) != WAIT_OBJECT_0) {
    ProcessPendingMessages();
  }
  CloseHandle(timer);
  return true;
}
