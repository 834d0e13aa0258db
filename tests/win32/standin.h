// Driving the stand-in client (tests/standin_client) from Win32 tests: its
// knobs, its log and its cards. The stand-in itself is started by the shell
// as the "tencent" protocol handler (scripts/lib/register-standin.sh).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "core/text.h"
#include "tests/standin_client/standin_files.h"

struct StandinSettings {
  std::vector<AnsiText> noCard;  // numbers that get no card
  int delayMs = 0;               // before a card shows
  int cardX = standin::kDefaultCardX;
  int cardY = standin::kDefaultCardY;
  bool decoy = false;  // a window of the card's class above each card, without the fragment
  AnsiText decoyTitle = standin::kDefaultDecoyTitle;
  int decoyX = standin::kDefaultDecoyX;
  int decoyY = standin::kDefaultDecoyY;
};

// One line of the log. `kind` is url, nocard, show, press, release, close,
// decoy-press, decoy-release or decoy-close; x and y only for presses and
// releases (client points); `url` only for url.
struct StandinRecord {
  AnsiText kind;
  AnsiText number;
  std::int32_t x = 0;
  std::int32_t y = 0;
  AnsiText url;
};
using StandinLog = std::vector<StandinRecord>;

// The profile URL the liking run opens for `number`.
AnsiText ProfileUrlFor(const AnsiText& number);

// Closes every stand-in window still up, empties the log and writes the
// settings. Call first in every test that uses the stand-in. A stand-in still
// in its delay has no window yet: wait for its card before moving on.
void ResetStandin(const StandinSettings& settings = {});
StandinLog ReadStandinLog();
// The records of one kind for one number, in log order.
StandinLog RecordsOf(const StandinLog& log, const AnsiText& kind, const AnsiText& number);

// Bounded polls (a cold prefix starts processes slowly); false on time-out.
bool WaitForStandinLog(const std::function<bool(const StandinLog&)>& done, DWORD timeoutMs = 15000);
bool WaitForRecord(const AnsiText& kind, const AnsiText& number, DWORD timeoutMs = 15000);
// The visible card of `number` (title: number + "的资料"), or null.
HWND WaitForCard(const AnsiText& number, DWORD timeoutMs = 15000);

// Windows of the card's class that belong to other processes (stand-ins).
std::vector<HWND> ForeignCardClassWindows();
// Asks them all to close and waits until they are gone.
bool CloseStandinWindows(DWORD timeoutMs = 10000);
