// Start, Pause and Resume of the liking run, and the worker threads of the
// import and the purge. Called on the main window's thread.
#pragma once

#include <windows.h>

// Creates a thread that starts running `entry` at once; null on failure.
HANDLE StartWorkerThread(LPTHREAD_START_ROUTINE entry);

// The newest run's thread; null before the first Start.
extern HANDLE RunThreadHandle;

// Starts a run from row 1 unless one is going or paused.
void StartRun();
// Each pause raises the pause count and each resume lowers it (never below 0);
// the run goes on only at 0. Both do nothing when no run is going.
void PauseRun();
void ResumeRun();
bool RunIsGoing();  // started, not ended (paused counts as going)

// The menu commands "导入QQ号" and "删除点赞过的": each starts a thread of its own.
void StartImportThread();
void StartPurgeThread();

// StartRun with another body than the liking run, for tests.
void StartRunWith(void (*body)());
