#include "app/contact_table.h"

#include <commctrl.h>

#include <atomic>
#include <vector>

#include "app/rows.h"
#include "desktop/wait.h"

namespace {

std::atomic<HWND> g_table{nullptr};
std::atomic<RowId> g_lastRowId{0};

// Private message of the list view: run a std::function (lParam) in one go.
constexpr UINT kMsgRunOnTableThread = WM_APP + 0x31;
constexpr UINT_PTR kSubclassId = 1;

struct ColumnSpec {
  const char* title;
  int width;
};
constexpr ColumnSpec kColumns[] = {{"序号", 50}, {"QQ号", 100}, {"状态", 80}};

LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) {
  HWND h = g_table.load();
  return h ? SendMessageA(h, msg, w, l) : 0;
}

// Depth of nested table work on the owning thread: redraw is suspended once
// for the outermost and restored when it ends.
thread_local int t_workDepth = 0;

void RunSuspended(HWND h, const std::function<void()>& work, bool suspendRedraw) {
  if (!suspendRedraw) {
    work();
    return;
  }
  if (t_workDepth++ == 0) SendMessageA(h, WM_SETREDRAW, FALSE, 0);
  work();
  if (--t_workDepth == 0) {
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
  }
}

LRESULT CALLBACK TableProc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
  switch (msg) {
    case kMsgRunOnTableThread:
      RunSuspended(h, *reinterpret_cast<const std::function<void()>*>(l), w != 0);
      return 1;
    case WM_NCDESTROY:
      g_table.compare_exchange_strong(h, nullptr);
      RemoveWindowSubclass(h, TableProc, kSubclassId);
      break;
  }
  return DefSubclassProc(h, msg, w, l);
}

}  // namespace

void AttachContactTable(HWND listView) {
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    col.fmt = LVCFMT_LEFT;
    col.cx = kColumns[i].width;
    col.pszText = const_cast<char*>(kColumns[i].title);
    col.iSubItem = i;
    SendMessageA(listView, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
  }
  SetWindowSubclass(listView, TableProc, kSubclassId, 0);
  g_table = listView;
}

HWND ContactTableWindow() { return g_table.load(); }

bool OnTableThread(const std::function<void()>& work, bool suspendRedraw) {
  HWND h = g_table.load();
  if (!h) return false;
  if (GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId()) {
    RunSuspended(h, work, suspendRedraw);
    return true;
  }
  return SendMessageA(h, kMsgRunOnTableThread, suspendRedraw, reinterpret_cast<LPARAM>(&work)) == 1;
}

std::int32_t RowCount() { return static_cast<std::int32_t>(Send(LVM_GETITEMCOUNT)); }

AnsiText GetCellText(std::int32_t row, std::int32_t column) {
  std::vector<char> buffer(kCellTextBufferSize);
  for (;;) {
    buffer[0] = '\0';
    buffer.back() = '\0';
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    // Some list views fill a short buffer without a terminating zero and
    // return a wrong count: measure what arrived instead of trusting it.
    buffer.back() = '\0';
    const std::size_t got = strlen(buffer.data());
    if (got < buffer.size() - 1) return AnsiText(buffer.data(), got);
    if (buffer.size() >= (1u << 28)) return AnsiText(buffer.data(), got);
    buffer.resize(buffer.size() * 2);
  }
}

void SetCellText(std::int32_t row, std::int32_t column, const AnsiText& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::int32_t AppendRow(const AnsiText& rowNumber) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
  item.iItem = RowCount();
  item.pszText = const_cast<char*>(rowNumber.c_str());
  item.iImage = -1;
  item.lParam = static_cast<LPARAM>(++g_lastRowId);
  return static_cast<std::int32_t>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void DeleteRow(std::int32_t row) {
  if (row < 0) return;
  Send(LVM_DELETEITEM, static_cast<WPARAM>(row));
}

void DeleteAllRows() { Send(LVM_DELETEALLITEMS); }

std::int32_t SelectedRowIndex() {
  return static_cast<std::int32_t>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

RowId RowIdAt(std::int32_t row) {
  if (row < 0) return 0;
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  return Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? static_cast<RowId>(item.lParam) : 0;
}

std::int32_t RowIndexOf(RowId id) {
  if (id == 0) return -1;
  LVFINDINFOA find{};
  find.flags = LVFI_PARAM;
  find.lParam = static_cast<LPARAM>(id);
  return static_cast<std::int32_t>(
      Send(LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

void MessageYield(std::int32_t ms) {
  if (ms <= 0) return;
  const DWORD start = GetTickCount();
  for (;;) {
    ProcessPendingMessages();
    ProcessPendingMessages();
    if (GetTickCount() - start > static_cast<DWORD>(ms)) return;
  }
}
