#include <windows.h>

#include <algorithm>
#include <limits>

#include "desktop/automation.h"

namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

LONG ClampToLong(std::int64_t v) {
  return static_cast<LONG>(
      std::clamp<std::int64_t>(v, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

}  // namespace

void MoveCursorToWindowPoint(WindowHandle window, std::int32_t x, std::int32_t y) {
  POINT origin{0, 0};
  // A failed conversion leaves the origin at the screen's corner.
  if (window != 0) ClientToScreen(ToHwnd(window), &origin);
  SetCursorPos(ClampToLong(std::int64_t{origin.x} + x), ClampToLong(std::int64_t{origin.y} + y));
}

void ClickAtWindowPoint(WindowHandle window, std::int32_t x, std::int32_t y) {
  // A window that has gone away would have its point counted from the screen
  // origin, and the click would land on whatever lies there.
  if (window != 0 && !IsWindow(ToHwnd(window))) return;
  POINT saved{0, 0};
  GetCursorPos(&saved);
  MoveCursorToWindowPoint(window, x, y);
  // Without MOUSEEVENTF_MOVE, dx and dy move nothing: press and release land
  // where the cursor now is.
  mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, static_cast<DWORD>(x), static_cast<DWORD>(y), 0, 0);
  MoveCursorToWindowPoint(0, saved.x, saved.y);
}

void RequestClose(WindowHandle window) { PostMessageA(ToHwnd(window), WM_CLOSE, 0, 0); }
