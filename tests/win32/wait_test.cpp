// The pumping wait on real waitable timers and message queues.
#include <gtest/gtest.h>

#include <thread>

#include "core/desktop.h"
#include "desktop/wait.h"

namespace {

ULONGLONG Elapsed(const std::function<void()>& f) {
  const ULONGLONG start = GetTickCount64();
  f();
  return GetTickCount64() - start;
}

TEST(PumpingWaitTest, WaitsTheAskedTime) {
  for (int ms : {300, 1000}) {
    const ULONGLONG took = Elapsed([&] { EXPECT_TRUE(PumpingWait(ms)); });
    EXPECT_GE(took + 16, static_cast<ULONGLONG>(ms)) << ms;  // tick granularity
    EXPECT_LT(took, static_cast<ULONGLONG>(ms) + 500) << ms;
  }
  for (int ms : {0, -5}) EXPECT_LT(Elapsed([&] { PumpingWait(ms); }), 100u) << ms;
}

TEST(PumpingWaitTest, FallbackWithoutATimerWaitsAndPumps) {
  PostThreadMessageA(GetCurrentThreadId(), WM_USER + 7, 0, 0);
  const ULONGLONG took = Elapsed([] { PumpingWaitWithoutTimer(300); });
  EXPECT_GE(took + 16, 300u);
  EXPECT_LT(took, 800u);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 7, WM_USER + 7, PM_REMOVE));
}

TEST(PumpingWaitTest, WindowlessPostedMessageIsTakenOffTheQueue) {
  PostThreadMessageA(GetCurrentThreadId(), WM_CLOSE, 0, 0);
  PumpingWait(50);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(PumpingWaitTest, QuitStaysInTheQueue) {
  PostQuitMessage(3);
  PumpingWait(50);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST(PumpingWaitTest, MessagesSentToTheWaitingThreadAreServed) {
  HWND target = nullptr;
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread waiter([&] {
    target = CreateWindowExA(0, "STATIC", "waiter", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetEvent(ready);
    PumpingWait(1500);
    DestroyWindow(target);
  });
  WaitForSingleObject(ready, INFINITE);
  Sleep(100);
  char title[32] = {};
  const ULONGLONG took =
      Elapsed([&] { SendMessageA(target, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title)); });
  EXPECT_STREQ(title, "waiter");
  EXPECT_LT(took, 500u);
  waiter.join();
  CloseHandle(ready);
}

}  // namespace
