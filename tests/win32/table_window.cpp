#include "tests/win32/table_window.h"

#include <commctrl.h>

#include "app/contact_table.h"

namespace {

constexpr UINT kMsgRun = WM_APP + 1;

LRESULT CALLBACK FrameProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case kMsgRun:
      (*reinterpret_cast<const std::function<void()>*>(l))();
      return 1;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace

TableWindow::TableWindow() {
  ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this] { Run(); });
  WaitForSingleObject(ready_, INFINITE);
}

TableWindow::~TableWindow() {
  PostMessageA(frame_, WM_CLOSE, 0, 0);
  thread_.join();
  CloseHandle(ready_);
}

void TableWindow::Run() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSA wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TollivarTestFrame";
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  frame_ = CreateWindowExA(0, wc.lpszClassName, "table test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420,
                           360, nullptr, nullptr, wc.hInstance, nullptr);
  list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                          WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 5, 5, 390,
                          300, frame_, nullptr, wc.hInstance, nullptr);
  AttachContactTable(list_);
  SetEvent(ready_);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void TableWindow::OnUiThread(const std::function<void()>& work) {
  SendMessageA(frame_, kMsgRun, 0, reinterpret_cast<LPARAM>(&work));
}

bool TableWindow::Answers(DWORD timeoutMs) const {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(frame_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}
