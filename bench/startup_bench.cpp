// Start-up to a shown window: from starting Tollivar.exe until its main
// window is visible and answers messages. The baseline is the same for a bare
// window of the same class style and size with no controls, which this
// program shows itself when started with --bare-window: what any window costs
// under the same system, warm.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_util.h"

namespace {

constexpr char kBareTitle[] = "Tollivar start-up baseline";
constexpr char kProgramTitle[] = "Tollivar v1.161.22";
constexpr int kRuns = 10;
constexpr DWORD kGiveUpMs = 60000;

int RunBareWindow(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    if (msg == WM_CLOSE) {
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcA(h, msg, w, l);
  };
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "TollivarBareWindow";
  RegisterClassExA(&wc);
  HWND w = CreateWindowExA(0, wc.lpszClassName, kBareTitle,
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, 0, 0,
                           713, 731, nullptr, nullptr, instance, nullptr);
  ShowWindow(w, SW_SHOW);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

std::string ModuleDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  return dir.substr(0, dir.find_last_of("\\/") + 1);
}

// Milliseconds until a visible window titled `title` answers, or -1.
double TimeToShownWindow(const std::string& commandLine, const char* title) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  const double start = NowMs();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -1;
  double took = -1;
  for (;;) {
    HWND w = FindWindowA(nullptr, title);
    DWORD_PTR ignored = 0;
    if (w && IsWindowVisible(w) && SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored)) {
      took = NowMs() - start;
      break;
    }
    if (NowMs() - start > kGiveUpMs || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  // Both end the same way, so neither pays for taking its window down.
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return took;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--bare-window") == 0) return RunBareWindow(GetModuleHandleA(nullptr));

  const std::string dir = ModuleDir();
  const std::string program = "\"" + dir + "..\\Tollivar.exe\"";
  const std::string bare = "\"" + dir + "startup_bench.exe\" --bare-window";
  // Warm the prefix and the file cache first.
  TimeToShownWindow(program, kProgramTitle);
  TimeToShownWindow(bare, kBareTitle);
  std::vector<double> programMs, bareMs;
  for (int i = 0; i < kRuns; ++i) {
    programMs.push_back(TimeToShownWindow(program, kProgramTitle));
    bareMs.push_back(TimeToShownWindow(bare, kBareTitle));
  }
  Report("start-up to a shown window (median of 10)", Median(programMs), "ms", "<= 500 ms", Median(bareMs),
         "bare window");
  return 0;
}
