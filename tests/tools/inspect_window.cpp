// Looks at windows of another process from outside, for the end-to-end tests.
//
//   inspect_window tree TITLE        the window, its client area on the screen, then
//                                    every descendant: depth, id, class, place in the
//                                    parent's client area, style, extended style, text
//   inspect_window windows           every visible top-level window
//   inspect_window wait CLASS TITLE MS   waits for a visible top-level window
//                                    (CLASS exact or *, TITLE a part of it or *)
//   inspect_window gone TITLE MS     waits until no visible window has TITLE
//   inspect_window resize TITLE W H  sets the outer size
//   inspect_window close CLASS MS    asks every top-level window of CLASS to close
//                                    and waits until they are gone
//
// Texts are printed in UTF-8 (tabs and line breaks escaped), fields split by tabs, rectangles as
// left,top,width,height. Exit code 1 when the window is not there.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/tools/tool_util.h"

namespace {

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%08lX", static_cast<unsigned long>(value));
  return text;
}

std::string RectText(const RECT& r) {
  char text[64];
  std::snprintf(text, sizeof(text), "%ld,%ld,%ld,%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return text;
}

std::string TopLevelLine(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  return ClassNameOf(w) + "\t" + RectText(r) + "\t" + std::to_string(pid) + "\t" + Escaped(WindowTextUtf8(w));
}

void PrintDescendants(HWND parent, int depth) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_EXSTYLE));
    Print(std::to_string(depth) + "\t" + std::to_string(GetDlgCtrlID(child)) + "\t" + ClassNameOf(child) +
          "\t" + RectText(r) + "\t" + Hex(style) + "\t" + Hex(exStyle) + "\t" +
          Escaped(WindowTextUtf8(child)));
    PrintDescendants(child, depth + 1);
  }
}

int Tree(const std::string& title) {
  HWND w = FindTopLevelByTitle(title);
  if (!w) return 1;
  RECT outer, client;
  GetWindowRect(w, &outer);
  GetClientRect(w, &client);
  MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&client), 2);
  Print("window\t" + ClassNameOf(w) + "\t" + RectText(outer) + "\t" +
        Hex(static_cast<DWORD>(GetWindowLongPtrW(w, GWL_STYLE))) + "\t" +
        Hex(static_cast<DWORD>(GetWindowLongPtrW(w, GWL_EXSTYLE))) + "\t" + Escaped(WindowTextUtf8(w)));
  Print("client\t" + RectText(client));
  PrintDescendants(w, 0);
  return 0;
}

std::vector<HWND> VisibleTopLevel() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        if (IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

int Wait(const std::string& className, const std::string& title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    for (HWND w : VisibleTopLevel()) {
      if (className != "*" && ClassNameOf(w) != className) continue;
      if (title != "*" && WindowTextUtf8(w).find(title) == std::string::npos) continue;
      Print(TopLevelLine(w));
      return 0;
    }
    if (GetTickCount() - start > timeoutMs) return 1;
    Sleep(50);
  }
}

int Gone(const std::string& title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (FindTopLevelByTitle(title)) {
    if (GetTickCount() - start > timeoutMs) return 1;
    Sleep(20);
  }
  return 0;
}

int Resize(const std::string& title, int width, int height) {
  HWND w = FindTopLevelByTitle(title);
  if (!w) return 1;
  return SetWindowPos(w, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
}

int Close(const std::string& className, DWORD timeoutMs) {
  auto matching = [&] {
    std::vector<HWND> found;
    for (HWND w : VisibleTopLevel()) {
      if (ClassNameOf(w) == className) found.push_back(w);
    }
    return found;
  };
  for (HWND w : matching()) PostMessageW(w, WM_CLOSE, 0, 0);
  const DWORD start = GetTickCount();
  while (!matching().empty()) {
    if (GetTickCount() - start > timeoutMs) return 1;
    Sleep(20);
  }
  return 0;
}

}  // namespace

int main() {
  const std::string command = ArgUtf8(1);
  int rc = 2;
  if (command == "tree") {
    rc = Tree(ArgUtf8(2));
  } else if (command == "windows") {
    for (HWND w : VisibleTopLevel()) Print(TopLevelLine(w));
    rc = 0;
  } else if (command == "wait") {
    rc = Wait(ArgUtf8(2), ArgUtf8(3), static_cast<DWORD>(std::atol(ArgUtf8(4).c_str())));
  } else if (command == "gone") {
    rc = Gone(ArgUtf8(2), static_cast<DWORD>(std::atol(ArgUtf8(3).c_str())));
  } else if (command == "resize") {
    rc = Resize(ArgUtf8(2), std::atoi(ArgUtf8(3).c_str()), std::atoi(ArgUtf8(4).c_str()));
  } else if (command == "close") {
    rc = Close(ArgUtf8(2), static_cast<DWORD>(std::atol(ArgUtf8(3).c_str())));
  } else {
    std::fputs("usage: inspect_window tree|windows|wait|gone|resize|close ...\n", stderr);
  }
  std::fflush(stdout);
  return rc;
}
