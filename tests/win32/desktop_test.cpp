// Desktop automation for real under Wine: the real cursor and input queue,
// windows of our own, and the stand-in client started through the shell.
#include <gtest/gtest.h>

#include <windowsx.h>

#include <thread>
#include <vector>

#include "core/desktop.h"
#include "desktop/automation.h"
#include "tests/win32/standin.h"

namespace {

constexpr char kCardClass[] = "TXGuiFoundation";
constexpr char kFragment[] = "的资料";

WindowHandle Handle(HWND h) { return reinterpret_cast<WindowHandle>(h); }

POINT CursorPos() {
  POINT p{-1, -1};
  GetCursorPos(&p);
  return p;
}

// Under Wine another process may report the pointer motion of the click
// after the cursor has been put back, and for 100 ms GetCursorPos believes
// it; later it asks the X server, which knows where the pointer really is.
bool CursorSettlesAt(int x, int y, DWORD timeoutMs = 2000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    const POINT p = CursorPos();
    if (p.x == x && p.y == y) return true;
    if (GetTickCount64() >= deadline) {
      ADD_FAILURE() << "cursor at " << p.x << "," << p.y << ", expected " << x << "," << y;
      return false;
    }
    Sleep(50);
  }
}

// Button messages our own windows have received.
struct ButtonEvent {
  HWND window;
  UINT message;
  POINT client;
};
std::vector<ButtonEvent> g_buttons;

LRESULT CALLBACK OwnWindowProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) {
    g_buttons.push_back({h, msg, {GET_X_LPARAM(l), GET_Y_LPARAM(l)}});
    return 0;
  }
  return DefWindowProcA(h, msg, w, l);
}

// Top-level windows of the card's class, created by this thread; the newest
// is put on top of the Z order.
class OwnWindows {
 public:
  OwnWindows() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kCardClass;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
  }
  ~OwnWindows() {
    for (HWND h : windows_) DestroyWindow(h);
  }
  OwnWindows(const OwnWindows&) = delete;
  OwnWindows& operator=(const OwnWindows&) = delete;

  HWND Add(const char* title, bool visible = false, RECT at = {20, 700, 120, 760}) {
    HWND h = CreateWindowExA(0, kCardClass, title, WS_POPUP, at.left, at.top, at.right - at.left,
                             at.bottom - at.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : 0));
    windows_.push_back(h);
    return h;
  }

 private:
  std::vector<HWND> windows_;
};

// Serves our windows' input until `done` holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  return true;
}

// Stand-in windows left by an earlier test would take part in every lookup.
class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CloseStandinWindows());
    g_buttons.clear();
  }
  void TearDown() override { CloseStandinWindows(); }
};

// --- Synthetic click ---

TEST_F(DesktopTest, ClickReachesTheCardAtItsClientPointAndTheCursorComesBack) {
  struct Case {
    const char* number;
    POINT cardAt;
  };
  // The second card's client area starts at (100, 50): the click lands on screen (436, 379).
  for (const Case& c : {Case{"20001", {640, 60}}, Case{"20002", {100, 50}}}) {
    SCOPED_TRACE(c.number);
    StandinSettings settings;
    settings.cardX = c.cardAt.x;
    settings.cardY = c.cardAt.y;
    ResetStandin(settings);
    OpenUrl(ProfileUrlFor(c.number));
    HWND card = WaitForCard(c.number);
    ASSERT_TRUE(card);
    POINT origin{0, 0};
    ClientToScreen(card, &origin);
    ASSERT_EQ(origin.x, c.cardAt.x);
    ASSERT_EQ(origin.y, c.cardAt.y);

    SetCursorPos(37, 901);
    ClickAtWindowPoint(Handle(card), 336, 329);
    CursorSettlesAt(37, 901);

    ASSERT_TRUE(WaitForRecord("release", c.number));
    const StandinLog log = ReadStandinLog();
    const StandinLog presses = RecordsOf(log, "press", c.number);
    const StandinLog releases = RecordsOf(log, "release", c.number);
    ASSERT_EQ(presses.size(), 1u);
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(presses[0].x, 336);
    EXPECT_EQ(presses[0].y, 329);
    EXPECT_EQ(releases[0].x, 336);
    EXPECT_EQ(releases[0].y, 329);

    RequestClose(Handle(card));
    EXPECT_TRUE(WaitForRecord("close", c.number));
    // Gone well before the liking run looks for the next card.
    EXPECT_TRUE(WaitForStandinLog([&](const StandinLog&) { return !IsWindow(card); }, 1500));
  }
}

