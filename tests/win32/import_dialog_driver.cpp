// Runs the number import twice against a table window, as the import thread
// does, for tests/e2e/import_dialog.sh to drive the real dialog with X input.
// It reports what a user would see to the file named by its argument:
//   dialog N X Y W H       the Nth dialog is showing at that screen rectangle
//   box TEXT / path PATH   the second dialog's file-name box and what it names
//   row A<TAB>B<TAB>C      the table after each import, then "rows N COUNT"
//   done                   or "timeout WHAT" and exit code 1
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <thread>

#include "app/import.h"
#include "core/table.h"
#include "tests/win32/file_dialog.h"
#include "tests/win32/table_window.h"

namespace {

FILE* g_report = nullptr;

void Say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(g_report, format, args);
  va_end(args);
  std::fputc('\n', g_report);
  std::fflush(g_report);
}

[[noreturn]] void GiveUp(const char* what) {
  Say("timeout %s", what);
  ExitProcess(1);  // a dialog may still be open on the import thread
}

void ReportRows(int which) {
  const int32_t n = RowCount();
  for (int32_t i = 0; i < n; ++i) {
    Say("row %s\t%s\t%s", GetCellText(i, kColumnRowNumber).c_str(), GetCellText(i, kColumnNumber).c_str(),
        GetCellText(i, kColumnStatus).c_str());
  }
  Say("rows %d %d", which, n);
}

// Starts ImportNumbers on a thread of its own and reports its dialog.
struct Import {
  std::thread thread;
  HANDLE ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD threadId = 0;
  HWND dialog = nullptr;

  explicit Import(int n) {
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread = std::thread([this, started] {
      threadId = GetCurrentThreadId();
      SetEvent(started);
      ImportNumbers();
      SetEvent(ended);
    });
    WaitForSingleObject(started, INFINITE);
    CloseHandle(started);
    dialog = WaitForDialog(threadId, 90000);
    if (!dialog) GiveUp("dialog");
    RECT r{};
    GetWindowRect(dialog, &r);
    Say("dialog %d %ld %ld %ld %ld", n, r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  void Finish() {
    if (WaitForSingleObject(ended, 90000) != WAIT_OBJECT_0) GiveUp("import");
    thread.join();
    CloseHandle(ended);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !(g_report = std::fopen(argv[1], "wb"))) return 2;
  TableWindow window;

  Import first(1);
  first.Finish();
  ReportRows(1);

  Import second(2);
  Say("box %s", WindowText(FileNameBox(second.dialog)).c_str());
  Say("path %s", DialogFilePath(second.dialog).c_str());
  second.Finish();
  ReportRows(2);
  Say("done");
  std::fclose(g_report);
  return 0;
}
