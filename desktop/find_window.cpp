#include <windows.h>

#include <algorithm>

#include "desktop/automation.h"

namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

}  // namespace

AnsiText ReadWindowTitle(WindowHandle window) {
  const int n = GetWindowTextLengthA(ToHwnd(window)) + 1;
  // n spaces and the string's own terminating zero. The length may overstate
  // a DBCS title, so the title ends at the first zero the read leaves.
  AnsiText buffer(static_cast<std::size_t>(std::max(n, 1)), ' ');
  GetWindowTextA(ToHwnd(window), buffer.data(), n);
  return AnsiText(buffer.c_str());
}

WindowHandle FindWindowByClassAndTitle(const AnsiText& titleFragment, const AnsiText& className) {
  const AnsiText fragment = ToLowerAnsi(titleFragment);
  HWND previous = nullptr;
  // FindWindowExA walks the top-level windows in Z order, topmost first, so
  // the highest match wins. Hidden windows take part like any other.
  for (;;) {
    HWND candidate = FindWindowExA(nullptr, previous, className.c_str(), nullptr);
    if (!candidate) return 0;
    const WindowHandle handle = reinterpret_cast<WindowHandle>(candidate);
    if (FindText(ToLowerAnsi(ReadWindowTitle(handle)), fragment) != -1) return handle;
    previous = candidate;
  }
}
