#include "tests/host/fake_desktop.h"

#include <algorithm>

namespace {
FakeDesktop g_desktop;
}

FakeDesktop& Desktop() { return g_desktop; }
void ResetDesktop() { g_desktop = FakeDesktop{}; }

bool PumpingWait(std::int32_t ms) { return RunWait(ms); }

bool RunWait(std::int32_t ms) {
  g_desktop.log.push_back("wait " + std::to_string(ms));
  if (g_desktop.onWait) g_desktop.onWait();
  return true;
}

void OpenUrl(const AnsiText& url) { g_desktop.log.push_back("url " + url); }

WindowHandle FindWindowByClassAndTitle(const AnsiText& titleFragment, const AnsiText& className) {
  g_desktop.log.push_back("find " + className + " " + titleFragment);
  return g_desktop.nextLookup < g_desktop.lookups.size() ? g_desktop.lookups[g_desktop.nextLookup++] : 0;
}

bool IsWindowShown(WindowHandle window) {
  return window != 0 &&
         std::find(g_desktop.hidden.begin(), g_desktop.hidden.end(), window) == g_desktop.hidden.end();
}

void ClickAtWindowPoint(WindowHandle window, std::int32_t x, std::int32_t y) {
  g_desktop.log.push_back("click " + std::to_string(window) + " " + std::to_string(x) + " " +
                          std::to_string(y));
}

void RequestClose(WindowHandle window) { g_desktop.log.push_back("close " + std::to_string(window)); }
