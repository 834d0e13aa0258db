// What the process holds: threads, kernel handles, GDI objects, USER objects
// (windows and menus) and committed private memory. Wine 8 answers 0 to
// GetProcessHandleCount, GetGuiResources and PrivateUsage, so there the
// counts come from probing the handle tables and walking the address space.
#pragma once

#include <cstddef>
#include <string>

struct ProcessCounts {
  int threads = 0;
  int kernelHandles = 0;
  int gdiObjects = 0;
  int userObjects = 0;
  std::size_t privateBytes = 0;
};

ProcessCounts CountProcessResources();
// Committed private memory of the process.
std::size_t PrivateBytes();
std::string Describe(const ProcessCounts& c);
