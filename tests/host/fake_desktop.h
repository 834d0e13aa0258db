// A recording desktop for host tests: every call lands in one log.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/desktop.h"

struct FakeDesktop {
  std::vector<std::string> log;  // "url <url>", "wait <ms>", "find", "click <w> <x> <y>", "close <w>"
  // Answers of the lookups in turn; 0 once they run out.
  std::vector<WindowHandle> lookups;
  std::size_t nextLookup = 0;
  // Windows that are hidden or gone.
  std::vector<WindowHandle> hidden;
  // Called at every wait: lets a test change the table meanwhile.
  std::function<void()> onWait;
};

FakeDesktop& Desktop();
void ResetDesktop();
