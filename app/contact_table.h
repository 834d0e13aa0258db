// The contact table on Windows: a report-style list view whose items carry
// the rows, reached through the primitives of core/table.h.
#pragma once

#include <windows.h>

// Makes `listView` the contact table: its columns are added and the
// primitives talk to it from now on. Call on the thread that owns it.
void AttachContactTable(HWND listView);
// The list view, or null before attaching and after it was destroyed.
HWND ContactTableWindow();

inline constexpr int kCellTextBufferSize = 512;
