// The table primitives and row operations on a real list view, called from
// this (worker) thread while the window's own thread pumps its messages.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <gtest/gtest.h>

#include <thread>

#include "app/contact_table.h"
#include "app/rows.h"
#include "core/table.h"
#include "tests/win32/table_window.h"

namespace {

class TableTest : public ::testing::Test {
 protected:
  TableWindow window;

  void AddRows(const std::vector<std::pair<AnsiText, AnsiText>>& rows) {
    for (const auto& [number, status] : rows) {
      const int32_t r = AppendRow(IntToText(RowCount() + 1));
      SetCellText(r, kColumnNumber, number);
      SetCellText(r, kColumnStatus, status);
    }
  }
  std::vector<AnsiText> Column(int column) {
    std::vector<AnsiText> out;
    for (int32_t i = 0; i < RowCount(); ++i) out.push_back(GetCellText(i, column));
    return out;
  }
  void Select(int32_t row) {
    window.OnUiThread([&] {
      LVITEMA item{};
      item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      item.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageA(window.list(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    });
  }
};

TEST_F(TableTest, PrimitivesFromAWorkerThread) {
  EXPECT_EQ(RowCount(), 0);
  EXPECT_EQ(AppendRow("1"), 0);
  EXPECT_EQ(AppendRow(""), 1);
  SetCellText(0, kColumnNumber, "12345");
  SetCellText(1, kColumnStatus, StatusLiked);
  EXPECT_EQ(RowCount(), 2);
  EXPECT_EQ(Column(kColumnRowNumber), (std::vector<AnsiText>{"1", ""}));
  EXPECT_EQ(Column(kColumnNumber), (std::vector<AnsiText>{"12345", ""}));
  EXPECT_EQ(Column(kColumnStatus), (std::vector<AnsiText>{"", StatusLiked}));

  // Indices that do not exist read empty and change nothing.
  for (int32_t bad : {-1, 2, 1000}) {
    EXPECT_EQ(GetCellText(bad, kColumnNumber), "") << bad;
    SetCellText(bad, kColumnNumber, "x");
    DeleteRow(bad);
    EXPECT_EQ(RowIdAt(bad), 0);
  }
  EXPECT_EQ(RowCount(), 2);
  EXPECT_EQ(Column(kColumnNumber), (std::vector<AnsiText>{"12345", ""}));

  EXPECT_EQ(SelectedRowIndex(), -1);
  Select(1);
  EXPECT_EQ(SelectedRowIndex(), 1);
  DeleteRow(0);
  EXPECT_EQ(RowCount(), 1);
  EXPECT_EQ(GetCellText(0, kColumnStatus), StatusLiked);
  DeleteAllRows();
  EXPECT_EQ(RowCount(), 0);
  DeleteAllRows();
}

TEST_F(TableTest, StatusReachesTheControlAsGbk) {
  AddRows({{"1", StatusLiked}});
  wchar_t wide[16] = {};
  window.OnUiThread([&] {
    LVITEMW item{};
    item.iSubItem = kColumnStatus;
    item.pszText = wide;
    item.cchTextMax = 16;
    SendMessageW(window.list(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  });
  EXPECT_STREQ(wide, L"\u5DF2\u70B9\u8D5E");  // 已点赞
}

TEST_F(TableTest, LongCellsReadBackWhole) {
  for (size_t length : {510u, 511u, 512u, 1023u, 5000u}) {
    AnsiText text(length, '7');
    text[0] = 'a';
    text[length - 1] = 'z';
    AddRows({{text, ""}});
    EXPECT_EQ(GetCellText(RowCount() - 1, kColumnNumber), text) << length;
  }
}

TEST_F(TableTest, RowIdentitiesStayWithTheirRows) {
  AddRows({{"a", ""}, {"b", ""}, {"c", ""}});
  const RowId a = RowIdAt(0), c = RowIdAt(2);
  EXPECT_NE(a, 0);
  EXPECT_NE(a, c);
  DeleteRow(1);
  EXPECT_EQ(RowIndexOf(c), 1);
  EXPECT_EQ(RowIndexOf(a), 0);
  EXPECT_TRUE(SetCellTextOfRow(c, kColumnStatus, StatusLiked));
  EXPECT_EQ(GetCellText(1, kColumnStatus), StatusLiked);
  DeleteRow(1);
  EXPECT_EQ(RowIndexOf(c), -1);
  EXPECT_FALSE(SetCellTextOfRow(c, kColumnStatus, "x"));
  RowId id = 0;
  EXPECT_EQ(ReadCellWithId(0, kColumnNumber, &id), "a");
  EXPECT_EQ(id, a);
}

TEST_F(TableTest, PurgeOnARealListView) {
  const AnsiText liked = StatusLiked;
  std::vector<std::pair<AnsiText, AnsiText>> rows;
  for (int i = 0; i < 40; ++i) rows.push_back({"L" + IntToText(i), liked});  // a run of 40
  rows.push_back({"keep1", ""});
  rows.push_back({"keep2", liked + " "});
  rows.push_back({"gone", liked});
  rows.push_back({"keep3", StatusCardNotFound});
  AddRows(rows);
  PurgeLikedRows();
  EXPECT_EQ(Column(kColumnNumber), (std::vector<AnsiText>{"keep1", "keep2", "keep3"}));
  EXPECT_EQ(Column(kColumnRowNumber), (std::vector<AnsiText>{"41", "42", "44"}));
}

TEST_F(TableTest, DeleteSelectedRowOnTheWindowThreadRenumbers) {
  AddRows({{"a", ""}, {"b", ""}, {"c", ""}});
  SetCellText(2, kColumnRowNumber, "1");  // as after a second import
  Select(1);
  window.OnUiThread([] { DeleteSelectedRow(); });
  EXPECT_EQ(Column(kColumnNumber), (std::vector<AnsiText>{"a", "c"}));
  EXPECT_EQ(Column(kColumnRowNumber), (std::vector<AnsiText>{"1", "2"}));
  window.OnUiThread([] { DeleteSelectedRow(); });  // nothing selected now
  EXPECT_EQ(RowCount(), 2);
}

TEST_F(TableTest, WorkerIsServedWhileTheWindowThreadYields) {
  AddRows({{"a", ""}});
  std::atomic<bool> yielding{true};
  std::thread ui([&] {
    window.OnUiThread([] {
      for (int i = 0; i < 500; ++i) MessageYield(1);
    });
    yielding = false;
  });
  Sleep(50);
  int served = 0;
  while (yielding && served < 200) {
    SetCellText(0, kColumnStatus, IntToText(served));
    if (GetCellText(0, kColumnStatus) == IntToText(served)) ++served;
  }
  const bool servedDuringYield = yielding;
  ui.join();
  EXPECT_TRUE(servedDuringYield);
  EXPECT_EQ(served, 200);
}

}  // namespace
