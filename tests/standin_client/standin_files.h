// Where the stand-in client and the tests that drive it meet: one folder in
// the Wine prefix with the knobs (settings.ini) and the log (log.txt). Shared
// by the stand-in and tests/win32/standin.cpp so the two cannot drift apart.
#pragma once

#include <cstdlib>
#include <string>

namespace standin {

// The folder, unless the environment names another one. The default lies in
// the prefix, so processes the shell starts find it without any environment.
inline constexpr char kDirEnv[] = "TOLLIVAR_STANDIN_DIR";
inline constexpr char kDefaultDir[] = "C:\\tollivar-standin";

inline std::string Dir() {
  const char* env = std::getenv(kDirEnv);
  return env && *env ? std::string(env) : std::string(kDefaultDir);
}
inline std::string SettingsPath() { return Dir() + "\\settings.ini"; }
inline std::string LogPath() { return Dir() + "\\log.txt"; }

// settings.ini: one section, every key optional.
inline constexpr char kSection[] = "standin";
inline constexpr char kNoCard[] = "nocard";  // numbers without a card, split by ',' or ' '
inline constexpr char kDelayMs[] = "delay_ms";
inline constexpr char kCardX[] = "card_x";
inline constexpr char kCardY[] = "card_y";
inline constexpr char kDecoy[] = "decoy";  // 1: a decoy window beside each card
inline constexpr char kDecoyTitle[] = "decoy_title";
inline constexpr char kDecoyX[] = "decoy_x";
inline constexpr char kDecoyY[] = "decoy_y";

// Defaults. The card keeps clear of screen point (336, 329), where tests put
// windows of their own that must not be clicked.
inline constexpr int kDefaultCardX = 640;
inline constexpr int kDefaultCardY = 60;
inline constexpr int kDefaultDecoyX = 640;
inline constexpr int kDefaultDecoyY = 540;
inline constexpr char kDefaultDecoyTitle[] = "QQ";

// The card is a frameless popup, so its client area starts at its top-left.
inline constexpr int kCardWidth = 520;
inline constexpr int kCardHeight = 440;
inline constexpr int kDecoyWidth = 300;
inline constexpr int kDecoyHeight = 140;

inline constexpr char kWindowClass[] = "TXGuiFoundation";

}  // namespace standin
