// The contact table as the portable code sees it. On Windows these are
// messages to the list-view control, carried out by the window's thread; the
// host tests link an in-memory table instead.
#pragma once

#include <cstdint>
#include <functional>

#include "core/text.h"

enum Column : int { kColumnRowNumber = 0, kColumnNumber = 1, kColumnStatus = 2 };

inline constexpr char StatusLiked[] = "已点赞";
inline constexpr char StatusCardNotFound[] = "未找到资料卡";

// Given to every row when it is added and never reused, so that a worker can
// find "its" row again after other rows have moved. 0 names no row.
using RowId = std::int64_t;

// Primitives; a row index that does not exist reads as empty and makes
// writes and deletions change nothing.
std::int32_t RowCount();
AnsiText GetCellText(std::int32_t row, std::int32_t column);
void SetCellText(std::int32_t row, std::int32_t column, const AnsiText& text);
std::int32_t AppendRow(const AnsiText& rowNumber);
void DeleteRow(std::int32_t row);
void DeleteAllRows();
std::int32_t SelectedRowIndex();
RowId RowIdAt(std::int32_t row);
std::int32_t RowIndexOf(RowId id);  // -1 when the row is gone

// Runs `work` on the table's own thread with no other table access in
// between; on that thread the primitives are plain calls. Bulk work suspends
// redraw meanwhile. Returns false when the table no longer exists (work did
// not run).
bool OnTableThread(const std::function<void()>& work, bool suspendRedraw = true);

// Steps made of several primitives that must not interleave with other
// threads: each is one trip to the table's thread (app/rows.cpp).

// Sets a cell of the row with the given identity, wherever it stands now, in
// one step. Returns false when that row is gone.
bool SetCellTextOfRow(RowId id, std::int32_t column, const AnsiText& text);

// Reads a cell together with the identity of its row, in one step.
AnsiText ReadCellWithId(std::int32_t row, std::int32_t column, RowId* id);

// A pause that keeps the calling thread's messages flowing.
void MessageYield(std::int32_t ms);
