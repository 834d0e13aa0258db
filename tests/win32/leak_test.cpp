// A long liking run, with every wait a hundredth as long, beside the program's
// main window being repainted over and over, keeps what the process holds
// flat: no kernel handle (timer, thread, ...), GDI or USER object and no
// memory is left behind per row or per paint. The card is a window of this
// process; the shell still starts the stand-in client for every profile URL,
// which ends at once (its number gets no card).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "app/main_window.h"
#include "app/rows.h"
#include "app/run_control.h"
#include "core/desktop.h"
#include "core/like_run.h"
#include "core/table.h"
#include "tests/win32/process_counts.h"
#include "tests/win32/standin.h"

namespace {

constexpr char kNumber[] = "77777";

// The program's main window on a thread of its own that pumps messages, as
// the program's main thread does.
class MainWindowHost {
 public:
  MainWindowHost() {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { Run(); });
    WaitForSingleObject(ready_, INFINITE);
  }
  ~MainWindowHost() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
    CloseHandle(ready_);
  }
  HWND window() const { return window_; }
  void OnUiThread(const std::function<void()>& work) {
    SendMessageA(helper_, kMsgRun, 0, reinterpret_cast<LPARAM>(&work));
  }

 private:
  static constexpr UINT kMsgRun = WM_APP + 1;
  static LRESULT CALLBACK HelperProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg != kMsgRun) return DefWindowProcA(h, msg, w, l);
    (*reinterpret_cast<const std::function<void()>*>(l))();
    return 1;
  }
  void Run() {
    MainWindow window;
    window.Create(GetModuleHandleA(nullptr));
    window.Show();
    window_ = window.hwnd();
    WNDCLASSA wc{};
    wc.lpfnWndProc = HelperProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TollivarLeakTestHelper";
    RegisterClassA(&wc);
    helper_ =
        CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetEvent(ready_);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    DestroyWindow(helper_);
  }
  std::thread thread_;
  HWND window_ = nullptr;
  HWND helper_ = nullptr;
  HANDLE ready_ = nullptr;
};

// A card that stays up: it counts the clicks and close requests it gets and
// is found again for the next row.
class StayingCard {
 public:
  StayingCard() {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { Run(); });
    WaitForSingleObject(ready_, INFINITE);
  }
  ~StayingCard() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(ready_);
  }
  static inline std::atomic<int> presses{0};
  static inline std::atomic<int> closes{0};

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
      case WM_LBUTTONDOWN:
        ++presses;
        return 0;
      case WM_CLOSE:
        ++closes;
        return 0;
      case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    }
    return DefWindowProcA(h, msg, w, l);
  }
  void Run() {
    threadId_ = GetCurrentThreadId();
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = ProfileWindowClass;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassA(&wc);
    const AnsiText title = ConcatText({kNumber, ProfileTitleFragment});
    HWND card =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, ProfileWindowClass,
                        title.c_str(), WS_POPUP, 640, 60, 520, 440, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(card, SW_SHOWNOACTIVATE);
    SetEvent(ready_);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(card);
  }
  std::thread thread_;
  DWORD threadId_ = 0;
  HANDLE ready_ = nullptr;
};

// Runs over the whole table while the window is painted whole again and
// again; false when the run did not end in time.
bool RunToTheEnd(MainWindowHost& host, DWORD timeoutMs, int* paints) {
  StartRun();
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (RunIsGoing() && GetTickCount64() < deadline) {
    host.OnUiThread([&] {
      RedrawWindow(host.window(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    });
    ++*paints;
    Sleep(20);
  }
  return !RunIsGoing();
}

int RowsWithStatus(const char* status) {
  int n = 0;
  OnTableThread([&] {
    for (std::int32_t i = 0; i < RowCount(); ++i) n += TextEquals(GetCellText(i, kColumnStatus), status);
  });
  return n;
}

TEST(LeakTest, LongRunKeepsHandlesObjectsAndMemoryFlat) {
  constexpr int kRows = 150;
  StandinSettings settings;
  settings.noCard = {kNumber};
  ResetStandin(settings);
  MainWindowHost host;
  StayingCard card;
  OnTableThread([] {
    for (int i = 1; i <= kRows; ++i) SetCellText(AppendRow(IntToText(i)), kColumnNumber, kNumber);
  });

  // The first run warms up what is made once (the shell's state, the list
  // view's paint resources, heap pools); the second must add nothing.
  ProcessCounts counts[3];
  counts[0] = CountProcessResources();
  std::printf("before: %s\n", Describe(counts[0]).c_str());
  for (int run = 1; run <= 2; ++run) {
    const ULONGLONG start = GetTickCount64();
    int paints = 0;
    ASSERT_TRUE(RunToTheEnd(host, 120000, &paints)) << "run " << run;
    const auto ms = GetTickCount64() - start;
    ASSERT_EQ(RowsWithStatus(StatusLiked), kRows) << "run " << run;
    counts[run] = CountProcessResources();
    std::printf("after run %d (%d rows, %d whole-window paints, %llu ms): %s\n", run, kRows, paints, ms,
                Describe(counts[run]).c_str());
  }
  // Clicks come back through the window system: let the last ones arrive.
  for (int i = 0; i < 100 && StayingCard::presses < 2 * kRows * LikeClickCount; ++i) Sleep(20);
  EXPECT_EQ(StayingCard::presses.load(), 2 * kRows * LikeClickCount);
  EXPECT_EQ(StayingCard::closes.load(), 2 * kRows);

  const ProcessCounts& warm = counts[1];
  const ProcessCounts& end = counts[2];
  EXPECT_LE(end.threads - warm.threads, 0);
  EXPECT_LE(end.kernelHandles - warm.kernelHandles, 2);
  EXPECT_LE(end.gdiObjects - warm.gdiObjects, 2);
  EXPECT_LE(end.userObjects - warm.userObjects, 1);
  EXPECT_LE(static_cast<long long>(end.privateBytes) - static_cast<long long>(warm.privateBytes), 128 * 1024);
  CloseStandinWindows();
}

}  // namespace
