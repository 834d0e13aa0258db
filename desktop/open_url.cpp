#include <windows.h>
#include <shellapi.h>

#include "core/desktop.h"

void OpenUrl(const AnsiText& url) {
  // Owner of anything the shell shows for the request; none is fine.
  HWND owner = FindWindowExA(nullptr, nullptr, nullptr, "Microsoft Internet Explorer");
  ShellExecuteA(owner, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
