// Shared by the tools that look at the running program from outside.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Tests compare our output with UTF-8 texts.
inline std::string WideToUtf8(const wchar_t* text, int length = -1) {
  if (length == 0) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 0, '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  if (length < 0 && !out.empty()) out.pop_back();  // the terminating zero
  return out;
}

inline std::string AnsiToUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(units, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
  return WideToUtf8(wide.data(), units);
}

// The text of a window of any process: WM_GETTEXT is carried across.
inline std::string WindowTextUtf8(HWND window) {
  wchar_t buffer[4096] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return {};
  }
  return WideToUtf8(buffer, static_cast<int>(copied));
}

// Tabs and line breaks inside a text as \t, \r, \n, so that one line stays one record.
inline std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

inline std::string ClassNameOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

inline void Print(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

// The visible top-level window whose title is exactly `title` (UTF-8).
inline HWND FindTopLevelByTitle(const std::string& title) {
  struct Search {
    const std::string* title;
    HWND found;
  } search{&title, nullptr};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        if (!IsWindowVisible(w) || WindowTextUtf8(w) != *s->title) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Arguments arrive in the ANSI code page; the tools work in UTF-8.
inline std::string ArgUtf8(int index) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::string out = (args && index < count) ? WideToUtf8(args[index]) : std::string();
  if (args) LocalFree(args);
  return out;
}
