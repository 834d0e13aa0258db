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
