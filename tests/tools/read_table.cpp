// Reads the contact table (the list view) of the running program from
// another process, for the end-to-end tests.
//
//   read_table TITLE                 one line per row, its cells split by tabs
//   read_table TITLE point ROW       screen point in the middle of ROW's first cell
//   read_table TITLE below           screen point in the table below the last row
//   read_table TITLE count           the number of rows
//   read_table TITLE selected        index of the selected row, -1 for none
//   read_table TITLE setup           extended style, colours, then one line per
//                                    column: title, width, format
//
// TITLE is the title of the program's window. Texts are printed in UTF-8, with
// tabs and line breaks escaped.
// Exit code 1 when the window or its table is not there.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "tests/tools/tool_util.h"

namespace {

constexpr int kTextBytes = 4096;

// Memory in the program's process for one LVITEMA (or RECT) and its text.
class RemoteBlock {
 public:
  explicit RemoteBlock(HWND owner) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) base_ = VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBlock() {
    if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;

  bool ok() const { return base_ != nullptr; }
  char* base() const { return static_cast<char*>(base_); }
  char* text() const { return base() + kTextOffset; }
  bool Write(const void* data, size_t size, size_t offset = 0) const {
    return WriteProcessMemory(process_, base() + offset, data, size, nullptr);
  }
  bool Read(void* data, size_t size, size_t offset = 0) const {
    return ReadProcessMemory(process_, base() + offset, data, size, nullptr);
  }

  static constexpr size_t kTextOffset = 256;
  static constexpr size_t kSize = kTextOffset + kTextBytes;

 private:
  HANDLE process_ = nullptr;
  void* base_ = nullptr;
};

std::string CellText(HWND list, const RemoteBlock& remote, int row, int column) {
  static const char zeros[kTextBytes] = {};
  remote.Write(zeros, sizeof(zeros), RemoteBlock::kTextOffset);
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = remote.text();
  item.cchTextMax = kTextBytes;
  remote.Write(&item, sizeof(item));
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.base()));
  char text[kTextBytes + 1] = {};
  remote.Read(text, kTextBytes, RemoteBlock::kTextOffset);
  return AnsiToUtf8(text);
}

bool ItemRect(HWND list, const RemoteBlock& remote, int row, RECT* out) {
  RECT r{};
  r.left = LVIR_LABEL;
  remote.Write(&r, sizeof(r));
  if (!SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                    reinterpret_cast<LPARAM>(remote.base()))) {
    return false;
  }
  return remote.Read(out, sizeof(*out));
}

void PrintPoint(HWND list, POINT p) {
  ClientToScreen(list, &p);
  std::printf("%ld %ld\n", p.x, p.y);
}

}  // namespace

int main() {
  HWND window = FindTopLevelByTitle(ArgUtf8(1));
  HWND list = window ? FindWindowExA(window, nullptr, WC_LISTVIEWA, nullptr) : nullptr;
  if (!list) return 1;
  RemoteBlock remote(list);
  if (!remote.ok()) return 1;
  const std::string command = ArgUtf8(2);
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));

  if (command.empty()) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    for (int row = 0; row < rows; ++row) {
      std::string line;
      for (int column = 0; column < columns; ++column) {
        if (column > 0) line += '\t';
        line += Escaped(CellText(list, remote, row, column));
      }
      Print(line);
    }
  } else if (command == "point") {
    RECT r;
    if (!ItemRect(list, remote, std::atoi(ArgUtf8(3).c_str()), &r)) return 1;
    PrintPoint(list, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  } else if (command == "below") {
    RECT client;
    GetClientRect(list, &client);
    RECT last{};
    int y = client.bottom - 10;
    if (rows > 0 && ItemRect(list, remote, rows - 1, &last)) y = (last.bottom + client.bottom) / 2;
    PrintPoint(list, {client.right / 4, y});
  } else if (command == "setup") {
    std::printf("exstyle %08lX\n",
                static_cast<unsigned long>(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)));
    std::printf("colours %06lX %06lX %06lX\n",
                static_cast<unsigned long>(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0)),
                static_cast<unsigned long>(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0)),
                static_cast<unsigned long>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0)));
    for (int column = 0;; ++column) {
      static const char zeros[kTextBytes] = {};
      remote.Write(zeros, sizeof(zeros), RemoteBlock::kTextOffset);
      LVCOLUMNA col{};
      col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
      col.pszText = remote.text();
      col.cchTextMax = kTextBytes;
      remote.Write(&col, sizeof(col));
      if (!SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                        reinterpret_cast<LPARAM>(remote.base()))) {
        break;
      }
      char text[kTextBytes + 1] = {};
      remote.Read(&col, sizeof(col));
      remote.Read(text, kTextBytes, RemoteBlock::kTextOffset);
      Print(AnsiToUtf8(text) + "\t" + std::to_string(col.cx) + "\t" + std::to_string(col.fmt));
    }
  } else if (command == "count") {
    std::printf("%d\n", rows);
  } else if (command == "selected") {
    std::printf("%d\n", static_cast<int>(
                            SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
  } else {
    std::fputs("usage: read_table TITLE [point ROW | below | count | selected | setup]\n", stderr);
    return 2;
  }
  std::fflush(stdout);
  return 0;
}
