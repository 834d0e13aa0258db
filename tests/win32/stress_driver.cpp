// Linked into a test build of the program (tollivar_stress.exe: the real
// WinMain, window and table, the liking run with a hundredth of its waits).
// With TOLLIVAR_STRESS_REPORT set, a thread of the process waits for the
// main window and then, for TOLLIVAR_STRESS_SECONDS, has worker threads
// import, purge, delete the selected row, clear, and start, pause and resume
// the run, all at once, through the window's own commands. Then it checks
// the table, writes its findings to the report (last line "pass" or "FAIL")
// and leaves the program running for tests/e2e/stress.sh to close with Esc.
//
// Clearing goes on only in the first third; every number imported after the
// last clear is accounted for: it is present exactly once, unless it was in
// the row selected for a delete (then it is gone) or the run visited it (then
// the purge may have taken it).
//
// Profile URLs are not handed to the shell in this build: they are recorded,
// which tells which numbers the run visited. The card is a window of this
// process that stays up, so every row the run visits gets "已点赞".
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/contact_table.h"
#include "app/import.h"
#include "app/menus.h"
#include "core/desktop.h"
#include "core/like_run.h"
#include "core/table.h"

namespace {

// Imports wait while the table holds this many rows; a file holds one of the
// batch sizes in turn, the largest taking two trips to the table's thread.
constexpr std::int32_t kMaxRows = 3000;
constexpr int kImportBatches[] = {50, 300, 4500};
constexpr std::int32_t kFirstNumberA = 100000000;  // imported while clears go on
constexpr std::int32_t kFirstNumberB = 200000000;  // imported after the last clear

ULONGLONG Now() { return GetTickCount64(); }

// What the workers did, for the checks at the end.
struct Ledger {
  std::mutex lock;
  std::set<AnsiText> importedA, importedB, selectedForDelete, visited;
  std::vector<std::string> failures;
  std::map<std::string, long long> counts;

  void Fail(const std::string& what) {
    std::lock_guard hold(lock);
    if (failures.size() < 40) failures.push_back(what);
  }
  void Count(const std::string& what, long long n = 1) {
    std::lock_guard hold(lock);
    counts[what] += n;
  }
};
Ledger g_ledger;
std::atomic<int> g_urls{0};
std::atomic<int> g_cardEvents{0};

HWND g_main = nullptr;

// --- The card: stays up, so the run always finds one.

LRESULT CALLBACK CardProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_CLOSE:
      ++g_cardEvents;
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
  }
  return DefWindowProcA(h, msg, w, l);
}

void CardThread() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CardProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = ProfileWindowClass;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassA(&wc);
  const AnsiText title = ConcatText({"10000", ProfileTitleFragment});
  // Shown without taking activation: keys must still reach the main window.
  HWND card =
      CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, ProfileWindowClass, title.c_str(),
                      WS_POPUP, 640, 60, 520, 440, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(card, SW_SHOWNOACTIVATE);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
}

// --- The window's commands, as the menus and buttons send them.