TEST_F(DesktopTest, WithoutAWindowTheClickFallsOnTheScreenPointAndAGoneWindowGetsNone) {
  OwnWindows windows;
  HWND target = windows.Add("target", true, {300, 300, 400, 400});
  SetWindowPos(target, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  HWND gone = windows.Add("gone");
  DestroyWindow(gone);

  for (HWND window : {gone, static_cast<HWND>(nullptr)}) {
    SCOPED_TRACE(window ? "destroyed window" : "window 0");
    g_buttons.clear();
    SetCursorPos(1000, 900);
    ClickAtWindowPoint(Handle(window), 336, 329);
    const POINT after = CursorPos();
    EXPECT_EQ(after.x, 1000);
    EXPECT_EQ(after.y, 900);
    if (window) {
      // Nothing may arrive at screen point (336, 329).
      EXPECT_FALSE(PumpUntil([] { return !g_buttons.empty(); }, 500));
      continue;
    }
    ASSERT_TRUE(PumpUntil([] { return g_buttons.size() >= 2; }));
    for (const ButtonEvent& e : g_buttons) {
      EXPECT_EQ(e.window, target);
      EXPECT_EQ(e.client.x, 36);
      EXPECT_EQ(e.client.y, 29);
    }
    EXPECT_EQ(g_buttons[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(g_buttons[1].message, static_cast<UINT>(WM_LBUTTONUP));
  }
}

TEST_F(DesktopTest, MoveCursorCountsFromTheClientAreaOrTheScreen) {
  OwnWindows windows;
  HWND window = windows.Add("origin", true, {200, 150, 300, 250});
  HWND gone = windows.Add("gone");
  DestroyWindow(gone);
  struct Case {
    HWND window;
    int x, y;
    POINT expected;
  };
  for (const Case& c : {Case{window, 10, 20, {210, 170}}, Case{window, -5, 0, {195, 150}},
                        Case{nullptr, 10, 20, {10, 20}}, Case{gone, 10, 20, {10, 20}}}) {
    SetCursorPos(640, 512);
    MoveCursorToWindowPoint(Handle(c.window), c.x, c.y);
    const POINT at = CursorPos();
    EXPECT_EQ(at.x, c.expected.x) << c.x << "," << c.y;
    EXPECT_EQ(at.y, c.expected.y) << c.x << "," << c.y;
  }
}

// --- Opening a URL through the shell ---

TEST_F(DesktopTest, ProfileUrlStartsTheStandinWithTheUrlUnchanged) {
  // With and without a window the shell would take as owner of its messages.
  for (bool withOwner : {false, true}) {
    SCOPED_TRACE(withOwner ? "with owner window" : "without owner window");
    ResetStandin();
    HWND owner = nullptr;
    if (withOwner) {
      owner = CreateWindowExA(0, "STATIC", "Microsoft Internet Explorer", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, nullptr, nullptr);
    }
    // Kept as given: leading zeros, and no number parsing.
    const AnsiText number = withOwner ? "0042" : "123456789";
    const AnsiText url = ProfileUrlFor(number);
    OpenUrl(url);
    ASSERT_TRUE(WaitForRecord("show", number));
    const StandinLog log = ReadStandinLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].kind, "url");
    EXPECT_EQ(log[0].url, url);
    EXPECT_TRUE(WaitForCard(number, 1000));
    if (owner) DestroyWindow(owner);
  }
}

TEST_F(DesktopTest, UnhandledSchemeReturnsQuietly) {
  ResetStandin();
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread opener([&] {
    OpenUrl("tollivarnowhere://ContactInfo/?uin=1");
    SetEvent(done);
  });
  const DWORD waited = WaitForSingleObject(done, 20000);
  EXPECT_EQ(waited, WAIT_OBJECT_0) << "OpenUrl did not return";
  opener.join();
  CloseHandle(done);
  EXPECT_TRUE(ReadStandinLog().empty());
}

// --- Window lookup ---

TEST_F(DesktopTest, NoWindowOfTheClassGivesZero) {
  EXPECT_EQ(FindWindowByClassAndTitle(kFragment, kCardClass), 0u);
  EXPECT_EQ(FindWindowByClassAndTitle(kFragment, "TollivarNoSuchClass"), 0u);
}

TEST_F(DesktopTest, LookupFindsTheTopmostMatchingTitle) {
  struct Window {
    const char* title;
    bool visible;
  };
  struct Case {
    const char* name;
    std::vector<Window> windows;  // bottom to top
    const char* fragment;
    int expected;  // index into windows, -1 for none
  };
  const std::vector<Case> cases = {
      {"decoy above the card is passed over", {{"12345的资料", true}, {"QQ", true}}, kFragment, 0},
      {"higher of two matches wins", {{"111的资料", false}, {"222的资料", false}}, kFragment, 1},
      {"hidden window matches", {{"333的资料", false}, {"QQ", true}}, kFragment, 0},
      {"no title holds the fragment", {{"QQ", false}, {"资料", false}, {"的 资料", false}}, kFragment, -1},
      {"empty title", {{"", false}}, kFragment, -1},
      {"ASCII case ignored in title", {{"xxABCxx", false}}, "abc", 0},
      {"ASCII case ignored in fragment", {{"xxabcxx", false}}, "aBC", 0},
      {"full-width letters kept apart", {{"ＡＢＣ", false}}, "ａｂｃ", -1},
      // 的资料 is B5C4 D7CA C1CF; here its bytes start inside the first character.
      {"no match across a character boundary", {{"\xB0\xB5\xC4\xD7\xCA\xC1\xCF\xA1", false}}, kFragment, -1},
      // A trail byte that reads as 'A' is no letter: 8141 and 8161 are different characters.
      {"trail bytes are not lowered", {{"x\x81\x41", false}}, "x\x81\x61", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OwnWindows windows;
    std::vector<HWND> made;
    for (const Window& w : c.windows) {
      made.push_back(windows.Add(w.title, w.visible));
      ASSERT_EQ(ReadWindowTitle(Handle(made.back())), w.title);  // the bytes survive the round trip
    }
    const WindowHandle expected = c.expected < 0 ? 0 : Handle(made[static_cast<std::size_t>(c.expected)]);
    EXPECT_EQ(FindWindowByClassAndTitle(c.fragment, kCardClass), expected);
  }
}

TEST_F(DesktopTest, LookupFollowsZOrderNotCreationOrder) {
  OwnWindows windows;
  HWND first = windows.Add("1的资料");
  HWND second = windows.Add("2的资料");
  EXPECT_EQ(FindWindowByClassAndTitle(kFragment, kCardClass), Handle(second));
  SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(FindWindowByClassAndTitle(kFragment, kCardClass), Handle(first));
}

TEST_F(DesktopTest, LookupPassesOverTheStandinDecoy) {
  StandinSettings settings;
  settings.decoy = true;
  ResetStandin(settings);
  OpenUrl(ProfileUrlFor("40001"));
  HWND card = WaitForCard("40001");
  ASSERT_TRUE(card);
  ASSERT_TRUE(WaitForRecord("show", "40001"));
  HWND top = FindWindowExA(nullptr, nullptr, kCardClass, nullptr);
  ASSERT_NE(top, card);
  EXPECT_EQ(ReadWindowTitle(Handle(top)), "QQ");
  EXPECT_EQ(FindWindowByClassAndTitle(kFragment, kCardClass), Handle(card));
}

TEST_F(DesktopTest, ReadWindowTitleReadsTheWholeTitle) {
  OwnWindows windows;
  AnsiText longTitle;
  for (int i = 0; i < 200; ++i) longTitle += "资料x";
  HWND window = windows.Add(longTitle.c_str());
  EXPECT_EQ(ReadWindowTitle(Handle(window)), longTitle);
  EXPECT_EQ(ReadWindowTitle(Handle(windows.Add(""))), "");
  DestroyWindow(window);
  EXPECT_EQ(ReadWindowTitle(Handle(window)), "");
}

// --- The stand-in's knobs, which the end-to-end tests rely on ---

TEST_F(DesktopTest, StandinHonoursNoCardAndDelay) {
  StandinSettings settings;
  settings.noCard = {"50001", "50003"};
  settings.delayMs = 1500;
  ResetStandin(settings);
  OpenUrl(ProfileUrlFor("50003"));
  EXPECT_TRUE(WaitForRecord("nocard", "50003"));
  EXPECT_FALSE(FindWindowByClassAndTitle(kFragment, kCardClass));

  const ULONGLONG start = GetTickCount64();
  OpenUrl(ProfileUrlFor("50002"));
  EXPECT_TRUE(WaitForCard("50002"));
  EXPECT_GE(GetTickCount64() - start, 1500u);
}

}  // namespace
