// The liking run for real: a worker thread over a real list view, the shell
// starting the stand-in client for every profile URL, the real cursor.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/import.h"
#include "app/rows.h"
#include "app/run_control.h"
#include "core/desktop.h"
#include "core/like_run.h"
#include "core/table.h"
#include "tests/win32/standin.h"
#include "tests/win32/table_window.h"

namespace {

// A window of ours lying under screen point (336, 329): a click that misses
// the card would land here.
class Bait {
 public:
  explicit Bait(TableWindow& owner) : owner_(owner) {
    owner_.OnUiThread([this] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "TollivarBait";
      wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
      RegisterClassA(&wc);
      hwnd_ =
          CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "bait", WS_POPUP | WS_VISIBLE,
                          236, 229, 200, 200, nullptr, nullptr, wc.hInstance, nullptr);
    });
  }
  ~Bait() {
    owner_.OnUiThread([this] { DestroyWindow(hwnd_); });
  }
  static inline std::atomic<int> clicks{0};

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_LBUTTONDBLCLK) ++clicks;
    return DefWindowProcA(h, msg, w, l);
  }
  TableWindow& owner_;
  HWND hwnd_ = nullptr;
};

void AddNumbers(const std::vector<AnsiText>& numbers) {
  OnTableThread([&] {
    for (const auto& n : numbers) SetCellText(AppendRow(IntToText(RowCount() + 1)), kColumnNumber, n);
  });
}

std::vector<AnsiText> Statuses() {
  std::vector<AnsiText> out;
  for (int32_t i = 0; i < RowCount(); ++i) out.push_back(GetCellText(i, kColumnStatus));
  return out;
}

bool WaitForRunEnd(DWORD timeoutMs) {
  for (DWORD waited = 0; RunIsGoing() && waited < timeoutMs; waited += 50) Sleep(50);
  return !RunIsGoing();
}

// Ten press/release pairs at the like point, then one close, nothing after.
void ExpectLikedCard(const StandinLog& log, const AnsiText& number) {
  const StandinLog presses = RecordsOf(log, "press", number);
  const StandinLog releases = RecordsOf(log, "release", number);
  ASSERT_EQ(presses.size(), 10u) << number;
  ASSERT_EQ(releases.size(), 10u) << number;
  for (size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(presses[i].x, LikePoint.x);
    EXPECT_EQ(presses[i].y, LikePoint.y);
    EXPECT_EQ(releases[i].x, LikePoint.x);
    EXPECT_EQ(releases[i].y, LikePoint.y);
  }
  EXPECT_EQ(RecordsOf(log, "close", number).size(), 1u) << number;
  // The close request comes after the last click.
  size_t lastClick = 0, close = 0;
  for (size_t i = 0; i < log.size(); ++i) {
    if (log[i].number != number) continue;
    if (log[i].kind == "release") lastClick = i;
    if (log[i].kind == "close") close = i;
  }
  EXPECT_GT(close, lastClick) << number;
}

class LikeRunWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    // A cold prefix starts its first stand-in slowly: warm it up first.
    ResetStandin();
    OpenUrl(ProfileUrlFor("1"));
    ASSERT_NE(WaitForCard("1", 30000), nullptr);
    Bait::clicks = 0;
  }
  void TearDown() override { CloseStandinWindows(); }
  TableWindow window;
};

TEST_F(LikeRunWin32Test, LikesEveryCardAndNeverClicksWithoutOne) {
  StandinSettings settings;
  settings.noCard = {"20002"};
  ResetStandin(settings);
  Bait bait(window);
  AddNumbers({"20001", "20002", "20003"});

  StartRun();
  ASSERT_TRUE(WaitForRunEnd(60000));

  EXPECT_EQ(Statuses(), (std::vector<AnsiText>{StatusLiked, StatusCardNotFound, StatusLiked}));
  const StandinLog log = ReadStandinLog();
  ExpectLikedCard(log, "20001");
  ExpectLikedCard(log, "20003");
  EXPECT_EQ(RecordsOf(log, "url", "20002").size() + RecordsOf(log, "nocard", "20002").size() > 0, true);
  EXPECT_TRUE(RecordsOf(log, "press", "20002").empty());
  EXPECT_TRUE(RecordsOf(log, "close", "20002").empty());
  EXPECT_EQ(Bait::clicks.load(), 0);
}

TEST_F(LikeRunWin32Test, PausedRunStopsClickingWhileTheTableKeepsWorking) {
  ResetStandin();
  AddNumbers({"30001", "30002"});
  StartRun();
  ASSERT_TRUE(WaitForRecord("press", "30001"));
  PauseRun();
  Sleep(400);  // the wait in progress runs out and holds there
  const size_t held = ReadStandinLog().size();

  // Meanwhile the window's thread serves an import, a purge and a delete.
  std::thread importer([] { ImportLines({"40001", "40002", "40003"}); });
  std::thread purger([] { PurgeLikedRows(); });
  importer.join();
  purger.join();
  window.OnUiThread([] { DeleteSelectedRow(); });  // no selection: renumbers
  EXPECT_EQ(RowCount(), 5);
  EXPECT_EQ(GetCellText(4, kColumnRowNumber), "5");
  EXPECT_TRUE(window.Answers());

  Sleep(2000);
  EXPECT_EQ(ReadStandinLog().size(), held);  // the log stayed still

  ResumeRun();
  // The run read its count (2) at the start: the imported rows are not visited.
  ASSERT_TRUE(WaitForRunEnd(60000));
  const StandinLog log = ReadStandinLog();
  ExpectLikedCard(log, "30001");
  ExpectLikedCard(log, "30002");
  EXPECT_EQ(GetCellText(0, kColumnStatus), StatusLiked);
  EXPECT_EQ(GetCellText(1, kColumnStatus), StatusLiked);
}

TEST_F(LikeRunWin32Test, ImportAndPurgeBesideARunFinishAndKeepTheirRows) {
  ResetStandin();
  AddNumbers({"50001"});
  StartRun();
  ASSERT_TRUE(WaitForRecord("show", "50001"));
  std::vector<AnsiText> lines;
  for (int i = 0; i < 3000; ++i) lines.push_back(IntToText(600000 + i));
  std::thread importer([&] { ImportLines(lines); });
  std::thread purger([] { PurgeLikedRows(); });
  importer.join();
  purger.join();
  ASSERT_TRUE(WaitForRunEnd(60000));
  ASSERT_EQ(RowCount(), 3001);
  EXPECT_EQ(GetCellText(0, kColumnNumber), "50001");
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(GetCellText(i + 1, kColumnNumber), lines[i]);
  EXPECT_EQ(GetCellText(0, kColumnStatus), StatusLiked);
}

}  // namespace
