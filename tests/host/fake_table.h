// An in-memory contact table behind the table primitives, for host tests.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "core/table.h"

struct FakeRow {
  RowId id = 0;
  std::array<AnsiText, 3> cells;
};

struct FakeTable {
  std::vector<FakeRow> rows;
  std::int32_t selected = -1;
  int yields = 0;
  int tableTrips = 0;  // OnTableThread calls
  bool gone = false;   // the window was destroyed
  // Called before every primitive outside OnTableThread: lets a test play
  // another thread that changes the table between two steps.
  std::function<void()> beforeEachPrimitive;

  // Appends rows holding (row number, number, status).
  void Add(std::initializer_list<std::array<AnsiText, 3>> cells);
  std::vector<AnsiText> Column(int column) const;
};

// The table the primitives work on; reset by every test's fixture.
FakeTable& Fake();
void ResetFake();
