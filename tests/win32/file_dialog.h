// Finding and reading the import dialog that another thread shows, as a
// user would see it. Bounded polls: a cold Wine prefix opens dialogs slowly.
#pragma once

#include <windows.h>
// after windows.h
#include <commdlg.h>
#include <dlgs.h>

#include <cstring>
#include <string>

// The visible dialog box owned by thread `threadId`, or null.
inline HWND DialogOfThread(DWORD threadId) {
  HWND found = nullptr;
  EnumThreadWindows(
      threadId,
      [](HWND h, LPARAM p) -> BOOL {
        char cls[16] = {};
        GetClassNameA(h, cls, sizeof cls);
        if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(h)) return TRUE;
        *reinterpret_cast<HWND*>(p) = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

inline HWND WaitForDialog(DWORD threadId, DWORD timeoutMs = 60000) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND h = DialogOfThread(threadId)) return h;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(20);
  }
}

// The dialog's file-name box: an edit control, alone or inside a combo box.
inline HWND FileNameBox(HWND dialog) {
  for (int id : {cmb13, edt1}) {
    HWND h = GetDlgItem(dialog, id);
    if (!h) continue;
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (_stricmp(cls, "ComboBox") == 0) {
      if (HWND edit = FindWindowExA(h, nullptr, "Edit", nullptr)) return edit;
    }
    return h;
  }
  return nullptr;
}

inline std::string WindowText(HWND h) {
  char text[1024] = {};
  if (h) GetWindowTextA(h, text, sizeof text);
  return text;
}

// The folder the dialog shows, and the path of what its file-name box names.
inline std::string DialogFolder(HWND dialog) {
  char text[MAX_PATH] = {};
  SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}
inline std::string DialogFilePath(HWND dialog) {
  char text[MAX_PATH] = {};
  SendMessageA(dialog, CDM_GETFILEPATH, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

inline void PressDialogButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
