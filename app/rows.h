// Row operations offered by the menus, written against the table primitives.
#pragma once

#include <cstdint>

#include "core/table.h"

void ClearAllRows();
void DeleteSelectedRow();
void RenumberRows();
void PurgeLikedRows();

// Examines up to `maxRows` rows from `start` and deletes those whose status
// is exactly StatusLiked. Returns the index where the next call should go on,
// or -1 once the end of the table is reached. Call it on the table's thread.
std::int32_t PurgeLikedRange(std::int32_t start, std::int32_t maxRows);

// Sets a cell of the row with the given identity, wherever it stands now, in
// one step. Returns false when that row is gone.
bool SetCellTextOfRow(RowId id, std::int32_t column, const AnsiText& text);

// Reads a cell together with the identity of its row, in one step.
AnsiText ReadCellWithId(std::int32_t row, std::int32_t column, RowId* id);
