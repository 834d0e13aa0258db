#include "tests/host/fake_table.h"

namespace {

FakeTable g_fake;
RowId g_nextId = 0;
int g_insideTrip = 0;

void Step() {
  if (g_insideTrip == 0 && g_fake.beforeEachPrimitive) g_fake.beforeEachPrimitive();
}

bool Valid(std::int32_t row) { return row >= 0 && row < static_cast<std::int32_t>(g_fake.rows.size()); }

}  // namespace

FakeTable& Fake() { return g_fake; }

void ResetFake() { g_fake = FakeTable{}; }

void FakeTable::Add(std::initializer_list<std::array<AnsiText, 3>> cells) {
  for (const auto& c : cells) rows.push_back(FakeRow{++g_nextId, c});
}

std::vector<AnsiText> FakeTable::Column(int column) const {
  std::vector<AnsiText> out;
  for (const auto& r : rows) out.push_back(r.cells[column]);
  return out;
}

std::int32_t RowCount() {
  Step();
  return g_fake.gone ? 0 : static_cast<std::int32_t>(g_fake.rows.size());
}

AnsiText GetCellText(std::int32_t row, std::int32_t column) {
  Step();
  if (g_fake.gone || !Valid(row) || column < 0 || column > 2) return {};
  return g_fake.rows[row].cells[column];
}

void SetCellText(std::int32_t row, std::int32_t column, const AnsiText& text) {
  Step();
  if (g_fake.gone || !Valid(row) || column < 0 || column > 2) return;
  g_fake.rows[row].cells[column] = text;
}

std::int32_t AppendRow(const AnsiText& rowNumber) {
  Step();
  if (g_fake.gone) return -1;
  g_fake.rows.push_back(FakeRow{++g_nextId, {rowNumber, "", ""}});
  return static_cast<std::int32_t>(g_fake.rows.size()) - 1;
}

void DeleteRow(std::int32_t row) {
  Step();
  if (g_fake.gone || !Valid(row)) return;
  g_fake.rows.erase(g_fake.rows.begin() + row);
  if (g_fake.selected == row)
    g_fake.selected = -1;
  else if (g_fake.selected > row)
    --g_fake.selected;
}

void DeleteAllRows() {
  Step();
  g_fake.rows.clear();
  g_fake.selected = -1;
}

std::int32_t SelectedRowIndex() {
  Step();
  return g_fake.selected;
}

RowId RowIdAt(std::int32_t row) {
  Step();
  return Valid(row) ? g_fake.rows[row].id : 0;
}

std::int32_t RowIndexOf(RowId id) {
  Step();
  for (std::size_t i = 0; i < g_fake.rows.size(); ++i) {
    if (g_fake.rows[i].id == id) return static_cast<std::int32_t>(i);
  }
  return -1;
}

bool OnTableThread(const std::function<void()>& work, bool) {
  Step();
  if (g_fake.gone) return false;
  ++g_fake.tableTrips;
  ++g_insideTrip;
  work();
  --g_insideTrip;
  return true;
}

void MessageYield(std::int32_t ms) {
  if (ms > 0) ++g_fake.yields;
}
