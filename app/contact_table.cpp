#include "app/contact_table.h"

#include <commctrl.h>

#include <atomic>
#include <vector>

#include "app/rows.h"
#include "desktop/wait.h"

namespace {

std::atomic<HWND> g_table{nullptr};
std::atomic<RowId> g_lastRowId{0};

// Work for the table's thread arrives at a hidden child of the list view
// rather than at a subclass of it: under Wine a subclassed control pays a
// server round trip on every message, which makes bulk work several times
// slower. Being a child, it goes away with the list view.
constexpr UINT kMsgRunOnTableThread = WM_APP + 0x31;
constexpr char kWorkWindowClass[] = "TollivarTableWork";
std::atomic<HWND> g_workWindow{nullptr};

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

void RunSuspended(HWND list, const std::function<void()>& work, bool suspendRedraw) {
  if (!suspendRedraw) {
    work();
    return;
  }
  if (t_workDepth++ == 0) SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  work();
  if (--t_workDepth == 0) {
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }
}

LRESULT CALLBACK WorkProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case kMsgRunOnTableThread:
      if (HWND list = g_table.load()) {
        RunSuspended(list, *reinterpret_cast<const std::function<void()>*>(l), w != 0);
        return 1;
      }
      return 0;
    case WM_DESTROY:
      // The list view is going: from now on the primitives meet no table.
      g_workWindow.compare_exchange_strong(h, nullptr);
      g_table = nullptr;
      break;
  }
  return DefWindowProcA(h, msg, w, l);
}

HWND CreateWorkWindow(HWND list) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WorkProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kWorkWindowClass;
  RegisterClassA(&wc);  // fails harmlessly when already registered
  return CreateWindowExA(0, kWorkWindowClass, "", WS_CHILD, 0, 0, 0, 0, list, nullptr, wc.hInstance, nullptr);
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
  g_table = listView;
  g_workWindow = CreateWorkWindow(listView);
}

HWND ContactTableWindow() { return g_table.load(); }

bool OnTableThread(const std::function<void()>& work, bool suspendRedraw) {
  HWND list = g_table.load();
  HWND worker = g_workWindow.load();
  if (!list || !worker) return false;
  if (GetWindowThreadProcessId(worker, nullptr) == GetCurrentThreadId()) {
    RunSuspended(list, work, suspendRedraw);
    return true;
  }
  return SendMessageA(worker, kMsgRunOnTableThread, suspendRedraw, reinterpret_cast<LPARAM>(&work)) == 1;
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
