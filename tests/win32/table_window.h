// A real window with the contact table, owned by a thread of its own that
// pumps messages, so that the test's thread can call in as a worker does.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

class TableWindow {
 public:
  TableWindow();
  ~TableWindow();
  TableWindow(const TableWindow&) = delete;
  TableWindow& operator=(const TableWindow&) = delete;

  HWND frame() const { return frame_; }
  HWND list() const { return list_; }
  // Runs `work` on the window's thread and waits for it.
  void OnUiThread(const std::function<void()>& work);
  // Messages the window's thread has handled for the frame (it answers).
  bool Answers(DWORD timeoutMs = 2000) const;

 private:
  void Run();
  std::thread thread_;
  HWND frame_ = nullptr;
  HWND list_ = nullptr;
  HANDLE ready_ = nullptr;
};
