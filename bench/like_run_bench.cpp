// Time and CPU per row of the liking run under Wine against the stand-in
// client, beside the 4,000 ms of fixed waits every row with a card has.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/run_control.h"
#include "bench/bench_util.h"
#include "core/desktop.h"
#include "core/like_run.h"
#include "core/table.h"
#include "tests/win32/standin.h"
#include "tests/win32/table_window.h"

namespace {

void AddRows(int rows, int first) {
  OnTableThread([&] {
    for (int i = 0; i < rows; ++i)
      SetCellText(AppendRow(IntToText(i + 1)), kColumnNumber, IntToText(first + i));
  });
}

}  // namespace

int main() {
  TableWindow window;
  ResetStandin();
  // The first card of a fresh prefix is slow: warm up outside the figures.
  OpenUrl(ProfileUrlFor("1"));
  WaitForCard("1", 30000);
  CloseStandinWindows();

  constexpr int kRows = 7;
  OnTableThread([] {
    for (int i = 0; i < kRows; ++i)
      SetCellText(AppendRow(IntToText(i + 1)), kColumnNumber, IntToText(70001 + i));
  });
  std::vector<double> marked(kRows, 0);
  const double start = NowMs();
  StartRun();
  for (int done = 0; done < kRows && NowMs() - start < 120000;) {
    Sleep(5);
    while (done < kRows && !GetCellText(done, kColumnStatus).empty()) marked[done++] = NowMs();
  }
  WaitForSingleObject(RunThreadHandle, INFINITE);
  int liked = 0;
  for (int i = 0; i < kRows; ++i) liked += GetCellText(i, kColumnStatus) == StatusLiked;

  // CPU per row: a second run that nobody watches, so that only the run and
  // the window's handling of its table messages count.
  DeleteAllRows();
  constexpr int kCpuRows = 5;
  AddRows(kCpuRows, 71001);
  const double cpuBefore = ProcessCpuMs();
  StartRun();
  WaitForSingleObject(RunThreadHandle, INFINITE);
  const double cpu = ProcessCpuMs() - cpuBefore;

  // Each row's time: from the status of the row before to its own.
  std::vector<double> perRow;
  for (int i = 1; i < kRows; ++i) perRow.push_back(marked[i] - marked[i - 1]);
  const double fixed = CardSettleDelay + LikeClickCount * LikeClickInterval;
  const double median = Median(perRow);
  std::printf("(%d rows, %d of them liked; per row %.0f ms median)\n", kRows, liked, median);
  Report("liking run: time per row above the fixed waits", median - fixed, "ms", "<= 50", fixed,
         "fixed waits");
  Report("liking run: CPU time per row", cpu / kCpuRows, "ms", "<= 20", fixed, "wall time of the waits");
  CloseStandinWindows();
  return 0;
}
