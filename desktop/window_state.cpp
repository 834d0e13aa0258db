#include <windows.h>

#include "core/desktop.h"

bool IsWindowShown(WindowHandle window) {
  HWND h = reinterpret_cast<HWND>(window);
  return h && IsWindow(h) && IsWindowVisible(h) && !IsIconic(h);
}
