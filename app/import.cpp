#include "app/import.h"

#include <windows.h>
// after windows.h
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <new>

#include "core/table.h"

namespace {

constexpr DWORD kFileNameBufferSize = 260;

struct DialogSettings {
  int kind = DialogKindOpen;
  AnsiText title;
  AnsiText fileName;
  AnsiText filter = "*.txt";
  int filterIndex = 0;
  AnsiText initialFolder;
  AnsiText defaultExtension;
  DWORD flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
};

AnsiText DesktopFolder() {
  char path[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path)) &&
      path[0] != '\0') {
    return path;
  }
  return ImportInitialFolder;
}

// Imports may run on several threads at once; they share these settings.
std::mutex g_settingsLock;
DialogSettings& Settings() {
  static DialogSettings settings = [] {
    DialogSettings s;
    s.initialFolder = DesktopFolder();
    return s;
  }();
  return settings;
}

DialogSettings SettingsSnapshot() {
  std::lock_guard lock(g_settingsLock);
  return Settings();
}

struct FileHandle {
  HANDLE h;
  ~FileHandle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

}  // namespace

int ImportDialog(AnsiText* chosenPath) {
  // The lock is not held while the dialog is open: a second import must be
  // able to open its own dialog meanwhile.
  const DialogSettings s = SettingsSnapshot();
  if (s.kind != DialogKindOpen) return 0;

  const std::string filterList = ImportFilterList(s.filter);
  char file[kFileNameBufferSize] = {};
  std::memcpy(file, s.fileName.data(), std::min<std::size_t>(s.fileName.size(), kFileNameBufferSize - 1));

  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = nullptr;
  ofn.lpstrFilter = filterList.empty() ? nullptr : filterList.c_str();
  ofn.nFilterIndex = filterList.empty() ? 0 : static_cast<DWORD>(std::max(s.filterIndex, 0) + 1);
  ofn.lpstrFile = file;
  ofn.nMaxFile = kFileNameBufferSize;
  ofn.lpstrTitle = s.title.empty() ? nullptr : s.title.c_str();
  ofn.lpstrDefExt = s.defaultExtension.empty() ? nullptr : s.defaultExtension.c_str();
  ofn.lpstrInitialDir = s.initialFolder.empty() ? nullptr : s.initialFolder.c_str();
  ofn.Flags = OFN_EXPLORER | s.flags;
  if (!GetOpenFileNameA(&ofn)) return 0;

  AnsiText chosen(file);
  {
    std::lock_guard lock(g_settingsLock);
    Settings().fileName = chosen;
  }
  if (chosenPath) *chosenPath = std::move(chosen);
  return 1;
}

AnsiText ImportDialogFileName() {
  std::lock_guard lock(g_settingsLock);
  return Settings().fileName;
}

ByteBuffer ReadWholeFile(const AnsiText& path) {
  if (path.empty()) return {};
  FileHandle file{CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.h == INVALID_HANDLE_VALUE) return {};
  LARGE_INTEGER size{};
  // One read request takes at most a DWORD's worth.
  if (!GetFileSizeEx(file.h, &size) || size.QuadPart <= 0 || size.QuadPart > MAXDWORD) return {};
  ByteBuffer bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return {};
  }
  DWORD got = 0;
  if (!ReadFile(file.h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) return {};
  bytes.resize(got);
  return bytes;
}

AnsiText WideToAnsiText(std::u16string_view units) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  if (units.empty() || units.size() > static_cast<std::size_t>(INT_MAX / 2)) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
  const int count = static_cast<int>(units.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, wide, count, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  AnsiText out(static_cast<std::size_t>(needed), '\0');
  const int written = WideCharToMultiByte(CP_ACP, 0, wide, count, out.data(), needed, nullptr, nullptr);
  out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return out;
}

bool ImportLines(const TextList& lines, std::int32_t firstNumber) {
  const std::size_t count = lines.size();
  for (std::size_t from = 0; from < count; from += kImportRowsPerTrip) {
    const std::size_t to = std::min(count, from + kImportRowsPerTrip);
    // A row and its number go in together: nothing another thread does can
    // come between them.
    const bool done = OnTableThread([&] {
      for (std::size_t i = from; i < to; ++i) {
        const std::int32_t row = AppendRow(IntToText(firstNumber + static_cast<std::int32_t>(i)));
        SetCellText(row, kColumnNumber, lines[i]);
      }
    });
    if (!done) return false;
    // Lets the window's thread take input and paint between batches.
    MessageYield(1);
  }
  return true;
}

void ImportFile(const AnsiText& path) {
  const AnsiText text = DecodeImportText(ReadWholeFile(path), WideToAnsiText);
  // Split a batch at a time: a list of every line would take several times
  // the file's size.
  std::string_view rest = text;
  std::int32_t firstNumber = 1;
  while (!rest.empty()) {
    const std::size_t cut = ImportTextPrefix(rest, kImportRowsPerTrip);
    const TextList lines = SplitText(rest.substr(0, cut), "\r\n");
    if (!ImportLines(lines, firstNumber)) return;
    firstNumber += static_cast<std::int32_t>(lines.size());
    rest.remove_prefix(cut);
  }
}

void ImportNumbers() {
  {
    std::lock_guard lock(g_settingsLock);
    Settings().kind = DialogKindOpen;
  }
  AnsiText path;
  if (ImportDialog(&path) != 1) return;
  ImportFile(path);
}
