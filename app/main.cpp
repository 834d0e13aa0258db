// Start-up and shutdown: the main window and the message loop of the main
// thread.
#include <windows.h>

#include "app/main_window.h"
#include "desktop/wait.h"

namespace {

MainWindow* g_window = nullptr;
DWORD g_mainThread = 0;

// Also called by the waits that pump messages, on every thread: only the
// main thread's messages can be meant for the window.
bool PreTranslate(MSG* msg) {
  return GetCurrentThreadId() == g_mainThread && g_window && g_window->PreTranslate(*msg);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  MainWindow window;
  if (!window.Create(instance)) return 1;
  g_window = &window;
  g_mainThread = GetCurrentThreadId();
  SetPreTranslateHook(PreTranslate);
  window.Show();

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslate(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }

  // The window goes with the process. Worker threads end wherever they
  // stand, a paused run or an open import dialog included: ending the process
  // outright means no lock that one of them holds can hold up the end, and
  // nothing is kept, so nothing is lost.
  TerminateProcess(GetCurrentProcess(), 0);
  return 0;
}
