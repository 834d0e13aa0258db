#include "tests/win32/standin.h"

#include <cstdlib>

#include "core/like_run.h"

namespace {

constexpr DWORD kPollMs = 50;

bool Poll(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
}

bool WriteWholeFile(const AnsiText& path, const AnsiText& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

AnsiText ReadWholeFile(const AnsiText& path) {
  // The stand-ins append while we read: share everything.
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  AnsiText bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

StandinRecord ParseRecord(const AnsiText& line) {
  StandinRecord r;
  const std::size_t space = line.find(' ');
  r.kind = line.substr(0, space);
  const AnsiText rest = space == AnsiText::npos ? AnsiText() : line.substr(space + 1);
  if (r.kind == "url") {
    r.url = rest;
  } else if (r.kind.ends_with("press") || r.kind.ends_with("release")) {
    // The number may hold spaces: the point is the last two fields.
    const std::size_t ySpace = rest.rfind(' ');
    const std::size_t xSpace =
        ySpace == AnsiText::npos || ySpace == 0 ? AnsiText::npos : rest.rfind(' ', ySpace - 1);
    if (xSpace != AnsiText::npos) {
      r.number = rest.substr(0, xSpace);
      r.x = std::atoi(rest.c_str() + xSpace + 1);
      r.y = std::atoi(rest.c_str() + ySpace + 1);
    }
  } else {
    r.number = rest;
  }
  return r;
}

AnsiText IniLine(const char* key, const AnsiText& value) { return ConcatText({key, "=", value, "\r\n"}); }

}  // namespace

AnsiText ProfileUrlFor(const AnsiText& number) { return ConcatText({ProfileUrlPrefix, number}); }

std::vector<HWND> ForeignCardClassWindows() {
  std::vector<HWND> found;
  for (HWND h = FindWindowExA(nullptr, nullptr, standin::kWindowClass, nullptr); h;
       h = FindWindowExA(nullptr, h, standin::kWindowClass, nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != GetCurrentProcessId()) found.push_back(h);
  }
  return found;
}

bool CloseStandinWindows(DWORD timeoutMs) {
  for (HWND h : ForeignCardClassWindows()) PostMessageA(h, WM_CLOSE, 0, 0);
  return Poll([] { return ForeignCardClassWindows().empty(); }, timeoutMs);
}

void ResetStandin(const StandinSettings& s) {
  CloseStandinWindows();
  CreateDirectoryA(standin::Dir().c_str(), nullptr);
  DeleteFileA(standin::LogPath().c_str());
  AnsiText noCard;
  for (const AnsiText& n : s.noCard) noCard = ConcatText({noCard, noCard.empty() ? "" : ",", n});
  const AnsiText ini = ConcatText(
      {"[", standin::kSection, "]\r\n", IniLine(standin::kNoCard, noCard),
       IniLine(standin::kDelayMs, IntToText(s.delayMs)), IniLine(standin::kCardX, IntToText(s.cardX)),
       IniLine(standin::kCardY, IntToText(s.cardY)), IniLine(standin::kDecoy, s.decoy ? "1" : "0"),
       IniLine(standin::kDecoyTitle, s.decoyTitle), IniLine(standin::kDecoyX, IntToText(s.decoyX)),
       IniLine(standin::kDecoyY, IntToText(s.decoyY))});
  WriteWholeFile(standin::SettingsPath(), ini);
}

StandinLog ReadStandinLog() {
  StandinLog log;
  // Split on bytes, not characters: a number cut inside a character must not
  // swallow the line end.
  const AnsiText bytes = ReadWholeFile(standin::LogPath());
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find('\n', start)) != AnsiText::npos; start = end + 1) {
    AnsiText line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) log.push_back(ParseRecord(line));
  }
  return log;
}

StandinLog RecordsOf(const StandinLog& log, const AnsiText& kind, const AnsiText& number) {
  StandinLog out;
  for (const StandinRecord& r : log) {
    if (r.kind == kind && r.number == number) out.push_back(r);
  }
  return out;
}

bool WaitForStandinLog(const std::function<bool(const StandinLog&)>& done, DWORD timeoutMs) {
  return Poll([&] { return done(ReadStandinLog()); }, timeoutMs);
}

bool WaitForRecord(const AnsiText& kind, const AnsiText& number, DWORD timeoutMs) {
  return WaitForStandinLog([&](const StandinLog& log) { return !RecordsOf(log, kind, number).empty(); },
                           timeoutMs);
}

HWND WaitForCard(const AnsiText& number, DWORD timeoutMs) {
  const AnsiText title = ConcatText({number, "的资料"});
  HWND card = nullptr;
  Poll(
      [&] {
        card = FindWindowA(standin::kWindowClass, title.c_str());
        return card && IsWindowVisible(card);
      },
      timeoutMs);
  return card && IsWindowVisible(card) ? card : nullptr;
}
