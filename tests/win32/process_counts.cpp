#include "tests/win32/process_counts.h"

#include <windows.h>
// after windows.h
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <functional>

namespace {

// Handle tables fill from the bottom: after this many empty slots in a row
// nothing lies further up.
constexpr int kEmptySlotsToStop = 4096;

int Probe(std::uintptr_t first, std::uintptr_t step, const std::function<bool(std::uintptr_t)>& live) {
  int found = 0;
  for (std::uintptr_t v = first, empty = 0; empty < kEmptySlotsToStop; v += step) {
    if (live(v)) {
      ++found;
      empty = 0;
    } else {
      ++empty;
    }
  }
  return found;
}

int Threads() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int n = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    n += entry.th32OwnerProcessID == GetCurrentProcessId();
  }
  CloseHandle(snapshot);
  return n;
}

int KernelHandles() {
  DWORD n = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &n) && n > 0) return static_cast<int>(n);
  return Probe(4, 4, [](std::uintptr_t v) {
    DWORD flags = 0;
    return GetHandleInformation(reinterpret_cast<HANDLE>(v), &flags) != 0;
  });
}

// Wine takes a GDI handle without its generation (the high word) as the
// object in that slot.
int GdiObjects() {
  if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(n);
  return Probe(1, 1, [](std::uintptr_t v) { return GetObjectType(reinterpret_cast<HGDIOBJ>(v)) != 0; });
}

// Likewise USER handles: windows (ours only, the table is shared) and menus,
// from 0x20 in steps of two.
int UserObjects() {
  if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<int>(n);
  const DWORD self = GetCurrentProcessId();
  return Probe(0x20, 2, [self](std::uintptr_t v) {
    HWND window = reinterpret_cast<HWND>(v);
    if (IsWindow(window)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(window, &pid);
      return pid == self;
    }
    return IsMenu(reinterpret_cast<HMENU>(v)) != 0;
  });
}

}  // namespace

std::size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX pm{};
  pm.cb = sizeof pm;
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pm), sizeof pm) &&
      pm.PrivateUsage > 0) {
    return pm.PrivateUsage;
  }
  std::size_t total = 0;
  MEMORY_BASIC_INFORMATION info;
  for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return total;
}

ProcessCounts CountProcessResources() {
  return {Threads(), KernelHandles(), GdiObjects(), UserObjects(), PrivateBytes()};
}

std::string Describe(const ProcessCounts& c) {
  return "threads " + std::to_string(c.threads) + ", handles " + std::to_string(c.kernelHandles) + ", GDI " +
         std::to_string(c.gdiObjects) + ", USER " + std::to_string(c.userObjects) + ", private " +
         std::to_string(c.privateBytes / 1024) + " KB";
}