void Command(UINT id) { SendMessageA(g_main, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void PressButton(const char* text) {
  HWND button = FindWindowExA(g_main, nullptr, "Button", text);
  if (!button) return g_ledger.Fail(std::string("no button ") + text);
  SendMessageA(g_main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

struct Row {
  AnsiText number, status;
  bool operator==(const Row&) const = default;
};

std::vector<Row> Snapshot() {
  std::vector<Row> rows;
  OnTableThread(
      [&] {
        for (std::int32_t i = 0; i < RowCount(); ++i)
          rows.push_back({GetCellText(i, kColumnNumber), GetCellText(i, kColumnStatus)});
      },
      false);
  return rows;
}

// --- Workers. Each runs until `end` (a tick count).

void Importer(int id, std::atomic<std::int32_t>& next, std::set<AnsiText> Ledger::*record, ULONGLONG end) {
  char dir[MAX_PATH] = {};
  GetTempPathA(sizeof dir, dir);
  const std::string path = std::string(dir) + "tollivar-stress-" + std::to_string(GetCurrentProcessId()) +
                           "-" + std::to_string(id) + ".txt";
  for (int round = id; Now() < end; ++round) {
    if (RowCount() >= kMaxRows) {
      Sleep(20);
      continue;
    }
    const int batch = kImportBatches[round % std::size(kImportBatches)];
    const std::int32_t first = next.fetch_add(batch);
    std::vector<AnsiText> numbers;
    std::string bytes;
    for (int i = 0; i < batch; ++i) {
      numbers.push_back(IntToText(first + i));
      bytes += numbers.back() + "\r\n";
    }
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ImportFile(path);
    std::lock_guard hold(g_ledger.lock);
    (g_ledger.*record).insert(numbers.begin(), numbers.end());
    g_ledger.counts["imports"]++;
  }
  DeleteFileA(path.c_str());
}

void Every(DWORD ms, ULONGLONG end, const std::function<void()>& step) {
  while (Now() < end) {
    step();
    Sleep(ms);
  }
}

// Selects a row and deletes it through the menu command. Only this thread
// selects, and the command deletes the selected row in one step on the
// window's thread, so the row selected is the row deleted (unless a purge
// took it first).
void Deleter(ULONGLONG end) {
  std::mt19937 random(8);
  Every(25, end, [&] {
    AnsiText number;
    RowId id = 0;
    OnTableThread(
        [&] {
          const std::int32_t n = RowCount();
          if (n == 0) return;
          const std::int32_t row = static_cast<std::int32_t>(random() % static_cast<unsigned>(n));
          LVITEMA item{};
          item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
          item.state = LVIS_SELECTED | LVIS_FOCUSED;
          SendMessageA(ContactTableWindow(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
          number = GetCellText(row, kColumnNumber);
          id = RowIdAt(row);
        },
        false);
    if (id == 0) return;
    {
      std::lock_guard hold(g_ledger.lock);
      g_ledger.selectedForDelete.insert(number);
    }
    Command(kCommandDeleteRow);
    g_ledger.Count("deletes");
    if (RowIndexOf(id) != -1) g_ledger.Fail("the selected row " + number + " outlived its delete");
  });
}

void Runner(ULONGLONG end) {
  int step = 0;
  Every(150, end, [&] {
    switch (step++ % 4) {
      case 0:
        PressButton("开始");
        break;
      case 2:
        PressButton("暂停");
        Sleep(40);
        PressButton("恢复");
        break;
    }
  });
}

// The window must answer within 5 s all along.
void Watcher(ULONGLONG end) {
  Every(100, end, [&] {
    const ULONGLONG start = Now();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(g_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result)) {
      g_ledger.Fail("the window did not answer within 5 s");
    }
    std::lock_guard hold(g_ledger.lock);
    long long& worst = g_ledger.counts["slowest answer ms"];
    worst = std::max(worst, static_cast<long long>(Now() - start));
  });
}

// Polls `value` until it stays the same for `quietMs`; false on time-out.
template <typename T>
bool WaitUntilStill(const std::function<T()>& value, DWORD quietMs, DWORD timeoutMs) {
  const ULONGLONG deadline = Now() + timeoutMs;
  T last = value();
  ULONGLONG since = Now();
  while (Now() < deadline) {
    Sleep(50);
    T now = value();
    if (!(now == last)) {
      last = std::move(now);
      since = Now();
    } else if (Now() - since >= quietMs) {
      return true;
    }
  }
  return false;
}

void CheckTable(const std::vector<Row>& rows) {
  std::map<AnsiText, int> present;
  for (const Row& r : rows) ++present[r.number];
  std::lock_guard hold(g_ledger.lock);
  auto fail = [](const std::string& what) {
    if (g_ledger.failures.size() < 40) g_ledger.failures.push_back(what);
  };
  for (const auto& [number, n] : present) {
    if (n > 1) fail("number " + number + " in " + std::to_string(n) + " rows");
    if (!g_ledger.importedA.contains(number) && !g_ledger.importedB.contains(number))
      fail("row with a number nobody imported: '" + number + "'");
  }
  for (const AnsiText& number : g_ledger.selectedForDelete) {
    if (present.contains(number)) fail("deleted row " + number + " is back");
  }
  int lost = 0;
  for (const AnsiText& number : g_ledger.importedB) {
    if (present.contains(number) || g_ledger.selectedForDelete.contains(number) ||
        g_ledger.visited.contains(number))
      continue;
    if (++lost <= 10) fail("row " + number + " was lost: nobody deleted it");
  }
  if (lost > 10) fail(std::to_string(lost) + " rows lost in all");
  for (const Row& r : rows) {
    if (r.status == StatusLiked && !g_ledger.visited.contains(r.number))
      fail("row " + r.number + " marked liked without a visit");
  }
}

void Drive(const std::string& reportPath, int seconds) {
  // The window shows once the program has set it up.
  const ULONGLONG deadline = Now() + 60000;
  while (Now() < deadline) {
    HWND main = FindWindowA("TollivarMainWindow", nullptr);
    DWORD pid = 0;
    if (main) GetWindowThreadProcessId(main, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(main) && ContactTableWindow()) {
      g_main = main;
      break;
    }
    Sleep(20);
  }
  FILE* report = std::fopen(reportPath.c_str(), "wb");
  if (!report) return;
  if (!g_main) {
    std::fprintf(report, "no main window\nFAIL\n");
    std::fclose(report);
    return;
  }
  std::thread(CardThread).detach();

  const ULONGLONG start = Now();
  const ULONGLONG phaseOneEnd = start + seconds * 1000 / 3;
  const ULONGLONG end = start + seconds * 1000;
  std::atomic<std::int32_t> nextA{kFirstNumberA}, nextB{kFirstNumberB};

  Command(kCommandClearAll);
  std::vector<std::thread> phaseOne, throughout;
  phaseOne.emplace_back(Importer, 1, std::ref(nextA), &Ledger::importedA, phaseOneEnd);
  phaseOne.emplace_back(Importer, 2, std::ref(nextA), &Ledger::importedA, phaseOneEnd);
  phaseOne.emplace_back(Every, 1200, phaseOneEnd, [] {
    Command(kCommandClearAll);
    g_ledger.Count("clears");
  });
  throughout.emplace_back(Every, 300, end, [] {
    Command(kCommandPurgeLiked);
    g_ledger.Count("purges");
  });
  throughout.emplace_back(Deleter, end);
  throughout.emplace_back(Runner, end);
  throughout.emplace_back(Watcher, end);
  for (std::thread& t : phaseOne) t.join();
  // Everything imported from here on must be accounted for; the table fills
  // up again from empty.
  Command(kCommandClearAll);
  std::thread b1(Importer, 3, std::ref(nextB), &Ledger::importedB, end);
  std::thread b2(Importer, 4, std::ref(nextB), &Ledger::importedB, end);
  b1.join();
  b2.join();
  for (std::thread& t : throughout) t.join();

  // Hold the run, then let the last purge threads finish.
  PressButton("暂停");
  if (!WaitUntilStill<int>([] { return g_urls + g_cardEvents; }, 400, 10000))
    g_ledger.Fail("the run went on after the pause");
  if (!WaitUntilStill<std::vector<Row>>(Snapshot, 400, 15000))
    g_ledger.Fail("the table did not come to rest");
  const std::vector<Row> rows = Snapshot();
  CheckTable(rows);

  // One more purge takes every liked row and only those.
  std::vector<Row> expected;
  int liked = 0;
  for (const Row& r : rows) {
    if (r.status == StatusLiked) {
      ++liked;
    } else {
      expected.push_back(r);
    }
  }
  Command(kCommandPurgeLiked);
  const ULONGLONG purgeDeadline = Now() + 15000;
  std::vector<Row> after = Snapshot();
  while (after != expected && Now() < purgeDeadline) {
    Sleep(50);
    after = Snapshot();
  }
  if (after != expected) {
    g_ledger.Fail("after the last purge " + std::to_string(after.size()) + " rows, not the " +
                  std::to_string(expected.size()) + " unliked ones");
  }
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(g_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result))
    g_ledger.Fail("the window did not answer at the end");

  std::lock_guard hold(g_ledger.lock);
  std::fprintf(report, "seconds %d\nrows at the end %zu (liked %d before the last purge)\n", seconds,
               rows.size(), liked);
  std::fprintf(report,
               "imported %zu while clearing, %zu after\nselected and deleted %zu\nvisited by the run %zu\n",
               g_ledger.importedA.size(), g_ledger.importedB.size(), g_ledger.selectedForDelete.size(),
               g_ledger.visited.size());
  for (const auto& [what, n] : g_ledger.counts) std::fprintf(report, "%s %lld\n", what.c_str(), n);
  for (const std::string& f : g_ledger.failures) std::fprintf(report, "failure: %s\n", f.c_str());
  std::fprintf(report, "%s\n", g_ledger.failures.empty() ? "pass" : "FAIL");
  std::fclose(report);
}

DWORD WINAPI DriverMain(LPVOID) {
  const char* report = std::getenv("TOLLIVAR_STRESS_REPORT");
  const char* seconds = std::getenv("TOLLIVAR_STRESS_SECONDS");
  if (report && *report) Drive(report, seconds ? std::max(3, std::atoi(seconds)) : 24);
  return 0;
}

[[maybe_unused]] const bool g_driverStarted = [] {
  if (HANDLE h = CreateThread(nullptr, 0, DriverMain, nullptr, 0, nullptr)) CloseHandle(h);
  return true;
}();

}  // namespace

// This build records the profile URLs the run opens instead of starting the
// chat client.
void OpenUrl(const AnsiText& url) {
  const std::size_t prefix = std::char_traits<char>::length(ProfileUrlPrefix);
  const AnsiText number = url.compare(0, prefix, ProfileUrlPrefix) == 0 ? url.substr(prefix) : url;
  {
    std::lock_guard hold(g_ledger.lock);
    g_ledger.visited.insert(number);
  }
  ++g_urls;
}
