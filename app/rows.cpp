#include "app/rows.h"

#include <algorithm>

namespace {

// Rows examined per trip to the table's thread: big enough that a purge of
// 100,000 rows takes few trips, small enough that the window stays responsive.
constexpr std::int32_t kPurgeRowsPerTrip = 4096;
constexpr std::int32_t kYieldMs = 1;

}  // namespace

void ClearAllRows() { DeleteAllRows(); }

void RenumberRows() {
  OnTableThread([] {
    const std::int32_t n = RowCount();
    for (std::int32_t i = 1; i <= n; ++i) SetCellText(i - 1, kColumnRowNumber, IntToText(i));
  });
}

void DeleteSelectedRow() {
  DeleteRow(SelectedRowIndex());
  MessageYield(kYieldMs);
  RenumberRows();
}

std::int32_t PurgeLikedRange(std::int32_t start, std::int32_t maxRows) {
  const std::int32_t n = RowCount();
  if (start < 0) start = 0;
  if (start >= n) return -1;
  const std::int32_t count = std::min(maxRows, n - start);
  std::int32_t row = start;
  for (std::int32_t k = 0; k < count; ++k) {
    // A deleted row's successor moves up into `row` and is looked at next.
    if (TextEquals(GetCellText(row, kColumnStatus), StatusLiked)) {
      DeleteRow(row);
    } else {
      ++row;
    }
  }
  return start + count < n ? row : -1;
}

void PurgeLikedRows() {
  std::int32_t next = 0;
  while (next >= 0) {
    const std::int32_t from = next;
    next = -1;  // stays so when the table is gone
    OnTableThread([&] { next = PurgeLikedRange(from, kPurgeRowsPerTrip); });
    MessageYield(kYieldMs);
  }
}

bool SetCellTextOfRow(RowId id, std::int32_t column, const AnsiText& text) {
  bool found = false;
  OnTableThread(
      [&] {
        const std::int32_t row = RowIndexOf(id);
        if (row < 0) return;
        SetCellText(row, column, text);
        found = true;
      },
      false);
  return found;
}

AnsiText ReadCellWithId(std::int32_t row, std::int32_t column, RowId* id) {
  AnsiText text;
  RowId rowId = 0;
  OnTableThread(
      [&] {
        rowId = RowIdAt(row);
        if (rowId != 0) text = GetCellText(row, column);
      },
      false);
  if (id) *id = rowId;
  return text;
}
