#include "app/run_control.h"

#include <objbase.h>

#include "app/import.h"
#include "app/rows.h"
#include "core/desktop.h"
#include "core/like_run.h"
#include "desktop/wait.h"

HANDLE RunThreadHandle = nullptr;

namespace {

// Pausing is a gate at the run's waits rather than SuspendThread: a thread
// suspended at an arbitrary instruction may hold the heap lock, and then the
// window hangs. Manual-reset, signalled while the run may go on.
HANDLE RunGate() {
  static HANDLE gate = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  return gate;
}
int g_pauseCount = 0;
void (*g_runBody)() = LikeRun;

// Shell requests and the open-file dialog want COM on the calling thread.
template <void (*Body)()>
DWORD WINAPI WorkerEntry(LPVOID) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  Body();
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

void RunBody() { g_runBody(); }

void StartDetached(LPTHREAD_START_ROUTINE entry) {
  if (HANDLE h = StartWorkerThread(entry)) CloseHandle(h);
}

}  // namespace

HANDLE StartWorkerThread(LPTHREAD_START_ROUTINE entry) {
  DWORD id = 0;
  return CreateThread(nullptr, 0, entry, nullptr, 0, &id);
}

bool RunIsGoing() { return RunThreadHandle && WaitForSingleObject(RunThreadHandle, 0) == WAIT_TIMEOUT; }

void StartRunWith(void (*body)()) {
  // One run at a time: two would drive the one cursor and click each other's cards.
  if (RunIsGoing()) return;
  if (RunThreadHandle) CloseHandle(RunThreadHandle);
  g_pauseCount = 0;
  SetEvent(RunGate());
  g_runBody = body;
  RunThreadHandle = StartWorkerThread(WorkerEntry<RunBody>);
}

void StartRun() { StartRunWith(LikeRun); }

void PauseRun() {
  if (!RunIsGoing()) return;
  if (g_pauseCount++ == 0) ResetEvent(RunGate());
}

void ResumeRun() {
  if (!RunIsGoing() || g_pauseCount == 0) return;
  if (--g_pauseCount == 0) SetEvent(RunGate());
}

bool RunWait(std::int32_t ms) {
  PumpingWait(ms);
  // A pause that came during the wait (or before it) holds the run here; the
  // wait's time ran on meanwhile, so nothing is waited for twice.
  HANDLE gate = RunGate();
  while (WaitForSingleObject(gate, 0) == WAIT_TIMEOUT) {
    if (MsgWaitForMultipleObjects(1, &gate, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
      ProcessPendingMessages();
    }
  }
  return true;
}

void StartImportThread() { StartDetached(WorkerEntry<ImportNumbers>); }

void StartPurgeThread() { StartDetached(WorkerEntry<PurgeLikedRows>); }
