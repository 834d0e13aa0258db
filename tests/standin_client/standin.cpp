// TollivarStandin: stands in for the chat client's "tencent" protocol
// handler in tests. The shell starts one process per URL, as it does for the
// real handler; the process shows the profile card of the URL's number and
// ends when the card is closed.
//
// Knobs and log live in one folder (standin_files.h; C:\tollivar-standin by
// default, or $TOLLIVAR_STANDIN_DIR). Several processes append to the same
// log, so each record is one line written by one append:
//   url <URL as received>
//   nocard <number>           number listed in nocard=: nothing is shown
//   show <number>             the card is visible
//   press <number> <x> <y>    left button down at client point (x, y)
//   release <number> <x> <y>
//   close <number>            WM_CLOSE reached the card; it goes away
//   decoy-press|decoy-release <number> <x> <y>, decoy-close <number>
// See README.md for the settings.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/standin_client/standin_files.h"

namespace {

struct Settings {
  std::vector<std::string> noCard;
  DWORD delayMs = 0;
  int cardX = standin::kDefaultCardX;
  int cardY = standin::kDefaultCardY;
  bool decoy = false;
  std::string decoyTitle = standin::kDefaultDecoyTitle;
  int decoyX = standin::kDefaultDecoyX;
  int decoyY = standin::kDefaultDecoyY;
};

std::string ReadSetting(const char* key, const char* fallback) {
  char buffer[4096];
  GetPrivateProfileStringA(standin::kSection, key, fallback, buffer, sizeof buffer,
                           standin::SettingsPath().c_str());
  return buffer;
}

// GetPrivateProfileIntA has no negative numbers; cards may sit left of 0.
int ReadInt(const char* key, int fallback) {
  const std::string text = ReadSetting(key, "");
  if (text.empty()) return fallback;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  return end == text.c_str() ? fallback : static_cast<int>(v);
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> out;
  std::string item;
  for (char c : text + ",") {
    if (c == ',' || c == ' ' || c == '\t') {
      if (!item.empty()) out.push_back(item);
      item.clear();
    } else {
      item += c;
    }
  }
  return out;
}

Settings LoadSettings() {
  Settings s;
  s.noCard = SplitList(ReadSetting(standin::kNoCard, ""));
  s.delayMs = static_cast<DWORD>(std::max(0, ReadInt(standin::kDelayMs, 0)));
  s.cardX = ReadInt(standin::kCardX, s.cardX);
  s.cardY = ReadInt(standin::kCardY, s.cardY);
  s.decoy = ReadInt(standin::kDecoy, 0) != 0;
  s.decoyTitle = ReadSetting(standin::kDecoyTitle, standin::kDefaultDecoyTitle);
  s.decoyX = ReadInt(standin::kDecoyX, s.decoyX);
  s.decoyY = ReadInt(standin::kDecoyY, s.decoyY);
  return s;
}

// One open, one write, one close per record: the processes share no handle,
// and FILE_APPEND_DATA alone puts every write at the current end of file.
void Record(const std::string& line) {
  CreateDirectoryA(standin::Dir().c_str(), nullptr);
  HANDLE file = CreateFileA(standin::LogPath().c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string bytes = line + "\n";
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// The number is everything after the "uin=" parameter (not "puin="), as the
// URL gives it; false when the URL has no such parameter.
bool NumberFromUrl(const std::string& url, std::string& number) {
  for (std::size_t at = url.rfind("uin="); at != std::string::npos;
       at = at == 0 ? std::string::npos : url.rfind("uin=", at - 1)) {
    if (at > 0 && (url[at - 1] == '&' || url[at - 1] == '?')) {
      number = url.substr(at + 4);
      return true;
    }
  }
  return false;
}

struct Card {
  std::string number;
  HWND card = nullptr;
  HWND decoy = nullptr;
};
Card g_card;

std::string PointRecord(const char* kind, LPARAM l) {
  return std::string(kind) + " " + g_card.number + " " + std::to_string(GET_X_LPARAM(l)) + " " +
         std::to_string(GET_Y_LPARAM(l));
}

void PaintCard(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT client;
  GetClientRect(h, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
  const int n = GetWindowTextLengthA(h);
  std::string title(static_cast<std::size_t>(n) + 1, '\0');
  title.resize(static_cast<std::size_t>(GetWindowTextA(h, title.data(), n + 1)));
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, 12, 12, title.c_str(), static_cast<int>(title.size()));
  if (h == g_card.card) {
    // Where the like button of the real card would be.
    RECT like{326, 319, 347, 340};
    FrameRect(dc, &like, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  EndPaint(h, &ps);
}

LRESULT CALLBACK WindowProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  const bool isCard = h == g_card.card;
  switch (msg) {
    case WM_LBUTTONDOWN:
      Record(PointRecord(isCard ? "press" : "decoy-press", l));
      return 0;
    case WM_LBUTTONUP:
      Record(PointRecord(isCard ? "release" : "decoy-release", l));
      return 0;
    case WM_CLOSE:
      Record((isCard ? "close " : "decoy-close ") + g_card.number);
      if (isCard && g_card.decoy) DestroyWindow(g_card.decoy);
      DestroyWindow(h);
      return 0;
    case WM_DESTROY:
      if (isCard) PostQuitMessage(0);
      if (h == g_card.decoy) g_card.decoy = nullptr;
      return 0;
    case WM_PAINT:
      PaintCard(h);
      return 0;
    case WM_MOUSEACTIVATE:
      // The card never becomes active: Wine's X11 driver hands active popups
      // to the window manager, and hiding one then waits 2 s for a window
      // manager that Xvfb lacks, so a closed card would linger hidden and
      // still be found by the next lookup.
      return MA_NOACTIVATE;
  }
  return DefWindowProcA(h, msg, w, l);
}

HWND MakeWindow(const std::string& title, int x, int y, int width, int height) {
  return CreateWindowExA(0, standin::kWindowClass, title.c_str(), WS_POPUP, x, y, width, height, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  const std::string url = __argv[1];
  Record("url " + url);
  if (!NumberFromUrl(url, g_card.number)) return 0;

  const Settings settings = LoadSettings();
  for (const std::string& n : settings.noCard) {
    if (n == g_card.number) {
      Record("nocard " + g_card.number);
      return 0;
    }
  }
  // No window exists meanwhile, as with a client that is slow to answer.
  if (settings.delayMs > 0) Sleep(settings.delayMs);

  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = standin::kWindowClass;
  if (!RegisterClassA(&wc)) return 1;

  // Titled only once visible: a hidden card would already be found.
  g_card.card = MakeWindow("", settings.cardX, settings.cardY, standin::kCardWidth, standin::kCardHeight);
  if (!g_card.card) return 1;
  ShowWindow(g_card.card, SW_SHOWNOACTIVATE);
  SetWindowTextA(g_card.card, (g_card.number + "的资料").c_str());
  UpdateWindow(g_card.card);
  if (settings.decoy) {
    // Above the card in Z order, so a lookup has to pass it over.
    g_card.decoy = MakeWindow(settings.decoyTitle, settings.decoyX, settings.decoyY, standin::kDecoyWidth,
                              standin::kDecoyHeight);
    SetWindowPos(g_card.decoy, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  Record("show " + g_card.number);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
